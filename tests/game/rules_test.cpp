#include <gtest/gtest.h>

#include <cstdlib>

#include "game/flow/loop.h"
#include "game/flow/rules.h"
#include "game/flow/session.h"
#include "tests/game/flow_harness.h"

namespace {

class Rules : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    ClearChests();
    for (SDL_Rect& enemy : game_->enemyPositions) enemy = At(5000, 5000);
    game_->wallCount = 0;
    game_->heroPosition = At(300, 300);
  }
};

// The bonus draw of the hero's chest, as the rule takes it.
int BonusAfter(unsigned seed) {
  std::srand(seed);
  return (std::rand() % 1000000) % 7 == 0 ? 2 : 0;
}

}  // namespace

TEST_F(Rules, HeroEatsTheFirstChestItTouchesWithTheSeededBonus) {
  bool sawBonus = false, sawPlain = false;
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    GameState& s = *game_;
    ClearChests();
    s.chestPositions[4] = At(320, 320);
    s.chestPositions[7] = At(280, 290);  // touches too, but comes later in the table
    s.remaining = 104, s.score = 3, s.eatenSinceRefill = 5;
    const int bonus = BonusAfter(seed);
    (bonus ? sawBonus : sawPlain) = true;
    std::srand(seed);
    HeroEatsChest(s);
    EXPECT_EQ(s.chestBonus, bonus);
    EXPECT_EQ(s.remaining, 104 - bonus - 1);
    EXPECT_EQ(s.score, 4);
    EXPECT_EQ(s.eatenSinceRefill, 6);
    EXPECT_EQ(s.chestPositions[4].x, 600 + 2000);
    EXPECT_EQ(s.chestPositions[4].y, 600 + 2000);
    EXPECT_EQ(s.chestPositions[7].x, 280);
  }
  EXPECT_TRUE(sawBonus && sawPlain) << "the seeds should give both kinds of chest";
}

TEST_F(Rules, HeroReachesChestsOnlyWithinItsSquare) {
  struct Case {
    int x, y;
    bool eaten;
  };
  // Hero square 300..350, chest square a..a+20: contact while a lies in 280..350.
  const Case cases[] = {{350, 350, true},  {351, 300, false}, {280, 280, true},
                        {279, 300, false}, {300, 279, false}, {330, 330, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "chest at " << c.x << ", " << c.y);
    game_->chestPositions[0] = At(c.x, c.y);
    game_->score = 0;
    HeroEatsChest(*game_);
    EXPECT_EQ(game_->score, c.eaten ? 1 : 0);
  }
}

TEST_F(Rules, EnemiesEatChestsRaiseRemainingAndScoreOnlyForPlayerTwo) {
  for (int players : {1, 2}) {
    SCOPED_TRACE(players);
    GameState& s = *game_;
    ClearChests();
    s.playerCount = players;
    s.enemyCount = 3;
    s.enemyPositions[0] = At(100, 100);
    s.enemyPositions[1] = At(100, 100);  // reaches the same chest after enemy 0
    s.enemyPositions[2] = At(400, 100);
    s.chestPositions[0] = At(110, 110);
    s.chestPositions[1] = At(120, 120);
    s.chestPositions[2] = At(420, 120);
    s.remaining = 10, s.eatenSinceRefill = 0, s.enemyScore = 0;
    EnemiesMeetChestsAndWalls(s);
    EXPECT_EQ(s.chestPositions[0].x, 2600);  // enemy 0 takes the first
    EXPECT_EQ(s.chestPositions[1].x, 2600);  // enemy 1 the next one it touches
    EXPECT_EQ(s.chestPositions[2].x, 2600);
    EXPECT_EQ(s.remaining, 13);
    EXPECT_EQ(s.eatenSinceRefill, 3);
    EXPECT_EQ(s.enemyScore, players == 2 ? 3 : 0);
  }
}

TEST_F(Rules, EnemyOnAWallAnswersItNextFrameEvenAfterATurnWasDue) {
  GameState& s = *game_;
  s.enemyCount = 2;
  s.wallCount = 1;
  s.wallPositions[0] = At(200, 200);
  s.enemyPositions[0] = At(225, 150);  // touches the wall's corner
  s.enemyPositions[1] = At(226, 150);  // one pixel clear of it
  s.enemyModes = {1, 1, 0, 0, 0};
  EnemiesMeetChestsAndWalls(s);
  EXPECT_EQ(s.enemyModes[0], 3);
  EXPECT_EQ(s.enemyModes[1], 1);
}

