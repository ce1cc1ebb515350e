#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/fichier.h"
#include "tests/editor/grid_fixture.h"

namespace {

struct Wall {
  int x, y;
  bool operator==(const Wall& o) const { return x == o.x && y == o.y; }
};

// The bytes a save must hold for these walls, in this order.
std::string LevelBytes(const std::vector<Wall>& walls) {
  std::string bytes = std::to_string(walls.size()) + "\n";
  for (const Wall& w : walls) bytes += std::to_string(w.x) + "\t" + std::to_string(w.y) + "\n";
  return bytes;
}

}  // namespace

class PressTest : public GridTest {
 protected:
  std::string Save() {
    Fichier(wallX.data(), wallY.data(), next, count);
    return FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "(no file)";
  }
  // The walls of the record in slot order.
  std::vector<Wall> Recorded() const {
    std::vector<Wall> walls;
    for (int slot = 1; slot < next; ++slot) {
      if (wallX[slot] != -1) walls.push_back({wallX[slot], wallY[slot]});
    }
    return walls;
  }
};

TEST_F(PressTest, PressPlacesRemovesAndPlacesAgainInTheNextSlot) {
  Build(600);
  EXPECT_EQ(Press(110, 120), 0);
  EXPECT_EQ(wallX[1], 100);
  EXPECT_EQ(wallY[1], 100);
  EXPECT_EQ(next, 2);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(CellColour(100, 100), kWallColour);

  EXPECT_EQ(Press(124, 100), 1) << "any pixel of the cell removes its wall";
  EXPECT_EQ(wallX[1], -1);
  EXPECT_EQ(wallY[1], -1);
  EXPECT_EQ(next, 2) << "a removed wall's slot is not given back";
  EXPECT_EQ(count, 0);
  EXPECT_EQ(CellColour(100, 100), kBlankColour);

  EXPECT_EQ(Press(100, 100), 0);
  EXPECT_EQ(wallX[2], 100);
  EXPECT_EQ(next, 3);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(CellColour(100, 100), kWallColour);
}

TEST_F(PressTest, SaveListsTheWallsStillOnTheGridInTheOrderTheyWerePlaced) {
  Build(600);
  const Wall a{0, 0}, b{125, 25}, c{575, 575};
  Press(0, 0);
  Press(149, 49);
  Press(599, 599);
  Press(130, 30);  // takes b away
  EXPECT_EQ(Save(), LevelBytes({a, c}));
  Press(125, 25);  // b again, now after c
  EXPECT_EQ(Save(), LevelBytes({a, c, b}));
  EXPECT_EQ(Save(), "3\n0\t0\n575\t575\n125\t25\n");
}

TEST_F(PressTest, PressOnAReservedCellChangesNothingEvenTwice) {
  Build(600);
  Press(0, 0);
  Press(200, 0);
  Press(0, 0);
  const auto pictureBefore = pictures;
  const auto xBefore = wallX;
  const auto yBefore = wallY;
  const int nextBefore = next, countBefore = count;
  for (const Wall p : {Wall{25, 25}, Wall{74, 74}, Wall{49, 74}, Wall{300, 300}, Wall{349, 349},
                       Wall{325, 300}, Wall{25, 25}}) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(Press(p.x, p.y), kReserved);
    EXPECT_EQ(next, nextBefore);
    EXPECT_EQ(count, countBefore);
    EXPECT_EQ(pictures, pictureBefore);
    EXPECT_TRUE(std::equal(wallX.begin(), wallX.begin() + next, xBefore.begin()));
    EXPECT_TRUE(std::equal(wallY.begin(), wallY.begin() + next, yBefore.begin()));
  }
  EXPECT_EQ(Save(), LevelBytes({{200, 0}}));
}

TEST_F(PressTest, PressOffTheGridChangesNothing) {
  Build(600);
  Press(0, 0);
  const auto pictureBefore = pictures;
  for (const Wall p : {Wall{600, 0}, Wall{0, 600}, Wall{999, 10}, Wall{65535, 65535}}) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(Press(p.x, p.y), 0);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(pictures, pictureBefore);
  }
  EXPECT_EQ(Save(), LevelBytes({{0, 0}}));
}

