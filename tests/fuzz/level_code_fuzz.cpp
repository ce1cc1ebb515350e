// libFuzzer target: whatever a shared code or link holds, decoding never
// crashes, changes nothing when it refuses, and what it accepts is a level the
// checker passes whose own code brings back the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "level/level_code.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string given(reinterpret_cast<const char*>(data), size);
  std::string text = "untouched";
  int level = 0;
  if (DecodeLevel(given, &text, &level).problem != LevelProblem::kNone) {
    if (text != "untouched") std::abort();
    return 0;
  }
  if (CheckLevelText(text, level).problem != LevelProblem::kNone) std::abort();
  std::string code, again;
  int levelAgain = 0;
  if (EncodeLevel(text, level, &code).problem != LevelProblem::kNone) std::abort();
  if (DecodeLevel(code, &again, &levelAgain).problem != LevelProblem::kNone) std::abort();
  if (again != text || levelAgain != level) std::abort();
  return 0;
}
