#ifndef GLOUTO_GAME_SCREENS_COMPOSER_H
#define GLOUTO_GAME_SCREENS_COMPOSER_H

#include <SDL.h>

// Paints one menu frame: screen fill, backdrop, plates 1-2, items 1-4, flip.
void Texte(SDL_Surface* screen, SDL_Surface* plate1, SDL_Surface* plate2, SDL_Surface* backdrop,
           SDL_Surface* item1, SDL_Surface* item2, SDL_Surface* item3, SDL_Surface* item4,
           SDL_Rect platePos1, SDL_Rect platePos2, SDL_Rect backdropPos, SDL_Rect itemPos1,
           SDL_Rect itemPos2, SDL_Rect itemPos3, SDL_Rect itemPos4, int grey1, int grey2,
           int screenGrey, int plateCount, int itemCount, int backdropFlag);

// Releases the non-null surfaces among the five, then waits 2 ms.
void FreeSurface(SDL_Surface* s1, SDL_Surface* s2, SDL_Surface* s3, SDL_Surface* s4,
                 SDL_Surface* s5);

#endif
