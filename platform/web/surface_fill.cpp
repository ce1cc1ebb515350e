#include "platform/surface_fill.h"

// The browser's SDL fills a canvas rectangle; its pixels are not in memory.
int FillWhole(SDL_Surface* surface, Uint32 colour) {
  if (!surface) return -1;
  return SDL_FillRect(surface, nullptr, colour);
}
