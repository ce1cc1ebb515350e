// The editor's own SDL_main through many cycles and presses, and with each of
// its files spoiled: every save holds what the presses made, and the memory
// after the last cycle is no more than after the first. Leaks are counted by
// LeakSanitizer (the sanitizer build) and valgrind (memcheck.sh).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "editor/fichier.h"
#include "tests/reliability/broken_assets.h"
#include "tests/reliability/editor_script.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

TEST(EditorSoak, ManyCyclesAndPressesSaveEveryLevelAndKeepMemoryFlat) {
  ScopedWorkDir dir;
  LinkAssets();
  const int cycles = 3 * SoakScale();
  // Long runs also fill one grid with more placements than the record has
  // slots (2998 between two builds).
  const auto pressesIn = [](int c) { return c == 1 && SoakScale() >= 10 ? 4000 : 60; };
  // The widest grid first, so the first cycle already holds the most cells.
  constexpr std::array<int, 5> kWidths{1000, 600, 700, 800, 900};
  EditorScript script(20240611u);
  for (int c = 0; c < cycles; ++c)
    script.AddCycle(kWidths[c % 5], pressesIn(c), c % 2 == 1 && pressesIn(c) < 4000);
  script.AddQuit();
  TakeWaitedMs();
  const EditorRun run = RunEditor(script);
  EXPECT_EQ(run.result, 0);
  EXPECT_TRUE(script.Exhausted());
  ASSERT_EQ(run.Cycles(), cycles + 1);
  for (int c = 0; c < cycles; ++c) EXPECT_EQ(run.savedBefore[c + 1], script.Saves()[c]) << c + 1;
  EXPECT_EQ(FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "", script.Saves().back());
  std::printf(
      "editor soak: %d cycles, %d presses, %.1f min of waits skipped; resident %ld KiB "
      "after the first cycle, %ld KiB after the last\n",
      cycles, script.Presses(), TakeWaitedMs() / 60000.0, run.residentBefore[1], run.residentAtEnd);
  // Measured after trimming the heap; a few pages come and go with its layout.
  EXPECT_TRUE(!ResidentMemoryIsMeaningful() || run.residentAtEnd <= run.residentBefore[1] + 256);
}

// Each way of spoiling a file, on each of the editor's files in turn (every
// file every way in long runs).
TEST(EditorBrokenAssets, AnyFileMissingEmptyGarbageOrCutShortStillSavesTheLevels) {
  const char* kFiles[] = {"Images/Mur.png", "Images/blanc.png", "Police/comic.ttf"};
  for (int k = 0; k < (SoakScale() > 1 ? 12 : 4); ++k) {
    const char* path = kFiles[SoakScale() > 1 ? k / 4 : k % 3];
    SCOPED_TRACE(std::string(path) + " " + Describe(kAllDamage[k % 4]));
    ScopedWorkDir dir;
    InstallAssetsWith(path, kAllDamage[k % 4]);
    EditorScript script(11u);
    script.AddCycle(600, 25, true);
    script.AddQuit();
    const EditorRun run = RunEditor(script);
    EXPECT_EQ(run.result, 0);
    ASSERT_EQ(run.Cycles(), 2);
    EXPECT_EQ(run.savedBefore[1], script.Saves()[0]);
  }
}
