// Saves that cannot finish: the editor killed at each step of a save, and a
// "Niveaux" that is missing, not a folder, read-only or full.
#include <dirent.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "editor/fichier.h"
#include "level/level_save.h"
#include "tests/reliability/editor_script.h"
#include "tests/support/test_support.h"

namespace {

const std::string kEarlier = "1\n125\t125\n";

std::vector<std::string> Entries(const char* folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder)) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') names.push_back(entry->d_name);
    closedir(dir);
  }
  return names;
}

int gToParent = -1;
SaveStep gStopAt = SaveStep::kDone;

// In the child: tells the parent the save is at the step, then waits to be killed.
void StopAt(SaveStep reached) {
  if (reached != gStopAt) return;
  const char byte = 1;
  if (write(gToParent, &byte, 1) != 1) _exit(2);
  for (;;) pause();
}

}  // namespace

// The editor is killed as its save reaches each step: the level file is the
// old level or the new one, whole, and only a kill before the move leaves the
// temporary (whole once written) beside it.
TEST(InterruptedSave, AKilledSaveLeavesTheOldOrTheNewLevelWhole) {
  // Every cell of the widest grid from the fourth row down.
  std::vector<int> xs(1, -1), ys(1, -1);
  std::string saved;
  for (int cell = 3 * 40; cell < 24 * 40; ++cell) {
    xs.push_back(cell % 40 * 25);
    ys.push_back(cell / 40 * 25);
    saved += std::to_string(xs.back()) + "\t" + std::to_string(ys.back()) + "\n";
  }
  saved = std::to_string(xs.size() - 1) + "\n" + saved;
  const struct {
    SaveStep step;
    const std::string& level;
    const char* temporary;  // what the temporary holds, if one is left
  } kCases[] = {
      {SaveStep::kWrite, kEarlier, ""},
      {SaveStep::kPlace, kEarlier, saved.c_str()},
      {SaveStep::kDone, saved, nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.step));
    ScopedWorkDir dir;
    mkdir("Niveaux", 0755);
    WriteFile(kSavedLevelPath, kEarlier);
    int reached[2];
    ASSERT_EQ(pipe(reached), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      gToParent = reached[1];
      gStopAt = c.step;
      gSaveStepHook = StopAt;
      Fichier(xs.data(), ys.data(), static_cast<int>(xs.size()), static_cast<int>(xs.size()) - 1);
      _exit(3);  // the save ended without reaching the step
    }
    close(reached[1]);
    char byte = 0;
    const bool there = read(reached[0], &byte, 1) == 1;
    close(reached[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_TRUE(there) << "the save never reached the step";
    EXPECT_EQ(ReadFile(kSavedLevelPath), c.level);
    std::vector<std::string> left = Entries("Niveaux");
    ASSERT_EQ(left.size(), c.temporary ? 2u : 1u);
    for (const std::string& name : left) {
      if (name == "Niveau_.txt") continue;
      EXPECT_EQ(name.rfind("Niveau_.txt.", 0), 0u) << name;
      EXPECT_EQ(ReadFile("Niveaux/" + name), c.temporary);
    }
  }
}

namespace {

void DropToNobody() {
  if (geteuid() != 0) return;
  // Root writes through any mode bits.
  constexpr int kNobody = 65534;
  setgroups(0, nullptr);
  if (setresgid(kNobody, kNobody, kNobody) != 0 || setresuid(kNobody, kNobody, kNobody) != 0)
    _exit(3);
}

void LimitFileSize() {
  // A file size limit stands in for a full disk, for root too.
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = {64, 64};
  setrlimit(RLIMIT_FSIZE, &tiny);
}

void EarlierLevel() {
  mkdir("Niveaux", 0755);
  WriteFile(kSavedLevelPath, kEarlier);
}

}  // namespace

// Two cycles each end on Return; neither save can be written. The editor
// says why each time, goes on to its next cycle and ends normally, leaving
// an earlier level as it was and no temporary.
TEST(FailingSave, TheEditorSaysWhyAndGoesOnWithoutCrashing) {
  const struct {
    const char* what;
    std::function<void()> prepare;  // in the parent, in the working directory
    void (*inChild)();              // before the editor runs
    int error;                      // the reason the message must give
    const char* left;               // what Niveaux is left holding
  } kCases[] = {
      {"missing folder", [] {}, [] {}, ENOENT, nullptr},
      {"a file named Niveaux", [] { WriteFile("Niveaux", "not a folder"); }, [] {}, ENOTDIR,
       nullptr},
      {"read-only folder",
       [] {
         EarlierLevel();
         chmod("Niveaux", 0555);
         chmod(".", 0755);
       },
       DropToNobody, EACCES, kEarlier.c_str()},
      {"full disk", EarlierLevel, LimitFileSize, EFBIG, kEarlier.c_str()},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ScopedWorkDir dir;
    mkdir("work", 0755);
    ASSERT_EQ(chdir("work"), 0);
    c.prepare();
    // A pipe, not a file: the file size limit would cut a log file short.
    int log[2];
    ASSERT_EQ(pipe(log), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(log[0]);
      dup2(log[1], STDERR_FILENO);
      c.inChild();
      EditorScript script(3u);
      script.AddCycle(600, 40, false);
      script.AddCycle(800, 30, false);
      script.AddQuit();
      const EditorRun run = RunEditor(script);
      _exit(run.result == 0 && run.Cycles() == 3 && script.Exhausted() ? 0 : 1);
    }
    close(log[1]);
    std::string message;
    char chunk[512];
    for (ssize_t n; (n = read(log[0], chunk, sizeof chunk)) > 0;) message.append(chunk, n);
    close(log[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    const std::string line = "editor: cannot save Niveaux/Niveau_.txt: " +
                             std::string(std::strerror(c.error));
    int said = 0;
    for (size_t at = message.find(line); at != std::string::npos; at = message.find(line, at + 1))
      ++said;
    EXPECT_EQ(said, 2) << "[" << message << "]";
    if (c.left) {
      EXPECT_EQ(ReadFile(kSavedLevelPath), c.left);
      EXPECT_EQ(Entries("Niveaux").size(), 1u) << "no temporary left behind";
    }
    ASSERT_EQ(chdir(".."), 0);
    chmod("work/Niveaux", 0755);
  }
}
