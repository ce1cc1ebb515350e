#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <fstream>
#include <future>

#include "platform/open_page.h"
#include "tests/game/screen_fixture.h"

// The viewer gets the target as one argument with no shell between, the game
// never waits for it, and no child of ours is left behind, running or dead.
TEST(Desktop, HandsTheTargetWithoutAShellNeverWaitsAndLeavesNoChild) {
  ScopedWorkDir dir;
  FakeDesktop desktop;
  auto reaped = [] { return errno = 0, waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; };
  const std::string gate = dir.path() + "/gate";
  ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
  desktop.Viewer("read line < '" + gate + "'");  // held until the test lets it go
  const char* target = "/tmp/a folder; touch pwned $(touch pwned) 'quoted' \"twice\" *";
  auto opened = std::async(std::launch::async, [&] { OpenWithDesktop(target, SW_SHOWNORMAL); });
  EXPECT_EQ(opened.wait_for(std::chrono::seconds(20)), std::future_status::ready)
      << "the game waits for the viewer";
  EXPECT_TRUE(reaped());
  std::ofstream(gate) << "go\n";
  EXPECT_EQ(desktop.WaitFor(1), std::vector<std::string>{Request(target)});
  EXPECT_FALSE(FileExists("pwned"));

  // A missing viewer is harmless: the go-between is reaped at once.
  const std::string path = getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  OpenWithDesktop(target, SW_SHOWNORMAL);
  OpenWithDesktop(nullptr, SW_SHOWNORMAL);
  setenv("PATH", path.c_str(), 1);
  EXPECT_TRUE(reaped());
}
