#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>

#include "platform/open_page.h"
#include "tests/game/screen_fixture.h"

namespace {

// No child of ours is left behind, running or dead.
bool NoChildren() {
  errno = 0;
  return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

}  // namespace

TEST(Desktop, HandsTheTargetAsOneArgumentWithoutAShell) {
  ScopedWorkDir dir;
  FakeDesktop desktop;
  const char* targets[] = {"https://tilo.example/", "/tmp/a folder/Readme.html", "x; touch pwned",
                           "$(touch pwned)", "'quoted' \"twice\" *"};
  for (const char* target : targets) OpenWithDesktop(target, SW_SHOWNORMAL);
  std::vector<std::string> expected;
  for (const char* target : targets) expected.push_back(Request(target));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(desktop.WaitFor(expected.size()), expected);
  EXPECT_FALSE(FileExists("pwned"));
  EXPECT_FALSE(FileExists(desktop.dir() + "/pwned"));
}

TEST(Desktop, TheShowCommandChangesNothing) {
  FakeDesktop desktop;
  OpenWithDesktop("https://tavernique.example/", SW_HIDE);
  OpenWithDesktop("https://tavernique.example/", SW_SHOWNORMAL);
  OpenWithDesktop("https://tavernique.example/", 7);
  EXPECT_EQ(desktop.WaitFor(3),
            std::vector<std::string>(3, Request("https://tavernique.example/")));
}

TEST(Desktop, NeverWaitsForTheViewerAndLeavesNoChild) {
  FakeDesktop desktop;
  // A viewer that takes its time before it records the request.
  WriteFile(desktop.dir() + "/xdg-open",
            "#!/bin/sh\nsleep 1\nprintf '%s [%s]\\n' \"$#\" \"$*\" >> '" + desktop.dir() +
                "/requests'\n");
  const auto start = std::chrono::steady_clock::now();
  OpenWithDesktop("https://tilo.example/", SW_HIDE);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_TRUE(NoChildren());
  EXPECT_EQ(desktop.WaitFor(1), std::vector<std::string>{Request("https://tilo.example/")});
}

TEST(Desktop, AMissingOpenerIsHarmless) {
  const char* path = getenv("PATH");
  const std::string saved = path ? path : "";
  ScopedWorkDir empty;
  setenv("PATH", empty.path().c_str(), 1);
  OpenWithDesktop("https://tilo.example/", SW_SHOWNORMAL);
  OpenWithDesktop(nullptr, SW_SHOWNORMAL);
  setenv("PATH", saved.c_str(), 1);
  // The go-between is reaped at once; the failed opener was never ours.
  EXPECT_TRUE(NoChildren());
}
