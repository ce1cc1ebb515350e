// Long play of the real game through its own SDL_main: three games in one
// run, many levels each, thousands of frames with the sprite reloads of every
// quarter second. Memory after the third game is no more than after the
// first; leaks are counted by LeakSanitizer and valgrind (memcheck.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/reliability/game_script.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

TEST(GameSoak, ThreeGamesOfManyLevelsPlayThroughAndKeepMemoryFlat) {
  ScopedWorkDir dir;
  LinkAssets(true);
  // 30 levels in a row from GLOUTO_SOAK_SCALE=10 on (past the shipped levels
  // the maze is empty); beyond, longer levels: at 200, some 90000 frames, an
  // hour of play.
  const int levels = std::min(3 * SoakScale(), 30);
  const int framesPerLevel = 50 * std::max(1, SoakScale() / 10);
  GameScript script(424242u);
  const int players[] = {1, 2, 1};
  for (int g = 0; g < 3; ++g) script.Game(players[g], levels, framesPerLevel, g < 2);
  TakeWaitedMs();
  const GameRun run = RunGame(script);
  EXPECT_EQ(run.result, 0);
  EXPECT_TRUE(script.Exhausted());
  ASSERT_EQ(run.ends.size(), 3u);
  for (int g = 0; g < 3; ++g) {
    SCOPED_TRACE("game " + std::to_string(g + 1));
    EXPECT_EQ(run.ends[g].level, levels) << "a level ended the game early";
    EXPECT_EQ(run.ends[g].playerCount, players[g]);
    EXPECT_EQ(run.ends[g].running, g < 2 ? 1 : 0);
  }
  EXPECT_GE(script.Frames(), 3L * levels * (framesPerLevel - 5)) << "frames skipped";
  std::printf(
      "game soak: 3 games of %d levels, %ld frames, %ld quarter seconds by hand, %.1f min "
      "of waits skipped; resident after each game %ld, %ld, %ld KiB, %ld KiB at the end\n",
      levels, script.Frames(), script.Ticks(), TakeWaitedMs() / 60000.0, run.ends[0].resident,
      run.ends[1].resident, run.ends[2].resident, run.residentAtEnd);
  // Measured after trimming the heap. The second game settles some 200 to 350
  // KiB above the first (the sound and timer threads' heaps, made anew each
  // game) and stays there; a sprite a frame or a level's chests leaked would
  // pass this within a few levels.
  EXPECT_TRUE(!ResidentMemoryIsMeaningful() || run.ends[2].resident <= run.ends[0].resident + 1024);
}
