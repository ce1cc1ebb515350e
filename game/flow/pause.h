#ifndef GLOUTO_GAME_FLOW_PAUSE_H
#define GLOUTO_GAME_FLOW_PAUSE_H

#include "game/flow/state.h"

// The pause (key p): the clock and the sound stand still until p, Escape or
// closing the window.
void PauseGame(GameState& s);

#endif
