#ifndef GLOUTO_GAME_REPLAY_SHIPPED_LEVELS_H
#define GLOUTO_GAME_REPLAY_SHIPPED_LEVELS_H

#include <SDL.h>

// The level files the game ships with, built in: a recording carries only the
// levels that differ from them, and a replay plays them whatever the player's
// folder holds.
struct ShippedLevel {
  int level;
  const char* text;
};
extern const ShippedLevel kShippedLevels[];
extern const int kShippedLevelCount;

// As ReadLevelFile would read the shipped file of `level` (-1: none ships).
int ReadShippedLevel(int level, SDL_Rect* walls, int capacity);

// Whether `count` walls (-1: no file) are what the shipped level gives.
bool SameAsShipped(int level, const SDL_Rect* walls, int count);

#endif
