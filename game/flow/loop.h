#ifndef GLOUTO_GAME_FLOW_LOOP_H
#define GLOUTO_GAME_FLOW_LOOP_H

#include "game/flow/state.h"

// The rule steps of a frame in their order, the level change included.
void ApplyRules(GameState& s);

// One whole frame: the timer's ticks, music, HUD, moves, animation, clock, draw, event, rules,
// waits.
void RunFrame(GameState& s);

// Frames while the game runs, with players, and the program is not ending.
void PlayLevels(GameState& s);

#endif