TEST_F(Rules, HeroTakesTheChestBeforeAnEnemyInTheSameFrame) {
  GameState& s = *game_;
  s.enemyCount = 1;
  s.enemyPositions[0] = At(340, 340);  // does not meet the hero: invulnerable
  invulnerable = 5;
  s.chestPositions[0] = At(345, 345);  // both reach it
  s.remaining = 50, s.score = 0;
  std::srand(1);
  const int bonus = BonusAfter(1);
  std::srand(1);
  ApplyRules(s);
  EXPECT_EQ(s.score, 1);
  EXPECT_EQ(s.remaining, 50 - 1 - bonus);  // the enemy found the chest gone
  EXPECT_EQ(s.eatenSinceRefill, 1);
}

TEST_F(Rules, CaughtHeroLosesALifeAndTheEnemyLeavesTheLevel) {
  struct Case {
    int enemyCount, lives;
    int expectEnemyCount, expectLives, expectRunning, expectClock;
    bool parked;
  };
  const Case cases[] = {
      {1, 1, 0, 0, 1, 80, true},  // the last enemy goes, the level goes on without
      {3, 2, 3, 1, 1, 80, true},
      {1, 0, 1, 0, 0, 0, false},    // no life left: the game is lost
      {1, -1, 0, -2, 1, 80, true},  // only exactly 0 lives loses
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enemyCount << " enemies, " << c.lives << " lives");
    GameState& s = *game_;
    s.enemyCount = c.enemyCount;
    for (int i = 0; i < 5; ++i) s.enemyPositions[i] = At(5000, 5000);
    s.enemyPositions[c.enemyCount - 1] = At(340, 260);
    s.enemyDirections[c.enemyCount - 1] = 2;
    s.lives = c.lives, s.clock = 80, s.running = 1, s.playerCount = 1;
    const Uint32 before = SDL_GetTicks();
    HeroMeetsEnemy(s);
    EXPECT_EQ(s.enemyCount, c.expectEnemyCount);
    EXPECT_EQ(s.lives, c.expectLives);
    EXPECT_EQ(s.running, c.expectRunning);
    EXPECT_EQ(s.clock, c.expectClock);
    const SDL_Rect& met = s.enemyPositions[c.enemyCount - 1];
    EXPECT_EQ(met.x == 10000 && met.y == 10000, c.parked);
    EXPECT_EQ(s.enemyDirections[c.enemyCount - 1], c.parked ? 0 : 2);
    if (c.parked) {
      EXPECT_GE(SDL_GetTicks() - before + 1, 30u);
    }
  }
}

TEST_F(Rules, NoCatchWhileInvulnerableOrWithTwoPlayers) {
  struct Case {
    int invulnerable, players;
    bool caught;
  };
  const Case cases[] = {
      {1, 1, false}, {10000, 1, false}, {0, 2, false}, {0, 1, true}, {-1, 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "invulnerable " << c.invulnerable << ", players " << c.players);
    GameState& s = *game_;
    s.enemyCount = 1, s.lives = 1, s.playerCount = c.players;
    s.enemyPositions[0] = At(300, 300);
    invulnerable = c.invulnerable;
    HeroMeetsEnemy(s);
    EXPECT_EQ(s.lives, c.caught ? 0 : 1);
  }
}

TEST_F(Rules, HeroOnAWallAnswersItNextFrame) {
  GameState& s = *game_;
  s.wallCount = 2;
  s.wallPositions[0] = At(100, 100);
  s.wallPositions[1] = At(350, 325);  // corner touches the hero's bottom-right edge
  HeroMeetsWall(s);
  EXPECT_EQ(s.heroMode, 3);
  s.heroMode = 0;
  s.wallPositions[1] = At(351, 325);
  HeroMeetsWall(s);
  EXPECT_EQ(s.heroMode, 0);
}

TEST_F(Rules, ChestsAreScatteredAgainAfterNinetyFivePercentWereEaten) {
  struct Case {
    int chestCount, eaten;
    bool refill;
  };
  const Case cases[] = {
      {50, 46, false}, {50, 47, true}, {300, 284, false}, {300, 285, true}, {100, 95, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.eaten << " of " << c.chestCount);
    GameState& s = *game_;
    ClearChests();
    s.chestCount = c.chestCount, s.eatenSinceRefill = c.eaten;
    RefillChests(s);
    EXPECT_EQ(s.eatenSinceRefill, c.refill ? 0 : c.eaten);
    int inField = 0;
    for (int i = 0; i < kChestCapacity; ++i)
      inField += s.chestPositions[i].x >= 30 && s.chestPositions[i].x <= 569 ? 1 : 0;
    EXPECT_EQ(inField, c.refill ? c.chestCount : 0);
  }
}

