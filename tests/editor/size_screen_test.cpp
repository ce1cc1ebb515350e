#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <sstream>

#include "editor/editor.h"
#include "editor/size_screen.h"
#include "tests/editor/editor_fixture.h"

// The editor's first screen: a width for the level, chosen on a release.
TEST_F(GridTest, SizeScreenChoosesAWidthOnARelease) {
  ASSERT_EQ(TTF_Init(), 0);
  screen = TestWindow(400, 400, SDL_SWSURFACE);
  struct Case {
    const char* script;  // the window is closed after it
    int chosen;          // 0: none
    const char* picture = nullptr;
  };
  // Plates 100 x 40 from (150, 100), 50 apart; "Plus que 4" 110 wide at (145, 300).
  const Case cases[] = {
      {"", 0, "editor.size"},
      {"m249,139", 0, "editor.size.one-lit"},
      {"m200,120 m255,340", 0, "editor.size.more-lit"},
      {"d200,120", 0},
      {"d200,220 u10,10 u200,170", 700},
      {"esc enter bksp kpenter u200,270", 900},
  };
  // Single releases, each "x,y=width chosen" (0: none).
  std::vector<Case> all(std::begin(cases), std::end(cases));
  std::istringstream releases(
      "150,100=600 250,140=600 251,140=0 149,120=0 200,99=0 200,145=0 200,150=700 200,190=700 "
      "200,195=0 200,200=800 250,240=800 150,290=900 145,300=1000 255,340=1000 144,320=0 "
      "256,320=0 255,341=0");
  std::vector<std::string> scripts;
  for (std::string r; std::getline(releases, r, ' ');) scripts.push_back("u" + r);
  for (const std::string& r : scripts)
    all.push_back({r.c_str(), std::stoi(r.substr(r.find('=') + 1))});
  for (const Case& c : all) {
    SCOPED_TRACE(c.script);
    FINPROG = 0;
    for (const SDL_Event& e : Script(c.script)) Push(e);
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
