// The game's screens and maze as the player sees them, and where each click or key leads.
#include <gtest/gtest.h>

#include <memory>

#include "game/flow/chance.h"
#include "game/flow/frame.h"
#include "game/flow/pause.h"
#include "game/maze/images.h"
#include "platform/window.h"
#include "tests/game/screen_fixture.h"

namespace {

class GameScreens : public ScreenTest {
 protected:
  void TearDown() override {
    ReleaseGameSurfaces(s);
    ScreenTest::TearDown();
  }
  // The level-start screen of `level` at its width, chests and enemies from `seed`.
  void Start(int level, unsigned seed, const std::string &visits) {
    s.width = LevelWidth(s.level = level);
    s.clockRect.x = static_cast<Sint16>(s.width - 130);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(s.width, s.height));
    s.screen = screen_;
    s.font = font_;
    const auto screen = [&] {
      SeedChance(seed);
      return init(s.width, s.height, screen_, level, s.chestCount, s.chestImages.data(),
                  s.wallImages.data(), s.chestPositions.data(), s.enemyCount,
                  s.enemyPositions.data(), s.enemyImages.data(), s.enemyDirections.data(),
                  &s.heroPosition, nullptr, font_, s.wallPositions.data(), &s.wallCount);
    };
    Play(visits, screen);
    ReloadImage(&s.heroImage, "Images/Glouto.png");
  }
  // Frames as the loop runs them, the quarter seconds ticking one a frame.
  void Frames(int n, const char *picture) {
    for (int i = 0; i < n; ++i, ++Change) {
      RenderHud(s);
      MoveHero(s);
      MoveEnemies(s);
      AnimateSprites(s);
      DrawFrame(s);
    }
    EXPECT_TRUE(MatchesApproved(screen_, picture));
  }
  std::unique_ptr<GameState> state_ = std::make_unique<GameState>();
  GameState &s = *state_;
};

}  // namespace

// "1 joueur" 90 x 40 at (255, 275), "2 joueurs" 110 x 40 at (245, 325), "Mode
// d'emploi" 165 x 40 at (217, 100), "Retour" 80 x 40 at (260, 550), the Readme
// picture 218 x 73 at (191, 450), on the instructions only; a pad's A, X, Y.
TEST_F(GameScreens, PlayerCountMenuAndItsInstructionsAlsoAtZoomTwo) {
  const auto menu = [&] { return Joueurs(600, 600, screen_, font_); };
  FakeDesktop desktop;
  Play(
      "esc =0 menu; m355,365 esc =0 menu.two-lit; d217,100 esc =0 menu.instructions;"
      "d382,140 esc =0 menu.instructions; d216,100 esc =0 menu;"
      "m260,550 d217,100 esc =0 menu.instructions.back-lit;"
      "d217,100 m256,276 d260,550 esc =0 menu.one-lit; d260,550 esc =0 menu;"
      "d217,100 d217,100 esc =0 menu.instructions; u217,100 u255,275 esc =0 menu;"
      "d255,275 =1; d345,315 =1; d346,295 esc =0; d300,316 d245,325 =2; d355,365 =2;"
      "enter a d245,325 =2; x0,0,30000 b0,0 =1; b1,2 =2; b0,3 esc =0 menu.instructions;"
      "b0,3 b0,3 esc =0 menu; space esc =0 menu; 2 b0,6 =0; q =0*; d217,100 d300,290 =1;"
      "d217,100 d245,325 =2; d217,100 q =0*;"
      "d191,450 d217,100 u191,450 d409,523 d410,450 d191,450 esc =0",
      menu);
  const auto start = std::chrono::steady_clock::now();  // and 100 ms a page change
  Play("d217,100 d260,550 d217,100 esc =0", menu);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 4 * kPass + std::chrono::milliseconds(300));
  EXPECT_EQ(desktop.WaitFor(2), std::vector<std::string>(2, Request(dir_.path() + "/Readme.html")));

  // Zoomed by our copy, not where the SDL scales the window itself; the
  // pointer in the window's pixels, over the far corner of "2 joueurs".
  WindowSetZoom(2);
  screen_ = WindowSetVideoMode(600, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  DropWindowEvents();
  if (SDL_GetVideoSurface()->w != 600) {
    Play("m711,731 esc =0", menu);
    EXPECT_TRUE(MatchesApproved(SDL_GetVideoSurface(), "menu.zoom2.two-lit"));
  }
  WindowSetZoom(1);
}

