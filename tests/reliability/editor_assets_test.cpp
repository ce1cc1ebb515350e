// The editor with each of its files spoiled still edits and saves levels.
#include <gtest/gtest.h>

#include <string>

#include "editor/fichier.h"
#include "tests/reliability/broken_assets.h"
#include "tests/reliability/editor_script.h"
#include "tests/support/test_support.h"

TEST(EditorBrokenAssets, EveryFileMissingEmptyGarbageOrCutShortStillSavesTheLevels) {
  for (const char* path : {"Images/Mur.png", "Images/blanc.png", "Police/comic.ttf"}) {
    for (Damage damage : kAllDamage) {
      SCOPED_TRACE(std::string(path) + " " + Describe(damage));
      ScopedWorkDir dir;
      InstallAssetsWith(path, damage);
      EditorScript script(11u);
      script.AddCycle(600, 25, true);
      script.AddQuit();
      const EditorRun run = RunEditor(script);
      EXPECT_EQ(run.result, 0);
      ASSERT_EQ(run.Cycles(), 2);
      EXPECT_EQ(run.savedBefore[1], script.Saves()[0]);
    }
  }
}
