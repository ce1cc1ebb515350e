#ifndef GLOUTO_GAME_FLOW_KEYS_H
#define GLOUTO_GAME_FLOW_KEYS_H

#include "game/flow/state.h"

// Acts on one key pressed during play; keys without a role do nothing.
void HandleKey(GameState& s, int key);

#endif
