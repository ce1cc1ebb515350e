#ifndef GLOUTO_EDITOR_GRID_H
#define GLOUTO_EDITOR_GRID_H

#include <SDL.h>

#include "level/level_rules.h"

// The cell table (pictures, positions) and the wall record (wall x, wall y)
// each hold this many entries.
constexpr int kTableSize = 3000;
// What Test3 answers for a reserved cell; no wall is ever kept in this slot.
constexpr int kReserved = 2999;
constexpr int kCellSize = kLevelCell;
constexpr const char* kEmptyPicture = "Images/blanc.png";
constexpr const char* kWallPicture = "Images/Mur.png";

// Builds or rebuilds the grid of width x height pixels: a fresh picture for
// every cell, the record slot of every cell emptied. Returns the cell count.
int Init(SDL_Surface* screen, SDL_Surface** cellPictures, SDL_Rect* cellPositions, int width,
         int height, int cellSize, int* wallX, int* wallY);

// The coordinate snapped down to its cell; extent and axis ('x' or 'y') do
// not change the answer.
int Test(int coordinate, int extent, int cellSize, char axis);

// For the press just written into `slot`: kReserved for a reserved cell, else
// the first earlier slot holding (x, y), else 0.
int Test3(int x, int y, int* wallX, int* wallY, int slot, int width, int height);

// The number of the cell at the position held in `slot`, -1 if no cell is there.
int Test2(SDL_Rect* cellPositions, int* wallX, int* wallY, int slot, int cellCount);

// Blits every cell picture in number order, then flips.
void Dessin(SDL_Surface* screen, SDL_Surface** cellPictures, SDL_Rect* cellPositions, int width,
            int height, int cellSize, int cellCount);

#endif
