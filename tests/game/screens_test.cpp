// The screens around the levels as the player sees them (approved pictures),
// and where each click or key leads (one table per screen).
#include <gtest/gtest.h>

#include <memory>

#include "game/flow/frame.h"
#include "game/flow/session.h"
#include "game/flow/state.h"
#include "game/maze/images.h"
#include "game/screens/screens.h"
#include "tests/game/screen_fixture.h"

namespace {

const SDL_Event kEnter = KeyDown(SDLK_RETURN), kEscape = KeyDown(SDLK_ESCAPE), kQuit = QuitEvent();

}  // namespace

TEST_F(ScreenTest, PlayerCountMenuAndItsInstructions) {
  // The 600 x 600 start window; the plates' top-left corners and sizes.
  const SDL_Event one = Press(255, 275), oneFar = Press(255 + 90, 275 + 40), two = Press(245, 325);
  const SDL_Event manual = Press(217, 100), back = Press(260, 550), readme = Press(191, 450);
  Play(
      {
          {"idle", {kEscape}, 0, 0, "menu"},
          {"hover on the far corner of 2 joueurs",
           {MouseMotion(355, 365), kEscape},
           0,
           0,
           "menu.two-lit"},
          {"Mode d'emploi", {manual, kEscape}, 0, 0, "menu.instructions"},
          {"its far corner", {Press(217 + 165, 140), kEscape}, 0, 0, "menu.instructions"},
          {"just left of it", {Press(216, 100), kEscape}, 0, 0, "menu"},
          {"Retour lit while hidden",
           {MouseMotion(260, 550), manual, kEscape},
           0,
           0,
           "menu.instructions.back-lit"},
          {"there and back, 1 joueur lit meanwhile",
           {manual, MouseMotion(256, 276), back, kEscape},
           0,
           0,
           "menu.one-lit"},
          {"Retour's area on the question", {back, kEscape}, 0, 0, "menu"},
          {"Mode d'emploi's area on the instructions",
           {manual, manual, kEscape},
           0,
           0,
           "menu.instructions"},
          {"a release changes nothing",
           {Release(217, 100), Release(255, 275), kEscape},
           0,
           0,
           "menu"},
          {"press on 1 joueur", {one}, 1, 0, nullptr},
          {"its far corner", {oneFar}, 1, 0, nullptr},
          {"one pixel right of it", {Press(346, 295), kEscape}, 0, 0, nullptr},
          {"one pixel below it", {Press(300, 316), two}, 2, 0, nullptr},
          {"far corner of 2 joueurs", {Press(355, 365)}, 2, 0, nullptr},
          {"Enter and other keys do nothing", {kEnter, KeyDown(SDLK_a), two}, 2, 0, nullptr},
          {"a pad's A is 1 joueur", {PadAxis(0, 0, 30000), PadButton(0, 0)}, 1, 0, nullptr},
          {"a pad's X is 2 joueurs", {PadButton(1, 2)}, 2, 0, nullptr},
          {"the keyboard's 2 is not", {KeyDown(SDLK_2), PadButton(0, 6)}, 0, 0, nullptr},
          {"window closed", {kQuit}, 0, 1, nullptr},
          {"hidden 1 joueur on the instructions", {manual, one}, 1, 0, nullptr},
          {"hidden 2 joueurs on the instructions", {manual, two}, 2, 0, nullptr},
          {"closed on the instructions", {manual, kQuit}, 0, 1, nullptr},
      },
      [&] { return Joueurs(600, 600, screen_, font_); });

  // The Readme picture opens the manual by its full path, on the instructions only.
  FakeDesktop desktop;
  char* here = realpath(".", nullptr);
  const std::string document = Request(std::string(here) + "/Readme.html");
  free(here);
  Play({{"readme",
         {readme, manual, Release(191, 450), Press(191 + 218, 450 + 73), Press(410, 450), readme,
          kEscape},
         0,
         0,
         nullptr}},
       [&] { return Joueurs(600, 600, screen_, font_); });
  EXPECT_EQ(desktop.WaitFor(2), std::vector<std::string>(2, document));
}

