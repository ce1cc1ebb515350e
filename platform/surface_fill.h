#ifndef GLOUTO_PLATFORM_SURFACE_FILL_H
#define GLOUTO_PLATFORM_SURFACE_FILL_H

#include <SDL.h>

// SDL_FillRect(surface, NULL, colour): the clip rectangle of `surface` takes
// `colour`, byte for byte as SDL writes it, with the same result. A plain
// 32-bit software surface is filled with the C library's wide memset, which
// is several times faster than SDL's own loop on a whole window. No
// surface is an error (-1), where SDL would crash.
int FillWhole(SDL_Surface* surface, Uint32 colour);

#endif
