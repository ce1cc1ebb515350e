#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/editor/editor_fixture.h"

// Presses on a patch round the corner block, against a model of the grid:
// the walls on it in the order they were placed.
TEST_F(GridTest, ThousandsOfPressesKeepTheRecordInPlacementOrderAndInsideItsTables) {
  ASSERT_NO_FATAL_FAILURE(Build(1000));
  std::vector<Wall> model;
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> column(0, 7), row(0, 15), pixel(0, 24), offGrid(0, 40);
  int compactions = 0;
  for (int press = 0; press < 20000; ++press) {
    SCOPED_TRACE(press);
    const Wall cell{column(random) * 25, row(random) * 25};
    const int before = next, was = count;
    if (offGrid(random) == 0) {  // beyond the window: nothing changes
      ASSERT_EQ(Press(1000 + pixel(random), cell.y), 0);
      ASSERT_EQ(next, before);
      ASSERT_EQ(count, was);
      continue;
    }
    const int answer = Press(cell.x + pixel(random), cell.y + pixel(random));
    compactions += next < before;
    const bool reserved = (cell.x == 25 || cell.x == 50) && (cell.y == 25 || cell.y == 50);
    const auto onGrid = std::find(model.begin(), model.end(), cell);
    if (reserved) {
      ASSERT_EQ(answer, kReserved);
      ASSERT_EQ(next, before);
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
      ASSERT_EQ(Recorded(), model);
    }
    if (press % 5000 == 0) {
      ASSERT_EQ(Save(), LevelBytes(model));
    }
  }
  EXPECT_GE(compactions, 2);
  EXPECT_EQ(Save(), LevelBytes(model));
  ExpectGuardsUntouched();
}

TEST_F(GridTest, RunningOutOfSlotsClosesTheGapsWithoutChangingTheSave) {
  ASSERT_NO_FATAL_FAILURE(Build(600));
  const Wall a{0, 0}, c{200, 0}, d{300, 0}, e{400, 0};
  for (const Wall& p : {a, Wall{100, 0}, c, Wall{100, 0}}) Press(p.x, p.y);  // a gap in slot 2
  // Each placement of d takes a new slot; the last one lands in slot 2998.
  int placedSlot = 0;
  while (next < kReserved) {
    const int before = next;
    Press(d.x, d.y);
    if (next > before) placedSlot = before;
  }
  ASSERT_EQ(placedSlot, kReserved - 1);
  const std::string full = Save();
  ASSERT_EQ(full, LevelBytes({a, c, d}));
  // The next press, even one that changes nothing, finds no free slot and compacts.
  EXPECT_EQ(Press(25, 25), kReserved);
  EXPECT_EQ(next, 4);
  EXPECT_EQ(Save(), full);
  for (int slot = next + 1; slot < kTableSize; ++slot) ASSERT_EQ(wallX[slot], -1) << slot;
  EXPECT_EQ(Press(e.x, e.y), 0);
  EXPECT_EQ(Press(d.x, d.y), 3) << "d was moved down to slot 3";
  EXPECT_EQ(Save(), LevelBytes({a, c, e}));
  // After a rebuild the first wall takes slot one again.
  ASSERT_NO_FATAL_FAILURE(Build(600));
  EXPECT_EQ(Press(50, 0), 0);
  EXPECT_EQ(wallX[1], 50);
  ExpectGuardsUntouched();
}
