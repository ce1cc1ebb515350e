#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "game/flow/globals.h"
#include "game/maze/actors.h"
#include "game/maze/movement.h"
#include "tests/game/maze_helpers.h"
#include "tests/support/test_support.h"

using maze_test::Draws;

namespace {

struct Actor {
  int direction, x, y, countdown;
};

bool operator==(const Actor& a, const Actor& b) {
  return a.direction == b.direction && a.x == b.x && a.y == b.y && a.countdown == b.countdown;
}
void PrintTo(const Actor& a, std::ostream* os) {
  *os << "{dir " << a.direction << " at (" << a.x << ", " << a.y << "), countdown " << a.countdown
      << "}";
}

// Moves actor 1 of a three-actor table; its neighbours must not move.
Actor Step(const Actor& a, int mode, std::vector<SDL_Rect> walls = {}, int width = 600,
           int height = 600, int speed = 5) {
  std::array<int, 3> directions{4, a.direction, 4};
  std::array<SDL_Rect, 3> positions{
      {{7, 7, 0, 0}, {static_cast<Sint16>(a.x), static_cast<Sint16>(a.y), 0, 0}, {9, 9, 0, 0}}};
  std::array<int, 3> countdowns{0, a.countdown, 0};
  const int result = Deplacement(directions.data(), positions.data(), 1, speed, width, height, mode,
                                 walls.data(), static_cast<int>(walls.size()), countdowns.data());
  EXPECT_EQ(result, directions[1]);
  for (const int i : {0, 2}) {
    EXPECT_EQ(directions[i], 4);
    EXPECT_EQ(positions[i].x, 7 + i);
    EXPECT_EQ(positions[i].y, 7 + i);
    EXPECT_EQ(countdowns[i], 0);
  }
  return {result, positions[1].x, positions[1].y, countdowns[1]};
}

int DirectionFrom(int draw) { return draw % 4 + 1; }

}  // namespace

TEST(Movement, ModeZeroMovesOneStepAndTurnsAnActorAwayFromTheEdgeItCrossed) {
  struct Case {
    Actor before;
    int width, speed;
    Actor after;
  };
  const Case cases[] = {
      {{1, 100, 100, 0}, 600, 7, {1, 107, 100, 0}},
      {{4, 100, 100, 0}, 600, 5, {4, 100, 105, 0}},
      // Right and bottom fire once the far side is 10 pixels past the edge.
      {{1, 555, 100, 0}, 600, 5, {2, 550, 100, 0}},
      {{1, 554, 100, 0}, 600, 5, {1, 559, 100, 0}},
      {{1, 955, 100, 0}, 1000, 5, {2, 950, 100, 0}},
      {{4, 100, 555, 0}, 600, 5, {3, 100, 550, 0}},
      {{4, 100, 554, 0}, 600, 5, {4, 100, 559, 0}},
      {{2, 3, 100, 0}, 600, 5, {1, 0, 100, 0}},
      {{2, 6, 100, 0}, 600, 5, {2, 1, 100, 0}},
      {{3, 100, 3, 0}, 600, 5, {4, 100, 0, 0}},
      // Whatever the direction: moving up along the left edge, moving right along the top.
      {{3, -5, 100, 0}, 600, 5, {1, 0, 95, 0}},
      {{1, 100, 0, 0}, 600, 5, {4, 105, 0, 0}},
      // Rules in order, the last one wins the direction.
      {{1, 555, -4, 0}, 600, 5, {4, 550, 0, 0}},
      // A stopped actor meets no edge.
      {{0, 0, 0, 0}, 600, 5, {0, 0, 0, 0}},
      {{0, 700, -40, 0}, 600, 5, {0, 700, -40, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.before));
    const std::vector<int> draws = Draws(11, 1);
    EXPECT_EQ(Step(c.before, kModeMove, {}, c.width, 600, c.speed), c.after);
    EXPECT_EQ(std::rand(), draws[0]) << "mode 0 never draws";
  }
}

