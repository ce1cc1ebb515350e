#ifndef GLOUTO_TESTS_EDITOR_GRID_FIXTURE_H
#define GLOUTO_TESTS_EDITOR_GRID_FIXTURE_H

#include <array>
#include <memory>

#include "editor/grid.h"
#include "editor/press.h"
#include "tests/editor/editor_assets.h"

// A window, the editor's tables and its record, in a working directory
// with the editor's pictures.
class GridTest : public SdlTest {
 protected:
  // The record tables run on past their end, filled with this, so a write
  // beyond the 3000 slots shows.
  static constexpr int kGuard = 64;
  static constexpr int kGuardValue = 0x5EED;

  void SetUp() override;
  void TearDown() override;

  // Opens a width x 600 window and builds the grid with Init; the caller's
  // part (next slot 1, wall count 0) too.
  void Build(int width);
  int Press(int x, int y);
  int CellAt(int x, int y) const;  // number of the cell with that corner
  Rgb CellColour(int x, int y) const { return ColourOf(pictures[CellAt(x, y)]); }

  std::unique_ptr<ScopedWorkDir> dir;
  SDL_Surface* screen = nullptr;
  std::array<SDL_Surface*, kTableSize> pictures{};
  std::array<SDL_Rect, kTableSize> positions{};
  std::array<int, kTableSize + kGuard> wallX{};
  std::array<int, kTableSize + kGuard> wallY{};
  int width = 600, cellCount = 0, next = 1, count = 0;
};

#endif
