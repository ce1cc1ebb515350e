#include <gtest/gtest.h>

#include <string>

#include "editor/editor.h"
#include "tests/support/test_support.h"

// Without a display the editor says so and fails, rather than waiting for ever for a click
// in a window that does not exist.
TEST(EditorWithoutDisplay, SaysWhyAndEndsWithAFailure) {
  ScopedWorkDir dir;
  std::string message;
  EXPECT_EQ(RunWithVideoDriver("no-such-driver", SDL_main, &message), 1);
  EXPECT_NE(message.find("cannot open the editor's window"), std::string::npos) << message;
}
