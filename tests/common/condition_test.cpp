#include <gtest/gtest.h>

#include <vector>

#include "common/Condition.h"

namespace {

SDL_Rect At(int x, int y) { return SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0}; }
const SDL_Rect kNone = At(0, 0);

// An actor (50-pixel square) against a table of 25-pixel walls, as the game asks.
int ActorAgainstWalls(SDL_Rect actor, std::vector<SDL_Rect> walls, int mode = 0) {
  return Condition(&actor, walls.data(), kNone, kNone, static_cast<int>(walls.size()), 0, 0, 0, 50,
                   25, 0, 0, mode);
}

int PointOnButton(int px, int py, SDL_Rect button, int w, int h) {
  SDL_Rect unused = kNone;
  return Condition(&unused, &unused, At(px, py), button, 0, 0, 0, 0, 0, w, 0, h, 2);
}

}  // namespace

TEST(Condition, EmptyTableIsNeverTouched) {
  SDL_Rect actor = At(0, 0);
  EXPECT_EQ(Condition(&actor, nullptr, kNone, kNone, 0, 0, 0, 0, 50, 25, 0, 0, 0), -1);
  EXPECT_EQ(Condition(&actor, nullptr, kNone, kNone, 0, 0, 0, 0, 50, 25, 0, 0, 1), -1);
}

TEST(Condition, ActorTouchesWallsUpToTheSharedEdgeInclusive) {
  struct Case {
    int wx, wy;
    int expected;
  };
  const Case cases[] = {
      {50, 0, 1},                  // right edges meet at x = 50
      {51, 0, -1},                 // one pixel further is free
      {-25, 0, 1},                 // wall's right edge at x = 0
      {-26, 0, -1},  {0, 50, 1},   // below, edges meet
      {0, 51, -1},   {0, -25, 1},  // above
      {0, -26, -1},  {50, 50, 1},  // only a corner point shared
      {-25, -25, 1}, {51, 50, -1},
      {10, 10, 1},  // wall wholly inside the actor: no corner of the actor inside the wall
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "wall at (" << c.wx << ", " << c.wy << ")");
    EXPECT_EQ(ActorAgainstWalls(At(0, 0), {At(c.wx, c.wy)}), c.expected);
  }
}

TEST(Condition, FirstContactModeReturnsTheLowestIndexTouched) {
  SDL_Rect hero = At(100, 100);
  std::vector<SDL_Rect> chests = {At(160, 100), At(150, 150)};
  EXPECT_EQ(Condition(&hero, chests.data(), kNone, kNone, 2, 0, 0, 0, 50, 20, 0, 0, 1), 1);

  std::vector<SDL_Rect> both = {At(500, 500), At(120, 120), At(110, 110)};
  EXPECT_EQ(Condition(&hero, both.data(), kNone, kNone, 3, 0, 0, 0, 50, 20, 0, 0, 1), 1);
  EXPECT_EQ(Condition(&hero, both.data(), kNone, kNone, 3, 0, 0, 0, 50, 20, 0, 0, 0), 1);
  // Only the first `count` entries are looked at.
  EXPECT_EQ(Condition(&hero, both.data(), kNone, kNone, 1, 0, 0, 0, 50, 20, 0, 0, 1), -1);
}

TEST(Condition, MoverIsTheEntryNamedByIndex) {
  std::vector<SDL_Rect> enemies = {At(10000, 10000), At(0, 0)};
  std::vector<SDL_Rect> walls = {At(40, 40)};
  EXPECT_EQ(Condition(enemies.data(), walls.data(), kNone, kNone, 1, 0, 0, 0, 50, 25, 0, 0, 0), -1);
  EXPECT_EQ(Condition(enemies.data(), walls.data(), kNone, kNone, 1, 1, 0, 0, 50, 25, 0, 0, 0), 1);
}

TEST(Condition, ChestSpotNearAWallIsRefusedWithinFiftyPixelsOnBothAxes) {
  std::vector<SDL_Rect> walls = {At(300, 300)};
  auto refused = [&](int x, int y) {
    SDL_Rect chest = At(x, y);
    return Condition(&chest, walls.data(), kNone, kNone, 1, 0, -20, -30, 20, 30, 0, 0, 0) == 1;
  };
  EXPECT_TRUE(refused(350, 350));
  EXPECT_TRUE(refused(250, 250));
  EXPECT_TRUE(refused(300, 300));
  EXPECT_FALSE(refused(351, 300));
  EXPECT_FALSE(refused(300, 351));
  EXPECT_FALSE(refused(249, 300));
  EXPECT_FALSE(refused(351, 351));
}

TEST(Condition, CoordinatesAreWidenedBeforeTheMarginsAreAdded) {
  // 32767 + 50 would wrap to a negative number in 16 bits and touch a wall at the origin.
  EXPECT_EQ(ActorAgainstWalls(At(32767, 32767), {At(0, 0)}), -1);
  EXPECT_EQ(ActorAgainstWalls(At(32740, 32740), {At(32767, 32767)}), 1);
  EXPECT_EQ(ActorAgainstWalls(At(-32768, 0), {At(-32768 + 50, 0)}), 1);
}

TEST(Condition, PointInBoxIncludesAllFourEdges) {
  const SDL_Rect button = At(237, 360);
  struct Case {
    int x, y, expected;
  };
  const Case cases[] = {
      {237, 360, 1}, {362, 400, 1}, {300, 380, 1}, {362, 360, 1}, {237, 400, 1},
      {363, 400, 0}, {362, 401, 0}, {236, 360, 0}, {237, 359, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "point (" << c.x << ", " << c.y << ")");
    EXPECT_EQ(PointOnButton(c.x, c.y, button, 125, 40), c.expected);
  }
}

TEST(Condition, PointModeAddsItsMarginsToThePointAndTheBox) {
  SDL_Rect unused = kNone;
  // Point moved by margin1 / margin3; box bounds from margin2..margin4 and margin5..margin6.
  EXPECT_EQ(Condition(&unused, &unused, At(0, 0), At(100, 100), 0, 0, 110, 5, 120, 20, 10, 30, 2),
            1);
  EXPECT_EQ(Condition(&unused, &unused, At(0, 0), At(100, 100), 0, 0, 104, 5, 120, 20, 10, 30, 2),
            0);
  EXPECT_EQ(Condition(&unused, &unused, At(0, 0), At(100, 100), 0, 0, 110, 5, 131, 20, 10, 30, 2),
            0);
}

TEST(Condition, UnknownModeReturnsMinusOneWithoutReadingTheTables) {
  for (int mode : {-1, 3, 4, 100}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(Condition(nullptr, nullptr, kNone, kNone, 1000, 7, 0, 0, 50, 25, 0, 0, mode), -1);
  }
}
