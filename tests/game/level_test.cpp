// Level after level: the counts of each new level and the window they play in.
#include <gtest/gtest.h>

#include "game/flow/level.h"
#include "game/flow/rules.h"
#include "level/level_rules.h"
#include "tests/game/flow_harness.h"

namespace {

class Level : public FlowTest {};

// Levels won at once with nothing left over and no enemy lost.
int ChestsAt(int level) { return level <= 5 ? 50 * level : 300; }
int EnemiesAt(int level) { return level < 4 ? 1 : level < 16 ? level / 4 + 1 : 5; }
int WidthAt(int level) { return level <= 5 ? 500 + 100 * level : 1000; }

}  // namespace

TEST_F(Level, EachLevelChangeFollowsTheProgressionInAWiderWindow) {
  GameState& s = *game_;
  SetStartCounts(s);
  EXPECT_EQ(std::make_tuple(s.chestCount, s.clock, s.remaining, s.enemyCount),
            std::make_tuple(50, 135, 104, 1));
  for (int level = 2; level <= 17; ++level) {
    SCOPED_TRACE(level);
    const int clock = s.clock;
    s.remaining = 0;
    Push(KeyDown(SDLK_RETURN));  // the level-start screen
    ChangeLevel(s);
    SDL_RemoveTimer(s.timerId);
    s.timerId = {};
    EXPECT_EQ(s.level, level);
    EXPECT_EQ(s.chestCount, ChestsAt(level));
    EXPECT_EQ(s.clock, clock + ChestsAt(level) * 3 / 2);
    EXPECT_EQ(s.remaining, 100 * level + s.clock / 30);
    EXPECT_EQ(s.enemyCount, EnemiesAt(level));
    EXPECT_EQ(s.lives, level);
    EXPECT_EQ(s.width, WidthAt(level));
    EXPECT_EQ(LevelWidth(level), WidthAt(level)) << "glouto-niveau checks another width";
    ASSERT_NE(s.screen, nullptr);
    EXPECT_EQ(s.screen->w, WidthAt(level));
    EXPECT_EQ(s.heroPosition.x, WidthAt(level) / 2 + 1);
    EXPECT_EQ(s.pauseRect.x, 260) << "Pause stays where the start window put it";
    s.clock = clock;  // below 1000, which a later frame would take back
  }
}

TEST_F(Level, NextLevelTakesOffTheOvershootAndRefillsLostEnemies) {
  struct Case {
    int level, remaining, enemyCount, chests, enemies;
  };
  const Case cases[] = {
      {1, -2, 1, 98, 1},   // a bonus chest overshot by 2
      {1, 0, 0, 100, 2},   // every enemy lost: level mod 4
      {3, 0, 0, 200, 1},   // level 4: 0 + 1
      {7, -1, 0, 300, 1},  // at most 300 chests
      {18, 0, 0, 300, 3},  // level 19: 3
      {19, 0, 0, 300, 5},  // beyond 19: 5
      {15, 0, 5, 300, 5},  // five enemies: a multiple of 4 adds none
      {11, 0, 4, 300, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "from level " << c.level);
    GameState s;
    s.level = c.level, s.remaining = c.remaining, s.enemyCount = c.enemyCount, s.clock = 20;
    NextLevelCounts(s);
    EXPECT_EQ(s.chestCount, c.chests);
    EXPECT_EQ(s.enemyCount, c.enemies);
    EXPECT_EQ(s.clock, 20 + c.chests * 3 / 2);
  }
}

TEST_F(Level, StartingAtALaterLevelIsWinningEachLevelBeforeAtOnce) {
  for (int level = 2; level <= 20; ++level) {
    SCOPED_TRACE(level);
    GameState s;  // level 1's counts
    AdvanceToLevel(s, level);
    EXPECT_EQ(s.chestCount, ChestsAt(level));
    EXPECT_EQ(s.enemyCount, EnemiesAt(level));
    EXPECT_EQ(s.width, WidthAt(level));
    EXPECT_EQ(s.heroPosition.x, WidthAt(level) / 2 + 1);
    // The clock carries over: 135 + 150 + 225 at level 3; at level 5 its
    // 1185 passes 999, and becomes 250 x 3 / 2 and a life.
    if (level == 3 || level == 5) {
      EXPECT_EQ(std::make_tuple(s.clock, s.lives),
                level == 3 ? std::make_tuple(510, 3) : std::make_tuple(375, 6));
    }
  }
}

TEST_F(Level, EscapeOnTheLevelStartScreenEndsTheGameWithTheLevelFilled) {
  WriteLevel(2, "1\n100\t100\n");
  Run("set remaining=0 | queue Escape | rules | expect running=0 finprog=0 level=2 walls=1");
}
