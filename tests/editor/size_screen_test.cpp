#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "editor/editor.h"
#include "editor/size_screen.h"
#include "tests/editor/editor_fixture.h"

// The editor's first screen: a width for the level, chosen on a release.
TEST_F(GridTest, SizeScreenChoosesAWidthOnARelease) {
  ASSERT_EQ(TTF_Init(), 0);
  screen = TestWindow(400, 400, SDL_SWSURFACE);
  struct Case {
    std::vector<SDL_Event> events;
    int chosen;  // 0: none, the window is closed after the events
    const char* picture;
  };
  auto up = [](int x, int y) { return MouseButton(SDL_MOUSEBUTTONUP, x, y); };
  auto down = [](int x, int y) { return MouseButton(SDL_MOUSEBUTTONDOWN, x, y); };
  // Plates 100 wide from (150, 100), 50 apart; "Plus que 4" 110 wide at (145, 300).
  const Case cases[] = {
      {{}, 0, "editor.size"},
      {{MouseMotion(249, 139)}, 0, "editor.size.one-lit"},
      {{MouseMotion(200, 120), MouseMotion(255, 340)}, 0, "editor.size.more-lit"},
      {{up(150, 100)}, 600, nullptr},
      {{up(250, 140)}, 600, nullptr},
      {{up(251, 140)}, 0, nullptr},
      {{up(149, 120)}, 0, nullptr},
      {{up(200, 99)}, 0, nullptr},
      {{up(200, 145)}, 0, nullptr},
      {{up(200, 150)}, 700, nullptr},
      {{up(200, 190)}, 700, nullptr},
      {{up(200, 195)}, 0, nullptr},
      {{up(200, 200)}, 800, nullptr},
      {{up(250, 240)}, 800, nullptr},
      {{up(150, 290)}, 900, nullptr},
      {{up(145, 300)}, 1000, nullptr},
      {{up(255, 340)}, 1000, nullptr},
      {{up(144, 320)}, 0, nullptr},
      {{up(256, 320)}, 0, nullptr},
      {{up(255, 341)}, 0, nullptr},
      {{down(200, 120)}, 0, nullptr},
      {{down(200, 220), up(10, 10), up(200, 170)}, 700, nullptr},
      {{KeyDown(SDLK_ESCAPE), KeyDown(SDLK_RETURN), KeyDown(SDLK_BACKSPACE), up(200, 270)},
       900,
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    FINPROG = 0;
    for (const SDL_Event& e : c.events) Push(e);
    Push(QuitEvent());
    EXPECT_EQ(Taille(screen, 400, 400), c.chosen ? c.chosen : 400);
    EXPECT_EQ(FINPROG, c.chosen ? 0 : 1);
    SDL_Event left;
    while (SDL_PollEvent(&left)) {
    }
    if (c.picture) {
      EXPECT_TRUE(MatchesApproved(screen, c.picture));
    }
  }
  // Round the centre of the window it is given: "Niveau 1" at (200, 130) in 500 x 460.
  Push(MouseButton(SDL_MOUSEBUTTONUP, 200, 130));
  EXPECT_EQ(Taille(screen, 500, 460), 600);
  TTF_Quit();
}
