// Many editing cycles and many presses through the editor's own SDL_main:
// every save holds what the presses made, and the memory after the last
// cycle is no more than after the first. Leaks are counted by LeakSanitizer
// (the sanitizer build) and valgrind (memcheck.sh).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "editor/fichier.h"
#include "tests/reliability/editor_script.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

namespace {
// Measured after trimming the heap; a few pages come and go with its layout.
constexpr long kMarginKiB = 256;
}  // namespace

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
  for (int c = 0; c < cycles; ++c) {
    script.AddCycle(kWidths[c % 5], pressesIn(c), c % 2 == 1 && pressesIn(c) < 4000);
  }
  script.AddQuit();

  TakeWaitedMs();
  const EditorRun run = RunEditor(script);
  const unsigned long long waited = TakeWaitedMs();

  EXPECT_EQ(run.result, 0);
  EXPECT_TRUE(script.Exhausted());
  ASSERT_EQ(run.Cycles(), cycles + 1);
  for (int c = 0; c < cycles; ++c) {
    SCOPED_TRACE("cycle " + std::to_string(c + 1));
    EXPECT_EQ(run.savedBefore[c + 1], script.Saves()[c]);
  }
  EXPECT_EQ(FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "", script.Saves().back());

  const long first = run.residentBefore[1];
  std::printf(
      "editor soak: %d cycles, %d presses, %.1f min of waits skipped; "
      "resident %ld KiB after the first cycle, %ld KiB after the last\n",
      cycles, script.Presses(), waited / 60000.0, first, run.residentAtEnd);
  if (ResidentMemoryIsMeaningful()) {
    EXPECT_LE(run.residentAtEnd, first + kMarginKiB);
  }
}