// "Commencer": 125 x 40 at (237, 360). Level 2's enemies go all four ways at
// first: each sprite's first phase, its second, where they went, the pause.
TEST_F(GameScreens, LevelStartAtEachWidthThenTheMaze) {
  s.enemyCount = 5;
  Start(1, 7,
        "enter =1 level-start.600; m362,400 enter =1 level-start.600.lit;"
        "m300,380 m363,380 enter =1 level-start.600; d237,360 =1; d362,400 =1; d363,400 esc =0;"
        "d362,401 esc =0; d236,380 enter =1; u300,380 esc =0; a space esc =0; q =0*");
  Start(3, 7, "enter =1 level-start.800");
  Start(12, 7, "enter =1 level-start.1000");
  RenderHud(s);
  DrawFrame(s);
  EXPECT_TRUE(MatchesApproved(screen_, "maze.level12.start"));
  // Over the left, bottom and top edges: the next frame draws at the rectangles
  // the first one clipped, against the edge from then on.
  s.enemyPositions[0] = {-7, 590, 0, 0};
  s.enemyPositions[1] = {480, -30, 0, 0};
  for (const char *frame : {"maze.level12.edges.frame1", "maze.level12.edges.frame2"}) {
    RenderHud(s);
    DrawFrame(s);
    EXPECT_TRUE(MatchesApproved(screen_, frame));
  }

  s.chestCount = 30;
  tamponIMG = 1;
  Change = 0;
  attente = 0;
  Start(2, 12, "enter =1");
  s.heroDirection = 2;
  s.clock = 87;
  s.remaining = 1234;
  s.lives = 3;
  Frames(5, "maze.level2.phase1");
  Frames(1, "maze.level2.phase2");
  Frames(19, "maze.level2.moving");
  s.pauseText = TTF_RenderText_Blended(font_, "Pause", s.textColor);
  s.pauseRect = {260, 280, 0, 0};  // where the start window puts it, on every level
  Push(KeyDown(SDLK_p));
  PauseGame(s);
  EXPECT_TRUE(MatchesApproved(screen_, "maze.level2.pause"));
}

// "Quitter" 93 x 40 at (254, 100); the logos 365 x 100 at (118, 200) and 448 x
// 96 at (76, 325). A close of the end screen leaves the program's end to
// whoever asked for it.
TEST_F(GameScreens, EndScreensAndCreditsWithThePartnersPages) {
  const auto end = [&](int won, int score) {
    return [=] { return FIN(won, score, screen_, font_, 600, 600, 0); };
  };
  Play("enter =1 end.won; a m300,300 d300,300 enter =1 end.won; esc =0", end(1, 1234));
  EXPECT_EQ(WindowCaption(), "Felicitation !!! :)");
  Play("esc =0", end(2, 5));
  EXPECT_EQ(WindowCaption(), "Felicitation !!! :)");
  Play("enter =1 end.lost; q =0", end(0, -7));
  FINPROG = 1;
  Push(QuitEvent());
  EXPECT_EQ(FIN(1, 0, screen_, font_, 600, 600, 0), 0);
  EXPECT_EQ(FINPROG, 1);

  FakeDesktop desktop;
  const auto credits = [&] { return Merci(600, 600, screen_, font_), 0; };
  Play(
      "enter =0 credits; m347,140 enter =0 credits.quit-lit; m254,100 m253,100 enter =0 credits;"
      "u254,100 =0; u347,140 =0; u348,100 enter =0; d254,100 enter =0; esc enter =0; q =0;"
      "u118,200 u483,300 u76,325 u524,421 u525,421 u118,199 d118,200 d76,325 enter =0",
      credits);
  const std::string first = Request("https://tavernique.example/"),
                    second = Request("https://tilo.example/");
  EXPECT_EQ(desktop.WaitFor(4), (std::vector<std::string>{first, first, second, second}));
}
