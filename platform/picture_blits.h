#ifndef GLOUTO_PLATFORM_PICTURE_BLITS_H
#define GLOUTO_PLATFORM_PICTURE_BLITS_H

#include <SDL.h>

// SDL_UpperBlit(picture, NULL, screen, at), with the same pixels, the same
// clipped rectangle written back into `at` and the same result. A 24-bit
// picture drawn again and again onto a 32-bit screen goes through a copy in
// the screen's format, which SDL copies row by row instead of converting
// (and testing against the colour key) pixel by pixel. The copy is found by
// the picture's content, so a picture changed or freed is never mistaken.
int BlitPicture(SDL_Surface* picture, SDL_Surface* screen, SDL_Rect* at);

#endif
