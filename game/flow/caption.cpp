#include "game/flow/caption.h"

#include <SDL.h>

#include <cstdio>

#include "game/flow/state.h"
#include "platform/screens.h"

namespace {

// What play takes from a player without a keyboard; player 2's keys last.
constexpr ScreenPlate kPlayKeys[] = {
    KeyPlate("Haut", SDLK_UP),
    KeyPlate("Bas", SDLK_DOWN),
    KeyPlate("Gauche", SDLK_LEFT),
    KeyPlate("Droite", SDLK_RIGHT),
    KeyPlate("Pause", SDLK_p),
    KeyPlate("Musique", SDLK_SPACE),
    KeyPlate("Piste pr\xE9"
             "c\xE9"
             "dente",
             SDLK_F2),
    KeyPlate("Piste suivante", SDLK_F1),
    KeyPlate("Moins fort", SDLK_6),
    KeyPlate("Plus fort", SDLK_EQUALS),
    KeyPlate("Quitter", SDLK_ESCAPE),
    KeyPlate("Haut joueur 2", SDLK_w),
    KeyPlate("Bas joueur 2", SDLK_s),
    KeyPlate("Gauche joueur 2", SDLK_a),
    KeyPlate("Droite joueur 2", SDLK_d),
};
constexpr int kOnePlayerKeys = 11;
constexpr int kTwoPlayerKeys = static_cast<int>(sizeof kPlayKeys / sizeof kPlayKeys[0]);

constexpr ScreenPlate kPauseKeys[] = {KeyPlate("Reprendre", SDLK_p),
                                      KeyPlate("Quitter", SDLK_ESCAPE)};

}  // namespace

void ShowLevelCaption(int level, bool paused) {
  char caption[kCaptionSize];
  std::snprintf(caption, sizeof caption,
                paused ? "Glouto seconde generation ! Niveau %d PAUSE"
                       : "Glouto seconde generation ! Niveau %d",
                level);
  SDL_WM_SetCaption(caption, nullptr);
}

void ShowPlayScreen(const GameState& s, bool paused) {
  ShowLevelCaption(s.level, paused);
  if (paused) {
    ScreenShown("pause", kPauseKeys, 2);
  } else {
    ScreenShown("jeu", kPlayKeys, s.playerCount == 2 ? kTwoPlayerKeys : kOnePlayerKeys);
  }
}
