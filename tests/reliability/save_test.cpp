// Saves that cannot finish: the editor killed while it writes, and a
// "Niveaux" that is missing, not a folder, read-only or full.
#include <dirent.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "editor/fichier.h"
#include "tests/reliability/editor_script.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kSlots = 3000;
constexpr int kNobody = 65534;

// A wall record as the editor keeps it, and the bytes its save must give.
struct Level {
  std::vector<int> xs = std::vector<int>(kSlots, -1), ys = std::vector<int>(kSlots, -1);
  int next = 1, count = 0;
  std::string text;
  void Place(int x, int y) {
    xs[next] = x;
    ys[next] = y;
    ++next;
    ++count;
  }
  void Save() { Fichier(xs.data(), ys.data(), next, count); }
  void Expect() {
    text = std::to_string(count) + "\n";
    for (int i = 1; i < next; ++i) {
      if (xs[i] != -1) text += std::to_string(xs[i]) + "\t" + std::to_string(ys[i]) + "\n";
    }
  }
};

// Every cell of the widest grid but the reserved ones, walked in the given order.
Level FullGrid(bool backwards) {
  Level level;
  for (int k = 0; k < 40 * 24; ++k) {
    const int cell = backwards ? 40 * 24 - 1 - k : k;
    const int x = cell % 40 * 25, y = cell / 40 * 25;
    const bool corner = (x == 25 || x == 50) && (y == 25 || y == 50);
    const bool centre = (x == 500 || x == 525) && (y == 300 || y == 325);
    if (!corner && !centre) level.Place(x, y);
  }
  level.Expect();
  return level;
}

std::vector<std::string> Entries(const char* folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder);
  if (!dir) return names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

}  // namespace

// The child saves two big levels in turn without end; the parent kills it
// at random moments. Each time, the level file must be one of the two, whole.
TEST(InterruptedSave, AKilledSaveLeavesTheOldOrTheNewLevelWhole) {
  ScopedWorkDir dir;
  mkdir("work", 0755);
  ASSERT_EQ(chdir("work"), 0);
  mkdir("Niveaux", 0755);
  Level a = FullGrid(false), b = FullGrid(true);
  b.xs[b.next - 1] = b.ys[b.next - 1] = -1;  // one wall fewer, so the sizes differ too
  --b.count;
  b.Expect();

  // How long one save takes here, to spread the kills across it.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) (i % 2 ? a : b).Save();
  const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count() /
                      10;
  ASSERT_EQ(ReadFile(kSavedLevelPath), a.text);

  std::mt19937 random(7u);
  std::uniform_int_distribution<long> delayUs(0, 2 * saveUs + 200);
  const int iterations = 100 * SoakScale();
  int sawA = 0, sawB = 0, midSave = 0, broken = 0, kills = 0;
  // On a fast disk (tmpfs) a save spends little time beside its temporary:
  // kill on, a bounded while, until one kill has landed inside a save.
  for (; kills < iterations || (midSave == 0 && kills < 20 * iterations); ++kills) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        b.Save();
        a.Save();
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string saved = ReadFile(kSavedLevelPath);
    if (saved == a.text) {
      ++sawA;
    } else if (saved == b.text) {
      ++sawB;
    } else {
      ++broken;
    }
    // A save killed before its rename leaves its temporary beside the level.
    for (const std::string& name : Entries("Niveaux")) {
      if (name == "Niveau_.txt") continue;
      EXPECT_EQ(name.rfind("Niveau_.txt.", 0), 0u) << name;
      ++midSave;
      std::remove(("Niveaux/" + name).c_str());
    }
  }
  std::printf(
      "killed saves: %d kills (a save takes %ld us), %d mid-save, level whole %d times "
      "(old %d, new %d), mixed or cut %d\n",
      kills, static_cast<long>(saveUs), midSave, sawA + sawB, sawA, sawB, broken);
  EXPECT_EQ(broken, 0);
  // Otherwise the kills never hit a save at work and prove nothing.
  EXPECT_GT(midSave, 0);
  EXPECT_GT(sawA, 0);
  EXPECT_GT(sawB, 0);
  ASSERT_EQ(chdir(".."), 0);
}

namespace {

struct Failure {
  const char* what;
  std::function<void()> prepare;  // in the parent, in the working directory
  std::function<void()> inChild;  // what the child does before it runs the editor
  int error;                      // the reason the message must give
  std::function<void()> check;    // what must be left on disk
};

const std::string kEarlier = "1\n125\t125\n";

void DropToNobody() {
  if (geteuid() != 0) return;
  // Root writes through any mode bits.
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

}  // namespace

// Two cycles each end on Return; neither save can be written. The editor
// says why each time, goes on to its next cycle and ends normally.
TEST(FailingSave, TheEditorSaysWhyAndGoesOnWithoutCrashing) {
  const Failure kCases[] = {
      {"missing folder", [] {}, [] {}, ENOENT, [] { EXPECT_FALSE(FileExists("Niveaux")); }},
      {"a file named Niveaux", [] { WriteFile("Niveaux", "not a folder"); }, [] {}, ENOTDIR,
       [] { EXPECT_EQ(ReadFile("Niveaux"), "not a folder"); }},
      {"read-only folder",
       [] {
         mkdir("Niveaux", 0755);
         WriteFile(kSavedLevelPath, kEarlier);
         chmod("Niveaux", 0555);
         chmod(".", 0755);
       },
       DropToNobody, EACCES,
       [] {
         EXPECT_EQ(ReadFile(kSavedLevelPath), kEarlier);
         EXPECT_EQ(Entries("Niveaux").size(), 1u);
       }},
      {"full disk",
       [] {
         mkdir("Niveaux", 0755);
         WriteFile(kSavedLevelPath, kEarlier);
       },
       LimitFileSize, EFBIG,
       [] {
         EXPECT_EQ(ReadFile(kSavedLevelPath), kEarlier);
         EXPECT_EQ(Entries("Niveaux").size(), 1u) << "no temporary left behind";
       }},
  };
  for (const Failure& c : kCases) {
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
    ASSERT_TRUE(WIFEXITED(status)) << "the editor died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string line = "editor: cannot save Niveaux/Niveau_.txt: " +
                             std::string(std::strerror(c.error));
    int said = 0;
    for (size_t at = message.find(line); at != std::string::npos; at = message.find(line, at + 1))
      ++said;
    EXPECT_EQ(said, 2) << "[" << message << "]";
    c.check();
    ASSERT_EQ(chdir(".."), 0);
    chmod("work/Niveaux", 0755);
  }
}
