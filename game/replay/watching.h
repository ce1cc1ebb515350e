#ifndef GLOUTO_GAME_REPLAY_WATCHING_H
#define GLOUTO_GAME_REPLAY_WATCHING_H

#include <SDL.h>

// The watcher's side of a replay: the window's own keys ("p" pauses, "+" and
// "-" change the speed, Escape or closing the window stops), the pace and the
// caption that says a recording plays.
void WatchBegin(bool watching, bool fast);
// Takes the watcher's keys; holds here while the watcher pauses.
void WatchUpkeep();
bool WatchStopped();
// A wait of the game, at the watching speed.
void WatchWait(Uint32 ms);
// The pause a player made before a screen's event, at the watching speed.
void WatchPace(Uint32 ms);

#endif
