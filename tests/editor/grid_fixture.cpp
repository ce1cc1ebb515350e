#include "tests/editor/grid_fixture.h"

void GridTest::SetUp() {
  SdlTest::SetUp();
  if (HasFatalFailure()) return;
  dir = std::make_unique<ScopedWorkDir>();
  MakeEditorAssets(true, false);
  wallX.fill(kGuardValue);
  wallY.fill(kGuardValue);
}

void GridTest::TearDown() {
  for (SDL_Surface*& picture : pictures) {
    SDL_FreeSurface(picture);
    picture = nullptr;
  }
  dir.reset();
  SdlTest::TearDown();
}

void GridTest::Build(int w) {
  width = w;
  screen = TestWindow(width, 600, SDL_SWSURFACE);
  ASSERT_NE(screen, nullptr) << SDL_GetError();
  cellCount = Init(screen, pictures.data(), positions.data(), width, 600, 25, wallX.data(),
                   wallY.data());
  next = 1;
  count = 0;
}

int GridTest::Press(int x, int y) {
  return Appui(pictures.data(), positions.data(), cellCount, wallX.data(), wallY.data(), &next,
               &count, width, 600, x, y);
}

int GridTest::CellAt(int x, int y) const { return y / 25 * (width / 25) + x / 25; }
