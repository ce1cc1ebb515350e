// The level reader: the walls the game loads, however the file was written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "level/level_file.h"
#include "tests/support/test_support.h"

TEST(LevelFile, ReadsTheWallsOfAnyWritingStayingInsideItsTable) {
  const struct {
    const char* bytes;
    std::vector<int> walls;  // x, y of each wall read
    int capacity = 8;
  } kCases[] = {
      {"3\n0\t0\n25\t0\n575\t550\n", {0, 0, 25, 0, 575, 550}},
      {"3\r\n0\t0\r\n25\t0\r\n575\t550\r\n", {0, 0, 25, 0, 575, 550}},
      {"  3 0\t\t0 25\n\n0 575   550", {0, 0, 25, 0, 575, 550}},
      {"0\n25\t25\n", {}},
      {"1\n25\t50\n75\t100\ngarbage", {25, 50}},
      {"", {}},
      {"abc\n1\t2\n", {}},
      {"-5\n1\t2\n", {}},
      {"4\n1\t2\n3\t4\n", {1, 2, 3, 4}},  // fewer than announced
      {"2\n1\t2\n3", {1, 2}},             // a pair cut in half is no wall
      {"2\n1\t2\n3\tx\n", {1, 2}},
      {"5\n0\t0\n1\t1\n2\t2\n3\t3\n4\t4\n", {0, 0, 1, 1, 2, 2}, 3},
      {"99999999999999999999999\n1\t1\n", {1, 1}, 2},
      // Numbers beyond 16 bits are clamped, not wrapped.
      {"3\n40000\t-40000\n65561\t25\n+25\t-0\n", {32767, -32768, 32767, 25, 25, 0}},
      {"1\n99999999999999999999999999\t-99999999999999999999999999\n", {32767, -32768}},
  };
  ScopedWorkDir dir;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.bytes);
    WriteFile("level.txt", c.bytes);
    std::vector<SDL_Rect> table(c.capacity + 1, SDL_Rect{-7, -7, 0, 0});
    const int n = ReadLevelFile("level.txt", table.data(), c.capacity);
    EXPECT_GE(n, 0);
    std::vector<int> walls;
    for (int i = 0; i < n; ++i) walls.insert(walls.end(), {table[i].x, table[i].y});
    EXPECT_EQ(walls, c.walls);
    EXPECT_EQ(table[c.capacity].x, -7) << "written past the table";
  }
  SDL_Rect kept{5, 6, 0, 0};
  EXPECT_EQ(ReadLevelFile("Niveaux/Niveau_404.txt", &kept, 1), -1);
  EXPECT_EQ(kept.x, 5) << "a missing file leaves the table alone";
  char path[64];
  LevelFilePath(path, sizeof path, 12);
  EXPECT_STREQ(path, "Niveaux/Niveau_12.txt");
}
