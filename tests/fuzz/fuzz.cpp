// libFuzzer on what players hand the game, GLOUTO_FUZZ: level (file), code (or link), music,
// partie (a recorded game's bytes, or its code), lien (a message of the other screen).
#include <unistd.h>

#include <array>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/replay/lockstep.h"
#include "game/replay/recording_code.h"
#include "level/level_code.h"
#include "level/level_file.h"
#include "platform/desktop/sound/sound_file.h"
#include "platform/desktop/sound/sound_stream.h"

namespace {

// In memory when the machine has it: the file is rewritten on every run.
std::string Scratch(const std::string& bytes, const char* ending) {
  const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                           "/glouto-fuzz-" + std::to_string(getpid()) + ending;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
  std::fclose(file);
  return path;
}
// The reader stays inside its table (the first byte picks a smaller one now and then).
void Level(const std::string& bytes) {
  constexpr Sint16 kUntouched = -12345;
  const int first = bytes.empty() ? 1 : static_cast<uint8_t>(bytes[0]);
  const int capacity = first % 4 == 0 ? 1 + first % 50 : kMaxWalls;
  std::array<SDL_Rect, kMaxWalls + 1> table;
  table.fill(SDL_Rect{kUntouched, kUntouched, 0, 0});
  const int n = ReadLevelFile(Scratch(bytes, ".txt").c_str(), table.data(), capacity);
  assert(n >= 0 && n <= capacity);
  for (int i = n; i <= kMaxWalls; ++i) assert(table[i].x == kUntouched && table[i].y == kUntouched);
}
// A refused code changes nothing; an accepted one passes the checker and comes back the same.
void Code(const std::string& given) {
  std::string text = "untouched", code, again;
  int level = 0, levelAgain = 0;
  if (DecodeLevel(given, &text, &level).problem != LevelProblem::kNone)
    return assert(text == "untouched");
  assert(CheckLevelText(text, level).problem == LevelProblem::kNone);
  assert(EncodeLevel(text, level, &code).problem == LevelProblem::kNone);
  assert(DecodeLevel(code, &again, &levelAgain).problem == LevelProblem::kNone);
  assert(again == text && levelAgain == level);
}
// Never more frames than asked, every sample within full scale, a few times round a short file.
void Drain(SoundStream& stream, bool endless) {
  std::array<float, 2 * 700> chunk;  // not a power of two, to cross the decoder's chunks
  const long want = static_cast<long>(chunk.size() / 2);
  for (long total = 0; total < 8192; total += want) {
    chunk.fill(NAN);
    const long got = stream.Read(chunk.data(), want, endless);
    assert(got >= 0 && got <= want);
    for (long i = 0; i < 2 * got; ++i) assert(std::fabs(chunk[static_cast<size_t>(i)]) <= 1.0f);
    if (got < want) return;
  }
}
// Played at a device rate the last byte picks, once through, then endless.
void Music(const std::string& bytes) {
  const bool wav = bytes.rfind("RIFF", 0) == 0 || bytes.rfind("RIFX", 0) == 0;
  const std::string path = Scratch(bytes, wav ? ".wav" : ".mp3");
  if (SoundFileKind(path.c_str()) == SoundKind::None) return;
  constexpr int kDeviceRates[] = {44100, 48000, 22050, 8000};
  auto stream = SoundStream::Open(
      path.c_str(), kDeviceRates[bytes.empty() ? 0 : static_cast<uint8_t>(bytes.back()) % 4]);
  if (stream) Drain(*stream, false), stream->Rewind(), Drain(*stream, true);
}

// A recording is read whole or refused with one sentence, `out` untouched; what
// is read is written back byte for byte. Most inputs get their check mended,
// so that the reader behind it is reached.
void Partie(const std::string& given) {
  CodeBytes bytes(given.begin(), given.end());
  const bool asCode = !bytes.empty() && bytes.back() == '#';
  if (!asCode && bytes.size() >= 3 && bytes[0] == kRecordingVersion && bytes[1] % 8 != 0) {
    const std::uint16_t check = RecordingCheck(bytes, bytes.size() - 2);
    bytes[bytes.size() - 2] = static_cast<std::uint8_t>(check >> 8);
    bytes.back() = static_cast<std::uint8_t>(check);
  }
  Recording read, untouched;
  read.seed = untouched.seed = 77;
  const std::string refusal = asCode ? DecodeRecordingCode(given, &read)
                                     : DecodeRecording(bytes, &read);
  if (!refusal.empty()) {
    assert(read == untouched);
    assert(refusal.back() == '.' && refusal.find('\n') == std::string::npos);
    return;
  }
  const CodeBytes again = EncodeRecording(read);
  if (!asCode) assert(again == bytes);
  Recording back;
  assert(DecodeRecording(again, &back).empty() && back == read);
}

// A message from the side the first byte picks: refused with `out` untouched, or read and
// written back byte for byte.
void Lien(const std::string& given) {
  if (given.empty()) return;
  const LinkSide from = given[0] & 1 ? LinkSide::kHost : LinkSide::kGuest;
  const CodeBytes bytes(given.begin() + 1, given.end());
  Message read;
  read.frame = read.wait = 77;
  if (DecodeMessage(bytes.data(), static_cast<int>(bytes.size()), from, &read) != LinkFault::kNone)
    return assert(read.frame == 77 && read.wait == 77 && read.events.empty() && read.piece.empty());
  assert(bytes.size() <= static_cast<std::size_t>(kLinkMessageMax));
  assert(EncodeMessage(read, from) == bytes);
}

const std::string kTarget = std::getenv("GLOUTO_FUZZ") ? std::getenv("GLOUTO_FUZZ") : "level";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  kTarget == "level"    ? Level(bytes)
  : kTarget == "code"   ? Code(bytes)
  : kTarget == "partie" ? Partie(bytes)
  : kTarget == "lien"   ? Lien(bytes)
                        : Music(bytes);
  return 0;
}
