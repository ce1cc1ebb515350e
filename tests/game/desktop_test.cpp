#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <fstream>
#include <future>

#include "platform/open_page.h"
#include "tests/game/screen_fixture.h"

namespace {

// No child of ours is left behind, running or dead.
bool NoChildren() {
  errno = 0;
  return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

}  // namespace

TEST(Desktop, HandsTheTargetAsOneArgumentWithoutAShellWhateverTheShowCommand) {
  ScopedWorkDir dir;
  FakeDesktop desktop;
  const char* targets[] = {"https://tilo.example/", "/tmp/a folder/Readme.html", "x; touch pwned",
                           "$(touch pwned)", "'quoted' \"twice\" *"};
  std::vector<std::string> expected;
  for (int show : {SW_HIDE, SW_SHOWNORMAL, 7}) {
    for (const char* target : targets) {
      OpenWithDesktop(target, show);
      expected.push_back(Request(target));
    }
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(desktop.WaitFor(expected.size()), expected);
  EXPECT_FALSE(FileExists("pwned"));
  EXPECT_FALSE(FileExists(desktop.dir() + "/pwned"));
}

TEST(Desktop, NeverWaitsForTheViewerAndLeavesNoChild) {
  FakeDesktop desktop;
  const std::string gate = desktop.dir() + "/gate";
  ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
  desktop.Viewer("read line < '" + gate + "'");  // held until the test lets it go
  auto opened = std::async(std::launch::async, [] { OpenWithDesktop("https://tilo.example/", 0); });
  ASSERT_EQ(opened.wait_for(std::chrono::seconds(20)), std::future_status::ready)
      << "the game waits for the viewer";
  EXPECT_TRUE(NoChildren());
  std::ofstream(gate) << "go\n";
  EXPECT_EQ(desktop.WaitFor(1), std::vector<std::string>{Request("https://tilo.example/")});

  // A missing viewer is harmless: the go-between is reaped at once.
  const char* path = getenv("PATH");
  const std::string saved = path ? path : "";
  setenv("PATH", "/nonexistent", 1);
  OpenWithDesktop("https://tilo.example/", SW_SHOWNORMAL);
  OpenWithDesktop(nullptr, SW_SHOWNORMAL);
  setenv("PATH", saved.c_str(), 1);
  EXPECT_TRUE(NoChildren());
}
