// The screens around the levels as the player sees them (approved pictures),
// and where each click or key leads (one table per screen).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

#include "game/flow/frame.h"
#include "game/maze/images.h"
#include "platform/window.h"
#include "tests/game/screen_fixture.h"

TEST_F(ScreenTest, PlayerCountMenuAndItsInstructions) {
  // In the 600 x 600 start window: "1 joueur" 90 x 40 at (255, 275), "2
  // joueurs" 110 x 40 at (245, 325), "Mode d'emploi" 165 x 40 at (217, 100),
  // "Retour" 80 x 40 at (260, 550), the Readme picture 218 x 73 at (191, 450).
  const auto menu = [&] { return Joueurs(600, 600, screen_, font_); };
  Play({{"esc", 0, 0, "menu"},
        {"m355,365 esc", 0, 0, "menu.two-lit"},
        {"d217,100 esc", 0, 0, "menu.instructions"},
        {"d382,140 esc", 0, 0, "menu.instructions"},
        {"d216,100 esc", 0, 0, "menu"},
        {"m260,550 d217,100 esc", 0, 0, "menu.instructions.back-lit"},
        {"d217,100 m256,276 d260,550 esc", 0, 0, "menu.one-lit"},
        {"d260,550 esc", 0, 0, "menu"},
        {"d217,100 d217,100 esc", 0, 0, "menu.instructions"},
        {"u217,100 u255,275 esc", 0, 0, "menu"},
        {"d255,275", 1, 0},
        {"d345,315", 1, 0},
        {"d346,295 esc", 0, 0},
        {"d300,316 d245,325", 2, 0},
        {"d355,365", 2, 0},
        {"enter a d245,325", 2, 0},
        {"x0,0,30000 b0,0", 1, 0},                // a pad's A, whichever pad
        {"b1,2", 2, 0},                           // its X
        {"b0,3 esc", 0, 0, "menu.instructions"},  // its Y shows the instructions
        {"b0,3 b0,3 esc", 0, 0, "menu"},          // and takes them back
        {"space esc", 0, 0, "menu"},
        {"2 b0,6", 0, 0},
        {"q", 0, 1},
        {"d217,100 d300,290", 1, 0},  // hidden, still there
        {"d217,100 d245,325", 2, 0},
        {"d217,100 q", 0, 1}},
       menu);

  // The Readme picture opens the manual by its full path, on the instructions
  // only.
  FakeDesktop desktop;
  char *here = realpath(".", nullptr);
  const std::string document = Request(std::string(here) + "/Readme.html");
  free(here);
  Play({{"d191,450 d217,100 u191,450 d409,523 d410,450 d191,450 esc", 0, 0}}, menu);
  EXPECT_EQ(desktop.WaitFor(2), std::vector<std::string>(2, document));
}

TEST_F(ScreenTest, LevelStartAtEachWidthThenItsMaze) {
  auto state = std::make_unique<GameState>();
  GameState &s = *state;
  s.enemyCount = 5;
  int level = 1;
  const auto start = [&] {
    std::srand(7);
    return StartScreen(s, level, screen_, font_);
  };
  // "Commencer": 125 x 40 at (237, 360).
  Play({{"enter", 1, 0, "level-start.600"},
        {"m362,400 enter", 1, 0, "level-start.600.lit"},
        {"m300,380 m363,380 enter", 1, 0, "level-start.600"},
        {"d237,360", 1, 0},
        {"d362,400", 1, 0},
        {"d363,400 esc", 0, 0},
        {"d362,401 esc", 0, 0},
        {"d236,380 enter", 1, 0},
        {"u300,380 esc", 0, 0},
        {"a space esc", 0, 0},
        {"q", 0, 1}},
       start);
  EXPECT_EQ(Caption(), "Bienvenue dans le monde du Glouto !");
  EXPECT_EQ(s.wallCount, std::stoi(ReadFile("Niveaux/Niveau_1.txt")));

  // Later levels: their width, their number, and a maze once started.
  for (const auto &[n, picture] : {std::pair{3, "level-start.800"}, {12, "level-start.1000"}}) {
    level = n;
    s.width = LevelWidth(n);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(s.width, s.height));
    Play({{"enter", 1, 0, picture}}, start);
  }
  s.screen = screen_;
  s.font = font_;
  s.clockRect.x = static_cast<Sint16>(s.width - 130);
  ReloadImage(&s.heroImage, "Images/Glouto.png");
  RenderHud(s);
  DrawFrame(s);
  EXPECT_TRUE(MatchesApproved(screen_, "maze.level12.start"));
  ReleaseGameSurfaces(s);
}

