#ifndef GLOUTO_COMMON_CONDITION_H
#define GLOUTO_COMMON_CONDITION_H

#include <SDL.h>

// The one rectangle test of both programs.
//  mode 0: 1 when the mover touches any of the `count` others, else -1;
//  mode 1: index of the first other it touches, else -1;
//  mode 2: 1 when (point.x + margin1, point.y + margin3) lies in the box
//          [box.x + margin2, box.x + margin4] x [box.y + margin5, box.y + margin6], else 0;
//  any other mode: -1.
// Bounds are inclusive; only x and y of the rectangles are read.
int Condition(SDL_Rect* movers, SDL_Rect* others, SDL_Rect point, SDL_Rect box, int count,
              int index, int margin1, int margin2, int margin3, int margin4, int margin5,
              int margin6, int mode);

#endif
