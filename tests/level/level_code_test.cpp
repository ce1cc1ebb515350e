#include "level/level_code.h"
#include "level/level_messages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A level as the editor writes it: `count` walls walking the free cells of
// `level`'s window, again from the start when they run out.
std::string Walls(int count, int level, const char* eol = "\n") {
  std::string text = std::to_string(count) + eol;
  const int width = LevelWidth(level);
  for (int i = 0, cell = 0; i < count; ++cell) {
    const int x = cell * 7 % (width / kLevelCell) * kLevelCell;
    const int y = cell * 7 / (width / kLevelCell) % (kLevelHeight / kLevelCell) * kLevelCell;
    if (IsReservedCell(x, y, width, kLevelHeight)) continue;
    text += std::to_string(x) + "\t" + std::to_string(y) + eol;
    ++i;
  }
  return text;
}

}  // namespace

TEST(LevelCode, ComesBackAsTheSameBytesAndLevelAndStaysShort) {
  const struct {
    const char* name;
    std::string text;
    int level;
    std::size_t under;
  } cases[] = {
      {"no wall", "0\n", 1, 100},
      {"a typical level", Walls(30, 3), 3, 100},
      {"saved on Windows", Walls(30, 1, "\r\n"), 1, 100},
      {"the most walls, some twice", Walls(kMaxWalls, 7), 7, 2000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string code, text;
    int level = 0;
    ASSERT_EQ(EncodeLevel(c.text, c.level, &code).problem, LevelProblem::kNone);
    EXPECT_LT(code.size(), c.under);
    for (const std::string& given : {code, "https://glouto.example/jeu.html#" + code + "\n"}) {
      ASSERT_EQ(DecodeLevel(given, &text, &level).problem, LevelProblem::kNone) << given;
      EXPECT_EQ(text, c.text);
      EXPECT_EQ(level, c.level);
    }
  }
}

TEST(LevelCode, BadCodesAreRefusedInFrenchAndChangeNothing) {
  std::string code;
  ASSERT_EQ(EncodeLevel("1\n975\t0\n", 5, &code).problem, LevelProblem::kNone);
  const struct {
    const char* name;
    std::string code;
    LevelProblem problem;
    const char* says;
  } cases[] = {
      {"empty link", "jeu.html#", LevelProblem::kCode, "vide"},
      {"not base64url", code.substr(0, 5) + "+" + code.substr(6), LevelProblem::kCode,
       "caract\u00e8res"},
      {"cut short", code.substr(0, code.size() - 2), LevelProblem::kCode, "coup\u00e9"},
      {"one more wall", code + "AA", LevelProblem::kCode, "coup\u00e9 ou rallong\u00e9"},
      {"another version", "Ag" + code.substr(2), LevelProblem::kCode, "version"},
      // The first four characters carry the version, the flags and the level: now level 1.
      {"a wall outside the level it claims", "AQAB" + code.substr(4), LevelProblem::kOffGrid,
       "sort de la grille"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = "untouched";
    int level = -1;
    const LevelVerdict verdict = DecodeLevel(c.code, &text, &level);
    EXPECT_EQ(verdict.problem, c.problem);
    const std::string said = LevelProblemText(verdict, 1, {"Ce code", "Ce niveau", true});
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(level, c.problem == LevelProblem::kCode ? -1 : 1) << "the level claimed, once read";
  }
  EXPECT_EQ(EncodeLevel("1\n300\t300\n", 1, &code).problem, LevelProblem::kReserved);
  EXPECT_EQ(EncodeLevel("2\n0\t0\r\n25\t0\n", 1, &code).problem, LevelProblem::kCode);
}
