#ifndef GLOUTO_GAME_REPLAY_TAKEN_EVENT_H
#define GLOUTO_GAME_REPLAY_TAKEN_EVENT_H

#include <SDL.h>

#include "game/replay/recording.h"

// An SDL event as the game reads it, and back: the same fields for the game
// whichever SDL the recording came from. The game's own keys get small numbers
// of their own; any other key is kept as this target's SDL numbers it.
TakenEvent Taken(const SDL_Event& event, bool fromPad);
SDL_Event EventOf(const TakenEvent& taken);

#endif
