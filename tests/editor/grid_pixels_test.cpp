// The grid is drawn through copies in the window's format: the window must
// show what blitting every cell picture with SDL_UpperBlit shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/editor/grid_fixture.h"

namespace {

void Scribble(SDL_Surface* s) {
  std::srand(9);
  auto* p = static_cast<Uint8*>(s->pixels);
  for (int i = 0; i < s->pitch * s->h; ++i) p[i] = static_cast<Uint8>(std::rand());
}

}  // namespace

class GridPixels : public GridTest {
 protected:
  // Draws the grid both ways over the same scribbled window and compares.
  void ExpectDrawnAsSdlDraws() {
    Scribble(screen);
    for (int cell = 0; cell < cellCount; ++cell) {
      SDL_Rect at = positions[cell];
      if (pictures[cell]) SDL_UpperBlit(pictures[cell], nullptr, screen, &at);
    }
    const std::vector<Rgb> want = Colours(screen);
    Scribble(screen);
    Dessin(screen, pictures.data(), positions.data(), width, 600, 25, cellCount);
    EXPECT_TRUE(Colours(screen) == want) << "the grids differ";
  }
};

TEST_F(GridPixels, TheWidestGridWithWallsShowsWhatPlainBlitsShow) {
  Build(1000);
  ASSERT_EQ(cellCount, 960);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ExpectDrawnAsSdlDraws();
    // A wall on every seventh cell, some taken away again.
    for (int cell = round; cell < cellCount; cell += 7)
      Press(positions[cell].x + 3, positions[cell].y + 3);
    ExpectDrawnAsSdlDraws();
  }
}
