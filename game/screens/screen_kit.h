#ifndef GLOUTO_GAME_SCREENS_SCREEN_KIT_H
#define GLOUTO_GAME_SCREENS_SCREEN_KIT_H

#include <SDL.h>
#include <SDL_ttf.h>

#include "common/screen_kit.h"

// What every menu screen shares: its pace, its greys and the null-safe calls
// that let a screen show without a plate, picture or font that failed.

constexpr Uint32 kPassDelay = 30;  // ms at the end of every pass

constexpr SDL_Color kBlack = {0, 0, 0, 0};
constexpr SDL_Color kWhite = {255, 255, 255, 0};

// A screen position from plain ints.
SDL_Rect At(int x, int y);

// Latin-1 text; null when there is no font or nothing could be rendered.
SDL_Surface* RenderText(TTF_Font* font, const char* text, SDL_Color colour);

#endif
