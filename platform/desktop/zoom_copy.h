#ifndef GLOUTO_PLATFORM_DESKTOP_ZOOM_COPY_H
#define GLOUTO_PLATFORM_DESKTOP_ZOOM_COPY_H

#include <SDL.h>

// Draws `from` onto `to` with every pixel a zoom x zoom block (nearest
// neighbour), as far as `to` reaches. Both surfaces share one pixel format
// and are ready to be written (locked where SDL asks for it).
void ZoomCopy(const SDL_Surface* from, SDL_Surface* to, int zoom);

#endif
