// The shipped levels under Niveaux/: what the checker accepts, the free start
// places, room for the chests, and every chest within the hero's reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/Condition.h"
#include "level/level_check.h"
#include "level/level_file.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kHeight = 600, kActor = 50, kStep = 5;  // the actors move 5 pixels a frame

bool Touches(int x, int y, std::vector<SDL_Rect>& walls, int lo, int hi, int wallLo, int wallHi) {
  SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  return Condition(&at, walls.data(), {}, {}, static_cast<int>(walls.size()), 0, lo, wallLo, hi,
                   wallHi, 0, 0, 0) >= 0;
}

}  // namespace

TEST(ShippedLevels, EveryLevelIsPlayableWithEveryChestInTheHerosReach) {
  int level = 1;
  size_t firstCount = 0;
  for (;; ++level) {
    const std::string path = AssetsDir() + "/Niveaux/Niveau_" + std::to_string(level) + ".txt";
    if (!FileExists(path)) break;
    SCOPED_TRACE(path);
    const LevelVerdict verdict = CheckLevelText(ReadFile(path), level);
    EXPECT_EQ(verdict.problem, LevelProblem::kNone) << verdict.line << ": " << verdict.detail;
    std::vector<SDL_Rect> walls(kMaxWalls);
    walls.resize(std::max(0, ReadLevelFile(path.c_str(), walls.data(), kMaxWalls)));
    if (level == 1) firstCount = walls.size();
    EXPECT_GE(walls.size(), std::max<size_t>(firstCount, 1)) << "emptier than level 1";
    std::set<std::pair<int, int>> seen;
    for (const SDL_Rect& w : walls)
      EXPECT_TRUE(seen.insert({w.x, w.y}).second) << w.x << "," << w.y;

    // The hero's positions from its start, on its 5-pixel lattice.
    const int width = LevelWidth(level), hx = width / 2 + 1, hy = kHeight / 2 + 1;
    auto blocked = [&](int x, int y) { return Touches(x, y, walls, 0, kActor, 0, 25); };
    EXPECT_FALSE(blocked(26, 26)) << "enemies' start";
    EXPECT_FALSE(blocked(hx, hy)) << "hero's start";
    // Each position once: 1 reached, 2 blocked.
    std::vector<char> state(static_cast<size_t>(width * kHeight), 0);
    auto at = [&](int x, int y) -> char& { return state[static_cast<size_t>(y * width + x)]; };
    auto reached = [&](int x, int y) {
      return x >= 0 && y >= 0 && x < width && y < kHeight && at(x, y) == 1;
    };
    at(hx, hy) = 1;
    for (std::vector<std::pair<int, int>> todo{{hx, hy}}; !todo.empty();) {
      const auto [x, y] = todo.back();
      todo.pop_back();
      for (auto [dx, dy] : {std::pair{kStep, 0}, {-kStep, 0}, {0, kStep}, {0, -kStep}}) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx > width - kActor || ny > kHeight - kActor || at(nx, ny))
          continue;
        at(nx, ny) = blocked(nx, ny) ? 2 : 1;
        if (at(nx, ny) == 1) todo.push_back({nx, ny});
      }
    }
    EXPECT_TRUE(reached(26, 26)) << "the hero cannot reach the enemies' start";

    // The game's chest draws: at least a quarter accepted, each eaten from a
    // reached position (the hero at hx in [cx - 50, cx + 20], and so on y).
    std::srand(static_cast<unsigned>(level));
    int accepted = 0, draws = 4000;
    for (int k = 0; k < draws; ++k) {
      const int cx = std::rand() % width - 30, cy = std::rand() % kHeight - 30;
      if (cx <= 29 || cy <= 29 || Touches(cx, cy, walls, -20, 20, -30, 30)) continue;
      ++accepted;
      auto first = [](int from, int start) {
        return from + ((start - from) % kStep + kStep) % kStep;
      };
      bool eaten = false;
      for (int x = first(cx - 50, hx); x <= cx + 20; x += kStep)
        for (int y = first(cy - 50, hy); y <= cy + 20; y += kStep) eaten = eaten || reached(x, y);
      EXPECT_TRUE(eaten) << "a chest at " << cx << "," << cy << " out of the hero's reach";
    }
    EXPECT_GE(accepted * 4, draws);
  }
  EXPECT_GE(level - 1, 12) << "levels 1 to 12 at least, without gaps";
}
