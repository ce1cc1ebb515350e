// The one rectangle test: actors against walls and chests, points on buttons.
#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "common/Condition.h"

namespace {

using Xy = std::pair<int, int>;
SDL_Rect At(Xy p) {
  return SDL_Rect{static_cast<Sint16>(p.first), static_cast<Sint16>(p.second), 0, 0};
}

constexpr std::array<int, 6> kActorOnWalls{0, 0, 50, 25, 0, 0};  // a 50-pixel actor, 25-pixel walls
constexpr std::array<int, 6> kHeroOnChests{0, 0, 50, 20, 0, 0};
constexpr std::array<int, 6> kChestSpot{-20, -30, 20, 30, 0, 0};  // 50 pixels round a wall
constexpr std::array<int, 6> kButton{0, 0, 0, 125, 0, 40};        // a 125 x 40 plate

struct Row {
  int mode;
  std::vector<Xy> movers, others;  // or, in mode 2, the point and the box
  std::array<int, 6> margins;
  int expected;
  int index = 0;
  int count = -1;  // all the others
};

}  // namespace

TEST(Condition, TouchesUpToTheSharedEdgeAndPointsLieInTheirBoxEdgesIncluded) {
  const Row kRows[] = {
      // An actor at the origin against one wall: edges and corners shared touch.
      {0, {{0, 0}}, {{50, 0}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{51, 0}}, kActorOnWalls, -1},
      {0, {{0, 0}}, {{-25, 0}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{-26, 0}}, kActorOnWalls, -1},
      {0, {{0, 0}}, {{0, 50}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{0, 51}}, kActorOnWalls, -1},
      {0, {{0, 0}}, {{0, -25}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{0, -26}}, kActorOnWalls, -1},
      {0, {{0, 0}}, {{50, 50}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{-25, -25}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{51, 50}}, kActorOnWalls, -1},
      {0, {{0, 0}}, {{10, 10}}, kActorOnWalls, 1},  // a wall inside the actor
      // The first wall of the table counts as much as the last.
      {0, {{0, 0}}, {{40, 40}, {500, 500}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{500, 500}, {40, 40}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{40, 40}}, kActorOnWalls, -1, 0, 0},  // none looked at
      // The mover is the entry named by index.
      {0, {{10000, 10000}, {0, 0}}, {{40, 40}}, kActorOnWalls, -1, 0},
      {0, {{10000, 10000}, {0, 0}}, {{40, 40}}, kActorOnWalls, 1, 1},
      // Coordinates widened before the margins are added: 32767 + 50 wraps in 16 bits.
      {0, {{32767, 32767}}, {{0, 0}}, kActorOnWalls, -1},
      {0, {{32740, 32740}}, {{32767, 32767}}, kActorOnWalls, 1},
      {0, {{-32768, 0}}, {{-32768 + 50, 0}}, kActorOnWalls, 1},
      // Mode 1 names the first chest touched.
      {1, {{100, 100}}, {{160, 100}, {150, 150}}, kHeroOnChests, 1},
      {1, {{100, 100}}, {{500, 500}, {120, 120}, {110, 110}}, kHeroOnChests, 1},
      {1, {{100, 100}}, {{110, 110}, {120, 120}}, kHeroOnChests, 0},
      {1, {{100, 100}}, {{500, 500}, {120, 120}}, kHeroOnChests, -1, 0, 1},
      {1, {{0, 0}}, {}, kActorOnWalls, -1},
      // A chest spot is refused within 50 pixels of a wall on both axes.
      {0, {{350, 350}}, {{300, 300}}, kChestSpot, 1},
      {0, {{250, 250}}, {{300, 300}}, kChestSpot, 1},
      {0, {{300, 300}}, {{300, 300}}, kChestSpot, 1},
      {0, {{351, 300}}, {{300, 300}}, kChestSpot, -1},
      {0, {{300, 351}}, {{300, 300}}, kChestSpot, -1},
      {0, {{249, 300}}, {{300, 300}}, kChestSpot, -1},
      {0, {{351, 351}}, {{300, 300}}, kChestSpot, -1},
      // Mode 2: a point on a plate at (237, 360), all four edges included.
      {2, {{237, 360}}, {{237, 360}}, kButton, 1},
      {2, {{362, 400}}, {{237, 360}}, kButton, 1},
      {2, {{362, 360}}, {{237, 360}}, kButton, 1},
      {2, {{237, 400}}, {{237, 360}}, kButton, 1},
      {2, {{363, 400}}, {{237, 360}}, kButton, 0},
      {2, {{362, 401}}, {{237, 360}}, kButton, 0},
      {2, {{236, 360}}, {{237, 360}}, kButton, 0},
      {2, {{237, 359}}, {{237, 360}}, kButton, 0},
      // Margins 1 and 3 move the point, 2 and 4, 5 and 6 bound the box.
      {2, {{0, 0}}, {{100, 100}}, {110, 5, 120, 20, 10, 30}, 1},
      {2, {{0, 0}}, {{100, 100}}, {104, 5, 120, 20, 10, 30}, 0},
      {2, {{0, 0}}, {{100, 100}}, {110, 5, 131, 20, 10, 30}, 0},
      {2, {{0, 0}}, {{100, 100}}, {110, 5, 109, 20, 10, 30}, 0},
  };
  for (const Row& r : kRows) {
    std::vector<SDL_Rect> movers, others;
    for (Xy p : r.movers) movers.push_back(At(p));
    for (Xy p : r.others) others.push_back(At(p));
    SCOPED_TRACE(testing::Message()
                 << "mode " << r.mode << ", mover (" << r.movers[0].first << ", "
                 << r.movers[0].second << "), first other (" << (others.empty() ? 0 : others[0].x)
                 << ", " << (others.empty() ? 0 : others[0].y) << ")");
    const auto& m = r.margins;
    const bool point = r.mode == 2;
    EXPECT_EQ(Condition(point ? nullptr : movers.data(), point ? nullptr : others.data(),
                        point ? movers[0] : SDL_Rect{}, point ? others[0] : SDL_Rect{},
                        point         ? 0
                        : r.count < 0 ? static_cast<int>(others.size())
                                      : r.count,
                        r.index, m[0], m[1], m[2], m[3], m[4], m[5], r.mode),
              r.expected);
  }
  for (int mode : {-1, 3, 100}) {  // unknown: no table is read
    EXPECT_EQ(Condition(nullptr, nullptr, {}, {}, 1000, 7, 0, 0, 50, 25, 0, 0, mode), -1) << mode;
  }
}
