// The strict check of a saved level, and the sentence that says what is wrong.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "level/level_check.h"
#include "level/level_messages.h"

namespace {

using Wall = std::pair<int, int>;
using Walls = std::vector<Wall>;

std::string Level(const Walls& walls, const std::string& eol = "\n") {
  std::string text = std::to_string(walls.size()) + eol;
  for (auto [x, y] : walls) text += std::to_string(x) + "\t" + std::to_string(y) + eol;
  return text;
}

struct Case {
  std::string name, text;
  int level;
  LevelProblem problem;
  int n;  // the walls counted when the format is right, else the line at fault
  int x = 0, y = 0;
};

}  // namespace

TEST(LevelCheck, JudgesEachFileAsTheGameWouldLoadIt) {
  using P = LevelProblem;
  Walls thousand;
  for (int i = 0; i < 1000; ++i) thousand.push_back({i % 30 * 25, 100 + i / 30 % 8 * 25});
  std::vector<Case> cases = {
      {"no wall", "0\n", 1, P::kNone, 0},
      {"saved on Windows", Level({{0, 0}, {575, 575}}, "\r\n"), 1, P::kNone, 2},
      {"mixed line breaks", "2\r\n0\t0\n25\t0\r\n", 1, P::kNone, 2},
      {"last cell of level 2", Level({{675, 0}}), 2, P::kNone, 1},
      {"last cell of level 4", Level({{875, 575}}), 4, P::kNone, 1},
      {"last cell far beyond 5", Level({{975, 575}}), 40, P::kNone, 1},
      {"beside the reserved cells", Level({{0, 25}, {75, 50}, {275, 300}, {350, 325}}), 1, P::kNone,
       4},
      {"hero's cells of level 1 at level 2", Level({{300, 300}, {325, 325}}), 2, P::kNone, 2},
      {"a thousand walls, some twice", Level(thousand), 5, P::kNone, 1000},
      {"empty file", "", 1, P::kFormat, 1},
      {"words", "murs\n", 1, P::kFormat, 1},
      {"no line break at the end", "1\n0\t0", 1, P::kFormat, 2},
      {"count without line break", "0", 1, P::kFormat, 1},
      {"space instead of tab", "1\n0 0\n", 1, P::kFormat, 2},
      {"two tabs", "1\n0\t\t0\n", 1, P::kFormat, 2},
      {"trailing tab", "1\n0\t0\t\n", 1, P::kFormat, 2},
      {"trailing space", "1 \n0\t0\n", 1, P::kFormat, 1},
      {"leading space", " 1\n0\t0\n", 1, P::kFormat, 1},
      {"plus sign", "+1\n0\t0\n", 1, P::kFormat, 1},
      {"leading zero", "01\n0\t0\n", 1, P::kFormat, 1},
      {"minus zero", "1\n-0\t0\n", 1, P::kFormat, 2},
      {"lone CR", "1\r0\t0\r", 1, P::kFormat, 1},
      {"CR CR LF", "1\r\r\n0\t0\n", 1, P::kFormat, 1},
      {"blank line after the walls", "1\n0\t0\n\n", 1, P::kFormat, 3},
      {"only x", "1\n25\n", 1, P::kFormat, 2},
      {"number past int", "1\n99999999999\t0\n", 1, P::kFormat, 2},
      {"negative count", "-1\n", 1, P::kFormat, 1},
      {"fewer walls than counted", "2\n0\t0\n", 1, P::kFormat, 0},
      {"more walls than counted", "1\n0\t0\n25\t0\n", 1, P::kFormat, 0},
      {"a NUL byte", std::string("1\n0\t0\n\0", 7), 1, P::kFormat, 3},
      {"a format fault after a reserved cell", "2\n25\t25\n0 0\n", 1, P::kFormat, 3},
      {"a format fault after a wall off the grid", "1\n900\t0\n25\t25\n", 1, P::kFormat, 0},
      {"off the window before a reserved cell", Level({{25, 25}, {600, 0}}), 1, P::kOffGrid, 3, 600,
       0},
  };
  thousand.push_back({0, 0});
  cases.push_back({"1001 walls", Level(thousand), 5, P::kTooManyWalls, 1001});
  const std::pair<int, std::pair<int, int>> kOffGrid[] = {
      {1, {600, 0}},    {1, {0, 600}},   {1, {-25, 0}}, {1, {0, -25}}, {1, {13, 0}},
      {1, {0, 30}},     {2, {700, 100}}, {3, {800, 0}}, {4, {900, 0}}, {5, {1000, 0}},
      {9, {1000, 575}}, {4, {875, 600}}, {1, {675, 0}}};
  for (auto [level, wall] : kOffGrid)
    cases.push_back({"off the grid", Level({{0, 0}, wall, {100, 100}}), level, P::kOffGrid, 3,
                     wall.first, wall.second});
  // The enemies' four start cells, and the hero's in the middle of the window.
  for (int level = 1; level <= 6; ++level) {
    const int half = (level >= 5 ? 1000 : 500 + 100 * level) / 2;
    for (auto [x, y] : Walls{{25, 25},
                             {25, 50},
                             {50, 25},
                             {50, 50},
                             {half, 300},
                             {half + 25, 300},
                             {half, 325},
                             {half + 25, 325}})
      cases.push_back(
          {"reserved", Level({{0, 0}, {100, 100}, {x, y}}), level, P::kReserved, 4, x, y});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " at level " + std::to_string(c.level) + ": " + c.text.substr(0, 40));
    const LevelVerdict verdict = CheckLevelText(c.text, c.level);
    EXPECT_EQ(verdict.problem, c.problem) << verdict.detail;
    const bool counted = c.problem == P::kNone || c.problem == P::kTooManyWalls;
    EXPECT_EQ(counted ? verdict.walls : verdict.line, c.n);
    EXPECT_EQ(verdict.detail.empty(), c.problem != P::kFormat);
    const bool atAWall = c.problem == P::kOffGrid || c.problem == P::kReserved;
    EXPECT_EQ(atAWall ? std::make_pair(verdict.x, verdict.y) : Wall{}, Wall(c.x, c.y));
  }
}

