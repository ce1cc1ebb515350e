#include "game/maze/actors.h"
#include "game/maze/images.h"
#include "level/level_file.h"

int Murs(SDL_Surface** wallImages, SDL_Rect* wallPositions, int /*width*/, int /*height*/,
         SDL_Surface* /*screen*/, int level) {
  char path[40];
  LevelFilePath(path, sizeof path, level);
  const int count = ReadLevelFile(path, wallPositions, kMaxWalls);
  // A missing file is a level without walls; the old tables stay as they are.
  if (count < 0) return 0;
  // One surface per wall: each entry owns and frees its own.
  for (int i = 0; i < count; ++i) ReloadImage(&wallImages[i], "Images/Mur.png");
  return count;
}
