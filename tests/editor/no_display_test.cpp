#include <gtest/gtest.h>

#include "editor/editor.h"
#include "tests/support/test_support.h"

// Rather than wait for ever for a click in a window that does not exist.
TEST(EditorWithoutDisplay, SaysWhyAndEndsWithAFailure) {
  ScopedWorkDir dir;
  std::string said;
  EXPECT_EQ(RunWithVideoDriver("no-such-driver", SDL_main, &said), 1);
  EXPECT_NE(said.find("cannot open the editor's window"), std::string::npos) << said;
}
