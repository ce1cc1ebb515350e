#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "level/level_check.h"
#include "tests/editor/editor_fixture.h"

TEST(Grid, ExactlyTheEightStartCellsAreReservedAtEveryWidthAndTheCheckerRefusesThem) {
  std::array<int, kTableSize> xs{}, ys{};
  for (int level = 1; level <= 5; ++level) {
    const int width = LevelWidth(level), c = width / 2;
    // Under the enemies' start (26, 26) and the hero's (width/2 + 1, 301).
    const std::set<std::pair<int, int>> reserved = {
        {25, 25}, {25, 50}, {50, 25}, {50, 50}, {c, 300}, {c, 325}, {c + 25, 300}, {c + 25, 325}};
    for (int y = 0; y < 600; y += 25) {
      for (int x = 0; x < width; x += 25) {
        SCOPED_TRACE(testing::Message() << "width " << width << " cell " << x << "," << y);
        xs.fill(-1);
        ys.fill(-1);
        xs[7] = x;
        ys[7] = y;
        const bool isReserved = reserved.count({x, y}) == 1;
        EXPECT_EQ(Test3(x, y, xs.data(), ys.data(), 7, width, 600), isReserved ? kReserved : 0);
        const std::string text = "1\n" + std::to_string(x) + "\t" + std::to_string(y) + "\n";
        EXPECT_EQ(CheckLevelText(text, level).problem == LevelProblem::kReserved, isReserved);
      }
    }
  }
}

// The grid with walls placed, one taken away and one refused on a reserved
// cell, at the narrowest and the widest level.
TEST_F(GridTest, GridsWithWalls) {
  struct Case {
    int width;
    std::vector<Wall> presses;
    const char* picture;
  };
  const Case cases[] = {
      {600,
       {{0, 0}, {124, 224}, {130, 30}, {575, 575}, {30, 30}, {320, 310}, {130, 40}, {600, 0}},
       "editor.grid.600"},
      {1000,
       {{975, 0}, {500, 300}, {499, 325}, {550, 325}, {0, 575}, {975, 575}, {975, 5}},
       "editor.grid.1000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    ASSERT_NO_FATAL_FAILURE(Build(c.width));
    for (const Wall& p : c.presses) Press(p.x, p.y);
    Draw();
    EXPECT_TRUE(MatchesApproved(screen, c.picture));
  }
}
