#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "level/level_code.h"
#include "level/level_file.h"
#include "level/level_messages.h"
#include "tests/support/test_support.h"

namespace {

using P = LevelProblem;
using namespace std::string_literals;
using Wall = std::pair<int, int>;

std::string Level(const std::vector<Wall>& walls, const std::string& eol = "\n") {
  std::string text = std::to_string(walls.size()) + eol;
  for (auto [x, y] : walls) text += std::to_string(x) + "\t" + std::to_string(y) + eol;
  return text;
}

// `count` walls walking the free cells of `level`'s window, again from the start when they run out.
std::string Spread(int count, int level, const char* eol = "\n") {
  std::vector<Wall> walls;
  const int columns = LevelWidth(level) / kLevelCell, rows = kLevelHeight / kLevelCell;
  for (int cell = 0; static_cast<int>(walls.size()) < count; ++cell) {
    const Wall w{cell * 7 % columns * kLevelCell, cell * 7 / columns % rows * kLevelCell};
    if (!IsReservedCell(w.first, w.second, LevelWidth(level), kLevelHeight)) walls.push_back(w);
  }
  return Level(walls, eol);
}

// The words a player reads.
const std::string
    kWallLine = "une ligne de mur doit \u00eatre x, une tabulation, y",
    kLevels = "les niveaux vont de 1 \u00e0 99",
    kChars = "il contient des caract\u00e8res qui n'en sont pas, ou a \u00e9t\u00e9 coup\u00e9",
    kResized = "il a \u00e9t\u00e9 coup\u00e9 ou rallong\u00e9";

}  // namespace

// "BYTES|X Y X Y...|CAPACITY": the walls read, clamped to 16 bits, never past the table.
TEST(LevelFile, ReadsTheWallsOfAnyWritingStayingInsideItsTable) {
  ScopedWorkDir dir;
  for (const std::string row :
       {"3\n0\t0\n25\t0\n575\t550\n|0 0 25 0 575 550",
        "3\r\n0\t0\r\n25\t0\r\n575\t550\r\n|0 0 25 0 575 550",
        "  3 0\t\t0 25\n\n0 575   550|0 0 25 0 575 550", "0\n25\t25\n|",
        "1\n25\t50\n75\t100\ngarbage|25 50", "|", "abc\n1\t2\n|", "-5\n1\t2\n|",
        "4\n1\t2\n3\t4\n|1 2 3 4", "2\n1\t2\n3|1 2", "2\n1\t2\n3\tx\n|1 2",
        "5\n0\t0\n1\t1\n2\t2\n3\t3\n4\t4\n|0 0 1 1 2 2|3", "99999999999999999999999\n1\t1\n|1 1|2",
        "3\n40000\t-40000\n65561\t25\n+25\t-0\n|32767 -32768 32767 25 25 0",
        "1\n99999999999999999999999999\t-99999999999999999999999999\n|32767 -32768"}) {
    SCOPED_TRACE(row);
    const size_t bar = row.find('|'), end = row.find('|', bar + 1);
    const int capacity = end == std::string::npos ? 8 : std::stoi(row.substr(end + 1));
    WriteFile("level.txt", row.substr(0, bar));
    std::vector<SDL_Rect> table(capacity + 1, SDL_Rect{-7, -7, 0, 0});
    std::string walls;
    for (int i = 0, n = ReadLevelFile("level.txt", table.data(), capacity); i < n; ++i)
      walls += (i ? " " : "") + std::to_string(table[i].x) + " " + std::to_string(table[i].y);
    EXPECT_EQ(walls, row.substr(bar + 1, end - bar - 1));
    EXPECT_EQ(table[capacity].x, -7) << "written past the table";
  }
  SDL_Rect kept{5, 6, 0, 0};
  EXPECT_EQ(ReadLevelFile("Niveaux/Niveau_404.txt", &kept, 1), -1);
  EXPECT_EQ(kept.x, 5) << "a missing file leaves the table alone";
}

