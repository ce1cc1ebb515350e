#ifndef GLOUTO_EDITOR_OPEN_LEVEL_H
#define GLOUTO_EDITOR_OPEN_LEVEL_H

#include <SDL.h>

// Reads the level file at `path` with the game's reader and places its walls
// on the grid just built, in the file's order, as presses on their cells
// would. A wall that is not on a free cell of this grid (off the 25-pixel
// grid, outside the window, on a reserved cell, or on a cell already taken)
// is left out. Returns how many were left out, or -1 when the file cannot be
// read (the grid then stays empty).
int OpenLevel(const char* path, SDL_Surface** cellPictures, SDL_Rect* cellPositions, int cellCount,
              int* wallX, int* wallY, int* nextSlot, int* wallCount, int width, int height);

#endif
