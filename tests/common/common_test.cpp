// The rectangle test both programs move and click by, and their command lines.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/Condition.h"
#include "common/command_line.h"

namespace {

using Xy = std::pair<int, int>;

constexpr std::array<int, 6> kActorOnWalls{0, 0, 50, 25, 0, 0};  // a 50-pixel actor, 25-pixel walls
constexpr std::array<int, 6> kHeroOnChests{0, 0, 50, 20, 0, 0};
constexpr std::array<int, 6> kChestSpot{-20, -30, 20, 30, 0, 0};  // 50 pixels round a wall
constexpr std::array<int, 6> kButton{0, 0, 0, 125, 0, 40};        // a 125 x 40 plate

struct Row {
  int mode;
  std::vector<Xy> movers, others;  // or, in mode 2, the point and the box
  std::array<int, 6> margins;
  int expected;
  int index = 0;
  int count = -1;  // all the others
};

}  // namespace

TEST(Condition, TouchesUpToTheSharedEdgeAndPointsLieInTheirBoxEdgesIncluded) {
  std::vector<Row> rows = {
      // The first wall of the table counts as much as the last.
      {0, {{0, 0}}, {{40, 40}, {500, 500}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{500, 500}, {40, 40}}, kActorOnWalls, 1},
      {0, {{0, 0}}, {{40, 40}}, kActorOnWalls, -1, 0, 0},  // none looked at
      // The mover is the entry named by index.
      {0, {{10000, 10000}, {0, 0}}, {{40, 40}}, kActorOnWalls, -1, 0},
      {0, {{10000, 10000}, {0, 0}}, {{40, 40}}, kActorOnWalls, 1, 1},
      // Coordinates widened before the margins are added: 32767 + 50 wraps in 16 bits.
      {0, {{32767, 32767}}, {{0, 0}}, kActorOnWalls, -1},
      {0, {{32740, 32740}}, {{32767, 32767}}, kActorOnWalls, 1},
      {0, {{-32768, 0}}, {{-32768 + 50, 0}}, kActorOnWalls, 1},
      // Mode 1 names the first chest touched.
      {1, {{100, 100}}, {{160, 100}, {150, 150}}, kHeroOnChests, 1},
      {1, {{100, 100}}, {{500, 500}, {120, 120}, {110, 110}}, kHeroOnChests, 1},
      {1, {{100, 100}}, {{110, 110}, {120, 120}}, kHeroOnChests, 0},
      {1, {{100, 100}}, {{500, 500}, {120, 120}}, kHeroOnChests, -1, 0, 1},
      {1, {{0, 0}}, {}, kActorOnWalls, -1},
      // Margins 1 and 3 move the point, 2 and 4, 5 and 6 bound the box.
      {2, {{0, 0}}, {{100, 100}}, {110, 5, 120, 20, 10, 30}, 1},
      {2, {{0, 0}}, {{100, 100}}, {104, 5, 120, 20, 10, 30}, 0},
      {2, {{0, 0}}, {{100, 100}}, {110, 5, 131, 20, 10, 30}, 0},
      {2, {{0, 0}}, {{100, 100}}, {110, 5, 109, 20, 10, 30}, 0},
  };
  // x, y, answer: an actor at the origin against one wall (edges and corners
  // shared touch), a chest spot refused within 50 pixels of a wall at (300,
  // 300) on both axes, a point on a plate at (237, 360), all edges included.
  const int kEdges[][3] = {{50, 0, 1},  {51, 0, -1},   {-25, 0, 1},  {-26, 0, -1},
                           {0, 50, 1},  {0, 51, -1},   {0, -25, 1},  {0, -26, -1},
                           {50, 50, 1}, {-25, -25, 1}, {51, 50, -1}, {10, 10, 1}};
  const int kSpots[][3] = {{350, 350, 1},  {250, 250, 1},  {300, 300, 1}, {351, 300, -1},
                           {300, 351, -1}, {249, 300, -1}, {351, 351, -1}};
  const int kPoints[][3] = {{237, 360, 1}, {362, 400, 1}, {362, 360, 1}, {237, 400, 1},
                            {363, 400, 0}, {362, 401, 0}, {236, 360, 0}, {237, 359, 0}};
  for (auto [x, y, touch] : kEdges) rows.push_back({0, {{0, 0}}, {{x, y}}, kActorOnWalls, touch});
  for (auto [x, y, touch] : kSpots) rows.push_back({0, {{x, y}}, {{300, 300}}, kChestSpot, touch});
  for (auto [x, y, in] : kPoints) rows.push_back({2, {{x, y}}, {{237, 360}}, kButton, in});
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &r - rows.data() + 1);
    std::vector<SDL_Rect> at[2];
    for (int i : {0, 1})
      for (auto [x, y] : i ? r.others : r.movers) at[i].push_back({Sint16(x), Sint16(y), 0, 0});
    const auto& m = r.margins;
    const int count = r.count < 0 ? static_cast<int>(at[1].size()) : r.count;
    EXPECT_EQ(r.mode == 2 ? Condition(nullptr, nullptr, at[0][0], at[1][0], 0, 0, m[0], m[1], m[2],
                                      m[3], m[4], m[5], 2)
                          : Condition(at[0].data(), at[1].data(), {}, {}, count, r.index, m[0],
                                      m[1], m[2], m[3], m[4], m[5], r.mode),
              r.expected);
  }
  for (int mode : {-1, 3, 100}) {  // unknown: no table is read
    EXPECT_EQ(Condition(nullptr, nullptr, {}, {}, 1000, 7, 0, 0, 50, 25, 0, 0, mode), -1) << mode;
  }
}

