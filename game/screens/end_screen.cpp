#include <SDL_image.h>

#include <cstdio>

#include "game/flow/globals.h"
#include "game/replay/intake.h"
#include "game/screens/composer.h"
#include "game/screens/screen_kit.h"
#include "game/screens/screens.h"
#include "platform/fsound.h"
#include "platform/screens.h"

namespace {

struct Ending {
  const char* caption;
  const char* headline;
  const char* picture;
};

constexpr Ending kLost = {"Oh dommage ... :(", "Game Over", "Images/Imageperd.png"};
constexpr Ending kWon = {"Felicitation !!! :)", "... Bravo !!! :)", "Images/Imagegagne.png"};

constexpr int kStay = -1;

// 1: a new game; 0: leave; kStay: anything else.
int Decide(const SDL_Event& event) {
  if (event.type == SDL_QUIT) return 0;  // FINPROG stays as it is
  if (event.type != SDL_KEYDOWN) return kStay;
  if (event.key.keysym.sym == SDLK_RETURN) return 1;
  if (event.key.keysym.sym == SDLK_ESCAPE) return 0;
  return kStay;
}

}  // namespace

int FIN(int won, int score, SDL_Surface* screen, TTF_Font* font, int width, int height,
        int musicSwitch) {
  FSOUND_STREAM* stream = FSOUND_Stream_Open("Musique/Musique.mp3", 0, 0, 0);
  const int cx = width / 2, cy = height / 2;
  const SDL_Rect pictureAt = At(cx - 50, cy - 150);
  const SDL_Rect hintAt = At(cx - 260, cy + 20);
  const SDL_Rect scoreAt = At(cx - 100, cy - 60);
  const SDL_Rect headlineAt = At(cx - 70, cy - 20);

  char scoreText[44];
  std::snprintf(scoreText, sizeof scoreText, "Votre score : %d", score);
  SDL_Surface* hint = RenderText(font, "Echap pour quitter, Entrer pour recommencer", kWhite);
  SDL_Surface* scoreLine = RenderText(font, scoreText, kWhite);
  const Ending& ending = won == 0 ? kLost : kWon;
  SDL_WM_SetCaption(ending.caption, nullptr);
  SDL_Surface* headline = RenderText(font, ending.headline, kWhite);
  SDL_Surface* picture = IMG_Load(ending.picture);

  // No plates: its two keys, named for what they lead to.
  const ScreenPlate keys[] = {KeyPlate("Recommencer", SDLK_RETURN),
                              KeyPlate("Quitter", SDLK_ESCAPE)};
  ScreenShown("fin", keys, 2);
  int result = kStay;
  while (result == kStay) {
    Texte(screen, nullptr, nullptr, picture, hint, scoreLine, headline, nullptr, PRIEN, PRIEN,
          pictureAt, hintAt, scoreAt, headlineAt, PRIEN, 0, 0, 0, 0, 3, 1);
    if (musicSwitch & 1) FSOUND_Stream_Play(FSOUND_FREE, stream);
    SDL_Event event;
    // With no event queue the wait fails at once (0 or -1, by library) and would
    // never end: leave as on a close.
    if (WaitGameEvent(&event) <= 0) {
      result = 0;
      break;
    }
    result = Decide(event);
    if (result == kStay) GameWait(kPassDelay);
  }

  FSOUND_Stream_Stop(stream);
  FSOUND_Stream_Close(stream);
  FreeSurface(hint, scoreLine, headline, picture, nullptr);
  return result;
}
