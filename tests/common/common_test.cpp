// The rectangle test both programs move and click by, and their command lines.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "common/Condition.h"
#include "common/command_line.h"

// "MODE MARGINS MOVER... > OTHER... = EXPECTED [INDEX [COUNT]]", margins W: a 50-pixel
// actor on 25-pixel walls, S: 50 pixels round a wall (a chest's spot), or six numbers; in
// mode 2 the point, then the box. Which entry of a table touches, and a plate's edges: the
// recorded games and the screens' tests.
TEST(Condition, TouchesUpToTheSharedEdgeAndPointsLieInTheirBoxEdgesIncluded) {
  const std::map<std::string, std::array<int, 6>> kMargins = {{"W", {0, 0, 50, 25, 0, 0}},
                                                              {"S", {-20, -30, 20, 30, 0, 0}}};
  for (const std::string row :
       {// Coordinates widened before the margins are added: 32767 + 50 wraps in 16 bits.
        "0 W 32767,32767 > 0,0 = -1", "0 W 32740,32740 > 32767,32767 = 1",
        "0 W -32768,0 > -32718,0 = 1",
        // Margins 1 and 3 move the point, 2 and 4, 5 and 6 bound the box.
        "2 110,5,120,20,10,30 0,0 > 100,100 = 1", "2 104,5,120,20,10,30 0,0 > 100,100 = 0",
        "2 110,5,131,20,10,30 0,0 > 100,100 = 0", "2 110,5,109,20,10,30 0,0 > 100,100 = 0",
        // Margins below 0: a chest spot refused within 50 pixels of a wall.
        "0 S 250,250 > 300,300 = 1", "0 S 351,300 > 300,300 = -1"}) {
    SCOPED_TRACE(row);
    std::istringstream in(row);
    std::string margins, w;
    int mode = 0, expected = 0, index = 0, count = -1, side = 0;
    in >> mode >> margins;
    std::array<int, 6> m = kMargins.count(margins) ? kMargins.at(margins) : std::array<int, 6>{};
    std::sscanf(margins.c_str(), "%d,%d,%d,%d,%d,%d", &m[0], &m[1], &m[2], &m[3], &m[4], &m[5]);
    std::vector<SDL_Rect> at[2];
    while (in >> w && w != "=") {
      int x = 0, y = 0;
      if (w == ">")
        side = 1;
      else if (std::sscanf(w.c_str(), "%d,%d", &x, &y) == 2)
        at[side].push_back({Sint16(x), Sint16(y), 0, 0});
    }
    in >> expected >> index >> count;
    count = count < 0 ? static_cast<int>(at[1].size()) : count;
    EXPECT_EQ(mode == 2 ? Condition(nullptr, nullptr, at[0][0], at[1][0], 0, 0, m[0], m[1], m[2],
                                    m[3], m[4], m[5], 2)
                        : Condition(at[0].data(), at[1].data(), {}, {}, count, index, m[0], m[1],
                                    m[2], m[3], m[4], m[5], mode),
              expected);
  }
  for (int mode : {-1, 3, 100}) {  // unknown: no table is read
    EXPECT_EQ(Condition(nullptr, nullptr, {}, {}, 1000, 7, 0, 0, 50, 25, 0, 0, mode), -1) << mode;
  }
}

// "L|F ARGS = ZOOM LEVEL [FILE]": what the game (L) or the editor (F) reads of its
// arguments; nothing after "=": the line is refused.
TEST(CommandLine, TakesWhatEachProgramAcceptsAndRefusesTheRest) {
  for (const std::string row :
       {"L =  1 1", "L --zoom=3 --niveau 12 = 3 12", "L --niveau=99 --zoom 2 = 2 99",
        "F Niveaux/Niveau_3.txt --zoom 1 = 1 1 Niveaux/Niveau_3.txt",
        "L --zoom 4 =", "F --zoom 0 =", "L --zoom 2x =", "L --zoom =", "L --niveau 0 =",
        "L --niveau 100 =", "F --niveau 3 =", "L level.txt =", "F a.txt b.txt =", "F --zoomer 2 =",
        // FILE for the game: the recorded game it watches, challenges or shares.
        "L --revoir a.partie --vite = 1 1 a.partie", "L --defi=CODE --niveau 2 = 1 2 CODE",
        "L --partager a.partie --zoom 2 = 2 1 a.partie", "L --vite =", "L --revoir a --defi b =",
        "L --defi --vite =", "L --revoir =", "F --revoir a.partie =",
        // A game on two screens: its side, and nothing else of those.
        "L --deux-ecrans --niveau 3 = 1 3 --deux-ecrans", "L --zoom 2 --invite = 2 1 --invite",
        "L --deux-ecrans --invite =", "L --invite --revoir a =", "L --deux-ecrans --vite =",
        "F --invite ="}) {
    SCOPED_TRACE(row);
    std::istringstream in(row.substr(2));
    std::vector<std::string> args{"program"};
    for (std::string w; in >> w && w != "=";) args.push_back(w);
    int zoom = 0, level = 0;
    std::string file;
    in >> zoom >> level >> file;
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    CommandLine out;
    testing::internal::CaptureStderr();
    const bool ok = ReadCommandLine(int(argv.size()), argv.data(), "game",
                                    row[0] == 'L' ? Accepts::Level : Accepts::File, out);
    const std::string complaint = testing::internal::GetCapturedStderr();
    ASSERT_EQ(ok, zoom != 0);
    if (ok) {
      const char* named = out.file        ? out.file
                          : out.watch     ? out.watch
                          : out.challenge ? out.challenge
                          : out.host      ? "--deux-ecrans"
                          : out.guest     ? "--invite"
                                          : out.share;
      EXPECT_EQ(std::make_tuple(out.zoom, out.level, named ? named : "", complaint),
                std::make_tuple(zoom, level, file, ""));
    } else {  // one line, naming the program, for the player to read
      EXPECT_EQ(complaint.rfind("game : ", 0), 0u) << complaint;
      EXPECT_EQ(complaint.find('\n'), complaint.size() - 1) << complaint;
    }
  }
}
