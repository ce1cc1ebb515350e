#ifndef GLOUTO_COMMON_SCREEN_KIT_H
#define GLOUTO_COMMON_SCREEN_KIT_H

#include <SDL.h>

// What the screens of both programs share: the plates their buttons sit on,
// their greys and the white colour key. Each call takes a missing surface in
// its stride, so a screen shows without a plate or picture that failed.

constexpr int kIdleGrey = 150;
constexpr int kLitGrey = 255;
constexpr int kPlateHeight = 40;

// Fills all of `surface` with the grey (low 8 bits) as `screen`'s format maps it.
void FillGrey(SDL_Surface* surface, SDL_Surface* screen, int grey);

// White pixels of `image` are not drawn.
void SetWhiteKey(SDL_Surface* image);

// An empty plate of the given width, 40 high; null if it could not be made.
SDL_Surface* MakePlate(int width);

// Is the point on the plate at `box` of width x height, all edges included?
bool OnPlate(int x, int y, SDL_Rect box, int width, int height);

#endif
