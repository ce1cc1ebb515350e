#ifndef GLOUTO_COMMON_SCREEN_KIT_H
#define GLOUTO_COMMON_SCREEN_KIT_H

#include <SDL.h>
#include <SDL_ttf.h>

// What the screens of both programs share: the plates their buttons sit on,
// their greys, the white colour key, their font, texts and pictures. Each call
// takes a missing surface or font in its stride, so a screen shows without a
// plate, picture or font that failed.

constexpr int kIdleGrey = 150;
constexpr int kLitGrey = 255;
constexpr int kPlateHeight = 40;
constexpr SDL_Color kTextBlack = {0, 0, 0, 0};

// The one font of both programs, "Police/comic.ttf" at 25; null without it.
TTF_Font* OpenGameFont();
void CloseFont(TTF_Font* font);

// Latin-1 text; null when there is no font or nothing could be rendered.
SDL_Surface* RenderText(TTF_Font* font, const char* text, SDL_Color colour);

// Blits the whole picture at a copy of the position: SDL writes the clipped
// rectangle back, and the screens hand the same positions in on every pass.
void BlitAt(SDL_Surface* picture, SDL_Surface* screen, SDL_Rect position);

// Fills all of `surface` with the grey (low 8 bits) as `screen`'s format maps it.
void FillGrey(SDL_Surface* surface, SDL_Surface* screen, int grey);

// White pixels of `image` are not drawn.
void SetWhiteKey(SDL_Surface* image);

// An empty plate of the given width, 40 high; null if it could not be made.
SDL_Surface* MakePlate(int width);

// Is the point on the plate at `box` of width x height, all edges included?
bool OnPlate(int x, int y, SDL_Rect box, int width, int height);

#endif
