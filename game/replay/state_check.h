#ifndef GLOUTO_GAME_REPLAY_STATE_CHECK_H
#define GLOUTO_GAME_REPLAY_STATE_CHECK_H

#include <cstdint>

struct GameState;

// A fingerprint of everything the rules read and write: the counters, every
// position, direction, mode and countdown, the music's choices and the globals.
std::uint32_t StateChecksum(const GameState& s);

#endif
