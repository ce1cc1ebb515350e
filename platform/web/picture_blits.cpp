#include "platform/picture_blits.h"

// The browser's SDL draws a canvas onto another at once; no copy is faster.
int BlitPicture(SDL_Surface* picture, SDL_Surface* screen, SDL_Rect* at) {
  return SDL_UpperBlit(picture, nullptr, screen, at);
}
