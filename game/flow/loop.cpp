#include "game/flow/loop.h"

#include "game/flow/frame.h"
#include "game/flow/globals.h"
#include "game/flow/level.h"
#include "game/flow/rules.h"
#include "game/replay/intake.h"

void ApplyRules(GameState& s) {
  HeroEatsChest(s);  // before the enemies: a chest both reach is the hero's
  EnemiesMeetChestsAndWalls(s);
  KeepKeyRemaining(s);
  HeroMeetsEnemy(s);
  HeroMeetsWall(s);
  RefillChests(s);
  if (LevelIsComplete(s)) ChangeLevel(s);
  RunOutClock(s);
  CapClock(s);
  PlaceClockText(s);
}

void RunFrame(GameState& s) {
  SeeTicks(s);
  MusicUpkeep(s.music);
  RenderHud(s);
  MoveHero(s);
  MoveEnemies(s);
  AnimateSprites(s);
  TickClock(s);
  DrawFrame(s);
  TakeEvent(s);
  GameWait(2);
  ApplyRules(s);
  GameWait(7);
}

void PlayLevels(GameState& s) {
  while (s.running == 1 && s.playerCount > 0 && FINPROG == 0) RunFrame(s);
}
