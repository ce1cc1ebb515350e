#ifndef GLOUTO_GAME_REPLAY_KEPT_GAMES_H
#define GLOUTO_GAME_REPLAY_KEPT_GAMES_H

#include "level/code_bits.h"

// Every game played is kept in the player's folder as
// Parties/AAAA-MM-JJ_HH-MM-SS.partie, the last 50 of them, older ones removed
// first. A game that cannot be kept (a folder without room or rights) is lost
// without a word: play never depends on it.
constexpr int kKeptGames = 50;
void KeepGame(const CodeBytes& recording);

#endif