TEST_F(Rules, ClockRunOutCostsALifeUntilNoneIsLeft) {
  struct Case {
    int clock, remaining, lives;
    int expectClock, expectLives, expectRunning;
  };
  const Case cases[] = {
      {0, 5, 1, 75, 0, 1},   // refilled with chestCount * 3 / 2
      {0, 5, 0, 75, -1, 1},  // the level goes on, showing -1 lives
      {0, 5, -1, 0, -1, 0},  // now the game is lost
      {0, 0, 1, 0, 1, 1},    // nothing left to eat: no run-out
      {-1, 5, 1, -1, 1, 1},  // only exactly 0 runs out
      {1, 5, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "clock " << c.clock << ", remaining " << c.remaining << ", lives " << c.lives);
    GameState& s = *game_;
    s.chestCount = 50, s.clock = c.clock, s.remaining = c.remaining, s.lives = c.lives,
    s.running = 1;
    RunOutClock(s);
    EXPECT_EQ(s.clock, c.expectClock);
    EXPECT_EQ(s.lives, c.expectLives);
    EXPECT_EQ(s.running, c.expectRunning);
  }
}

TEST_F(Rules, ClockAbove999FallsBackAndGivesALife) {
  struct Case {
    int clock, chestCount;
    int expectClock, expectLives;
  };
  const Case cases[] = {{999, 50, 999, 1}, {1000, 50, 75, 2}, {1234, 300, 450, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clock);
    GameState& s = *game_;
    s.clock = c.clock, s.chestCount = c.chestCount, s.lives = 1;
    CapClock(s);
    EXPECT_EQ(s.clock, c.expectClock);
    EXPECT_EQ(s.lives, c.expectLives);
  }
}

TEST_F(Rules, ClockTextMovesLeftForThreeDigits) {
  struct Case {
    int width, clock, x;
  };
  const Case cases[] = {{600, 99, 470}, {600, 100, 460},  {600, 999, 460}, {600, 0, 470},
                        {600, -3, 470}, {1000, 100, 860}, {1000, 42, 870}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "width " << c.width << ", clock " << c.clock);
    GameState& s = *game_;
    s.width = c.width, s.clock = c.clock, s.clockRect.x = 1;
    PlaceClockText(s);
    EXPECT_EQ(s.clockRect.x, c.x);
  }
}

TEST_F(Rules, LevelCompletesWhileTheClockRunsOrTheGameGoesOn) {
  struct Case {
    int remaining, clock, running;
    bool complete;
  };
  const Case cases[] = {
      {0, 5, 1, true},  {-2, 5, 1, true},
      {1, 5, 1, false}, {0, 0, 1, true},   // the clock reached 0 in this very frame: still complete
      {0, -4, 1, true}, {0, 10, 0, true},  // key g: the level-start screen decides what follows
      {0, 0, 0, false},                    // caught with no life left in this frame: stays lost
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "remaining " << c.remaining << ", clock " << c.clock
                                    << ", running " << c.running);
    GameState& s = *game_;
    s.remaining = c.remaining, s.clock = c.clock, s.running = c.running;
    EXPECT_EQ(LevelIsComplete(s), c.complete);
  }
}

TEST_F(Rules, NewLevelCountsFollowTheProgression) {
  GameState& s = *game_;
  SetStartCounts(s);
  EXPECT_EQ(s.chestCount, 50);
  EXPECT_EQ(s.clock, 135);
  EXPECT_EQ(s.remaining, 104);
  EXPECT_EQ(s.enemyCount, 1);
  for (int level = 2; level <= 30; ++level) {
    SCOPED_TRACE(level);
    const int clockBefore = s.clock;
    s.remaining = 0;
    NextLevelCounts(s);
    const int chests = level <= 5 ? 50 * level : 300;
    const int enemies = level < 4 ? 1 : level < 8 ? 2 : level < 12 ? 3 : level < 16 ? 4 : 5;
    EXPECT_EQ(s.level, level);
    EXPECT_EQ(s.chestCount, chests);
    EXPECT_EQ(s.clock, clockBefore + chests * 3 / 2);
    EXPECT_EQ(s.remaining, 100 * level + s.clock / 30);
    EXPECT_EQ(s.enemyCount, enemies);
  }
}