TEST_F(PressTest, AfterARebuildTheFirstWallTakesSlotOneAgain) {
  Build(600);
  Press(0, 0);
  Press(25, 0);
  Press(50, 0);
  Build(600);
  EXPECT_EQ(CellColour(0, 0), kBlankColour);
  EXPECT_EQ(Press(50, 0), 0);
  EXPECT_EQ(wallX[1], 50);
  EXPECT_EQ(next, 2);
  EXPECT_EQ(Press(50, 0), 1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(CellColour(50, 0), kBlankColour);
  EXPECT_EQ(Save(), "(no file)");
}

TEST_F(PressTest, RunningOutOfSlotsClosesTheGapsWithoutChangingTheSave) {
  Build(600);
  const Wall a{0, 0}, c{200, 0}, d{300, 0}, e{400, 0};
  Press(a.x, a.y);
  Press(100, 0);
  Press(c.x, c.y);
  Press(100, 0);  // removed: a gap in slot 2
  // Each placement of d takes a new slot; the last one lands in slot 2998.
  int placedSlot = 0;
  while (next < kReserved) {
    const int before = next;
    Press(d.x, d.y);
    if (next > before) placedSlot = before;
    ASSERT_LT(placedSlot, kReserved);
  }
  ASSERT_EQ(placedSlot, kReserved - 1);
  ASSERT_EQ(count, 3);
  const std::string full = Save();
  ASSERT_EQ(full, LevelBytes({a, c, d}));

  // The next press, even one that changes nothing, finds no free slot.
  EXPECT_EQ(Press(25, 25), kReserved);
  EXPECT_EQ(next, 4);
  EXPECT_EQ(Recorded(), (std::vector<Wall>{a, c, d}));
  EXPECT_EQ(Save(), full);
  // Past the scratch entry of that press, every slot is empty.
  for (int slot = next + 1; slot < kTableSize; ++slot) ASSERT_EQ(wallX[slot], -1) << slot;

  EXPECT_EQ(Press(e.x, e.y), 0);
  EXPECT_EQ(wallX[4], e.x);
  EXPECT_EQ(Press(d.x, d.y), 3) << "d was moved down to slot 3";
  EXPECT_EQ(CellColour(d.x, d.y), kBlankColour);
  EXPECT_EQ(Save(), LevelBytes({a, c, e}));
  for (int slot = kTableSize; slot < kTableSize + kGuard; ++slot) {
    ASSERT_EQ(wallX[slot], kGuardValue) << slot;
    ASSERT_EQ(wallY[slot], kGuardValue) << slot;
  }
}

TEST_F(PressTest, ThousandsOfPressesKeepTheRecordInPlacementOrderAndInsideItsTables) {
  Build(1000);
  // A model of the grid: the walls on it, in the order they were placed.
  std::vector<Wall> model;
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> column(0, 7), row(0, 15), pixel(0, 24);
  int compactions = 0;
  for (int press = 0; press < 20000; ++press) {
    // A small patch round the corner block, so cells are hit again and again.
    const Wall cell{column(random) * 25, row(random) * 25};
    const int before = next;
    const int answer = Press(cell.x + pixel(random), cell.y + pixel(random));
    compactions += next < before;
    const bool reserved = (cell.x == 25 || cell.x == 50) && (cell.y == 25 || cell.y == 50);
    const auto onGrid = std::find(model.begin(), model.end(), cell);
    if (reserved) {
      ASSERT_EQ(answer, kReserved);
    } else if (onGrid != model.end()) {
      ASSERT_GT(answer, 0);
      model.erase(onGrid);
    } else {
      ASSERT_EQ(answer, 0);
      model.push_back(cell);
    }
    ASSERT_EQ(count, static_cast<int>(model.size()));
    ASSERT_LE(next, kReserved) << "a wall was kept in the marker slot";
    if (press % 97 == 0 || next < before) {
      ASSERT_EQ(Recorded(), model) << "press " << press;
    }
    if (press % 5000 == 0) {
      ASSERT_EQ(Save(), LevelBytes(model)) << "press " << press;
    }
  }
  EXPECT_GE(compactions, 2);
  EXPECT_EQ(Recorded(), model);
  EXPECT_EQ(Save(), LevelBytes(model));
  for (int n = 0; n < cellCount; ++n) {
    const Wall cell{positions[n].x, positions[n].y};
    const bool wall = std::find(model.begin(), model.end(), cell) != model.end();
    if (pictures[n]->w == 26) continue;  // a reserved cell
    ASSERT_EQ(ColourOf(pictures[n]), wall ? kWallColour : kBlankColour) << n;
  }
  for (int slot = kTableSize; slot < kTableSize + kGuard; ++slot) {
    ASSERT_EQ(wallX[slot], kGuardValue) << slot;
    ASSERT_EQ(wallY[slot], kGuardValue) << slot;
  }
}
