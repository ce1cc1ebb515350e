#include "level/level_check.h"
#include "level/level_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Wall {
  int x, y;
};

// A level as the editor writes it, with the given line break.
std::string Level(const std::vector<Wall>& walls, const std::string& eol = "\n") {
  std::string text = std::to_string(walls.size()) + eol;
  for (const Wall& w : walls) text += std::to_string(w.x) + "\t" + std::to_string(w.y) + eol;
  return text;
}

// The window of a level: 600 wide at level 1, 100 more per level, 1000 at most.
int WidthOf(int level) { return level >= 5 ? 1000 : 500 + 100 * level; }

TEST(LevelCheck, WindowWidthGrowsByLevelUpTo1000) {
  for (int level = 1; level <= 12; ++level) {
    SCOPED_TRACE(level);
    EXPECT_EQ(WidthOf(level), LevelWidth(level));
  }
}

TEST(LevelCheck, AcceptsTheEditorsOwnFiles) {
  const struct {
    const char* name;
    std::string text;
    int level;
    int walls;
  } cases[] = {
      {"no wall", "0\n", 1, 0},
      {"one wall in the corner", "1\n0\t0\n", 1, 1},
      {"saved on Windows", Level({{0, 0}, {575, 575}}, "\r\n"), 1, 2},
      {"last cell of level 1", Level({{575, 575}}), 1, 1},
      {"last cell of level 2", Level({{675, 0}}), 2, 1},
      {"last cell of level 4", Level({{875, 575}}), 4, 1},
      {"last cell from level 5 on", Level({{975, 575}}), 5, 1},
      {"level far beyond 5", Level({{975, 0}}), 40, 1},
      {"cells beside the reserved ones",
       Level({{0, 25}, {75, 50}, {275, 300}, {350, 325}, {300, 275}, {300, 350}}), 1, 6},
      {"mixed line breaks", "2\r\n0\t0\n25\t0\r\n", 1, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LevelVerdict verdict = CheckLevelText(c.text, c.level);
    EXPECT_EQ(LevelProblem::kNone, verdict.problem) << verdict.detail;
    EXPECT_EQ(c.walls, verdict.walls);
  }
}

TEST(LevelCheck, RefusesAnythingButTheExactFormat) {
  const struct {
    const char* name;
    std::string text;
    int line;
  } cases[] = {
      {"empty file", "", 1},
      {"words", "murs\n", 1},
      {"no line break at the end", "1\n0\t0", 2},
      {"count without line break", "0", 1},
      {"space instead of tab", "1\n0 0\n", 2},
      {"two tabs", "1\n0\t\t0\n", 2},
      {"trailing tab", "1\n0\t0\t\n", 2},
      {"trailing space on the count", "1 \n0\t0\n", 1},
      {"leading space", " 1\n0\t0\n", 1},
      {"plus sign", "+1\n0\t0\n", 1},
      {"leading zero", "01\n0\t0\n", 1},
      {"minus zero", "1\n-0\t0\n", 2},
      {"lone CR", "1\r0\t0\r", 1},
      {"CR CR LF", "1\r\r\n0\t0\n", 1},
      {"blank line after the walls", "1\n0\t0\n\n", 3},
      {"only x", "1\n25\n", 2},
      {"number past int", "1\n99999999999\t0\n", 2},
      {"negative count", "-1\n", 1},
      {"fewer walls than counted", "2\n0\t0\n", 0},
      {"more walls than counted", "1\n0\t0\n25\t0\n", 0},
      {"a NUL byte", std::string("1\n0\t0\n\0", 7), 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LevelVerdict verdict = CheckLevelText(c.text, 1);
    EXPECT_EQ(LevelProblem::kFormat, verdict.problem);
    EXPECT_EQ(c.line, verdict.line);
    EXPECT_FALSE(verdict.detail.empty());
  }
}

TEST(LevelCheck, AtMostAThousandWalls) {
  // 952 cells are free at the widest; the game still loads a repeated wall.
  std::vector<Wall> walls;
  for (int i = 0; i < 1000; ++i) walls.push_back({(i % 30) * 25, 100 + (i / 30 % 8) * 25});
  EXPECT_EQ(LevelProblem::kNone, CheckLevelText(Level(walls), 5).problem);
  walls.push_back({0, 0});
  const LevelVerdict verdict = CheckLevelText(Level(walls), 5);
  EXPECT_EQ(LevelProblem::kTooManyWalls, verdict.problem);
  EXPECT_EQ(1001, verdict.walls);
}

TEST(LevelCheck, EveryWallOnTheGridInsideTheLevelsWindow) {
  const struct {
    int level;
    Wall wall;
  } cases[] = {
      {1, {600, 0}},    {1, {0, 600}},   {1, {-25, 0}}, {1, {0, -25}}, {1, {13, 0}},
      {1, {0, 30}},     {2, {700, 100}}, {3, {800, 0}}, {4, {900, 0}}, {5, {1000, 0}},
      {9, {1000, 575}}, {4, {875, 600}}, {1, {675, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("level " + std::to_string(c.level) + " wall " + std::to_string(c.wall.x) + "," +
                 std::to_string(c.wall.y));
    const LevelVerdict verdict = CheckLevelText(Level({{0, 0}, c.wall, {100, 100}}), c.level);
    EXPECT_EQ(LevelProblem::kOffGrid, verdict.problem);
    EXPECT_EQ(3, verdict.line);
    EXPECT_EQ(c.wall.x, verdict.x);
    EXPECT_EQ(c.wall.y, verdict.y);
  }
}

TEST(LevelCheck, TheEightStartCellsStayFree) {
  for (int level = 1; level <= 6; ++level) {
    const int half = WidthOf(level) / 2;
    const Wall reserved[] = {{25, 25},    {25, 50},         {50, 25},    {50, 50},
                             {half, 300}, {half + 25, 300}, {half, 325}, {half + 25, 325}};
    for (const Wall& wall : reserved) {
      SCOPED_TRACE("level " + std::to_string(level) + " wall " + std::to_string(wall.x) + "," +
                   std::to_string(wall.y));
      const LevelVerdict verdict = CheckLevelText(Level({{0, 0}, {100, 100}, wall}), level);
      EXPECT_EQ(LevelProblem::kReserved, verdict.problem);
      EXPECT_EQ(4, verdict.line);
      EXPECT_EQ(wall.x, verdict.x);
      EXPECT_EQ(wall.y, verdict.y);
    }
    // Level 1's hero cells are free cells of every wider level.
    if (level > 1) {
      SCOPED_TRACE(level);
      EXPECT_EQ(LevelProblem::kNone,
                CheckLevelText(Level({{300, 300}, {325, 325}}), level).problem);
    }
  }
}

TEST(LevelCheck, AFormatFaultAnywhereOutranksABadWall) {
  EXPECT_EQ(LevelProblem::kFormat, CheckLevelText("2\n25\t25\n0 0\n", 1).problem);
  EXPECT_EQ(LevelProblem::kFormat, CheckLevelText("1\n900\t0\n25\t25\n", 1).problem);
  // A wall off the window is reported before one on a start cell.
  const LevelVerdict verdict = CheckLevelText(Level({{25, 25}, {600, 0}}), 1);
  EXPECT_EQ(LevelProblem::kOffGrid, verdict.problem);
  EXPECT_EQ(600, verdict.x);
}

TEST(LevelCheck, EachProblemIsToldInOneSentenceNamingWhatIsWrong) {
  std::vector<Wall> many(1001, Wall{0, 0});
  const struct {
    std::string text;
    int level;
    const char* said;  // by glouto-niveau, about "N.txt"
  } cases[] = {
      {"0\n", 1, ""},
      {"1\n0 0\n", 1,
       "N.txt n'est pas un niveau de l'\u00e9diteur (ligne 2) : une ligne de mur doit \u00eatre x, "
       "une tabulation, y."},
      {Level(many), 1, "N.txt a 1001 murs ; le jeu n'en charge pas plus de 1000."},
      {Level({{0, 0}, {700, 25}}), 2,
       "le mur (700, 25) (ligne 3) sort de la grille du niveau 2 (fen\u00eatre 700 x 600, cases de "
       "25 pixels). "
       "Refaites-le dans l'\u00e9diteur \u00e0 la largeur 700."},
      {Level({{350, 325}}), 2,
       "le mur (350, 325) (ligne 2) occupe une case r\u00e9serv\u00e9e au d\u00e9part des ennemis "
       "ou de Glouto."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    const LevelVerdict verdict = CheckLevelText(c.text, c.level);
    EXPECT_EQ(c.said, LevelProblemText(verdict, c.level, {"N.txt", "N.txt", false}));
  }
  // The editor page speaks of "this file" and "this level", each sentence with a capital.
  EXPECT_EQ("Ce niveau a 1001 murs ; le jeu n'en charge pas plus de 1000.",
            LevelProblemText(CheckLevelText(Level(many), 1), 1, {"Ce fichier", "Ce niveau", true}));
  EXPECT_EQ(
      "Le mur (25, 25) (ligne 2) occupe une case r\u00e9serv\u00e9e au d\u00e9part des ennemis ou "
      "de Glouto.",
      LevelProblemText(CheckLevelText(Level({{25, 25}}), 1), 1, {"Ce fichier", "Ce niveau", true}));
}

}  // namespace