TEST_F(ScreenTest, EndScreenWonAndLost) {
  const auto end = [&](int won, int score) {
    return [=] { return FIN(won, score, screen_, font_, 600, 600, 0); };
  };
  Play({{"enter", 1, 0, "end.won"}, {"a m300,300 d300,300 enter", 1, 0, "end.won"}, {"esc", 0, 0}},
       end(1, 1234));
  EXPECT_EQ(Caption(), "Felicitation !!! :)");
  Play({{"esc", 0, 0}}, end(2, 5));
  EXPECT_EQ(Caption(), "Felicitation !!! :)");
  Play({{"enter", 1, 0, "end.lost"}, {"q", 0, 0}}, end(0, -7));
  EXPECT_EQ(Caption(), "Oh dommage ... :(");
  FINPROG = 1;  // a close leaves the program's end to whoever asked for it
  Push(QuitEvent());
  EXPECT_EQ(FIN(1, 0, screen_, font_, 600, 600, 0), 0);
  EXPECT_EQ(FINPROG, 1);
}

TEST_F(ScreenTest, CreditsAndThePartnersPages) {
  const auto credits = [&] {
    Merci(600, 600, screen_, font_);
    return 0;
  };
  // "Quitter" 93 x 40 at (254, 100); the logos 365 x 100 at (118, 200) and 448
  // x 96 at (76, 325).
  Play({{"enter", 0, 0, "credits"},
        {"m347,140 enter", 0, 0, "credits.quit-lit"},
        {"m254,100 m253,100 enter", 0, 0, "credits"},
        {"u254,100", 0, 0},
        {"u347,140", 0, 0},
        {"u348,100 enter", 0, 0},
        {"d254,100 enter", 0, 0},
        {"esc enter", 0, 0},
        {"q", 0, 0}},
       credits);
  EXPECT_EQ(Caption(), "Remerciements ...");
  FakeDesktop desktop;
  Play({{"u118,200 u483,300 u76,325 u524,421 u525,421 u118,199 d118,200 "
         "d76,325 enter",
         0, 0}},
       credits);
  const std::string first = Request("https://tavernique.example/");
  const std::string second = Request("https://tilo.example/");
  EXPECT_EQ(desktop.WaitFor(4), (std::vector<std::string>{first, first, second, second}));
}

TEST_F(ScreenTest, TheMenuAtZoomTwo) {
  WindowSetZoom(2);
  screen_ = WindowSetVideoMode(600, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  DropWindowEvents();
  if (SDL_GetVideoSurface()->w == 600) {
    WindowSetZoom(1);
    GTEST_SKIP() << "this SDL scales the window itself";
  }
  // The pointer in the window's pixels: over the far corner of "2 joueurs".
  Play({{"m711,731 esc", 0, 0}}, [&] { return Joueurs(600, 600, screen_, font_); });
  EXPECT_TRUE(MatchesApproved(SDL_GetVideoSurface(), "menu.zoom2.two-lit"));
  WindowSetZoom(1);
}

// A pass waits 30 ms, a page change 100 ms more; the end screen leaves without
// one. Lower bounds only: a busy machine makes passes longer, never shorter.
TEST_F(ScreenTest, EveryPassWaits) {
  auto s = std::make_unique<GameState>();
  const auto menu = [&] { Joueurs(600, 600, screen_, font_); };
  const std::tuple<const char *, int, std::function<void()>> cases[] = {
      {"a a a esc", 4 * 30, menu},
      {"d217,100 d260,550 d217,100 esc", 4 * 30 + 3 * 100, menu},
      {"a enter", 2 * 30, [&] { StartScreen(*s, 1, screen_, font_); }},
      {"a space esc", 2 * 30, [&] { FIN(1, 0, screen_, font_, 600, 600, 0); }},
      {"a a enter", 3 * 30, [&] { Merci(600, 600, screen_, font_); }}};
  for (const auto &[script, atLeastMs, screen] : cases) {
    SCOPED_TRACE(script);
    for (const SDL_Event &e : Script(script)) Push(e);
    const auto start = std::chrono::steady_clock::now();
    screen();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(atLeastMs));
  }
  ReleaseGameSurfaces(*s);
}