// Each file judged as the game would load it; what the checker takes, a code
// carries back byte for byte, and what it refuses gets no code.
TEST(LevelCheck, JudgesEachFileAndSharesWhatItTakes) {
  struct Case {
    std::string text;
    int level;
    P problem;  // kShare: taken by the checker, refused a code
    int n;      // the walls counted when the format is right, else the line at fault
    std::string detail = "";
    int x = 0, y = 0;
  };
  std::vector<Case> cases = {
      {"0\n", 1, P::kNone, 0},
      {Level({{0, 0}, {575, 575}}, "\r\n"), 1, P::kNone, 2},
      {Spread(30, 3), 3, P::kNone, 30},
      {Level({{675, 0}}), 2, P::kNone, 1},
      {Level({{875, 575}}), 4, P::kNone, 1},
      {Level({{975, 575}}), 40, P::kNone, 1},
      {Level({{0, 25}, {75, 50}, {275, 300}, {350, 325}}), 1, P::kNone, 4},
      {Level({{300, 300}, {325, 325}}), 2, P::kNone, 2},
      {Spread(1000, 5), 5, P::kNone, 1000},
      {Spread(kMaxWalls, kLastLevel, "\r\n"), kLastLevel, P::kNone, kMaxWalls},
      {Spread(1001, 5), 5, P::kTooManyWalls, 1001},
      {"2\r\n0\t0\n25\t0\r\n", 1, P::kShare, 2, "ses fins de ligne sont m\u00e9lang\u00e9es"},
      {"0\n", kLastLevel + 1, P::kShare, 0, kLevels},
      {Level({{25, 25}, {600, 0}}), 1, P::kOffGrid, 3, "", 600},
  };
  // "LINE:TEXT" refused at level 1 for each sentence.
  const std::pair<std::string, std::vector<std::string>> kFormat[] = {
      {"la premi\u00e8re ligne doit \u00eatre le nombre de murs",
       {"1:", "1:murs\n", "1: 1\n0\t0\n", "1:+1\n0\t0\n", "1:01\n0\t0\n"}},
      {"le fichier doit finir par un saut de ligne", {"2:1\n0\t0", "1:0"}},
      {"le nombre de murs est n\u00e9gatif", {"1:-1\n"}},
      {"la premi\u00e8re ligne annonce 2 murs mais le fichier en d\u00e9crit 1", {"0:2\n0\t0\n"}},
      {"la premi\u00e8re ligne annonce 1 murs mais le fichier en d\u00e9crit 2",
       {"0:1\n900\t0\n25\t25\n"}},
      {"la premi\u00e8re ligne doit contenir le seul nombre de murs",
       {"1:1 \n0\t0\n", "1:1\r0\t0\r", "1:1\r\r\n0\t0\n"}},
      {kWallLine,
       {"2:1\n0 0\n", "2:1\n0\t\t0\n", "2:1\n0\t0\t\n", "2:1\n-0\t0\n", "3:1\n0\t0\n\n",
        "2:1\n25\n", "2:1\n99999999999\t0\n", "3:1\n0\t0\n\0"s, "3:2\n25\t25\n0 0\n"}}};
  for (const auto& [detail, texts] : kFormat)
    for (const std::string& t : texts)
      cases.push_back({t.substr(2), 1, P::kFormat, t[0] - '0', detail});
  const std::pair<int, Wall> kOffGrid[] = {
      {1, {600, 0}},    {1, {0, 600}},   {1, {-25, 0}}, {1, {0, -25}}, {1, {13, 0}},
      {1, {0, 30}},     {2, {700, 100}}, {3, {800, 0}}, {4, {900, 0}}, {5, {1000, 0}},
      {9, {1000, 575}}, {4, {875, 600}}, {1, {675, 0}}};
  for (auto [level, wall] : kOffGrid)
    cases.push_back(
        {Level({{0, 0}, wall, {100, 100}}), level, P::kOffGrid, 3, "", wall.first, wall.second});
  // The enemies' four start cells, and the hero's in the middle of the window.
  for (int level = 1; level <= 6; ++level) {
    const int half = LevelWidth(level) / 2;
    for (auto [x0, y0] : {Wall{25, 25}, {half, 300}})
      for (int i = 0; i < 4; ++i) {
        const int x = x0 + i % 2 * 25, y = y0 + i / 2 * 25;
        cases.push_back({Level({{0, 0}, {100, 100}, {x, y}}), level, P::kReserved, 4, "", x, y});
      }
  }
  for (const Case& c : cases) {
    SCOPED_TRACE("level " + std::to_string(c.level) + ": " + c.text.substr(0, 40));
    const LevelVerdict verdict = CheckLevelText(c.text, c.level);
    EXPECT_EQ(verdict.problem, c.problem == P::kShare ? P::kNone : c.problem) << verdict.detail;
    const bool counted = c.problem != P::kFormat && c.problem != P::kOffGrid &&
                         c.problem != P::kReserved;
    EXPECT_EQ(counted ? verdict.walls : verdict.line, c.n);
    EXPECT_EQ(Wall(verdict.x, verdict.y), Wall(c.x, c.y));
    EXPECT_EQ(verdict.detail, c.problem == P::kFormat ? c.detail : "");
    std::string code = "untouched", text;
    const LevelVerdict encoded = EncodeLevel(c.text, c.level, &code);
    EXPECT_EQ(encoded.problem, c.problem);
    if (c.problem != P::kNone) {
      EXPECT_EQ(encoded.detail, c.detail);
      EXPECT_EQ(code, "untouched");
      continue;
    }
    EXPECT_LE(code.size(), 10 + c.n * 10 / 6.0) << "about ten bits a wall";
    int level = 0;
    ASSERT_EQ(DecodeLevel(code, &text, &level).problem, P::kNone);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(level, c.level);
  }
}

