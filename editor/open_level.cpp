#include "editor/open_level.h"

#include <array>

#include "editor/grid.h"
#include "editor/press.h"
#include "level/level_file.h"

namespace {

bool OnTheGrid(const SDL_Rect& wall, int width, int height) {
  return wall.x % kCellSize == 0 && wall.y % kCellSize == 0 && wall.x >= 0 && wall.y >= 0 &&
         wall.x <= width - kCellSize && wall.y <= height - kCellSize;
}

}  // namespace

int OpenLevel(const char* path, SDL_Surface** cellPictures, SDL_Rect* cellPositions, int cellCount,
              int* wallX, int* wallY, int* nextSlot, int* wallCount, int width, int height) {
  std::array<SDL_Rect, kMaxWalls> walls{};
  const int count = ReadLevelFile(path, walls.data(), kMaxWalls);
  if (count < 0) return -1;
  int leftOut = 0;
  for (int i = 0; i < count; ++i) {
    const SDL_Rect& wall = walls[i];
    // A press on a reserved cell does nothing and one on a wall removes it:
    // only a free cell may take the wall.
    const int next = *nextSlot;
    bool free = OnTheGrid(wall, width, height);
    if (free) {
      wallX[next] = wall.x;
      wallY[next] = wall.y;
      free = Test3(wall.x, wall.y, wallX, wallY, next, width, height) == 0;
      wallX[next] = wallY[next] = -1;
    }
    if (!free) {
      ++leftOut;
      continue;
    }
    Appui(cellPictures, cellPositions, cellCount, wallX, wallY, nextSlot, wallCount, width, height,
          wall.x, wall.y);
  }
  return leftOut;
}