TEST_F(Rules, NewLevelTakesOffTheOvershootAndRefillsLostEnemies) {
  struct Case {
    int level, remaining, enemyCount;
    int chests, enemies;
  };
  const Case cases[] = {
      {1, -2, 1, 98, 1},   // a bonus chest overshot by 2
      {1, 0, 0, 100, 2},   // all enemies lost: level mod 4
      {3, 0, 0, 200, 1},   // level 4: 0 + 1
      {7, -1, 0, 300, 1},  // at most 300 chests
      {18, 0, 0, 300, 3},  // level 19: 3
      {19, 0, 0, 300, 5},  // beyond 19: 5
      {15, 0, 5, 300, 5},  // five enemies: a multiple of 4 adds none
      {11, 0, 4, 300, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "from level " << c.level);
    GameState& s = *game_;
    s.level = c.level, s.remaining = c.remaining, s.enemyCount = c.enemyCount, s.clock = 20;
    NextLevelCounts(s);
    EXPECT_EQ(s.chestCount, c.chests);
    EXPECT_EQ(s.enemyCount, c.enemies);
    EXPECT_EQ(s.clock, 20 + c.chests * 3 / 2);
  }
}

TEST_F(Rules, CaughtWithNoLifeTheClockRunOutOfTheSameFrameIsLostByLives) {
  GameState& s = *game_;
  s.enemyCount = 1, s.enemyPositions[0] = At(320, 320);
  s.lives = 0, s.clock = 40, s.remaining = 30, s.score = 12, s.chestCount = 50;
  ApplyRules(s);
  EXPECT_EQ(s.running, 0);
  EXPECT_EQ(s.clock, 75);
  EXPECT_EQ(s.lives, -1);
  FINPROG = 1;  // the outcome only, no end screens
  FinishGame(s);
  EXPECT_EQ(s.won, 0);
}

TEST_F(Rules, LastChestAndCaughtWithNoLifeInOneFrameStaysLost) {
  GameState& s = *game_;
  s.enemyCount = 1, s.enemyPositions[0] = At(320, 320);
  s.chestPositions[0] = At(310, 310);
  s.lives = 0, s.clock = 40, s.remaining = 1, s.score = 12;
  ApplyRules(s);
  EXPECT_EQ(s.level, 1);
  EXPECT_EQ(s.running, 0);
  EXPECT_LE(s.remaining, 0);
  EXPECT_EQ(s.clock, 0);
  FINPROG = 1;
  FinishGame(s);
  EXPECT_EQ(s.won, 0);
}

TEST_F(Rules, TwoPlayersNeverLoseLivesToEnemiesAndScoreTheDifference) {
  GameState& s = *game_;
  s.playerCount = 2, s.enemyCount = 1, s.enemyPositions[0] = At(320, 320);
  s.lives = 0, s.clock = 40, s.remaining = 30;
  ApplyRules(s);
  EXPECT_EQ(s.running, 1);
  EXPECT_EQ(s.lives, 0);
  EXPECT_EQ(s.enemyPositions[0].x, 320);
  struct Case {
    int score, enemyScore, final;
    int won;
  };
  const Case cases[] = {{9, 4, 5, 1}, {4, 9, -5, 0}, {3, 3, 0, 0}};
  FINPROG = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.score << " - " << c.enemyScore);
    s.score = c.score, s.enemyScore = c.enemyScore;
    FinishGame(s);
    EXPECT_EQ(s.score, c.final);
    EXPECT_EQ(s.won, c.won);
  }
}

TEST_F(Rules, OutcomeNeedsScoreClockAndLives) {
  struct Case {
    int score, clock, lives, won;
  };
  const Case cases[] = {{1, 1, 0, 1}, {0, 1, 0, 0}, {1, 0, 0, 0}, {1, 1, -1, 0}, {5, 200, 3, 1}};
  FINPROG = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.score << " " << c.clock << " " << c.lives);
    GameState& s = *game_;
    s.playerCount = 1, s.score = c.score, s.clock = c.clock, s.lives = c.lives;
    FinishGame(s);
    EXPECT_EQ(s.won, c.won);
  }
}
