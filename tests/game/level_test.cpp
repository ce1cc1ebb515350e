#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "game/flow/level.h"
#include "game/flow/loop.h"
#include "game/flow/rules.h"
#include "game/flow/session.h"
#include "level/level_rules.h"
#include "tests/game/flow_harness.h"

namespace {

class Level : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    WriteSprites();
    ClearChests();
    game_->wallCount = 0;
    game_->enemyCount = 1;
    game_->enemyPositions[0] = At(5000, 5000);
  }

  std::string Caption() {
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    return title ? title : "";
  }

  int ChestsInField(int width) {
    int n = 0;
    for (const SDL_Rect& chest : game_->chestPositions)
      n += chest.x >= 30 && chest.x <= width - 31 && chest.y >= 30 && chest.y <= 569 ? 1 : 0;
    return n;
  }
};

}  // namespace

TEST_F(Level, LevelChangeWidensTheWindowAndStartsTheNextLevel) {
  GameState& s = *game_;
  WriteLevel(2, "3\n0\t0\n25\t0\n50\t0\n");
  s.playerCount = 2;
  s.remaining = 0, s.clock = 30, s.lives = 1, s.eatenSinceRefill = 20;
  s.heroDirection = 3, s.heroPosition = At(40, 40);
  s.enemyModes[0] = 0, s.turnCountdowns[0] = 5;
  s.timerId = SDL_AddTimer(250, minuteur, nullptr);
  Change = 0;
  for (int i = 0; i < 25; ++i) Push(MouseMotion(1, 1));  // the level-start screen lingers
  Push(KeyDown(SDLK_RETURN));
  const Uint32 before = SDL_GetTicks();
  ChangeLevel(s);
  // The old timer would have ticked three times or more; the new one may have
  // ticked once if this thread was held up.
  EXPECT_LE(Change.load(), 1) << "the clock ran during a change of " << SDL_GetTicks() - before
                              << " ms";
  EXPECT_EQ(s.level, 2);
  EXPECT_EQ(s.width, 700);
  ASSERT_NE(s.screen, nullptr);
  EXPECT_EQ(s.screen->w, 700);
  EXPECT_EQ(s.chestCount, 100);
  EXPECT_EQ(s.clock, 180);
  EXPECT_EQ(s.remaining, 206);
  EXPECT_EQ(s.enemyCount, 1);
  EXPECT_EQ(s.running, 1);
  EXPECT_EQ(s.lives, 2);
  EXPECT_EQ(s.eatenSinceRefill, 0);
  EXPECT_EQ(s.heroDirection, 0);
  EXPECT_EQ(s.heroPosition.x, 351);
  EXPECT_EQ(s.heroPosition.y, 301);
  EXPECT_EQ(s.enemyModes[0], 1) << "player 2's enemy turns at random from level 2 on";
  EXPECT_EQ(s.turnCountdowns[0], 0);
  EXPECT_EQ(s.wallCount, 3);
  EXPECT_EQ(ChestsInField(700), 100);
  EXPECT_EQ(s.pauseRect.x, 260);
  EXPECT_EQ(s.pauseRect.y, 280);
  EXPECT_EQ(Caption(), "Glouto seconde generation ! Niveau 2");
  ASSERT_NE(s.timerId, nullptr);
  SDL_Delay(1000);
  EXPECT_GE(Change.load(), 2) << "the timer runs again";
}

TEST_F(Level, WindowGrowsUpTo1000AndTheCountsFollowTheProgression) {
  GameState& s = *game_;
  SetStartCounts(s);
  for (int level = 2; level <= 9; ++level) {
    SCOPED_TRACE(level);
    s.remaining = 0;
    Push(KeyDown(SDLK_RETURN));
    ChangeLevel(s);
    SDL_RemoveTimer(s.timerId);
    s.timerId = nullptr;
    const int width = level <= 5 ? 500 + 100 * level : 1000;
    EXPECT_EQ(s.width, width);
    EXPECT_EQ(LevelWidth(level), width) << "glouto-niveau checks another width";
    EXPECT_EQ(s.screen->w, width);
    EXPECT_EQ(s.heroPosition.x, width / 2 + 1);
    EXPECT_EQ(s.chestCount, level <= 5 ? 50 * level : 300);
    EXPECT_EQ(ChestsInField(width), s.chestCount);
    EXPECT_EQ(s.enemyCount, level < 4 ? 1 : level < 8 ? 2 : 3);
    EXPECT_EQ(s.lives, level);
    EXPECT_EQ(s.pauseRect.x, 260);
  }
}

