#ifndef GLOUTO_EDITOR_SIZE_SCREEN_H
#define GLOUTO_EDITOR_SIZE_SCREEN_H

#include <SDL.h>

// The level-size screen: five buttons for the widths 600 to 1000, chosen on
// a button release. Returns the width chosen, or `width` itself when the
// window is closed (FINPROG is then 1).
int Taille(SDL_Surface* screen, int width, int height);

// Paints one frame: screen fill, plates 1-5 (each filled with its grey),
// backdrop, items 1-4, flip. Greys are mapped in the screen's format.
void Texte(SDL_Surface* screen, SDL_Surface* plate1, SDL_Surface* plate2, SDL_Surface* plate3,
           SDL_Surface* plate4, SDL_Surface* plate5, SDL_Surface* backdrop, SDL_Surface* item1,
           SDL_Surface* item2, SDL_Surface* item3, SDL_Surface* item4, SDL_Rect platePos1,
           SDL_Rect platePos2, SDL_Rect platePos3, SDL_Rect platePos4, SDL_Rect platePos5,
           SDL_Rect backdropPos, SDL_Rect itemPos1, SDL_Rect itemPos2, SDL_Rect itemPos3,
           SDL_Rect itemPos4, int grey1, int grey2, int grey3, int grey4, int grey5, int screenGrey,
           int plateCount, int itemCount, int backdropFlag);

// Releases the non-null surfaces among the first `count` (0 to 5).
void FreeSurface(SDL_Surface* s1, SDL_Surface* s2, SDL_Surface* s3, SDL_Surface* s4,
                 SDL_Surface* s5, int count);

#endif
