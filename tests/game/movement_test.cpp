// Deplacement and its wall answer, one row per case: moves, screen edges,
// random turns and wall sliding, for an actor in the middle of a table whose
// neighbours must not move.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "game/flow/globals.h"
#include "game/maze/movement.h"
#include "tests/game/maze_helpers.h"
#include "tests/support/test_support.h"

namespace {

struct Actor {
  int direction, x, y, countdown;
};

// Expected values drawn by the code: direction rand() % 4 + 1 from draw n, or
// countdown rand() % (width / 4) from draw n.
constexpr int Dir(int n) { return -100 - n; }
constexpr int Count(int n) { return -200 - n; }

int Resolve(int v, const std::vector<int>& draws, int width) {
  if (v <= -200) return draws[-v - 200] % std::max(width / 4, 1);
  if (v <= -100) return draws[-v - 100] % 4 + 1;
  return v;
}

struct Row {
  const char* name;
  int mode;
  Actor before, after;
  int draws;  // rand calls made
  std::vector<SDL_Rect> walls = {};
  int width = 600, speed = 5;
  bool corner = false;  // sent to the start corner: invulnerable for 3 s
  int seen = -1;        // walls counted, when fewer than the table holds
};

SDL_Rect Wall(int x, int y) { return {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0}; }

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      {"a step of its speed", 0, {1, 100, 100, 0}, {1, 107, 100, 0}, 0, {}, 600, 7},
      {"down", 0, {4, 100, 100, 0}, {4, 100, 105, 0}, 0},
      {"right edge, 10 past it", 0, {1, 555, 100, 0}, {2, 550, 100, 0}, 0},
      {"one short of the right edge", 0, {1, 554, 100, 0}, {1, 559, 100, 0}, 0},
      {"right edge of the widest level", 0, {1, 955, 100, 0}, {2, 950, 100, 0}, 0, {}, 1000},
      {"bottom edge", 0, {4, 100, 555, 0}, {3, 100, 550, 0}, 0},
      {"one short of the bottom edge", 0, {4, 100, 554, 0}, {4, 100, 559, 0}, 0},
      {"left edge", 0, {2, 3, 100, 0}, {1, 0, 100, 0}, 0},
      {"one short of the left edge", 0, {2, 6, 100, 0}, {2, 1, 100, 0}, 0},
      {"top edge", 0, {3, 100, 3, 0}, {4, 100, 0, 0}, 0},
      {"left edge, moving up", 0, {3, -5, 100, 0}, {1, 0, 95, 0}, 0},
      {"top edge, moving right", 0, {1, 100, 0, 0}, {4, 105, 0, 0}, 0},
      {"edges in order, the last one turns", 0, {1, 555, -4, 0}, {4, 550, 0, 0}, 0},
      {"stopped: no move, no edge", 0, {0, 700, -40, 0}, {0, 700, -40, 0}, 0},
      {"random turn: direction, then countdown",
       1,
       {3, 300, 200, 0},
       {Dir(0), 300, 200, Count(1)},
       2},
      {"random turn in the widest level",
       1,
       {3, 300, 200, 0},
       {Dir(0), 300, 200, Count(1)},
       2,
       {},
       1000},
      {"countdown running: no turn", 1, {3, 300, 200, 7}, {3, 300, 200, 7}, 0},
      {"countdown past 0: no turn", 1, {3, 300, 200, -1}, {3, 300, 200, -1}, 0},
      {"stopped: no turn", 1, {0, 300, 200, 0}, {0, 300, 200, 0}, 0},
      {"window narrower than 4 pixels", 1, {3, 300, 200, 0}, {Dir(3), 26, 200, 0}, 4, {}, 3},
      {"left edge: back to 26", 1, {3, -3, 100, 7}, {Dir(0), 26, 100, 7}, 1},
      {"on the left edge", 1, {3, 0, 100, 7}, {Dir(0), 26, 100, 7}, 1},
      {"right edge", 1, {2, 560, 100, 7}, {Dir(0), 550, 100, 7}, 1},
      {"short of the right edge", 1, {2, 559, 100, 7}, {2, 559, 100, 7}, 0},
      {"bottom edge", 1, {1, 100, 560, 7}, {Dir(0), 100, 550, 7}, 1},
      {"top edge", 1, {1, 100, 0, 7}, {Dir(0), 100, 0, 7}, 1},
      {"top left corner", 1, {1, -3, -3, 7}, {Dir(1), 26, 0, 7}, 2},
      {"bottom right corner", 1, {4, 600, 600, 7}, {Dir(1), 550, 550, 7}, 2},
      {"turn, then edge", 1, {2, -3, 100, 0}, {Dir(2), 26, 100, Count(1)}, 3},
      // Wall answers for an actor at (100, 100): back 10 and reverse, else
      // aside 10 and point back across, else the start corner; then a step of 5.
      {"right: back", 3, {1, 100, 100, 0}, {2, 85, 100, 0}, 0, {Wall(150, 100)}},
      {"left: back", 3, {2, 100, 100, 0}, {1, 115, 100, 0}, 0, {Wall(75, 100)}},
      {"up: back", 3, {3, 100, 100, 0}, {4, 100, 115, 0}, 0, {Wall(100, 75)}},
      {"down: back", 3, {4, 100, 100, 0}, {3, 100, 85, 0}, 0, {Wall(100, 150)}},
      {"right: aside", 3, {1, 100, 100, 0}, {3, 90, 105, 0}, 0, {Wall(150, 100), Wall(100, 75)}},
      {"left: aside", 3, {2, 100, 100, 0}, {4, 110, 95, 0}, 0, {Wall(75, 100), Wall(100, 150)}},
      {"up: aside", 3, {3, 100, 100, 0}, {1, 95, 110, 0}, 0, {Wall(100, 75), Wall(150, 100)}},
      {"down: aside", 3, {4, 100, 100, 0}, {2, 105, 90, 0}, 0, {Wall(100, 150), Wall(75, 100)}},
      {"right: stuck", 3, {1, 100, 100, 0}, {1, 31, 26, 0}, 0, {Wall(100, 100)}, 600, 5, true},
      {"left: stuck", 3, {2, 100, 100, 0}, {2, 21, 26, 0}, 0, {Wall(100, 100)}, 600, 5, true},
      {"up: stuck", 3, {3, 100, 100, 0}, {3, 26, 21, 0}, 0, {Wall(100, 100)}, 600, 5, true},
      {"down: stuck", 3, {4, 100, 100, 0}, {4, 26, 31, 0}, 0, {Wall(100, 100)}, 600, 5, true},
      // A wall past the count (an earlier level's, or one Backspace took) is not there.
      {"right: back, the wall past the count ignored",
       3,
       {1, 100, 100, 0},
       {2, 85, 100, 0},
       0,
       {Wall(150, 100), Wall(100, 100)},
       600,
       5,
       false,
       1},
      {"stopped: no answer", 3, {0, 100, 100, 0}, {0, 100, 100, 0}, 0, {Wall(100, 100)}},
      {"mode 2 does nothing", 2, {2, -3, 100, 0}, {2, -3, 100, 0}, 0, {Wall(-10, 100)}},
      {"mode 4 does nothing", 4, {2, -3, 100, 0}, {2, -3, 100, 0}, 0, {Wall(-10, 100)}},
      {"a parked enemy stays", 1, {0, 10000, 10000, 0}, {0, 10000, 10000, 0}, 0},
  };
  return rows;
}

}  // namespace

