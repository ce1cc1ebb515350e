#include "platform/window.h"

namespace {
int zoomFactor = 1;
}  // namespace

void WindowSetZoom(int zoom) { zoomFactor = zoom; }
int WindowZoom() { return zoomFactor; }

SDL_Surface* WindowSetVideoMode(int width, int height, int bpp, Uint32 flags) {
  return SDL_SetVideoMode(width, height, bpp, flags);
}

int WindowFlip(SDL_Surface* screen) { return SDL_Flip(screen); }

int WindowPollEvent(SDL_Event* event) { return SDL_PollEvent(event); }

int WindowWaitEvent(SDL_Event* event) { return SDL_WaitEvent(event); }
