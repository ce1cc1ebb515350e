// Whole runs of the game in-process: SDL_main with scripted input. The start
// seam pushes each game's events once SDL is up; the end seam notes the game
// before it is shut down.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "game/flow/game.h"
#include "tests/game/flow_harness.h"

namespace {

using Ending = std::array<int, 6>;  // players, level, lives, clock, running, walls; -1: any
std::vector<std::vector<SDL_Event>> scripts;  // a game's events; the last for any game after
std::vector<Ending> endings;
std::vector<std::string> captions;
std::vector<size_t> heapAtStart;
std::vector<int> invulnerableAtStart;

std::vector<SDL_Event> Keys(int players, std::initializer_list<SDLKey> keys) {
  std::vector<SDL_Event> events;  // a click on the 600 x 600 player-count menu first
  if (players) events.push_back(MouseButton(SDL_MOUSEBUTTONDOWN, 300, 240 + 50 * players));
  for (SDLKey key : keys) events.push_back(KeyDown(key));
  return events;
}

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
    gameStartHook = [](GameState&) {
      heapAtStart.push_back(mallinfo2().uordblks);
      invulnerableAtStart.push_back(invulnerable);
      for (const SDL_Event& e : scripts[std::min(heapAtStart.size(), scripts.size()) - 1]) Push(e);
    };
    gameEndHook = [](GameState& s) {
      char* title = nullptr;
      SDL_WM_GetCaption(&title, nullptr);
      endings.push_back({s.playerCount, s.level, s.lives, s.clock, s.running, s.wallCount});
      captions.push_back(title ? title : "");
    };
  }
  void TearDown() override {
    gameStartHook = nullptr;
    gameEndHook = nullptr;
    ResetGlobals();
  }
  // Runs the program on `driver` over `games`; its exit status and what it said.
  static std::pair<int, std::string> Run(const std::vector<std::vector<SDL_Event>>& games,
                                         const char* driver = "dummy") {
    ResetGlobals();
    scripts = games, endings.clear(), captions.clear();
    heapAtStart.clear(), invulnerableAtStart.clear();
    std::string said;
    const int status = RunWithVideoDriver(driver, SDL_main, &said);
    return {status, said};
  }

  ScopedWorkDir dir_;
};

}  // namespace

// The first run: the level-start screen; a life more, 100 s more (135 + 100
// run out: 75), invulnerable into the next game, the end; the end screen's
// "play again"; the credits. Then no player count: the level-start screen all
// the same; quit; credits. The next: keys that would show end screens by mistake.
TEST_F(GameRun, EndScreensNewGamesQuittingAndAMissingDisplayEndTheRunAsTheyShould) {
  const char* kLevel = "Glouto seconde generation ! Niveau 1";
  const struct {
    const char* name;
    std::vector<std::vector<SDL_Event>> games;
    std::vector<Ending> endings;
    const char* caption;
    int finprog;
    std::vector<int> invulnerable;
    const char* says = "";  // when the game cannot start
  } runs[] = {
      {"Enter on the end screen starts a new game that keeps the globals",
       {Keys(1, {SDLK_RETURN, SDLK_v, SDLK_F5, SDLK_RSHIFT, SDLK_t, SDLK_RETURN, SDLK_RETURN}),
        Keys(0, {SDLK_ESCAPE, SDLK_RETURN, SDLK_ESCAPE, SDLK_RETURN})},
       {{1, 1, 1, 75, 1, 3}, {0, 1, 1, 135, 0, 3}},
       "Remerciements ...",
       0,
       {0, 10000}},
      {"Escape in play ends the program without end screens",
       {Keys(2, {SDLK_RETURN, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_RETURN})},
       {{2, -1, -1, -1, -1, 3}},
       kLevel,
       1,
       {0}},
      {"closing the menu ends the program before any level-start screen",
       {{QuitEvent(), KeyDown(SDLK_ESCAPE), KeyDown(SDLK_RETURN)}},
       {{-1, -1, -1, -1, -1, 1}},
       kLevel,
       1,
       {0}},
      {"without a display the game says why and fails",
       {},
       {},
       "",
       0,
       {},
       "cannot open the game's window"}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.name);
    const auto [status, said] = Run(run.games, *run.says ? "no-such-driver" : "dummy");
    EXPECT_EQ(status, *run.says ? 1 : 0);
    EXPECT_NE(said.find(run.says), std::string::npos) << said;
    ASSERT_EQ(endings.size(), run.endings.size());
    for (size_t g = 0; g < endings.size(); ++g)
      for (size_t i = 0; i < endings[g].size(); ++i)
        if (run.endings[g][i] != -1) {
          EXPECT_EQ(endings[g][i], run.endings[g][i]) << g << ", " << i;
        }
    for (const std::string& caption : captions) EXPECT_EQ(caption, run.caption);
    EXPECT_EQ(FINPROG, run.finprog);
    EXPECT_EQ(invulnerableAtStart, run.invulnerable);
  }
}

TEST_F(GameRun, ManyGamesInOneRunUseNoMoreMemoryThanOne) {
  constexpr size_t kGames = 6;
  std::vector<std::vector<SDL_Event>> games(
      kGames - 1, Keys(1, {SDLK_RETURN, SDLK_t, SDLK_RETURN, SDLK_RETURN}));
  games.push_back(Keys(1, {SDLK_RETURN, SDLK_t, SDLK_ESCAPE, SDLK_RETURN}));
  EXPECT_EQ(Run(games).first, 0);
  ASSERT_EQ(heapAtStart.size(), kGames);
  // One game holds 50 chest pictures of about 7 kB each, besides walls and sprites.
  const long growth = static_cast<long>(heapAtStart.back()) - static_cast<long>(heapAtStart[1]);
  EXPECT_LT(growth, 100 * 1024) << "heap grew by " << growth << " bytes over " << kGames - 2
                                << " games";
}
