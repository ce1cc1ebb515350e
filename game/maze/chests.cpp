#include <cstdlib>

#include "common/Condition.h"
#include "game/flow/globals.h"
#include "game/maze/actors.h"
#include "game/maze/images.h"

namespace {

// Spots tried for one chest (each try draws x, then y) before it is given up:
// a level whose walls leave no free spot must not hang the game.
constexpr int kMaxSpotTries = 10000;
// Where a chest that found no spot goes: off the field, like an eaten one.
constexpr int kOffField = 2000;
// A chest keeps this far from the window's top and left edges.
constexpr int kEdgeMargin = 30;

bool NearAWall(SDL_Rect* chests, int index, SDL_Rect* walls, int wallCount) {
  // Refused within 50 pixels of a wall's position on both axes.
  return Condition(chests, walls, PRIEN, PRIEN, wallCount, index, -20, -30, 20, 30, 0, 0, 0) >= 0;
}

bool FindSpot(int width, int height, SDL_Rect* chests, int index, SDL_Rect* walls,
              int wallCount) {
  SDL_Rect& chest = chests[index];
  for (int tries = 0; tries < kMaxSpotTries; ++tries) {
    const int x = std::rand() % width - kEdgeMargin;
    const int y = std::rand() % height - kEdgeMargin;
    chest.x = static_cast<Sint16>(x);
    chest.y = static_cast<Sint16>(y);
    // The edge test is the cheap one, so it goes first.
    if (x < kEdgeMargin || y < kEdgeMargin) continue;
    if (!NearAWall(chests, index, walls, wallCount)) return true;
  }
  return false;
}

}  // namespace

int Carres(int width, int height, SDL_Rect* chestPositions, SDL_Surface** chestImages,
           int chestCount, SDL_Rect* walls, int wallCount) {
  for (int i = 0; i < chestCount; ++i) {
    // A window without size has no spot at all (and would divide by zero).
    const bool placed = width > 0 && height > 0 &&
                        FindSpot(width, height, chestPositions, i, walls, wallCount);
    if (!placed) {
      chestPositions[i].x = static_cast<Sint16>(width + kOffField);
      chestPositions[i].y = static_cast<Sint16>(height + kOffField);
    }
    ReloadImage(&chestImages[i], "Images/coffre.png");
  }
  return chestCount;
}
