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

bool Says(const std::string& said, const char* part) {
  return part && said.find(part) != std::string::npos;
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
      {"the most walls, some twice, at the last level", Walls(kMaxWalls, kLastLevel), kLastLevel,
       2000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string code, text;
    int level = 0;
    ASSERT_EQ(EncodeLevel(c.text, c.level, &code).problem, LevelProblem::kNone);
    EXPECT_LT(code.size(), c.under);
    ASSERT_EQ(DecodeLevel(code, &text, &level).problem, LevelProblem::kNone);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(level, c.level);
  }
}

// Every way a code reaches a player, as chat apps deliver it or broken, and
// what the player is told: the level comes through whole, or nothing changes.
TEST(LevelCode, CodesAsPlayersPasteThem) {
  const std::string fifth = "1\n975\t0\n";  // a wall only a 1000-wide level holds
  std::string code;
  ASSERT_EQ(EncodeLevel(fifth, 5, &code).problem, LevelProblem::kNone);
  const std::string link = "https://glouto.example/jeu.html#" + code;
  const LevelProblem ok = LevelProblem::kNone, bad = LevelProblem::kCode;
  const struct {
    const char* name;
    std::string given;
    LevelProblem problem;
    const char* says;   // part of the message, for a refusal
    const char* never;  // what the message must not say
  } cases[] = {
      {"the code alone", code, ok, nullptr, nullptr},
      {"a whole link, line break after", link + "\r\n", ok, nullptr, nullptr},
      {"wrapped by a chat app",
       " " + code.substr(0, 3) + "\n" + code.substr(3, 2) + " \t" + code.substr(5) + "\n", ok,
       nullptr, nullptr},
      {"a link wrapped before the code", "https://glouto.exa\r\nmple/jeu.html#\n" + code, ok,
       nullptr, nullptr},
      {"a link with a query after", link + "?utm_source=chat&x=1", ok, nullptr, nullptr},
      {"a link with &", link + "&x=1", ok, nullptr, nullptr},
      {"a query after a code that is no link", code + "?x=1", bad, "caract\u00e8res", nullptr},
      {"empty link", "jeu.html#  \n", bad, "vide", nullptr},
      {"not base64url", code.substr(0, 5) + "+" + code.substr(6), bad, "caract\u00e8res", nullptr},
      {"cut short", code.substr(0, code.size() - 2), bad, "coup\u00e9", nullptr},
      {"one more wall", code + "AA", bad, "coup\u00e9 ou rallong\u00e9", nullptr},
      {"a newer version", "Ag" + code.substr(2), bad, "plus r\u00e9cente", nullptr},
      {"4000 characters", std::string(4000, 'A'), bad, "trop long", "version"},
      {"1600 characters of the alphabet", std::string(1600, 'z'), bad, "ne vient pas de Glouto",
       "version"},
      // The first four characters carry the version, the flags and the level.
      {"a level past the last", "AQBk" + code.substr(4), bad, "de 1 \u00e0 99", nullptr},
      {"a wall outside the level it claims", "AQAB" + code.substr(4), LevelProblem::kOffGrid,
       "(975, 0) sort de la grille du niveau 1", "ligne"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = "untouched";
    int level = -1;
    const LevelVerdict verdict = DecodeLevel(c.given, &text, &level);
    EXPECT_EQ(verdict.problem, c.problem);
    const std::string said = LevelProblemText(verdict, level, {"Ce code", "Ce niveau", true});
    if (c.problem == ok) {
      EXPECT_EQ(text, fifth);
      EXPECT_EQ(level, 5);
      continue;
    }
    EXPECT_TRUE(Says(said, c.says)) << said;
    EXPECT_FALSE(Says(said, c.never)) << said;
    EXPECT_EQ(text, "untouched");
  }
}

// A file no code can carry is refused for what the file is, never called a code.
TEST(LevelCode, FilesThatCannotBeSharedSayWhy) {
  const struct {
    const char* name;
    std::string text;
    int level;
    LevelProblem problem;
    const char* says;
  } cases[] = {
      {"a wall on the hero's start", "1\n300\t300\n", 1, LevelProblem::kReserved, "r\u00e9serv"},
      {"both kinds of line break", "2\n0\t0\r\n25\t0\n", 1, LevelProblem::kShare,
       "m\u00e9lang\u00e9es"},
      {"a level past the last", "0\n", kLastLevel + 1, LevelProblem::kShare, "de 1 \u00e0 99"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string code = "untouched";
    const LevelVerdict verdict = EncodeLevel(c.text, c.level, &code);
    EXPECT_EQ(verdict.problem, c.problem);
    const std::string said = LevelProblemText(verdict, c.level, {"Ce fichier", "Ce niveau", true});
    EXPECT_TRUE(Says(said, c.says)) << said;
    EXPECT_FALSE(Says(said, "n'est pas un code")) << said;
    EXPECT_EQ(code, "untouched");
  }
}

// Installed at another level, a code's refusal names the code's own level and
// its width, and the wall, not a line.
TEST(LevelCode, ACodeAtAnotherLevelSaysWhichLevelItIsFor) {
  const std::string fifth = "1\n975\t0\n";
  const std::string said = CodeLevelText(5, 1, CheckLevelText(fifth, 1));
  EXPECT_TRUE(Says(
      said, ("ce code est celui du niveau 5 (" + std::to_string(LevelWidth(5)) + " px de large)")
                .c_str()))
      << said;
  EXPECT_TRUE(Says(said, "(975, 0)")) << said;
  EXPECT_FALSE(Says(said, "ligne")) << said;
}