// Every way a code reaches a player, as chat apps deliver it or broken: the
// level comes through whole, or nothing changes and the player is told why.
TEST(LevelCode, CodesAsPlayersPasteThem) {
  const std::string fifth = "1\n975\t0\n";  // a wall only a 1000-wide level holds
  std::string code;
  ASSERT_EQ(EncodeLevel(fifth, 5, &code).problem, P::kNone);
  const std::string link = "https://glouto.example/jeu.html#" + code;
  const struct {
    std::string given;
    P problem;
    std::string detail = "";
  } cases[] = {
      {code, P::kNone},
      {link + "\r\n", P::kNone},
      {" " + code.substr(0, 3) + "\n" + code.substr(3, 2) + " \t" + code.substr(5) + "\n",
       P::kNone},
      {"https://glouto.exa\r\nmple/jeu.html#\n" + code, P::kNone},
      {link + "?utm_source=chat&x=1", P::kNone},
      {link + "&x=1", P::kNone},
      {code + "?x=1", P::kCode, kChars},
      {"jeu.html#  \n", P::kCode, "il est vide"},
      {code.substr(0, 5) + "+" + code.substr(6), P::kCode, kChars},
      {code.substr(0, code.size() - 2), P::kCode, kResized},
      {code + "AA", P::kCode, kResized},
      {code.substr(0, code.size() - 1) + "g", P::kCode, "il a \u00e9t\u00e9 modifi\u00e9"},
      {"Ag" + code.substr(2), P::kCode, "il vient d'une version plus r\u00e9cente du jeu"},
      {std::string(4000, 'A'), P::kCode, "il est bien trop long pour un niveau"},
      {std::string(1600, 'z'), P::kCode, "il ne vient pas de Glouto"},
      // The first four characters carry the version, the flags and the level.
      {"AQAB", P::kCode, "il est trop court"},
      {"AQIF" + code.substr(4), P::kCode, "son en-t\u00eate est invalide"},
      {"AQAA" + code.substr(4), P::kCode, "son en-t\u00eate est invalide"},
      {"AQBk" + code.substr(4), P::kCode, "il se dit du niveau 100, mais " + kLevels},
      {"AQAB" + code.substr(4), P::kOffGrid},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given.substr(0, 60));
    std::string text = "untouched";
    int level = -1;
    const LevelVerdict verdict = DecodeLevel(c.given, &text, &level);
    EXPECT_EQ(verdict.problem, c.problem);
    EXPECT_EQ(verdict.detail, c.detail);
    EXPECT_EQ(verdict.line, 0) << "a code has no lines";
    EXPECT_EQ(text, c.problem == P::kNone ? fifth : "untouched");
    EXPECT_TRUE(c.problem == P::kCode || level == (c.problem == P::kNone ? 5 : 1)) << level;
    EXPECT_EQ(Wall(verdict.x, verdict.y), c.problem == P::kOffGrid ? Wall(975, 0) : Wall(0, 0));
  }
}

