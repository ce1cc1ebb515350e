#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "game/flow/game.h"
#include "tests/support/test_support.h"

// Without a display the game says so and fails, rather than crashing on its
// first window call.
TEST(GameWithoutDisplay, SaysWhyAndEndsWithAFailure) {
  ScopedWorkDir dir;
  const char* previous = getenv("SDL_VIDEODRIVER");
  const std::string saved = previous ? previous : "";
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  testing::internal::CaptureStderr();
  const int status = SDL_main(0, nullptr);
  const std::string message = testing::internal::GetCapturedStderr();
  setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
  EXPECT_EQ(status, 1);
  EXPECT_NE(message.find("cannot open the game's window"), std::string::npos) << message;
}
