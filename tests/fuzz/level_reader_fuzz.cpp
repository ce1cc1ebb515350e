// libFuzzer target: whatever the bytes of a level file, the reader stays inside
// its table and the count it returns is the number of entries it filled.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "level/level_file.h"

namespace {

constexpr Sint16 kUntouched = -12345;

// Memory-backed when the machine has it: the file is rewritten on every run.
const std::string& ScratchPath() {
  static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  "/glouto-fuzz-level-" + std::to_string(getpid()) + ".txt";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  // The first byte also picks a smaller table now and then, to try the capacity bound.
  const int capacity = (size > 0 && data[0] % 4 == 0) ? 1 + data[0] % 50 : kMaxWalls;
  std::array<SDL_Rect, kMaxWalls + 1> table;
  for (SDL_Rect& r : table) r = SDL_Rect{kUntouched, kUntouched, 0, 0};

  const int n = ReadLevelFile(ScratchPath().c_str(), table.data(), capacity);
  if (n < 0 || n > capacity) std::abort();
  for (int i = n; i <= kMaxWalls; ++i) {
    if (table[i].x != kUntouched || table[i].y != kUntouched) std::abort();
  }
  return 0;
}
