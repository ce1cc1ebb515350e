#ifndef GLOUTO_GAME_MAZE_IMAGES_H
#define GLOUTO_GAME_MAZE_IMAGES_H

#include <SDL.h>

// Frees what `slot` holds, then loads `path` into it (null when the load fails).
void ReloadImage(SDL_Surface** slot, const char* path);

#endif
