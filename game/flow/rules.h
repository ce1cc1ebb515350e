#ifndef GLOUTO_GAME_FLOW_RULES_H
#define GLOUTO_GAME_FLOW_RULES_H

#include "game/flow/state.h"

// The counts of level 1 at the start of a game.
void SetStartCounts(GameState& s);

// The rule steps of a frame, in the order the frame applies them.
void HeroEatsChest(GameState& s);
void EnemiesMeetChestsAndWalls(GameState& s);
// The count that g or t set in this frame's event step wins over the chests
// eaten in the same frame: g completes the level, t runs the clock out.
void KeepKeyRemaining(GameState& s);
void HeroMeetsEnemy(GameState& s);
void HeroMeetsWall(GameState& s);
void RefillChests(GameState& s);
bool LevelIsComplete(const GameState& s);  // then ChangeLevel (level.h) runs
void RunOutClock(GameState& s);
void CapClock(GameState& s);
void PlaceClockText(GameState& s);

// Level, chest count, clock, remaining count and enemy count of the next level.
void NextLevelCounts(GameState& s);

#endif
