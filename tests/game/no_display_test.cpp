#include <gtest/gtest.h>

#include <string>

#include "game/flow/game.h"
#include "tests/support/test_support.h"

// Without a display the game says so and fails, rather than crashing on its
// first window call.
TEST(GameWithoutDisplay, SaysWhyAndEndsWithAFailure) {
  ScopedWorkDir dir;
  std::string message;
  EXPECT_EQ(RunWithVideoDriver("no-such-driver", SDL_main, &message), 1);
  EXPECT_NE(message.find("cannot open the game's window"), std::string::npos) << message;
}
