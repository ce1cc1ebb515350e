#include "editor/grid.h"

#include "common/screen_kit.h"
#include "level/level_rules.h"
#include "platform/picture_files.h"
#include "platform/window.h"

namespace {

SDL_Surface* BlackSquare(SDL_Surface* screen, int cellSize) {
  SDL_Surface* square = SDL_CreateRGBSurface(SDL_HWSURFACE, cellSize + 1, cellSize + 1, 32, 0, 0, 0,
                                             0);
  FillGrey(square, screen, 0);
  return square;
}

}  // namespace

int Init(SDL_Surface* screen, SDL_Surface** cellPictures, SDL_Rect* cellPositions, int width,
         int height, int cellSize, int* wallX, int* wallY) {
  if (cellSize <= 0) return 0;
  int cell = 0;
  for (int y = 0; y <= height - cellSize; y += cellSize) {
    for (int x = 0; x <= width - cellSize && cell < kTableSize; x += cellSize, ++cell) {
      SDL_FreeSurface(cellPictures[cell]);
      cellPositions[cell].x = static_cast<Sint16>(x);
      cellPositions[cell].y = static_cast<Sint16>(y);
      cellPictures[cell] = IsReservedCell(x, y, width, height) ? BlackSquare(screen, cellSize)
                                                               : LoadPicture(kEmptyPicture);
      wallX[cell] = -1;
      wallY[cell] = -1;
      SDL_Delay(2);
    }
  }
  return cell;
}

int Test(int coordinate, int /*extent*/, int cellSize, char /*axis*/) {
  if (cellSize <= 0 || coordinate < cellSize) return 0;
  return coordinate / cellSize * cellSize;
}

int Test3(int x, int y, int* wallX, int* wallY, int slot, int width, int height) {
  if (IsReservedCell(wallX[slot], wallY[slot], width, height)) return kReserved;
  for (int i = 0; i < slot; ++i) {
    if (wallX[i] == x && wallY[i] == y) return i;
  }
  return 0;
}

int Test2(SDL_Rect* cellPositions, int* wallX, int* wallY, int slot, int cellCount) {
  for (int cell = 0; cell < cellCount; ++cell) {
    if (cellPositions[cell].x == wallX[slot] && cellPositions[cell].y == wallY[slot]) return cell;
  }
  return -1;
}

void Dessin(SDL_Surface* screen, SDL_Surface** cellPictures, SDL_Rect* cellPositions, int /*width*/,
            int /*height*/, int /*cellSize*/, int cellCount) {
  if (!screen) return;
  for (int cell = 0; cell < cellCount; ++cell)
    BlitAt(cellPictures[cell], screen, cellPositions[cell]);
  WindowFlip(screen);
}
