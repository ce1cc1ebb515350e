#include <array>

#include "common/screen_kit.h"
#include "editor/size_screen.h"
#include "platform/window.h"

void Texte(SDL_Surface* screen, SDL_Surface* plate1, SDL_Surface* plate2, SDL_Surface* plate3,
           SDL_Surface* plate4, SDL_Surface* plate5, SDL_Surface* backdrop, SDL_Surface* item1,
           SDL_Surface* item2, SDL_Surface* item3, SDL_Surface* item4, SDL_Rect platePos1,
           SDL_Rect platePos2, SDL_Rect platePos3, SDL_Rect platePos4, SDL_Rect platePos5,
           SDL_Rect backdropPos, SDL_Rect itemPos1, SDL_Rect itemPos2, SDL_Rect itemPos3,
           SDL_Rect itemPos4, int grey1, int grey2, int grey3, int grey4, int grey5, int screenGrey,
           int plateCount, int itemCount, int backdropFlag) {
  if (!screen) return;
  const std::array<SDL_Surface*, 5> plates{plate1, plate2, plate3, plate4, plate5};
  const std::array<SDL_Rect, 5> platePositions{platePos1, platePos2, platePos3, platePos4,
                                               platePos5};
  const std::array<int, 5> greys{grey1, grey2, grey3, grey4, grey5};
  const std::array<SDL_Surface*, 4> items{item1, item2, item3, item4};
  const std::array<SDL_Rect, 4> itemPositions{itemPos1, itemPos2, itemPos3, itemPos4};

  FillGrey(screen, screen, screenGrey);
  for (int k = 0; k < plateCount && k < 5; ++k) {
    FillGrey(plates[k], screen, greys[k]);
    BlitAt(plates[k], screen, platePositions[k]);
  }
  // After the plates, so a label can use the backdrop slot and sit on a plate.
  if (backdropFlag == 1) BlitAt(backdrop, screen, backdropPos);
  for (int k = 0; k < itemCount && k < 4; ++k) BlitAt(items[k], screen, itemPositions[k]);
  WindowFlip(screen);
}

void FreeSurface(SDL_Surface* s1, SDL_Surface* s2, SDL_Surface* s3, SDL_Surface* s4,
                 SDL_Surface* s5, int count) {
  const std::array<SDL_Surface*, 5> surfaces{s1, s2, s3, s4, s5};
  for (int k = 0; k < count && k < 5; ++k) {
    if (surfaces[k]) SDL_FreeSurface(surfaces[k]);
  }
}
