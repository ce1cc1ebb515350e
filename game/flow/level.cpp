#include "game/flow/level.h"

#include "game/flow/caption.h"
#include "game/flow/globals.h"
#include "game/flow/rules.h"
#include "game/replay/intake.h"
#include "game/screens/screens.h"
#include "level/level_rules.h"
#include "platform/window.h"

namespace {

constexpr Uint32 kVideoFlags = SDL_HWSURFACE | SDL_DOUBLEBUF;
// The window takes the new level's width; true when that changed it.
bool Widen(GameState& s) {
  const int width = LevelWidth(s.level);
  if (width == s.width) return false;
  s.width = width;
  return true;
}

}  // namespace

int ShowLevelStart(GameState& s) {
  return init(s.width, s.height, s.screen, s.level, s.chestCount, s.chestImages.data(),
              s.wallImages.data(), s.chestPositions.data(), s.enemyCount, s.enemyPositions.data(),
              s.enemyImages.data(), s.enemyDirections.data(), &s.heroPosition, s.music.stream,
              s.font, s.wallPositions.data(), &s.wallCount);
}

void ResetEnemyTurns(GameState& s) {
  for (int i = 0; i < s.enemyCount; ++i) {
    s.enemyModes[i] = 1;
    s.turnCountdowns[i] = 0;
  }
}

void ChangeLevel(GameState& s) {
  SDL_RemoveTimer(s.timerId);
  s.timerId = {};
  GameWait(100);
  NextLevelCounts(s);
  if (Widen(s)) s.screen = WindowSetVideoMode(s.width, s.height, 32, kVideoFlags);
  s.running = ShowLevelStart(s);
  s.eatenSinceRefill = 0;
  s.heroDirection = 0;
  s.lives += 1;
  ResetEnemyTurns(s);
  CentreHero(s);
  s.timerId = SDL_AddTimer(250, minuteur, nullptr);
  ShowPlayScreen(s);
}

void AdvanceToLevel(GameState& s, int level) {
  while (s.level < level) {
    s.remaining = 0;
    NextLevelCounts(s);
    Widen(s);
    s.lives += 1;
    CapClock(s);  // the frame that changed the level checks the clock next
  }
  CentreHero(s);
}

void CentreHero(GameState& s) {
  s.heroPosition.x = static_cast<Sint16>(s.width / 2 + 1);
  s.heroPosition.y = static_cast<Sint16>(s.height / 2 + 1);
}
