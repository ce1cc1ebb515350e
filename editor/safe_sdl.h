#ifndef GLOUTO_EDITOR_SAFE_SDL_H
#define GLOUTO_EDITOR_SAFE_SDL_H

#include <SDL.h>
#include <SDL_ttf.h>

// A missing font or picture is a null pointer here; these calls take it in
// their stride, so a lost asset file never brings the editor down.

// The text in black, or null when there is no font.
SDL_Surface* RenderBlack(TTF_Font* font, const char* text);

// Blits the whole picture at a copy of the position, so the caller's
// rectangle is never clipped.
void BlitAt(SDL_Surface* picture, SDL_Surface* screen, SDL_Rect position);

void CloseFont(TTF_Font* font);

#endif
