#include "level/level_file.h"

#include <climits>
#include <cstdio>

#include "level/level_paths.h"

namespace {

// Reads the next decimal integer after any white space, as "%d" would, but
// saturating instead of overflowing. False at the end of the file or on a
// character that cannot start a number.
bool ReadNumber(std::FILE* file, long long* value) {
  int c = std::getc(file);
  while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
    c = std::getc(file);
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = (c == '-');
    c = std::getc(file);
  }
  if (c < '0' || c > '9') return false;
  long long magnitude = 0;
  for (; c >= '0' && c <= '9'; c = std::getc(file)) {
    if (magnitude < LLONG_MAX / 10) magnitude = magnitude * 10 + (c - '0');
  }
  if (c != EOF) std::ungetc(c, file);
  *value = negative ? -magnitude : magnitude;
  return true;
}

// A wall off the 16-bit range lies off screen either way; keep it there.
Sint16 Clamp16(long long v) {
  if (v < -32768) return -32768;
  if (v > 32767) return 32767;
  return static_cast<Sint16>(v);
}

}  // namespace

void LevelFilePath(char* path, int size, int level) {
  std::snprintf(path, static_cast<size_t>(size), "%s", LevelPath(level).c_str());
}

namespace {

int ReadWalls(std::FILE* file, SDL_Rect* walls, int capacity) {
  long long declared = 0;
  int stored = 0;
  if (ReadNumber(file, &declared) && declared > 0) {
    const long long wanted = declared < capacity ? declared : capacity;
    long long x = 0, y = 0;
    while (stored < wanted && ReadNumber(file, &x) && ReadNumber(file, &y)) {
      walls[stored].x = Clamp16(x);
      walls[stored].y = Clamp16(y);
      ++stored;
    }
  }
  std::fclose(file);
  return stored;
}

}  // namespace

int ReadLevelFile(const char* path, SDL_Rect* walls, int capacity) {
  std::FILE* file = std::fopen(path, "r");
  if (!file) return -1;
  return ReadWalls(file, walls, capacity);
}

int ReadLevelWalls(const std::string& text, SDL_Rect* walls, int capacity) {
  if (text.empty()) return 0;
  std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  if (!file) return 0;
  return ReadWalls(file, walls, capacity);
}
