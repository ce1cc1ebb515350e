#include <SDL_image.h>
#include <stdlib.h>

#include <string>

#include "common/pad_keys.h"
#include "game/flow/globals.h"
#include "game/replay/intake.h"
#include "game/screens/composer.h"
#include "game/screens/screen_kit.h"
#include "game/screens/screens.h"
#include "platform/open_page.h"
#include "platform/screens.h"

namespace {

constexpr Uint32 kPageChangeDelay = 100;

// A clickable area: top-left corner, width and height.
struct Area {
  SDL_Rect at;
  int width, height;
  bool Holds(int x, int y) const { return OnPlate(x, y, at, width, height); }
  ScreenPlate Plate(const char* word) const { return PlateAt(word, at, width, height); }
};

constexpr const char* kOne = "1 joueur";
constexpr const char* kTwo = "2 joueurs";
constexpr const char* kManual = "Mode d'emploi";
constexpr const char* kBack = "Retour";

struct Layout {
  Area one, two, manual, back, readme;
};

Layout LayoutFor(int cx, int cy) {
  return {{At(cx - 45, cy - 25), 90, 40},
          {At(cx - 55, cy + 25), 110, 40},
          {At(cx - 83, cy - 200), 165, 40},
          {At(cx - 40, cy + 250), 80, 40},
          {At(cx - 109, cy + 150), 218, 73}};
}

struct MenuState {
  bool running = true;
  int result = 0;
  int page = 0;  // even: the question, odd: the instructions
  int oneGrey = kIdleGrey, twoGrey = kIdleGrey, manualGrey = kIdleGrey, backGrey = kIdleGrey;
  bool OnInstructions() const { return page % 2 != 0; }
};

// The viewer runs in a directory of its own: hand it the document's full path.
void OpenReadme() {
  std::string path = "Readme.html";
  if (char* here = realpath(".", nullptr)) {
    path = std::string(here) + "/Readme.html";
    free(here);
  }
  OpenGamePage(path.c_str(), SW_SHOWNORMAL);
}

void Announce(const Layout& l, bool instructions) {
  const ScreenPlate question[] = {l.one.Plate(kOne), l.two.Plate(kTwo), l.manual.Plate(kManual)};
  const ScreenPlate back[] = {l.back.Plate(kBack)};
  if (instructions) {
    ScreenShown("mode", back, 1);
  } else {
    ScreenShown("menu", question, 3);
  }
}

void Choose(MenuState& s, int players) {
  s.running = false;
  s.result = players;
}

void Press(int x, int y, const Layout& l, MenuState& s) {
  // The player-count buttons answer on both pages, drawn or not.
  if (l.one.Holds(x, y)) {
    Choose(s, 1);
  } else if (l.two.Holds(x, y)) {
    Choose(s, 2);
  } else if (s.OnInstructions() ? l.back.Holds(x, y) : l.manual.Holds(x, y)) {
    ++s.page;
    GameWait(kPageChangeDelay);
  } else if (s.OnInstructions() && l.readme.Holds(x, y)) {
    OpenReadme();
  }
}

// A pad has no pointer: its buttons stand for the plates, the top face
// button for "Mode d'emploi" and "Retour".
void PadPress(int key, MenuState& s) {
  if (key == PadKey(0, PadControl::kConfirm)) Choose(s, 1);
  if (key == PadKey(0, PadControl::kTwoPlayers)) Choose(s, 2);
  if (key == PadKey(0, PadControl::kTop)) {
    ++s.page;
    GameWait(kPageChangeDelay);
  }
}

void Handle(const SDL_Event& event, const Layout& l, MenuState& s) {
  switch (event.type) {
    case SDL_MOUSEMOTION: {
      SDL_ShowCursor(SDL_ENABLE);
      const int x = event.motion.x, y = event.motion.y;
      auto grey = [&](const Area& a) { return a.Holds(x, y) ? kLitGrey : kIdleGrey; };
      s.oneGrey = grey(l.one);
      s.twoGrey = grey(l.two);
      s.manualGrey = grey(l.manual);
      s.backGrey = grey(l.back);
      break;
    }
    case SDL_MOUSEBUTTONDOWN: Press(event.button.x, event.button.y, l, s); break;
    case SDL_KEYDOWN:
      if (event.key.keysym.sym == SDLK_ESCAPE) {
        Choose(s, 0);
      } else if (LastKeyFromPad()) {
        PadPress(event.key.keysym.sym, s);
      }
      break;
    case SDL_QUIT:
      s.running = false;
      s.result = 0;
      FINPROG = 1;
      break;
    default: break;
  }
}

}  // namespace

int Joueurs(int width, int height, SDL_Surface* screen, TTF_Font* font) {
  MenuState s;
  SDL_Surface* plateOne = MakePlate(90);
  SDL_Surface* plateTwo = MakePlate(110);
  SDL_Surface* plateManual = MakePlate(165);
  SDL_Surface* plateBack = MakePlate(80);
  SDL_Surface* one = RenderText(font, kOne, kBlack);
  SDL_Surface* two = RenderText(font, kTwo, kBlack);
  SDL_Surface* question = RenderText(font, "Combien de joueurs ?", kBlack);
  SDL_Surface* manual = RenderText(font, kManual, kBlack);
  SDL_Surface* instructions = IMG_Load("Images/ModeEmploi.png");
  SetWhiteKey(instructions);
  SDL_Surface* back = RenderText(font, kBack, kBlack);
  SDL_Surface* readme = IMG_Load("Images/Readme.png");
  SetWhiteKey(readme);

  const int cx = width / 2, cy = height / 2;
  const Layout l = LayoutFor(cx, cy);
  const SDL_Rect questionAt = At(cx - 110, cy - 100), manualTextAt = At(cx - 81, cy - 200);
  const SDL_Rect instructionsAt = At(cx - 300, cy - 299), backTextAt = At(cx - 38, cy + 250);

  int announced = -1;
  while (s.running) {
    if (announced != s.page) Announce(l, s.OnInstructions());
    announced = s.page;
    if (s.OnInstructions()) {
      Texte(screen, plateBack, nullptr, nullptr, instructions, readme, back, nullptr, l.back.at,
            PRIEN, PRIEN, instructionsAt, l.readme.at, backTextAt, PRIEN, s.backGrey, 0, 255, 1, 3,
            0);
    } else {
      // The "Mode d'emploi" plate rides in the backdrop slot, so it is filled here.
      FillGrey(plateManual, screen, s.manualGrey);
      Texte(screen, plateOne, plateTwo, plateManual, question, one, two, manual, l.one.at, l.two.at,
            l.manual.at, questionAt, l.one.at, l.two.at, manualTextAt, s.oneGrey, s.twoGrey, 255, 2,
            4, 1);
    }
    SDL_Event event;
    if (PollGameEvent(&event)) Handle(event, l, s);
    GameWait(kPassDelay);
  }

  FreeSurface(plateOne, plateTwo, one, two, question);
  FreeSurface(plateManual, manual, instructions, plateBack, readme);
  FreeSurface(back, nullptr, nullptr, nullptr, nullptr);
  return s.result;
}
