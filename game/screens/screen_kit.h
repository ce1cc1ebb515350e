#ifndef GLOUTO_GAME_SCREENS_SCREEN_KIT_H
#define GLOUTO_GAME_SCREENS_SCREEN_KIT_H

#include <SDL.h>
#include <SDL_ttf.h>

// What every menu screen shares: its pace, its greys and the null-safe calls
// that let a screen show without a plate, picture or font that failed.

constexpr Uint32 kPassDelay = 30;  // ms at the end of every pass
constexpr int kIdleGrey = 150;
constexpr int kLitGrey = 255;
constexpr int kPlateHeight = 40;

constexpr SDL_Color kBlack = {0, 0, 0, 0};
constexpr SDL_Color kWhite = {255, 255, 255, 0};

// A screen position from plain ints.
SDL_Rect At(int x, int y);

// Latin-1 text; null when there is no font or nothing could be rendered.
SDL_Surface* RenderText(TTF_Font* font, const char* text, SDL_Color colour);

// Fills all of `surface` with the grey (low 8 bits) as `format` maps it.
void FillGrey(SDL_Surface* surface, const SDL_PixelFormat* format, int grey);

// White pixels of `image` are not drawn.
void SetWhiteKey(SDL_Surface* image);

// An empty plate of the given width, 40 high; null if it could not be made.
SDL_Surface* MakePlate(int width);

// Is the point on the plate at `box` of width x height, all edges included?
bool OnPlate(int x, int y, SDL_Rect box, int width, int height);

#endif
