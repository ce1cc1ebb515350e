// Whole runs of the game in-process: SDL_main with scripted input. The start
// seam pushes each game's events once SDL is up; the end seam looks at the
// game before it is shut down.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "game/flow/game.h"
#include "tests/game/flow_harness.h"

namespace {

struct Ending {
  int playerCount, level, lives, clock, running, wallCount;
  std::string caption;
  auto Tie() const { return std::make_tuple(playerCount, level, lives, clock, running, wallCount); }
};

std::function<void(int game)> script;
std::vector<Ending> endings;
std::vector<size_t> heapAtStart;
std::vector<int> invulnerableAtStart;
int games = 0;

void OnStart(GameState&) {
  heapAtStart.push_back(mallinfo2().uordblks);
  invulnerableAtStart.push_back(invulnerable);
  script(++games);
}

void OnEnd(GameState& s) {
  char* title = nullptr;
  SDL_WM_GetCaption(&title, nullptr);
  endings.push_back(
      {s.playerCount, s.level, s.lives, s.clock, s.running, s.wallCount, title ? title : ""});
}

// Presses on the player-count menu of the 600 x 600 start window.
void ChooseOnePlayer() { Push(MouseButton(SDL_MOUSEBUTTONDOWN, 300, 290)); }
void ChooseTwoPlayers() { Push(MouseButton(SDL_MOUSEBUTTONDOWN, 300, 340)); }
void Key(SDLKey key) { Push(KeyDown(key)); }

class GameRun : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ResetGlobals();
    // Pictures are needed before SDL runs: write them with SDL for a moment.
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    WriteSprites();
    SDL_Quit();
    const std::string font = AssetsDir() + "/Police";
    if (FileExists(font + "/comic.ttf") && symlink(font.c_str(), "Police") != 0)
      ADD_FAILURE() << "cannot link the font";
    WriteLevel(1, "3\n0\t0\n25\t0\n550\t575\n");
    games = 0;
    endings.clear();
    heapAtStart.clear();
    invulnerableAtStart.clear();
    gameStartHook = OnStart;
    gameEndHook = OnEnd;
  }
  void TearDown() override {
    gameStartHook = nullptr;
    gameEndHook = nullptr;
    ResetGlobals();
  }

  ScopedWorkDir dir_;
};

}  // namespace

TEST_F(GameRun, EnterOnTheEndScreenStartsANewGameThatKeepsTheGlobals) {
  script = [](int game) {
    if (game == 1) {
      ChooseOnePlayer();
      // Level-start screen; a life more, 100 s more, invulnerable into the
      // next game, the end; the end screen's "play again"; the credits.
      for (SDLKey key :
           {SDLK_RETURN, SDLK_v, SDLK_F5, SDLK_RSHIFT, SDLK_t, SDLK_RETURN, SDLK_RETURN})
        Key(key);
    } else {
      // No player count; the level-start screen comes all the same; quit; credits.
      for (SDLKey key : {SDLK_ESCAPE, SDLK_RETURN, SDLK_ESCAPE, SDLK_RETURN}) Key(key);
    }
  };
  EXPECT_EQ(SDL_main(0, nullptr), 0);
  EXPECT_EQ(invulnerableAtStart, (std::vector<int>{0, 10000}));
  ASSERT_EQ(endings.size(), 2u);
  // players, level, lives, clock (135 + 100 run out: 75), running, walls
  EXPECT_EQ(endings[0].Tie(), std::make_tuple(1, 1, 1, 75, 1, 3));
  EXPECT_EQ(endings[1].Tie(), std::make_tuple(0, 1, 1, 135, 0, 3));
  EXPECT_EQ(endings[0].caption, "Remerciements ...");
  EXPECT_EQ(endings[1].caption, "Remerciements ...");
  EXPECT_EQ(FINPROG, 0);
}

TEST_F(GameRun, EscapeInPlayOrClosingTheMenuEndsTheProgramWithoutEndScreens) {
  const std::vector<std::function<void(int)>> scripts = {
      [](int) {
        ChooseTwoPlayers();
        // Level-start screen, Escape in play; then what would leave end screens shown by mistake.
        for (SDLKey key : {SDLK_RETURN, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_RETURN}) Key(key);
      },
      [](int) {
        Push(QuitEvent());
        for (SDLKey key : {SDLK_ESCAPE, SDLK_RETURN}) Key(key);
      }};
  for (size_t i = 0; i < scripts.size(); ++i) {
    SCOPED_TRACE(i);
    script = scripts[i];
    endings.clear();
    FINPROG = 0;
    EXPECT_EQ(SDL_main(0, nullptr), 0);
    ASSERT_EQ(endings.size(), 1u);
    if (i == 0) {
      EXPECT_EQ(endings[0].playerCount, 2);
    }
    EXPECT_EQ(endings[0].wallCount, i == 0 ? 3 : 1) << "a level-start screen was shown";
    EXPECT_EQ(endings[0].caption, "Glouto seconde generation ! Niveau 1");
    EXPECT_EQ(FINPROG, 1);
  }
}

TEST_F(GameRun, ManyGamesInOneRunUseNoMoreMemoryThanOne) {
  constexpr int kGames = 6;
  script = [](int game) {
    ChooseOnePlayer();
    for (SDLKey key : {SDLK_RETURN, SDLK_t, game < kGames ? SDLK_RETURN : SDLK_ESCAPE, SDLK_RETURN})
      Key(key);
  };
  EXPECT_EQ(SDL_main(0, nullptr), 0);
  ASSERT_EQ(heapAtStart.size(), static_cast<size_t>(kGames));
  // One game holds 50 chest pictures of about 7 kB each, besides walls and sprites.
  const long growth = static_cast<long>(heapAtStart.back()) - static_cast<long>(heapAtStart[1]);
  EXPECT_LT(growth, 100 * 1024) << "heap grew by " << growth << " bytes over " << kGames - 2
                                << " games";
}