TEST(LevelCheck, EachProblemIsToldInOneSentenceNamingWhatIsWrong) {
  const std::string many = Level(Walls(1001, {0, 0}));
  const LevelSubjects command{"N.txt", "N.txt", false}, page{"Ce fichier", "Ce niveau", true};
  const struct {
    std::string text;
    int level;
    const LevelSubjects& subjects;
    const char* said;
  } kCases[] = {
      {"0\n", 1, command, ""},
      {"1\n0 0\n", 1, command,
       "N.txt n'est pas un niveau de l'\u00e9diteur (ligne 2) : une ligne de mur doit \u00eatre x, "
       "une tabulation, y."},
      {many, 1, command, "N.txt a 1001 murs ; le jeu n'en charge pas plus de 1000."},
      {many, 1, page, "Ce niveau a 1001 murs ; le jeu n'en charge pas plus de 1000."},
      {Level({{0, 0}, {700, 25}}), 2, command,
       "le mur (700, 25) (ligne 3) sort de la grille du niveau 2 (fen\u00eatre 700 x 600, cases de "
       "25 pixels). Refaites-le dans l'\u00e9diteur \u00e0 la largeur 700."},
      {Level({{350, 325}}), 2, command,
       "le mur (350, 325) (ligne 2) occupe une case r\u00e9serv\u00e9e au d\u00e9part des ennemis "
       "ou de Glouto."},
      {Level({{25, 25}}), 1, page,
       "Le mur (25, 25) (ligne 2) occupe une case r\u00e9serv\u00e9e au d\u00e9part des ennemis "
       "ou de Glouto."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.said);
    EXPECT_EQ(LevelProblemText(CheckLevelText(c.text, c.level), c.level, c.subjects), c.said);
  }
}
