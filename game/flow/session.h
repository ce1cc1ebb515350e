#ifndef GLOUTO_GAME_FLOW_SESSION_H
#define GLOUTO_GAME_FLOW_SESSION_H

#include "game/flow/state.h"

// Start-up of a game up to the welcome caption: SDL, fonts, sound, window,
// the start values, the music files. False, with nothing started, when SDL
// cannot start its video (no display).
bool StartUp(GameState& s);

// The player-count menu (none on two screens), the first level-start screen, then the window, the
// hero, the timer and the endless first track. A game may start at a later
// level (1..99), as if every level before it had been finished at once.
void StartFirstLevel(GameState& s, int level = 1);

// After the frame loop: the outcome, then the end and credits screens unless
// the program is ending.
void FinishGame(GameState& s);

// Releases everything the game loaded and shuts SDL, the fonts and the sound
// down. Returns whether a new game follows.
bool ShutDown(GameState& s);

// Frees every image and text the game holds and empties its slots.
void ReleaseGameSurfaces(GameState& s);

#endif