TEST(Movement, RandomTurnRedrawsDirectionThenCountdownWithinAQuarterOfTheWidth) {
  for (const int width : {600, 1000}) {
    int longest = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
      SCOPED_TRACE(::testing::Message() << "width " << width << " seed " << seed);
      const std::vector<int> draws = Draws(seed, 3);
      const Actor after = Step({3, 300, 200, 0}, kModeRandomTurn, {}, width);
      EXPECT_EQ(after, (Actor{DirectionFrom(draws[0]), 300, 200, draws[1] % (width / 4)}));
      EXPECT_GE(after.countdown, 0);
      EXPECT_LT(after.countdown, width / 4);
      longest = std::max(longest, after.countdown);
      EXPECT_EQ(std::rand(), draws[2]) << "exactly two draws";
    }
    EXPECT_GT(longest, (width / 4) * 9 / 10);
  }
}

TEST(Movement, RandomTurnWaitsForTheCountdownAndLeavesAStoppedActorAlone) {
  const Actor cases[] = {{3, 300, 200, 7}, {3, 300, 200, -1}, {0, 300, 200, 0}};
  for (const Actor& before : cases) {
    SCOPED_TRACE(::testing::PrintToString(before));
    const std::vector<int> draws = Draws(5, 1);
    EXPECT_EQ(Step(before, kModeRandomTurn), before);
    EXPECT_EQ(std::rand(), draws[0]);
  }
}

TEST(Movement, RandomTurnInAWindowNarrowerThanFourPixelsStillDrawsACountdown) {
  for (const int width : {0, 1, 3}) {
    SCOPED_TRACE(width);
    // Turn and countdown, then a fresh direction at the right edge and again
    // at the left one, where the actor re-enters.
    const std::vector<int> draws = Draws(13, 5);
    const Actor after = Step({3, 300, 200, 0}, kModeRandomTurn, {}, width);
    EXPECT_EQ(after, (Actor{DirectionFrom(draws[3]), 26, 200, 0}));
    EXPECT_EQ(std::rand(), draws[4]);
  }
}

TEST(Movement, ModeOneEdgesPutTheActorBackInsideWithAFreshDirection) {
  struct Case {
    Actor before;
    int x, y;       // where the actor ends
    int drawsUsed;  // the direction comes from the last of them
  };
  const Case cases[] = {
      {{3, -3, 100, 7}, 26, 100, 1},  // left edge: back to 26, not 0
      {{3, 0, 100, 7}, 26, 100, 1},
      {{2, 560, 100, 7}, 550, 100, 1},
      {{2, 559, 100, 7}, 559, 100, 0},
      {{1, 100, 560, 7}, 100, 550, 1},
      {{1, 100, 0, 7}, 100, 0, 1},
      {{1, -3, -3, 7}, 26, 0, 2},
      {{4, 600, 600, 7}, 550, 550, 2},
      // The random turn comes first: direction, countdown, then the edge's direction.
      {{2, -3, 100, 0}, 26, 100, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.before));
    for (unsigned seed : {1u, 2u, 3u, 99u}) {
      const std::vector<int> draws = Draws(seed, 4);
      const Actor after = Step(c.before, kModeRandomTurn);
      const int direction = c.drawsUsed ? DirectionFrom(draws[c.drawsUsed - 1])
                                        : c.before.direction;
      const int countdown = c.before.countdown == 0 ? draws[1] % 150 : c.before.countdown;
      EXPECT_EQ(after, (Actor{direction, c.x, c.y, countdown}));
      EXPECT_EQ(std::rand(), draws[c.drawsUsed]);
    }
  }
}

TEST(Movement, ParkedStoppedEnemyNeverMovesInAnyMode) {
  const std::vector<SDL_Rect> walls = {{10000, 10000, 0, 0}};
  for (const int mode : {0, 1, 2, 3, 7}) {
    SCOPED_TRACE(mode);
    tamponIMG = 1;
    const std::vector<int> draws = Draws(3, 1);
    EXPECT_EQ(Step({0, 10000, 10000, 0}, mode, walls), (Actor{0, 10000, 10000, 0}));
    EXPECT_EQ(std::rand(), draws[0]);
    EXPECT_EQ(tamponIMG, 1) << "no wall answer for a stopped actor";
  }
}

TEST(Movement, UnknownModesChangeNothing) {
  for (const int mode : {2, 4, -1}) {
    SCOPED_TRACE(mode);
    const std::vector<int> draws = Draws(3, 1);
    EXPECT_EQ(Step({2, -3, 100, 0}, mode, {{-10, 100, 0, 0}}), (Actor{2, -3, 100, 0}));
    EXPECT_EQ(std::rand(), draws[0]);
  }
}

