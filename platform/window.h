#ifndef GLOUTO_PLATFORM_WINDOW_H
#define GLOUTO_PLATFORM_WINDOW_H

#include <SDL.h>

// How a program's window reaches the player, the one place where the desktop
// and the browser differ in showing it. Both programs draw into the surface
// WindowSetVideoMode returns, at their own size, and read input through
// WindowPollEvent and WindowWaitEvent, in their own pixels; each target decides
// how that surface is shown (and zoomed) and maps pointer positions back.

// Every pixel an N x N block on screen; 1 (the default) shows the window as
// drawn. Takes effect at the next WindowSetVideoMode.
void WindowSetZoom(int zoom);

// SDL_SetVideoMode, SDL_Flip, SDL_PollEvent and SDL_WaitEvent, with their
// arguments and results.
SDL_Surface* WindowSetVideoMode(int width, int height, int bpp, Uint32 flags);
int WindowFlip(SDL_Surface* screen);
int WindowPollEvent(SDL_Event* event);
int WindowWaitEvent(SDL_Event* event);

// A press the page itself queued (a finger drawn across the editor's grid in
// the browser), taken when it waits first in the queue, at the window's pixel
// it was made on. A stroke crosses cells faster than one event a pass, so the
// editor takes all of them at each pass. The desktop queues none: false.
bool WindowTakePagePress(int* x, int* y);

#endif
