#include "game/flow/rules.h"

#include <algorithm>

#include "common/Condition.h"
#include "game/flow/chance.h"
#include "game/flow/globals.h"
#include "game/maze/actors.h"
#include "game/replay/intake.h"
#include "platform/feel.h"

namespace {

// Contact margins: the mover is a 50-pixel square, the other one of its own size.
constexpr int kActor = 50, kChest = 20, kWall = 25;
constexpr int kFirstTouched = 1, kAnyTouched = 0;
constexpr int kParked = 10000;  // where a caught enemy spends the rest of the level

int Touched(SDL_Rect* movers, int index, SDL_Rect* others, int count, int size, int mode) {
  return Condition(movers, others, PRIEN, PRIEN, count, index, 0, 0, kActor, size, 0, 0, mode);
}

// An eaten chest leaves the field.
void RemoveChest(GameState& s, int chest) {
  s.chestPositions[chest].x = static_cast<Sint16>(s.width + 2000);
  s.chestPositions[chest].y = static_cast<Sint16>(s.height + 2000);
}

int RefillClock(const GameState& s) { return s.chestCount * 3 / 2; }

}  // namespace

void SetStartCounts(GameState& s) {
  s.level = 1;
  s.chestCount = 50 * s.level;
  s.clock = 60 + s.chestCount * 3 / 2;
  s.remaining = 100 * s.level + s.clock / 30;
  s.enemyCount = s.level;
  s.lives = 1;
  s.score = s.enemyScore = s.eatenSinceRefill = 0;
}

void HeroEatsChest(GameState& s) {
  const int chest = Touched(&s.heroPosition, 0, s.chestPositions.data(), s.chestCount, kChest,
                            kFirstTouched);
  if (chest < 0) return;
  RemoveChest(s, chest);
  s.chestBonus = (Chance() % 1000000) % 7 == 0 ? 2 : 0;
  s.remaining -= s.chestBonus + 1;
  s.score += 1;
  s.eatenSinceRefill += 1;
}

void EnemiesMeetChestsAndWalls(GameState& s) {
  for (int i = 0; i < s.enemyCount; ++i) {
    const int chest = Touched(s.enemyPositions.data(), i, s.chestPositions.data(), s.chestCount,
                              kChest, kFirstTouched);
    if (chest >= 0) {
      RemoveChest(s, chest);
      s.eatenSinceRefill += 1;
      s.remaining += 1;
      if (s.playerCount == 2) s.enemyScore += 1;
    }
    if (Touched(s.enemyPositions.data(), i, s.wallPositions.data(), s.wallCount, kWall,
                kAnyTouched) >= 0)
      s.enemyModes[i] = 3;
  }
}

void KeepKeyRemaining(GameState& s) {
  if (s.keyRemaining < 0) return;
  s.remaining = s.keyRemaining;
  s.keyRemaining = -1;
}

void HeroMeetsEnemy(GameState& s) {
  if (invulnerable > 0) return;
  const int enemy = Touched(&s.heroPosition, 0, s.enemyPositions.data(), s.enemyCount, kActor,
                            kFirstTouched);
  if (enemy < 0 || s.playerCount > 1) return;
  FeelCaught();
  if (s.lives == 0) {
    s.clock = 0;
    s.running = 0;
    return;
  }
  s.enemyPositions[enemy].x = s.enemyPositions[enemy].y = kParked;
  s.enemyDirections[enemy] = 0;
  s.lives -= 1;
  if (s.enemyCount == 1) s.enemyCount = 0;
  GameWait(30);
}

void HeroMeetsWall(GameState& s) {
  if (Touched(&s.heroPosition, 0, s.wallPositions.data(), s.wallCount, kWall, kAnyTouched) >= 0)
    s.heroMode = 3;
}

void RefillChests(GameState& s) {
  if (s.eatenSinceRefill < s.chestCount * 95 / 100) return;
  Carres(s.width, s.height, s.chestPositions.data(), s.chestImages.data(), s.chestCount,
         s.wallPositions.data(), s.wallCount);
  s.eatenSinceRefill = 0;
}

// A last chest eaten in the frame whose clock step reached 0 still completes
// the level, unless the game was lost in that frame.
bool LevelIsComplete(const GameState& s) {
  return s.remaining <= 0 && (s.clock > 0 || s.running == 1);
}

void NextLevelCounts(GameState& s) {
  s.level += 1;
  s.chestCount = std::min(50 * s.level + s.remaining, kChestCapacity);
  s.clock += s.chestCount * 3 / 2;
  s.remaining = 100 * s.level + s.clock / 30;
  if (s.enemyCount == 0) s.enemyCount = s.level <= 19 ? s.level % 4 : kEnemyCapacity;
  if (s.level % 4 == 0 && s.enemyCount <= 4) s.enemyCount += 1;
}

void RunOutClock(GameState& s) {
  if (s.clock != 0 || s.remaining <= 0) return;
  if (s.lives < 0) {
    s.running = 0;
    return;
  }
  s.clock = RefillClock(s);
  s.lives -= 1;
}

void CapClock(GameState& s) {
  if (s.clock <= 999) return;
  s.clock = RefillClock(s);
  s.lives += 1;
}

void PlaceClockText(GameState& s) {
  if (s.clock >= 100 && s.clock <= 999)
    s.clockRect.x = static_cast<Sint16>(s.width - 140);
  else if (s.clock <= 99)
    s.clockRect.x = static_cast<Sint16>(s.width - 130);
}
