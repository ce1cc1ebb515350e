#include <SDL_image.h>

#include "game/flow/globals.h"
#include "game/replay/intake.h"
#include "game/screens/composer.h"
#include "game/screens/screen_kit.h"
#include "game/screens/screens.h"
#include "platform/open_page.h"
#include "platform/screens.h"

namespace {

constexpr const char* kFirstPartnerPage = "https://tavernique.example/";
constexpr const char* kSecondPartnerPage = "https://tilo.example/";
constexpr int kPlateWidth = 93;

struct Areas {
  SDL_Rect quit, firstLogo, secondLogo;
};

bool OnQuit(int x, int y, const Areas& a) {
  return OnPlate(x, y, a.quit, kPlateWidth, kPlateHeight);
}

// Only a release counts, so a press on "Quitter" can still be dragged away.
void Release(int x, int y, const Areas& a, bool& running) {
  if (OnPlate(x, y, a.firstLogo, 365, 100)) {
    OpenGamePage(kFirstPartnerPage, SW_SHOWNORMAL);
  } else if (OnPlate(x, y, a.secondLogo, 448, 96)) {
    OpenGamePage(kSecondPartnerPage, SW_HIDE);
  } else if (OnQuit(x, y, a)) {
    running = false;
  }
}

}  // namespace

void Merci(int width, int height, SDL_Surface* screen, TTF_Font* font) {
  bool running = true;
  int grey = kIdleGrey;
  SDL_WM_SetCaption("Remerciements ...", nullptr);
  SDL_Surface* firstLogo = IMG_Load("Images/Tavernique.png");
  SDL_Surface* secondLogo = IMG_Load("Images/Tilo.png");
  SDL_Surface* thanks = RenderText(font,
                                   "Merci pour leur aide \xE0 : cliquez pour acc\xE9"
                                   "der au site",
                                   kBlack);
  constexpr const char* kQuit = "Quitter";
  SDL_Surface* quit = RenderText(font, kQuit, kBlack);
  SDL_Surface* plate = MakePlate(kPlateWidth);

  const int cx = width / 2, cy = height / 2;
  const Areas a{At(cx - 46, cy - 200), At(cx - 182, cy - 100), At(cx - 224, cy + 25)};
  const SDL_Rect thanksAt = At(cx - 290, cy - 150), quitTextAt = At(cx - 44, cy - 200);

  const ScreenPlate plates[] = {PlateAt(kQuit, a.quit, kPlateWidth, kPlateHeight)};
  ScreenShown("merci", plates, 1);
  while (running) {
    Texte(screen, plate, nullptr, nullptr, thanks, firstLogo, secondLogo, quit, a.quit, PRIEN,
          PRIEN, thanksAt, a.firstLogo, a.secondLogo, quitTextAt, grey, 0, 255, 1, 4, 0);
    SDL_Event event;
    if (PollGameEvent(&event)) {
      switch (event.type) {
        case SDL_MOUSEMOTION:
          SDL_ShowCursor(SDL_ENABLE);
          grey = OnQuit(event.motion.x, event.motion.y, a) ? kLitGrey : kIdleGrey;
          break;
        case SDL_MOUSEBUTTONUP: Release(event.button.x, event.button.y, a, running); break;
        case SDL_KEYDOWN:
          if (event.key.keysym.sym == SDLK_RETURN) running = false;  // Escape does nothing here
          break;
        case SDL_QUIT:
          running = false;  // FINPROG stays as it is
          break;
        default: break;
      }
    }
    GameWait(kPassDelay);
  }

  FreeSurface(firstLogo, secondLogo, thanks, plate, quit);
}