TEST_F(Level, EscapeOnTheLevelStartScreenEndsTheGameWithTheLevelFilled) {
  GameState& s = *game_;
  WriteLevel(2, "1\n100\t100\n");
  s.remaining = 0;
  Push(KeyDown(SDLK_ESCAPE));
  ChangeLevel(s);
  EXPECT_EQ(s.running, 0);
  EXPECT_EQ(FINPROG, 0);
  EXPECT_EQ(s.level, 2);
  EXPECT_EQ(s.wallCount, 1);
}

TEST_F(Level, LastChestInTheFrameTheClockReachedZeroStillCompletesTheLevel) {
  GameState& s = *game_;
  s.heroPosition = At(301, 301);
  s.chestPositions[0] = At(320, 320);
  s.remaining = 1, s.clock = 1, s.lives = 1;
  Change = 4, attente = 0;
  Push(KeyDown(SDLK_RETURN));  // taken by the frame: the hero stops
  Push(KeyDown(SDLK_RETURN));  // taken by the level-start screen
  std::srand(11);
  const int bonus = (std::rand() % 1000000) % 7 == 0 ? 2 : 0;
  std::srand(11);
  RunFrame(s);
  const int chests = 100 - 1 - bonus + 1;
  EXPECT_EQ(s.level, 2);
  EXPECT_EQ(s.chestCount, chests);
  EXPECT_EQ(s.clock, chests * 3 / 2);
  EXPECT_EQ(s.lives, 2) << "no clock run-out after the change";
  EXPECT_EQ(s.running, 1);
}

TEST_F(Level, KeyGAdvancesWithTheClockAtTenEvenWhenAnEnemyEatsAChestInItsFrame) {
  GameState& s = *game_;
  s.remaining = 57, s.clock = 80;
  s.enemyPositions[0] = At(100, 100), s.chestPositions[0] = At(110, 110);
  Change = 1, attente = 1;
  Push(KeyDown(SDLK_g));
  Push(KeyDown(SDLK_RETURN));
  RunFrame(s);
  EXPECT_EQ(s.level, 2);
  EXPECT_EQ(s.chestCount, 100);
  EXPECT_EQ(s.clock, 10 + 150);
  EXPECT_EQ(s.running, 1) << "the level-start screen decides";
}

TEST_F(Level, KeyTEndsTheGameWonOnlyWithALifeLeft) {
  struct Case {
    int lives, score;
    bool heroEats;
    int won, livesAfter;
  };
  const Case cases[] = {
      {1, 3, false, 1, 0}, {0, 3, false, 0, -1}, {2, 0, false, 0, 1}, {1, 0, true, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lives << " lives, score " << c.score << " " << c.heroEats);
    GameState& s = *game_;
    s.running = 1, s.lives = c.lives, s.score = c.score, s.chestCount = 50, s.remaining = 30;
    if (c.heroEats) s.chestPositions[0] = At(320, 320);  // the resting hero's
    Change = 1, attente = 1;
    Push(KeyDown(SDLK_t));
    RunFrame(s);
    EXPECT_EQ(s.running, 0);
    EXPECT_EQ(s.clock, 75);
    EXPECT_EQ(s.lives, c.livesAfter);
    FINPROG = 1;
    FinishGame(s);
    FINPROG = 0;
    EXPECT_EQ(s.won, c.won);
  }
}

TEST_F(Level, StartingAtALaterLevelFollowsTheProgressionOfLevelsWonAtOnce) {
  for (int level = 2; level <= 20; ++level) {
    SCOPED_TRACE(level);
    GameState s;  // level 1's counts
    AdvanceToLevel(s, level);
    EXPECT_EQ(s.chestCount, level <= 5 ? 50 * level : 300);
    EXPECT_EQ(s.enemyCount, level < 4 ? 1 : level < 8 ? 2 : level < 12 ? 3 : level < 16 ? 4 : 5);
    EXPECT_EQ(s.width, level <= 5 ? 500 + 100 * level : 1000);
    // The clock carries over, 135 + 150 + 225 at level 3; at level 5 its
    // 1185 passes 999 and becomes 250 x 3 / 2 and a life.
    const auto counts = std::make_tuple(s.clock, s.remaining, s.lives);
    if (level == 3 || level == 5) {
      EXPECT_EQ(counts, level == 3 ? std::make_tuple(510, 317, 3) : std::make_tuple(375, 539, 6));
    }
  }
}
