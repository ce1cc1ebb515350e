#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "level/level_check.h"
#include "tests/editor/grid_fixture.h"

namespace {

using Cell = std::pair<int, int>;

// The cells over the game's start corner (26, 26) and hero start
// (width/2 + 1, 301).
std::set<Cell> ReservedCells(int width) {
  const int c = width / 2;
  return {{25, 25}, {25, 50}, {50, 25}, {50, 50}, {c, 300}, {c, 325}, {c + 25, 300}, {c + 25, 325}};
}

}  // namespace

TEST(Grid, SnapsAPixelDownToTheCornerOfItsCell) {
  struct Case {
    int pixel, corner;
  };
  constexpr Case kCases[] = {{0, 0},   {24, 0},    {25, 25},   {49, 25},   {50, 50},   {74, 50},
                             {75, 75}, {299, 275}, {300, 300}, {599, 575}, {600, 600}, {999, 975}};
  for (const Case& c : kCases) {
    for (int extent : {600, 1000}) {
      SCOPED_TRACE(testing::Message() << "pixel " << c.pixel << " extent " << extent);
      EXPECT_EQ(::Test(c.pixel, extent, 25, 'x'), c.corner);
      EXPECT_EQ(::Test(c.pixel, 600, 25, 'y'), c.corner);
    }
  }
}

TEST(Grid, ExactlyTheEightStartCellsAreReservedAtEveryWidthAndTheCheckerRefusesThem) {
  std::array<int, kTableSize> xs{}, ys{};
  int level = 0;
  for (int width : {600, 700, 800, 900, 1000}) {
    ++level;
    const std::set<Cell> reserved = ReservedCells(width);
    int found = 0;
    for (int y = 0; y < 600; y += 25) {
      for (int x = 0; x < width; x += 25) {
        SCOPED_TRACE(testing::Message() << "width " << width << " cell " << x << "," << y);
        xs.fill(-1);
        ys.fill(-1);
        xs[7] = x;
        ys[7] = y;
        const int answer = Test3(x, y, xs.data(), ys.data(), 7, width, 600);
        const bool isReserved = reserved.count({x, y}) == 1;
        EXPECT_EQ(answer, isReserved ? kReserved : 0);
        found += answer == kReserved;
        const std::string text = "1\n" + std::to_string(x) + "\t" + std::to_string(y) + "\n";
        EXPECT_EQ(CheckLevelText(text, level).problem == LevelProblem::kReserved, isReserved);
      }
    }
    EXPECT_EQ(found, 8) << "width " << width;
  }
}

TEST(Grid, PressesNearTheStartCellsSnapToTheRightSide) {
  struct Case {
    int width, px, py;
    bool reserved;
  };
  constexpr Case kCases[] = {
      {600, 24, 24, false},   {600, 25, 25, true},    {600, 74, 74, true},
      {600, 75, 75, false},   {600, 299, 299, false}, {600, 300, 300, true},
      {600, 349, 349, true},  {600, 350, 350, false}, {1000, 300, 300, false},
      {1000, 500, 300, true}, {1000, 549, 349, true}, {1000, 550, 325, false},
      {1000, 499, 325, false}};
  std::array<int, kTableSize> xs{}, ys{};
  xs.fill(-1);
  ys.fill(-1);
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "width " << c.width << " press " << c.px << "," << c.py);
    xs[1] = ::Test(c.px, c.width, 25, 'x');
    ys[1] = ::Test(c.py, 600, 25, 'y');
    EXPECT_EQ(Test3(xs[1], ys[1], xs.data(), ys.data(), 1, c.width, 600) == kReserved, c.reserved);
  }
}

