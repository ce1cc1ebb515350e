// The game with any one of its files spoiled still plays: the menu and its
// instructions page, every music track, levels up to the one whose file is
// spoiled, a won game with its end screen and credits, then a lost one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/reliability/broken_assets.h"
#include "tests/reliability/game_script.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

namespace {

// The level whose file this is, else 2 (a level change is part of every run).
int LevelToReach(const std::string& path) {
  const std::string prefix = "Niveaux/Niveau_";
  return path.rfind(prefix, 0) == 0 ? std::stoi(path.substr(prefix.size())) : 2;
}

void Tour(GameScript& script, int lastLevel) {
  script.Menu(1);
  script.Key(SDLK_RETURN);
  script.Key(SDLK_SPACE);  // music on, so that the end screen plays its own too
  for (int track = 0; track < 5; ++track) script.Key(SDLK_F1);
  script.Play(20, 1);
  for (int level = 2; level <= lastLevel; ++level) {
    script.NextLevel();
    script.Play(level == lastLevel ? 20 : 4, 1);
  }
  // Stopped, the hero eats no chest in the frame of the t, which would leave
  // the clock at 0 and lose the game.
  script.Key(SDLK_RETURN);
  script.Luck();
  script.Key(SDLK_t);
  script.Key(SDLK_RETURN);  // end screen (won): again
  script.Key(SDLK_RETURN);  // credits
  // A second game, lost at once: Escape on the level-start screen.
  script.Menu(1);
  script.Key(SDLK_ESCAPE);
  script.Key(SDLK_ESCAPE);  // end screen (lost): leave
  script.Key(SDLK_RETURN);  // credits
}

}  // namespace

// Every shipped file, spoiled in every way (long runs) or in one way, taken
// in turn, so that each way is tried on every kind of file. Short runs take
// the levels up to 4 only: each further one costs a level change more.
TEST(GameBrokenAssets, AnyFileSpoiledTheGameStillPlaysUpToIt) {
  int index = 0;
  for (const std::string& path : ShippedAssets()) {
    const int level = LevelToReach(path);
    if (SoakScale() == 1 && level > 4) continue;
    const int turn = index++;
    for (int k = 0; k < 4; ++k) {
      if (SoakScale() == 1 && k != turn % 4) continue;
      SCOPED_TRACE(path + " " + Describe(kAllDamage[k]));
      ScopedWorkDir dir;
      InstallAssetsWith(path, kAllDamage[k]);
      GameScript script(static_cast<unsigned>(turn));
      Tour(script, level);
      const GameRun run = RunGame(script);
      EXPECT_EQ(run.result, 0);
      EXPECT_TRUE(script.Exhausted());
      ASSERT_EQ(run.ends.size(), 2u);
      EXPECT_EQ(run.ends[0].level, level);
      EXPECT_EQ(run.ends[0].won, 1) << "score " << run.ends[0].score << ", lives "
                                    << run.ends[0].lives << ", clock " << run.ends[0].clock;
      EXPECT_EQ(run.ends[1].won, 0);
    }
  }
}
