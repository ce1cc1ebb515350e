#include <algorithm>
#include <vector>

#include "common/Condition.h"
#include "game/flow/chance.h"
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
// A spot is refused within this many pixels of a wall's position on both axes.
constexpr int kClearance = 50;

// The walls ordered by x, so that a spot is tested only against the walls of
// its own 101-pixel column: a crowded level tries up to 10000 spots per chest.
class WallColumns {
 public:
  WallColumns(const SDL_Rect* walls, int wallCount)
      : sorted_(walls, walls + std::max(wallCount, 0)) {
    std::sort(sorted_.begin(), sorted_.end(),
              [](const SDL_Rect& a, const SDL_Rect& b) { return a.x < b.x; });
  }

  bool NearAWall(SDL_Rect* chests, int index) {
    const int x = chests[index].x;
    const auto first = std::lower_bound(sorted_.begin(), sorted_.end(), x - kClearance,
                                        [](const SDL_Rect& w, int v) { return w.x < v; });
    const auto last = std::upper_bound(first, sorted_.end(), x + kClearance,
                                       [](int v, const SDL_Rect& w) { return v < w.x; });
    SDL_Rect* column = sorted_.data() + (first - sorted_.begin());
    return Condition(chests, column, PRIEN, PRIEN, static_cast<int>(last - first), index, -20, -30,
                     20, 30, 0, 0, 0) >= 0;
  }

 private:
  std::vector<SDL_Rect> sorted_;
};

bool FindSpot(int width, int height, SDL_Rect* chests, int index, WallColumns& walls) {
  SDL_Rect& chest = chests[index];
  for (int tries = 0; tries < kMaxSpotTries; ++tries) {
    const int x = Chance() % width - kEdgeMargin;
    const int y = Chance() % height - kEdgeMargin;
    chest.x = static_cast<Sint16>(x);
    chest.y = static_cast<Sint16>(y);
    // The edge test is the cheap one, so it goes first.
    if (x < kEdgeMargin || y < kEdgeMargin) continue;
    if (!walls.NearAWall(chests, index)) return true;
  }
  return false;
}

}  // namespace

int Carres(int width, int height, SDL_Rect* chestPositions, SDL_Surface** chestImages,
           int chestCount, SDL_Rect* walls, int wallCount) {
  WallColumns columns(walls, wallCount);
  for (int i = 0; i < chestCount; ++i) {
    // A window without size has no spot at all (and would divide by zero).
    const bool placed = width > 0 && height > 0 &&
                        FindSpot(width, height, chestPositions, i, columns);
    if (!placed) {
      chestPositions[i].x = static_cast<Sint16>(width + kOffField);
      chestPositions[i].y = static_cast<Sint16>(height + kOffField);
    }
    ReloadImage(&chestImages[i], "Images/coffre.png");
  }
  return chestCount;
}
