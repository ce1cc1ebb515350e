#include "game/screens/composer.h"

#include <initializer_list>

#include "game/replay/intake.h"
#include "game/screens/screen_kit.h"
#include "platform/window.h"

void Texte(SDL_Surface* screen, SDL_Surface* plate1, SDL_Surface* plate2, SDL_Surface* backdrop,
           SDL_Surface* item1, SDL_Surface* item2, SDL_Surface* item3, SDL_Surface* item4,
           SDL_Rect platePos1, SDL_Rect platePos2, SDL_Rect backdropPos, SDL_Rect itemPos1,
           SDL_Rect itemPos2, SDL_Rect itemPos3, SDL_Rect itemPos4, int grey1, int grey2,
           int screenGrey, int plateCount, int itemCount, int backdropFlag) {
  if (!screen) return;
  FillGrey(screen, screen, screenGrey);
  if (backdropFlag == 1) BlitAt(backdrop, screen, backdropPos);

  struct Plate {
    SDL_Surface* surface;
    SDL_Rect at;
    int grey;
  };
  const Plate plates[] = {{plate1, platePos1, grey1}, {plate2, platePos2, grey2}};
  for (int k = 0; k < plateCount && k < 2; ++k) {
    // Greys are always mapped in the screen's format, plates included.
    FillGrey(plates[k].surface, screen, plates[k].grey);
    BlitAt(plates[k].surface, screen, plates[k].at);
  }

  SDL_Surface* const items[] = {item1, item2, item3, item4};
  const SDL_Rect itemPositions[] = {itemPos1, itemPos2, itemPos3, itemPos4};
  for (int k = 0; k < itemCount && k < 4; ++k) BlitAt(items[k], screen, itemPositions[k]);

  WindowFlip(screen);
}

void FreeSurface(SDL_Surface* s1, SDL_Surface* s2, SDL_Surface* s3, SDL_Surface* s4,
                 SDL_Surface* s5) {
  for (SDL_Surface* s : {s1, s2, s3, s4, s5}) {
    if (s) SDL_FreeSurface(s);
  }
  GameWait(2);
}
