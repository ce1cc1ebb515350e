// Long play of the real game through its own SDL_main: three games in one
// run, many levels each, thousands of frames with the sprite reloads of
// every quarter second. Memory after the third game is no more than after
// the first; leaks are counted by LeakSanitizer and valgrind (memcheck.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/reliability/game_script.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

namespace {
// Measured after trimming the heap. The second game settles some 200 to 350
// KiB above the first (the heaps of the sound and timer threads, made anew
// each game) and stays there; a leak of one sprite a frame or of one level's
// chests would pass this within a few levels.
constexpr long kMarginKiB = 1024;
}  // namespace

TEST(GameSoak, ThreeGamesOfManyLevelsPlayThroughAndKeepMemoryFlat) {
  ScopedWorkDir dir;
  LinkAssets(true);
  // 30 levels in a row from GLOUTO_SOAK_SCALE=10 on (past the shipped levels
  // the maze is empty, as for any level without a file); beyond, the levels
  // last longer: at 200, some 90000 frames, an hour of play.
  const int levels = std::min(3 * SoakScale(), 30);
  const int framesPerLevel = 50 * std::max(1, SoakScale() / 10);
  GameScript script(424242u);
  script.Game(1, levels, framesPerLevel, true);
  script.Game(2, levels, framesPerLevel, true);
  script.Game(1, levels, framesPerLevel, false);

  TakeWaitedMs();
  const GameRun run = RunGame(script);
  const unsigned long long waited = TakeWaitedMs();

  EXPECT_EQ(run.result, 0);
  EXPECT_TRUE(script.Exhausted());
  ASSERT_EQ(run.ends.size(), 3u);
  const int players[] = {1, 2, 1};
  for (int g = 0; g < 3; ++g) {
    SCOPED_TRACE("game " + std::to_string(g + 1));
    EXPECT_EQ(run.ends[g].level, levels) << "every level was reached, none ended the game early";
    EXPECT_EQ(run.ends[g].playerCount, players[g]);
    EXPECT_EQ(run.ends[g].running, g < 2 ? 1 : 0);
  }
  // At least the frames the script played: nothing skipped them.
  EXPECT_GE(script.Frames(), 3L * levels * (framesPerLevel - 5));

  std::printf(
      "game soak: 3 games of %d levels, %ld frames, %ld quarter seconds by hand, "
      "%.1f min of waits skipped; resident after each game %ld, %ld, %ld KiB, "
      "%ld KiB once the run is over\n",
      levels, script.Frames(), script.Ticks(), waited / 60000.0, run.ends[0].resident,
      run.ends[1].resident, run.ends[2].resident, run.residentAtEnd);
  if (ResidentMemoryIsMeaningful()) {
    EXPECT_LE(run.ends[2].resident, run.ends[0].resident + kMarginKiB);
  }
}