class Movement : public SdlTest {};

TEST_F(Movement, EachRowMovesTheActorAsTheRulesSay) {
  for (const Row& row : Rows()) {
    for (unsigned seed : {1u, 2u, 99u}) {
      SCOPED_TRACE(testing::Message() << row.name << ", seed " << seed);
      const std::vector<int> draws = maze_test::Draws(seed, row.draws + 1);
      std::array<int, 3> directions{4, row.before.direction, 4};
      std::array<SDL_Rect, 3> positions{{Wall(7, 7), Wall(row.before.x, row.before.y), Wall(9, 9)}};
      std::array<int, 3> countdowns{0, row.before.countdown, 0};
      std::vector<SDL_Rect> walls = row.walls;
      tamponIMG = 1, invulnerable = 0;
      const int result = Deplacement(
          directions.data(), positions.data(), 1, row.speed, row.width, 600, row.mode, walls.data(),
          row.seen >= 0 ? row.seen : static_cast<int>(walls.size()), countdowns.data());
      EXPECT_EQ(result, Resolve(row.after.direction, draws, row.width));
      EXPECT_EQ(directions[1], result);
      EXPECT_EQ(positions[1].x, row.after.x);
      EXPECT_EQ(positions[1].y, row.after.y);
      EXPECT_EQ(countdowns[1], Resolve(row.after.countdown, draws, row.width));
      EXPECT_EQ(std::rand(), draws[row.draws]) << "draws made";
      const bool answered = row.mode == 3 && row.before.direction != 0;
      EXPECT_EQ(tamponIMG, answered ? 3 : 1);
      EXPECT_EQ(invulnerable, row.corner ? 3 : 0);
      EXPECT_EQ(directions[0] + directions[2] + countdowns[0] + countdowns[2], 8);
      EXPECT_EQ(positions[0].x + positions[2].y, 16) << "a neighbour moved";
    }
  }
  tamponIMG = 1, invulnerable = 0;
}
