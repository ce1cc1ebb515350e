#include "game/flow/frame.h"

#include "platform/surface_fill.h"

#include <array>
#include <cstdio>

#include "game/flow/globals.h"
#include "game/flow/keys.h"
#include "game/maze/actors.h"
#include "game/maze/images.h"
#include "game/maze/movement.h"
#include "game/replay/intake.h"
#include "game/screens/composer.h"
#include "game/screens/screen_kit.h"
#include "platform/window.h"

namespace {

using SpriteNames = std::array<const char*, 5>;

// Indexed by direction code; stopped looks like right.
constexpr SpriteNames kHeroPhase1 = {"Images/Glouto.png", "Images/Glouto.png", "Images/Glouto2.png",
                                     "Images/Glouto3.png", "Images/Glouto4.png"};
constexpr SpriteNames kHeroPhase2 = {"Images/Glouto2.1.png", "Images/Glouto2.1.png",
                                     "Images/Glouto2.2.png", "Images/Glouto2.3.png",
                                     "Images/Glouto2.4.png"};
constexpr SpriteNames kEnemyPhase1 = {"Images/Ennemi.png", "Images/Ennemi.png",
                                      "Images/Ennemi2.png", "Images/Ennemi3.png",
                                      "Images/Ennemi4.png"};
constexpr SpriteNames kEnemyPhase2 = {"Images/Ennemi2.1.png", "Images/Ennemi2.1.png",
                                      "Images/Ennemi2.2.png", "Images/Ennemi2.3.png",
                                      "Images/Ennemi2.4.png"};

const char* SpriteFor(const SpriteNames& names, int direction) {
  return direction >= 0 && direction < static_cast<int>(names.size()) ? names[direction] : names[0];
}

void LoadPhase(GameState& s, const SpriteNames& hero, const SpriteNames& enemy) {
  ReloadImage(&s.heroImage, SpriteFor(hero, s.heroDirection));
  for (int i = 0; i < s.enemyCount; ++i)
    ReloadImage(&s.enemyImages[i], SpriteFor(enemy, s.enemyDirections[i]));
}

SDL_Surface* RenderCounter(const GameState& s, const char* format, int value) {
  char text[kHudTextSize];
  std::snprintf(text, sizeof text, format, value);
  return RenderText(s.font, text, s.textColor);
}

// The real rectangle goes to SDL: the game relies on the clipped rectangle written back.
void BlitText(SDL_Surface* text, SDL_Surface* screen, SDL_Rect& at) {
  if (text && screen) SDL_BlitSurface(text, nullptr, screen, &at);
}

void DrawActors(GameState& s) {
  Dessin(s.screen, s.wallImages.data(), s.wallPositions.data(), s.wallCount);
  Dessin(s.screen, s.chestImages.data(), s.chestPositions.data(), s.chestCount);
  Dessin(s.screen, &s.heroImage, &s.heroPosition, 1);
  Dessin(s.screen, s.enemyImages.data(), s.enemyPositions.data(), s.enemyCount);
}

}  // namespace

void SeeTicks(GameState& s) { Change += IntakeFrame(s); }

void RenderHud(GameState& s) {
  s.remainingText = RenderCounter(s, "Restant : %d", s.remaining);
  s.clockText = RenderCounter(s, "Temps : %d", s.clock);
  s.livesText = RenderCounter(s, "Vies : %d", s.lives);
}

void MoveHero(GameState& s) {
  s.heroDirection = Deplacement(&s.heroDirection, &s.heroPosition, 0, s.speed, s.width, s.height,
                                s.heroMode, s.wallPositions.data(), s.wallCount,
                                s.turnCountdowns.data());
  GameWait(10);
  s.heroMode = 0;
}

void MoveEnemies(GameState& s) {
  for (int i = 0; i < s.enemyCount; ++i) {
    s.enemyDirections[i] = Deplacement(
        s.enemyDirections.data(), s.enemyPositions.data(), i, s.speed, s.width, s.height,
        s.enemyModes[i], s.wallPositions.data(), s.wallCount, s.turnCountdowns.data());
    s.enemyModes[i] = 0;
    s.turnCountdowns[i] -= 1;
    if (s.turnCountdowns[i] == 0) s.enemyModes[i] = 1;
    GameWait(10 / s.enemyCount);
  }
}

void AnimateSprites(GameState& s) {
  const bool even = Change.load() % 2 == 0;
  if (even && (tamponIMG == 1 || tamponIMG == 3)) {
    LoadPhase(s, kHeroPhase1, kEnemyPhase1);
    tamponIMG = tamponIMG == 3 ? 1 : 0;
  } else if (!even && (tamponIMG == 0 || tamponIMG == 3)) {
    attente = 0;
    tamponIMG = 1;
    LoadPhase(s, kHeroPhase2, kEnemyPhase2);
  }
}

void TickClock(GameState& s) {
  if (Change.load() % 4 != 0 || attente != 0) return;
  Change = 0;
  s.clock -= 1;
  attente = 1;
  if (invulnerable >= 1 && invulnerable <= 999) invulnerable -= 1;
}

void DrawFrame(GameState& s) {
  if (s.screen) FillWhole(s.screen, SDL_MapRGB(s.screen->format, 255, 255, 255));
  // sdl12-compat crashes on a blit onto no surface.
  if (s.screen) DrawActors(s);
  BlitText(s.clockText, s.screen, s.clockRect);
  BlitText(s.remainingText, s.screen, s.remainingRect);
  BlitText(s.livesText, s.screen, s.livesRect);
  if (s.screen) WindowFlip(s.screen);
  FreeSurface(s.clockText, s.remainingText, s.livesText, nullptr, nullptr);
  s.clockText = s.remainingText = s.livesText = nullptr;
}

void TakeEvent(GameState& s) {
  if (!PollGameEvent(&s.event)) return;
  if (s.event.type == SDL_KEYDOWN) {
    HandleKey(s, s.event.key.keysym.sym);
  } else if (s.event.type == SDL_QUIT) {
    s.running = 0;
    FINPROG = 1;
  }
}
