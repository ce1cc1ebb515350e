#ifndef GLOUTO_LEVEL_LEVEL_FILE_H
#define GLOUTO_LEVEL_LEVEL_FILE_H

#include <SDL.h>

#include <string>

#include "level/level_rules.h"

// LevelPath(level) (level_paths.h) as a C string, cut to fit `size`.
void LevelFilePath(char* path, int size, int level);

// Reads the walls of a level file into walls[0 .. n-1] and returns n, never
// more than `capacity`. Returns -1, touching nothing, when the file cannot be
// opened. A malformed file gives the walls that could be read, and that count.
int ReadLevelFile(const char* path, SDL_Rect* walls, int capacity);

// The same reading of a level file's text held in memory.
int ReadLevelWalls(const std::string& text, SDL_Rect* walls, int capacity);

#endif
