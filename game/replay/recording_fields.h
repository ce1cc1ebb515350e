#ifndef GLOUTO_GAME_REPLAY_RECORDING_FIELDS_H
#define GLOUTO_GAME_REPLAY_RECORDING_FIELDS_H

#include <cstdint>
#include <string>

#include "game/replay/recording.h"
#include "game/replay/recording_limits.h"
#include "level/code_bits.h"

// A recording's bits read as its fields: the first fault found is kept, in
// words of the game, and every later read gives a harmless value.
class FieldReader {
 public:
  explicit FieldReader(const CodeBytes& bytes) : in_(bytes, 1) {}

  bool Fine() const { return fault_.empty() && !in_.Failed(); }

  void Fail(const std::string& what) {
    if (fault_.empty()) fault_ = what;
  }

  int Int(int low, int high, const char* what) {
    const std::uint64_t v = in_.Number();
    if (Fine() && (v < static_cast<std::uint64_t>(low) || v > static_cast<std::uint64_t>(high)))
      Fail(std::string(what) + " est impossible");
    return Fine() ? static_cast<int>(v) : low;
  }

  int SignedInt(int low, int high, const char* what) {
    const std::int64_t v = in_.Signed();
    if (Fine() && (v < low || v > high)) Fail(std::string(what) + " est impossible");
    return Fine() ? static_cast<int>(v) : 0;
  }

  void CountFrames(Recording& r, std::int64_t more) {
    if (static_cast<std::int64_t>(r.frames) + more > kMaxFrames) {
      Fail("elle est bien trop longue");
      return;
    }
    r.frames += static_cast<int>(more);
  }

  BitReader in_;
  std::string fault_;
};

#endif