// Each case: the arguments, what the program takes, and what is read; a zoom
// of 0 means the line is refused.
TEST(CommandLine, TakesWhatEachProgramAcceptsAndRefusesTheRest) {
  struct Case {
    std::vector<const char*> args;
    Accepts accepts;
    int zoom = 0, level = 0;
    const char* file = nullptr;
  };
  const Case cases[] = {
      {{}, Accepts::Level, 1, 1, nullptr},
      {{"--zoom=3", "--niveau", "12"}, Accepts::Level, 3, 12, nullptr},
      {{"--niveau=99", "--zoom", "2"}, Accepts::Level, 2, 99, nullptr},
      {{"Niveaux/Niveau_3.txt", "--zoom", "1"}, Accepts::File, 1, 1, "Niveaux/Niveau_3.txt"},
      {{"--zoom", "4"}, Accepts::Level},
      {{"--zoom", "0"}, Accepts::File},
      {{"--zoom", "2x"}, Accepts::Level},
      {{"--zoom"}, Accepts::Level},
      {{"--niveau", "0"}, Accepts::Level},
      {{"--niveau", "100"}, Accepts::Level},
      {{"--niveau", "3"}, Accepts::File},
      {{"level.txt"}, Accepts::Level},
      {{"a.txt", "b.txt"}, Accepts::File},
      {{"--zoomer", "2"}, Accepts::File},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv{const_cast<char*>("program")};
    for (const char* arg : c.args) argv.push_back(const_cast<char*>(arg));
    SCOPED_TRACE(testing::Message() << "case " << &c - cases + 1);
    CommandLine out;
    testing::internal::CaptureStderr();
    const bool ok = ReadCommandLine(int(argv.size()), argv.data(), "game", c.accepts, out);
    const std::string complaint = testing::internal::GetCapturedStderr();
    ASSERT_EQ(ok, c.zoom != 0);
    if (ok) {
      EXPECT_EQ(std::make_tuple(out.zoom, out.level, complaint),
                std::make_tuple(c.zoom, c.level, ""));
      EXPECT_STREQ(out.file, c.file);
    } else {  // one line, naming the program, for the player to read
      EXPECT_EQ(complaint.rfind("game : ", 0), 0u) << complaint;
      EXPECT_EQ(complaint.find('\n'), complaint.size() - 1) << complaint;
    }
  }
}
