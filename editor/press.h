#ifndef GLOUTO_EDITOR_PRESS_H
#define GLOUTO_EDITOR_PRESS_H

#include <SDL.h>

// One mouse press at pixel (x, y) of the grid: places a wall on an empty
// cell, removes the wall of a wall cell, leaves a reserved cell alone.
// The record tables hold kTableSize slots. Returns what Test3 found:
// kReserved, the slot of the removed wall, or 0 when a wall was placed
// (or the press fell outside the grid and nothing changed).
int Appui(SDL_Surface** cellPictures, SDL_Rect* cellPositions, int cellCount, int* wallX,
          int* wallY, int* nextSlot, int* wallCount, int width, int height, int x, int y);

// Moves the walls of slots 1 .. nextSlot - 1 down to slots 1, 2, 3 ... in
// the same order, empties every slot after them and returns the new next slot.
int Compacte(int* wallX, int* wallY, int nextSlot);

#endif
