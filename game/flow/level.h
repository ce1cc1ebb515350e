#ifndef GLOUTO_GAME_FLOW_LEVEL_H
#define GLOUTO_GAME_FLOW_LEVEL_H

#include "game/flow/state.h"

// Shows the level-start screen of s.level, which fills the level's walls,
// chests and enemies; returns what the screen answers (1 play, 0 leave).
int ShowLevelStart(GameState& s);

// The change to the next level: new counts, a wider window, the level-start
// screen, the hero back in the centre. The clock stands still meanwhile.
void ChangeLevel(GameState& s);

// The counts and window width of a player who reaches `level` by finishing
// each earlier level at once, with nothing left to eat and no enemy lost:
// the level change and the clock check after it, applied level by level.
// Changes no window and loads nothing; the hero stands in the new centre.
void AdvanceToLevel(GameState& s, int level);

// The hero's start: the centre of the window.
void CentreHero(GameState& s);

// Every enemy starts a level with a random turn.
void ResetEnemyTurns(GameState& s);

#endif
