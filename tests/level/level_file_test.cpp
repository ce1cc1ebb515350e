#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "level/level_file.h"
#include "tests/support/test_support.h"

namespace {

struct Wall {
  int x, y;
};

// Reads a file and returns the walls stored, checking the count against them.
std::vector<Wall> Load(const std::string& bytes, int capacity = kMaxWalls) {
  WriteFile("level.txt", bytes);
  std::vector<SDL_Rect> table(static_cast<size_t>(capacity) + 1, SDL_Rect{-7, -7, 0, 0});
  const int n = ReadLevelFile("level.txt", table.data(), capacity);
  EXPECT_GE(n, 0);
  EXPECT_LE(n, capacity);
  // The entry past the capacity is never touched.
  EXPECT_EQ(table[static_cast<size_t>(capacity)].x, -7);
  std::vector<Wall> walls;
  for (int i = 0; i < n; ++i) walls.push_back({table[i].x, table[i].y});
  return walls;
}

bool operator==(const Wall& a, const Wall& b) { return a.x == b.x && a.y == b.y; }
void PrintTo(const Wall& w, std::ostream* os) { *os << "(" << w.x << ", " << w.y << ")"; }

}  // namespace

TEST(LevelFile, PathOfLevelNIsBuiltFromItsNumber) {
  char path[64];
  LevelFilePath(path, sizeof path, 1);
  EXPECT_STREQ(path, "Niveaux/Niveau_1.txt");
  LevelFilePath(path, sizeof path, 12);
  EXPECT_STREQ(path, "Niveaux/Niveau_12.txt");
}

TEST(LevelFile, MissingFileLeavesTheTableUntouched) {
  ScopedWorkDir dir;
  std::array<SDL_Rect, 3> table{{{5, 6, 0, 0}, {7, 8, 0, 0}, {9, 9, 0, 0}}};
  EXPECT_EQ(ReadLevelFile("Niveaux/Niveau_404.txt", table.data(), 3), -1);
  EXPECT_EQ(table[0].x, 5);
  EXPECT_EQ(table[1].y, 8);
}

TEST(LevelFile, LineBreaksTabsAndSpacesAllLoadTheSameWalls) {
  ScopedWorkDir dir;
  const std::vector<Wall> expected = {{0, 0}, {25, 0}, {575, 550}};
  for (const std::string bytes : {
           "3\n0\t0\n25\t0\n575\t550\n",
           "3\r\n0\t0\r\n25\t0\r\n575\t550\r\n",
           "3\n0 0\n25 0\n575 550\n",
           "  3 0\t\t0 25\n\n0 575   550",
       }) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(Load(bytes), expected);
  }
}

TEST(LevelFile, ZeroCountGivesNoWallsAndTrailingTextIsNotRead) {
  ScopedWorkDir dir;
  EXPECT_TRUE(Load("0\n").empty());
  EXPECT_TRUE(Load("0\n25\t25\n").empty());
  EXPECT_EQ(Load("1\n25\t50\n75\t100\ngarbage"), (std::vector<Wall>{{25, 50}}));
}

TEST(LevelFile, MalformedFilesStayInsideTheTableAndCountWhatWasRead) {
  ScopedWorkDir dir;
  EXPECT_TRUE(Load("").empty());
  EXPECT_TRUE(Load("abc\n1\t2\n").empty());
  EXPECT_TRUE(Load("-5\n1\t2\n").empty());
  // Fewer pairs than announced: the walls actually there.
  EXPECT_EQ(Load("4\n1\t2\n3\t4\n"), (std::vector<Wall>{{1, 2}, {3, 4}}));
  // A pair cut in half is not a wall.
  EXPECT_EQ(Load("2\n1\t2\n3"), (std::vector<Wall>{{1, 2}}));
  EXPECT_EQ(Load("2\n1\t2\n3\tx\n"), (std::vector<Wall>{{1, 2}}));
  // More walls announced and present than the table holds.
  std::string many = "5\n";
  for (int i = 0; i < 5; ++i) many += std::to_string(i) + "\t" + std::to_string(i) + "\n";
  EXPECT_EQ(Load(many, 3), (std::vector<Wall>{{0, 0}, {1, 1}, {2, 2}}));
  EXPECT_EQ(Load("99999999999999999999999\n1\t1\n", 2), (std::vector<Wall>{{1, 1}}));
}

TEST(LevelFile, NumbersBeyondSixteenBitsAreClampedNotWrapped) {
  ScopedWorkDir dir;
  EXPECT_EQ(Load("3\n40000\t-40000\n65561\t25\n+25\t-0\n"),
            (std::vector<Wall>{{32767, -32768}, {32767, 25}, {25, 0}}));
  EXPECT_EQ(Load("1\n99999999999999999999999999\t-99999999999999999999999999\n"),
            (std::vector<Wall>{{32767, -32768}}));
}
