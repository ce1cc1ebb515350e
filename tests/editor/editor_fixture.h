#ifndef GLOUTO_TESTS_EDITOR_EDITOR_FIXTURE_H
#define GLOUTO_TESTS_EDITOR_EDITOR_FIXTURE_H

// The editor's grid and record on a dummy window, with the shipped pictures.

#include <array>
#include <string>
#include <vector>

#include "editor/fichier.h"
#include "editor/grid.h"
#include "editor/press.h"
#include "tests/support/approved.h"
#include "tests/support/test_support.h"

struct Wall {
  int x, y;
  bool operator==(const Wall& o) const { return x == o.x && y == o.y; }
};

// The bytes a save must hold for these walls, in this order.
inline std::string LevelBytes(const std::vector<Wall>& walls) {
  std::string bytes = std::to_string(walls.size()) + "\n";
  for (const Wall& w : walls) bytes += std::to_string(w.x) + "\t" + std::to_string(w.y) + "\n";
  return bytes;
}

class GridTest : public SdlTest {
 protected:
  // The record runs on past its end, filled with this, so a write beyond it shows.
  static constexpr int kGuard = 64, kGuardValue = 0x5EED;

  void SetUp() override {
    SdlTest::SetUp();
    LinkAssets();
    wallX.fill(kGuardValue);
    wallY.fill(kGuardValue);
  }
  void TearDown() override {
    for (SDL_Surface* picture : pictures) SDL_FreeSurface(picture);
    SdlTest::TearDown();
  }
  // A width x 600 window, the grid built by Init, the caller's count and next slot.
  void Build(int w) {
    width = w;
    screen = TestWindow(width, 600, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    cellCount = Init(screen, pictures.data(), positions.data(), width, 600, 25, wallX.data(),
                     wallY.data());
    next = 1;
    count = 0;
  }
  int Press(int x, int y) {
    return Appui(pictures.data(), positions.data(), cellCount, wallX.data(), wallY.data(), &next,
                 &count, width, 600, x, y);
  }
  void Draw() { Dessin(screen, pictures.data(), positions.data(), width, 600, 25, cellCount); }
  std::string Save() {
    Fichier(wallX.data(), wallY.data(), next, count);
    return FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "(no file)";
  }
  // The walls of the record in slot order.
  std::vector<Wall> Recorded() const {
    std::vector<Wall> walls;
    for (int slot = 1; slot < next; ++slot)
      if (wallX[slot] != -1) walls.push_back({wallX[slot], wallY[slot]});
    return walls;
  }
  void ExpectGuardsUntouched() const {
    for (int slot = kTableSize; slot < kTableSize + kGuard; ++slot) {
      ASSERT_EQ(wallX[slot], kGuardValue) << slot;
      ASSERT_EQ(wallY[slot], kGuardValue) << slot;
    }
  }

  ScopedWorkDir dir;
  SDL_Surface* screen = nullptr;
  std::array<SDL_Surface*, kTableSize> pictures{};
  std::array<SDL_Rect, kTableSize> positions{};
  std::array<int, kTableSize + kGuard> wallX{}, wallY{};
  int width = 600, cellCount = 0, next = 1, count = 0;
};

#endif