TEST_F(ScreenTest, LevelStartAtEachWidthThenItsMaze) {
  auto state = std::make_unique<GameState>();
  GameState& s = *state;
  s.enemyCount = 5;
  auto run = [&](int level) {
    std::srand(7);
    return init(s.width, s.height, screen_, level, s.chestCount, s.chestImages.data(),
                s.wallImages.data(), s.chestPositions.data(), s.enemyCount, s.enemyPositions.data(),
                s.enemyImages.data(), s.enemyDirections.data(), &s.heroPosition, nullptr, font_,
                s.wallPositions.data(), &s.wallCount);
  };
  // The plate "Commencer": 125 x 40 at (237, 360).
  Play(
      {
          {"Enter", {kEnter}, 1, 0, "level-start.600"},
          {"hover on its far corner", {MouseMotion(362, 400), kEnter}, 1, 0, "level-start.600.lit"},
          {"on and off",
           {MouseMotion(300, 380), MouseMotion(363, 380), kEnter},
           1,
           0,
           "level-start.600"},
          {"press on the plate", {Press(237, 360)}, 1, 0, nullptr},
          {"its far corner", {Press(362, 400)}, 1, 0, nullptr},
          {"one pixel right of it", {Press(363, 400), kEscape}, 0, 0, nullptr},
          {"one pixel below it", {Press(362, 401), kEscape}, 0, 0, nullptr},
          {"one pixel left of it", {Press(236, 380), kEnter}, 1, 0, nullptr},
          {"a release does not start", {Release(300, 380), kEscape}, 0, 0, nullptr},
          {"other keys do nothing", {KeyDown(SDLK_a), KeyDown(SDLK_SPACE), kEscape}, 0, 0, nullptr},
          {"window closed", {kQuit}, 0, 1, nullptr},
      },
      [&] { return run(1); });
  EXPECT_EQ(Caption(), "Bienvenue dans le monde du Glouto !");
  EXPECT_EQ(s.wallCount, std::stoi(ReadFile("Niveaux/Niveau_1.txt")));

  // A later level: its width, its number, and its maze once started.
  struct Later {
    int level;
    const char* picture;
  };
  for (const Later& c : {Later{3, "level-start.800"}, Later{12, "level-start.1000"}}) {
    SCOPED_TRACE(c.level);
    s.width = LevelWidth(c.level);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(s.width, s.height));
    Play({{"Enter", {kEnter}, 1, 0, c.picture}}, [&] { return run(c.level); });
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
  struct Ending {
    int won, score;
    const char* caption;
    std::vector<Visit> visits;
  };
  const Ending endings[] = {
      {1,
       1234,
       "Felicitation !!! :)",
       {{"Enter", {kEnter}, 1, 0, "end.won"},
        {"anything else redraws",
         {KeyDown(SDLK_a), MouseMotion(300, 300), Press(300, 300), kEnter},
         1,
         0,
         "end.won"},
        {"Escape", {kEscape}, 0, 0, nullptr}}},
      {0,
       -7,
       "Oh dommage ... :(",
       {{"Enter", {kEnter}, 1, 0, "end.lost"}, {"window closed", {kQuit}, 0, 0, nullptr}}},
      {2, 5, "Felicitation !!! :)", {{"Escape", {kEscape}, 0, 0, nullptr}}},
  };
  for (const Ending& e : endings) {
    SCOPED_TRACE(e.won);
    Play(e.visits, [&] { return FIN(e.won, e.score, screen_, font_, 600, 600, 0); });
    EXPECT_EQ(Caption(), e.caption);
  }
  // Closing the window leaves the program's end to whoever asked for it.
  FINPROG = 1;
  Push(kQuit);
  EXPECT_EQ(FIN(1, 0, screen_, font_, 600, 600, 0), 0);
  EXPECT_EQ(FINPROG, 1);
}

TEST_F(ScreenTest, CreditsAndThePartnersPages) {
  // "Quitter": 93 x 40 at (254, 100); the logos at (118, 200), 365 x 100, and (76, 325), 448 x 96.
  Play(
      {
          {"idle", {kEnter}, 0, 0, "credits"},
          {"hover on Quitter's far corner",
           {MouseMotion(347, 140), kEnter},
           0,
           0,
           "credits.quit-lit"},
          {"on and off", {MouseMotion(254, 100), MouseMotion(253, 100), kEnter}, 0, 0, "credits"},
          {"release on Quitter", {Release(254, 100)}, 0, 0, nullptr},
          {"on its far corner", {Release(347, 140)}, 0, 0, nullptr},
          {"just right of it", {Release(348, 100), kEnter}, 0, 0, nullptr},
          {"a press there only", {Press(254, 100), kEnter}, 0, 0, nullptr},
          {"Escape does nothing", {kEscape, kEnter}, 0, 0, nullptr},
          {"window closed", {kQuit}, 0, 0, nullptr},
      },
      [&] {
        Merci(600, 600, screen_, font_);
        return 0;
      });
  EXPECT_EQ(Caption(), "Remerciements ...");

  FakeDesktop desktop;
  Play({{"logos",
         {Release(118, 200), Release(118 + 365, 300), Release(76, 325), Release(76 + 448, 421),
          Release(76 + 449, 421), Release(118, 199), Press(118, 200), Press(76, 325), kEnter},
         0,
         0,
         nullptr}},
       [&] {
         Merci(600, 600, screen_, font_);
         return 0;
       });
  const std::string first = Request("https://tavernique.example/"),
                    second = Request("https://tilo.example/");
  EXPECT_EQ(desktop.WaitFor(4), (std::vector<std::string>{first, first, second, second}));
}
