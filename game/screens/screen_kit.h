#ifndef GLOUTO_GAME_SCREENS_SCREEN_KIT_H
#define GLOUTO_GAME_SCREENS_SCREEN_KIT_H

#include <SDL.h>
#include <SDL_ttf.h>

#include "common/screen_kit.h"

// What every menu screen shares besides the common kit: its pace, its colours.

constexpr Uint32 kPassDelay = 30;  // ms at the end of every pass

constexpr SDL_Color kBlack = kTextBlack;
constexpr SDL_Color kWhite = {255, 255, 255, 0};

// A screen position from plain ints.
SDL_Rect At(int x, int y);

#endif
