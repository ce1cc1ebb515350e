#ifndef GLOUTO_GAME_MAZE_MOVEMENT_H
#define GLOUTO_GAME_MAZE_MOVEMENT_H

#include <SDL.h>

// Direction codes.
constexpr int kStopped = 0, kRight = 1, kLeft = 2, kUp = 3, kDown = 4;
// Movement modes handed to Deplacement.
constexpr int kModeMove = 0, kModeRandomTurn = 1, kModeWallResponse = 3;

// Moves actor `index` one frame and returns its new direction code.
int Deplacement(int* directions, SDL_Rect* positions, int index, int speed, int width, int height,
                int mode, SDL_Rect* walls, int wallCount, int* countdowns);

// Wall response: step back, else step aside, else back to the start corner.
int TMurs(int direction, SDL_Rect* positions, SDL_Rect* walls, int wallCount, int step, int index,
          char axis);

#endif
