#include "game/replay/shipped_levels.h"

#include <array>
#include <string>

#include "level/level_file.h"
#include "level/level_rules.h"

int ReadShippedLevel(int level, SDL_Rect* walls, int capacity) {
  for (int i = 0; i < kShippedLevelCount; ++i)
    if (kShippedLevels[i].level == level)
      return ReadLevelWalls(kShippedLevels[i].text, walls, capacity);
  return -1;
}

bool SameAsShipped(int level, const SDL_Rect* walls, int count) {
  static std::array<SDL_Rect, kMaxWalls> shipped;
  const int n = ReadShippedLevel(level, shipped.data(), kMaxWalls);
  if (n != count) return false;
  for (int i = 0; i < n; ++i)
    if (shipped[i].x != walls[i].x || shipped[i].y != walls[i].y) return false;
  return true;
}