class WallAnswer : public SdlTest {};

TEST_F(WallAnswer, StepsBackElseAsideElseSendsTheActorToTheStartCorner) {
  // Actor at (100, 100); a wall at (100, 100) itself blocks both tries.
  struct Case {
    int direction;
    std::vector<SDL_Rect> walls;
    int answer, x, y;  // after the wall answer alone
    int endX, endY;    // after the move of 5 that follows it
    bool corner;
  };
  const Case cases[] = {
      {1, {{150, 100, 0, 0}}, 2, 90, 100, 85, 100, false},
      {2, {{75, 100, 0, 0}}, 1, 110, 100, 115, 100, false},
      {3, {{100, 75, 0, 0}}, 4, 100, 110, 100, 115, false},
      {4, {{100, 150, 0, 0}}, 3, 100, 90, 100, 85, false},
      {1, {{150, 100, 0, 0}, {100, 75, 0, 0}}, 3, 90, 110, 90, 105, false},
      {2, {{75, 100, 0, 0}, {100, 150, 0, 0}}, 4, 110, 90, 110, 95, false},
      {3, {{100, 75, 0, 0}, {150, 100, 0, 0}}, 1, 90, 110, 95, 110, false},
      {4, {{100, 150, 0, 0}, {75, 100, 0, 0}}, 2, 110, 90, 105, 90, false},
      {1, {{100, 100, 0, 0}}, 1, 26, 26, 31, 26, true},
      {2, {{100, 100, 0, 0}}, 2, 26, 26, 21, 26, true},
      {3, {{100, 100, 0, 0}}, 3, 26, 26, 26, 21, true},
      {4, {{100, 100, 0, 0}}, 4, 26, 26, 26, 31, true},
  };
  constexpr int kStep[] = {0, 10, -10, -10, 10};
  constexpr char kAxis[] = {'x', 'x', 'x', 'y', 'y'};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "direction " << c.direction << ", " << c.walls.size()
                                      << " walls, corner " << c.corner);
    std::vector<SDL_Rect> walls = c.walls;
    SDL_Rect actor = {100, 100, 0, 0};
    tamponIMG = 1;
    invulnerable = 0;
    EXPECT_EQ(TMurs(c.direction, &actor, walls.data(), static_cast<int>(walls.size()),
                    kStep[c.direction], 0, kAxis[c.direction]),
              c.answer);
    EXPECT_EQ(actor.x, c.x);
    EXPECT_EQ(actor.y, c.y);
    EXPECT_EQ(tamponIMG, 3);
    EXPECT_EQ(invulnerable, c.corner ? 3 : 0);

    tamponIMG = 1;
    invulnerable = 0;
    EXPECT_EQ(Step({c.direction, 100, 100, 0}, kModeWallResponse, c.walls),
              (Actor{c.answer, c.endX, c.endY, 0}));
    EXPECT_EQ(tamponIMG, 3);
    EXPECT_EQ(invulnerable, c.corner ? 3 : 0);
  }
}

TEST_F(WallAnswer, OnlyWallsBelowTheCountAreSeen) {
  std::vector<SDL_Rect> walls = {{150, 100, 0, 0}, {100, 100, 0, 0}};
  SDL_Rect actor = {100, 100, 0, 0};
  EXPECT_EQ(TMurs(1, &actor, walls.data(), 1, 10, 0, 'x'), 2);
  EXPECT_EQ(actor.x, 90);
}

TEST_F(WallAnswer, AnyAxisButYMovesAlongX) {
  std::vector<SDL_Rect> walls = {{150, 100, 0, 0}};
  for (const char axis : {'x', 'z', '\0'}) {
    SCOPED_TRACE(static_cast<int>(axis));
    SDL_Rect actor = {100, 100, 0, 0};
    EXPECT_EQ(TMurs(1, &actor, walls.data(), 1, 10, 0, axis), 2);
    EXPECT_EQ(actor.x, 90);
    EXPECT_EQ(actor.y, 100);
  }
}

TEST_F(WallAnswer, EachAnswerWaitsFiveMilliseconds) {
  std::vector<SDL_Rect> walls = {{150, 100, 0, 0}};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) {
    SDL_Rect actor = {100, 100, 0, 0};
    TMurs(1, &actor, walls.data(), 1, 10, 0, 'x');
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}
