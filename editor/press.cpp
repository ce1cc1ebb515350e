#include "editor/press.h"

#include "editor/grid.h"
#include "platform/picture_files.h"

int Compacte(int* wallX, int* wallY, int nextSlot) {
  int kept = 1;
  for (int slot = 1; slot < nextSlot && slot < kTableSize; ++slot) {
    if (wallX[slot] == -1 || wallY[slot] == -1) continue;
    wallX[kept] = wallX[slot];
    wallY[kept] = wallY[slot];
    ++kept;
  }
  for (int slot = kept; slot < kTableSize; ++slot) wallX[slot] = wallY[slot] = -1;
  return kept;
}

namespace {

void Repaint(SDL_Surface** cellPictures, int cell, const char* picture) {
  SDL_FreeSurface(cellPictures[cell]);
  cellPictures[cell] = LoadPicture(picture);
}

}  // namespace

int Appui(SDL_Surface** cellPictures, SDL_Rect* cellPositions, int cellCount, int* wallX,
          int* wallY, int* nextSlot, int* wallCount, int width, int height, int x, int y) {
  // Removed slots are never reused, so a long session runs out of slots;
  // the last one doubles as the reserved marker and can never hold a wall.
  // Closing the gaps first keeps both the scratch write and the new wall
  // inside the tables, and the saved order stays the placement order.
  if (*nextSlot >= kReserved) *nextSlot = Compacte(wallX, wallY, *nextSlot);

  const int next = *nextSlot;
  wallX[next] = Test(x, width, kCellSize, 'x');
  wallY[next] = Test(y, height, kCellSize, 'y');
  const int found = Test3(wallX[next], wallY[next], wallX, wallY, next, width, height);
  if (found == kReserved) return found;

  if (found > 0) {
    const int cell = Test2(cellPositions, wallX, wallY, found, cellCount);
    if (cell >= 0) Repaint(cellPictures, cell, kEmptyPicture);
    wallX[found] = wallY[found] = -1;
    --*wallCount;
    return found;
  }

  const int cell = Test2(cellPositions, wallX, wallY, next, cellCount);
  if (cell < 0) return 0;  // off the grid: there is no cell to put a wall on
  Repaint(cellPictures, cell, kWallPicture);
  ++*nextSlot;
  ++*wallCount;
  return 0;
}
