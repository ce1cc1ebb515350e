#ifndef GLOUTO_TESTS_EDITOR_EDITOR_ASSETS_H
#define GLOUTO_TESTS_EDITOR_EDITOR_ASSETS_H

#include <SDL.h>

#include "tests/support/test_support.h"

// Colours of the stand-in pictures, so a cell's picture can be told by a pixel.
constexpr Rgb kBlankColour{230, 240, 250};
constexpr Rgb kWallColour{120, 60, 20};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// A square picture of one colour, saved where IMG_Load finds it by content.
void MakePicture(const char* path, Rgb colour, int size = 25);

// In the working directory: Niveaux/, and with `pictures` the editor's two
// pictures in their own colours. Returns whether the shipped font could be
// linked as Police/comic.ttf (only asked for with `font`).
bool MakeEditorAssets(bool pictures, bool font);

// The colour of a picture at its top-left corner; black for none.
Rgb ColourOf(SDL_Surface* picture);

#endif