// One sentence per problem, naming the file, the level or the wall at fault.
TEST(LevelCheck, EachProblemIsToldInOneSentenceNamingWhatIsWrong) {
  // In the editor page's words, or glouto-niveau's.
  auto said = [](LevelVerdict verdict, int level, bool page) {
    return LevelProblemText(verdict, level,
                            page ? LevelSubjects{"Ce fichier", "Ce niveau", true}
                                 : LevelSubjects{"N.txt", "N.txt", false});
  };
  EXPECT_EQ(said({P::kNone, 0, 0, 0, 0, ""}, 1, true), "");
  EXPECT_EQ(said({P::kFormat, 2, 0, 0, 0, kWallLine}, 1, false),
            "N.txt n'est pas un niveau de l'\u00e9diteur (ligne 2) : " + kWallLine + ".");
  EXPECT_EQ(said({P::kTooManyWalls, 0, 0, 0, 1001, ""}, 1, true),
            "Ce niveau a 1001 murs ; le jeu n'en charge pas plus de 1000.");
  EXPECT_EQ(said({P::kOffGrid, 0, 700, 25, 0, ""}, 2, false),
            "le mur (700, 25) sort de la grille du niveau 2 (fen\u00eatre 700 x 600, cases de 25 "
            "pixels). Refaites-le dans l'\u00e9diteur \u00e0 la largeur 700.");
  EXPECT_EQ(said({P::kReserved, 2, 25, 25, 0, ""}, 1, true),
            "Le mur (25, 25) (ligne 2) occupe une case r\u00e9serv\u00e9e au d\u00e9part des "
            "ennemis ou de Glouto.");
  EXPECT_EQ(said({P::kCode, 0, 0, 0, 0, "il est vide"}, 1, true),
            "Ce fichier n'est pas un code de niveau : il est vide.");
  EXPECT_EQ(said({P::kShare, 0, 0, 0, 0, kLevels}, 100, false),
            "N.txt ne peut pas \u00eatre partag\u00e9 : " + kLevels + ".");
  // Installed at another level, a code's refusal names the code's own level.
  EXPECT_EQ(CodeLevelText(5, 1, {P::kOffGrid, 0, 975, 0, 0, ""}),
            "ce code est celui du niveau 5 (1000 px de large) ; comme niveau 1 (600 px de large), "
            "son mur (975, 0) sortirait de la fen\u00eatre. Installez-le comme niveau 5.");
  EXPECT_EQ(CodeLevelText(2, 1, {P::kReserved, 0, 300, 300, 0, ""}),
            "ce code est celui du niveau 2 (700 px de large) ; comme niveau 1 (600 px de large), "
            "son mur (300, 300) couvrirait le d\u00e9part des ennemis ou de Glouto. Installez-le "
            "comme niveau 2.");
  EXPECT_EQ(LevelRangeText(), "Choisissez un num\u00e9ro de niveau de 1 \u00e0 99.");
}
