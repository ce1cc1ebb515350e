#ifndef GLOUTO_GAME_REPLAY_SOURCES_H
#define GLOUTO_GAME_REPLAY_SOURCES_H

#include <string>

#include "game/replay/recording.h"

// A recording as the player names it: a .partie file, a code, or a link to
// the game's page ("jeu.html#partie=CODE"). Returns "" with `*out` filled, or
// the French sentence that says why not.
std::string LoadRecording(const std::string& source, Recording* out);

#endif
