#include "game/maze/actors.h"
#include "game/maze/images.h"
#include "game/replay/intake.h"
#include "level/level_rules.h"

int Murs(SDL_Surface** wallImages, SDL_Rect* wallPositions, int /*width*/, int /*height*/,
         SDL_Surface* /*screen*/, int level) {
  const int count = ReadGameLevel(level, wallPositions, kMaxWalls);
  // A missing file is a level without walls; the old tables stay as they are.
  if (count < 0) return 0;
  // One surface per wall: each entry owns and frees its own.
  for (int i = 0; i < count; ++i) ReloadImage(&wallImages[i], "Images/Mur.png");
  return count;
}