TEST(Grid, Test3AnswersTheFirstEarlierSlotOfTheCellAndNothingLater) {
  std::array<int, kTableSize> xs{}, ys{};
  xs.fill(-1);
  ys.fill(-1);
  auto put = [&](int slot, int x, int y) {
    xs[slot] = x;
    ys[slot] = y;
  };
  put(1, 0, 0);
  put(2, 100, 0);
  put(3, 0, 0);
  put(5, 200, 0);  // beyond the press: not part of the record
  struct Case {
    int x, y, answer;
  };
  constexpr Case kCases[] = {{0, 0, 1}, {100, 0, 2}, {200, 0, 0}, {0, 100, 0}, {100, 100, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    put(4, c.x, c.y);
    EXPECT_EQ(Test3(c.x, c.y, xs.data(), ys.data(), 4, 600, 600), c.answer);
  }
}

TEST_F(GridTest, InitBuildsEveryCellRowByRowAndTakesTwoMillisecondsACell) {
  struct Case {
    int width, cells;
  };
  for (const Case& c : {Case{600, 576}, Case{1000, 960}}) {
    SCOPED_TRACE(testing::Message() << "width " << c.width);
    wallX.fill(kGuardValue);
    wallY.fill(kGuardValue);
    const Uint32 start = SDL_GetTicks();
    Build(c.width);
    const Uint32 elapsed = SDL_GetTicks() - start;
    ASSERT_EQ(cellCount, c.cells);
    EXPECT_GE(elapsed, Uint32(2 * c.cells));
    const std::set<Cell> reserved = ReservedCells(c.width);
    const int columns = c.width / 25;
    for (int n = 0; n < cellCount; ++n) {
      SCOPED_TRACE(testing::Message() << "cell " << n);
      const int x = n % columns * 25, y = n / columns * 25;
      ASSERT_EQ(positions[n].x, x);
      ASSERT_EQ(positions[n].y, y);
      ASSERT_NE(pictures[n], nullptr);
      if (reserved.count({x, y})) {
        EXPECT_EQ(pictures[n]->w, 26);
        EXPECT_EQ(pictures[n]->h, 26);
        EXPECT_EQ(ColourOf(pictures[n]), kBlack);
        EXPECT_EQ(PixelAt(pictures[n], 25, 25), kBlack);
      } else {
        EXPECT_EQ(ColourOf(pictures[n]), kBlankColour);
      }
      EXPECT_EQ(wallX[n], -1);
      EXPECT_EQ(wallY[n], -1);
    }
    EXPECT_EQ(positions[cellCount - 1].x, c.width - 25);
    EXPECT_EQ(positions[cellCount - 1].y, 575);
    EXPECT_EQ(wallX[cellCount], kGuardValue) << "only the cells' own slots are emptied";
  }
}

TEST_F(GridTest, RebuildingReleasesEveryOldPicture) {
  Build(600);
  SDL_Surface* blank = pictures[CellAt(0, 0)];
  SDL_Surface* black = pictures[CellAt(25, 25)];
  ++blank->refcount;  // kept alive to see it released
  ++black->refcount;
  Build(600);
  EXPECT_EQ(blank->refcount, 1);
  EXPECT_EQ(black->refcount, 1);
  EXPECT_NE(pictures[CellAt(0, 0)], blank);
  EXPECT_EQ(ColourOf(pictures[CellAt(25, 25)]), kBlack);
  SDL_FreeSurface(blank);
  SDL_FreeSurface(black);
}

TEST_F(GridTest, Test2FindsTheCellOfASlotOrNone) {
  Build(600);
  struct Case {
    int x, y, cell;
  };
  constexpr Case kCases[] = {{0, 0, 0},       {25, 0, 1},   {0, 25, 24}, {575, 575, 575},
                             {300, 325, 324}, {600, 0, -1}, {0, 600, -1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    wallX[9] = c.x;
    wallY[9] = c.y;
    EXPECT_EQ(Test2(positions.data(), wallX.data(), wallY.data(), 9, cellCount), c.cell);
  }
}

TEST_F(GridTest, DessinDrawsInCellOrderSoLaterCellsCoverTheBlackOverhang) {
  Build(600);
  ASSERT_EQ(Press(100, 200), 0);
  Dessin(screen, pictures.data(), positions.data(), 600, 600, 25, cellCount);
  struct Case {
    int x, y;
    Rgb colour;
  };
  const Case kCases[] = {{0, 0, kBlankColour},     {24, 24, kBlankColour},  {25, 25, kBlack},
                         {74, 74, kBlack},         {75, 55, kBlankColour},  {55, 75, kBlankColour},
                         {75, 75, kBlankColour},   {300, 300, kBlack},      {349, 349, kBlack},
                         {350, 330, kBlankColour}, {100, 200, kWallColour}, {124, 224, kWallColour},
                         {125, 224, kBlankColour}, {599, 599, kBlankColour}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    EXPECT_EQ(PixelAt(screen, c.x, c.y), c.colour);
  }
}

TEST_F(GridTest, WithoutPicturesTheGridIsBuiltAndDrawnAndKeepsTheScreen) {
  ASSERT_EQ(std::system("rm -rf Images"), 0);
  Build(600);
  SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 200, 0, 0));
  EXPECT_EQ(pictures[0], nullptr);
  EXPECT_NE(pictures[CellAt(50, 50)], nullptr) << "the reserved squares are made, not loaded";
  EXPECT_EQ(Press(0, 0), 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(Press(0, 0), 1);
  EXPECT_EQ(count, 0);
  Dessin(screen, pictures.data(), positions.data(), 600, 600, 25, cellCount);
  EXPECT_EQ(PixelAt(screen, 0, 0), (Rgb{200, 0, 0}));
  EXPECT_EQ(PixelAt(screen, 50, 50), kBlack);
}
