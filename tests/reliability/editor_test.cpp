// The editor's own SDL_main through many cycles, with its files spoiled, and
// with saves that cannot finish: every save holds what the presses made.
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

#include "editor/cycle_hook.h"
#include "editor/editor.h"
#include "editor/fichier.h"
#include "level/level_save.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kCell = 25;

// The press rule worked out anew: a press toggles its cell's wall, but not on the actors' starts.
struct Grid {
  int width;
  std::vector<std::pair<int, int>> walls;

  void Press(int x, int y) {
    const int cx = x / kCell * kCell, cy = y / kCell * kCell;
    if (((cx == 25 || cx == 50) && (cy == 25 || cy == 50)) ||
        ((cx == width / 2 || cx == width / 2 + kCell) && (cy == 300 || cy == 325)))
      return;
    const auto found = std::find(walls.begin(), walls.end(), std::make_pair(cx, cy));
    if (found != walls.end()) {
      walls.erase(found);
    } else {
      walls.emplace_back(cx, cy);
    }
  }
  std::string File() const {  // after Return; "" for no file
    std::string text = walls.empty() ? "" : std::to_string(walls.size()) + "\n";
    for (const auto& [x, y] : walls) text += std::to_string(x) + "\t" + std::to_string(y) + "\n";
    return text;
  }
};

struct EditorScript : Script {
  explicit EditorScript(unsigned seed) : random(seed) {}

  // A cycle at `width`: presses (a third on walls placed, a sixth on the actors' starts), stray
  // input, a Backspace before press `clearAt` (none for -1, at the end for `presses`), Return.
  void Cycle(int width, int presses, int clearAt = -1) {
    Grid grid{width, {}};
    std::uniform_int_distribution<int> anyX(0, width - 1), anyY(0, 599), die(0, 5);
    // The five plates of the size screen stand 50 pixels apart, 600 at the top.
    Event(MouseMotion(200, 120 + (width - 600) / 2));
    Event(MouseButton(SDL_MOUSEBUTTONUP, 200, 120 + (width - 600) / 2));
    for (int i = 0; i <= presses; ++i, ++pressCount) {
      if (i == clearAt) {
        Key(SDLK_BACKSPACE);
        grid.walls.clear();
      }
      if (i == presses) break;
      int x = anyX(random), y = anyY(random);
      const int roll = die(random);
      if (roll < 2 && !grid.walls.empty()) {
        const auto& wall = grid.walls[random() % grid.walls.size()];
        x = wall.first + x % kCell;
        y = wall.second + y % kCell;
      } else if (roll == 4) {
        const int start = static_cast<int>(random() % 8);
        x = (start & 4 ? width / 2 : 25) + (start & 1) * kCell + x % kCell;
        y = (start & 4 ? 300 : 25) + (start & 2) / 2 * kCell + y % kCell;
      } else if (roll == 5) {
        const SDL_Event ignored[] = {KeyDown(SDLK_KP_ENTER), KeyDown(SDLK_a),
                                     MouseButton(SDL_MOUSEBUTTONUP, x, y), MouseMotion(x, y)};
        Event(ignored[i % 4]);
      }
      Event(MouseButton(SDL_MOUSEBUTTONDOWN, x, y));
      grid.Press(x, y);
    }
    Key(SDLK_RETURN);
    saves.push_back(grid.File());
  }

  std::mt19937 random;
  std::vector<std::string> saves;  // what each cycle must save
  int pressCount = 0;
};

// As each cycle starts: the level file and resident memory the one before left.
std::vector<std::string> savedBefore;
std::vector<long> residentBefore;

std::string Saved() { return FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : ""; }

int RunEditor(EditorScript& script) {
  savedBefore.clear();
  residentBefore.clear();
  FINPROG = 0;
  cycleStarted = [](int) {
    savedBefore.push_back(Saved());
    residentBefore.push_back(ResidentKiB());
  };
  const int result = script.Run();
  cycleStarted = nullptr;
  return result;
}

}  // namespace

TEST(EditorSoak, ManyCyclesAndPressesSaveEveryLevelAndKeepMemoryFlat) {
  ScopedWorkDir dir;
  LinkAssets();
  const int cycles = 3 * SoakScale();
  // Long runs also fill one grid past the record's slots (2998 between two builds).
  const auto pressesIn = [](int c) { return c == 1 && SoakScale() >= 10 ? 4000 : 60; };
  // The widest grid first, so the first cycle already holds the most cells.
  constexpr int kWidths[] = {1000, 600, 700, 800, 900};
  EditorScript script(20240611u);
  for (int c = 0; c < cycles; ++c)
    script.Cycle(kWidths[c % 5], pressesIn(c), c % 2 ? c : c % 4 ? pressesIn(c) : -1);
  TakeWaitedMs();
  EXPECT_EQ(RunEditor(script), 0);
  const long residentAtEnd = ResidentKiB();
  EXPECT_TRUE(script.Exhausted());
  ASSERT_EQ(savedBefore.size(), cycles + 1u);
  for (int c = 0; c < cycles; ++c) EXPECT_EQ(savedBefore[c + 1], script.saves[c]) << c + 1;
  EXPECT_EQ(Saved(), script.saves.back());
  std::printf(
      "editor soak: %d cycles, %d presses, %.1f min of waits skipped; resident %ld KiB "
      "after the first cycle, %ld KiB after the last\n",
      cycles, script.pressCount, TakeWaitedMs() / 60000.0, residentBefore[1], residentAtEnd);
  // A few pages come and go with the heap's layout.
  EXPECT_TRUE(!ResidentMemoryIsMeaningful() || residentAtEnd <= residentBefore[1] + 256);
}

// Each way of spoiling a file, on the editor's files in turn (every file every way in long runs).
TEST(EditorBrokenAssets, AnyFileMissingEmptyGarbageOrCutShortStillSavesTheLevels) {
  const char* kFiles[] = {"Images/Mur.png", "Images/blanc.png", "Police/comic.ttf"};
  for (int k = 0; k < (SoakScale() > 1 ? 12 : 4); ++k) {
    const char* path = kFiles[SoakScale() > 1 ? k / 4 : k % 3];
    SCOPED_TRACE(std::string(path) + " " + kDamage[k % 4]);
    ScopedWorkDir dir;
    InstallAssetsWith(path, k % 4);
    EditorScript script(11u);
    script.Cycle(600, 25, k * 6);
    EXPECT_EQ(RunEditor(script), 0);
    ASSERT_EQ(savedBefore.size(), 2u);
    EXPECT_EQ(savedBefore[1], script.saves[0]);
  }
}

namespace {

const std::string kEarlier = "1\n125\t125\n";

void EarlierLevel() {
  mkdir("Niveaux", 0755);
  WriteFile(kSavedLevelPath, kEarlier);
}

std::vector<std::string> Entries(const char* folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  return names;
}

// Runs `child` in a child process whose standard error is a pipe; the read end.
int Fork(pid_t& pid, const std::function<void()>& child) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0 || (pid = fork()) < 0) return -1;
  if (pid == 0) {
    close(pipeEnds[0]);
    dup2(pipeEnds[1], STDERR_FILENO);
    child();
    _exit(3);
  }
  close(pipeEnds[1]);
  return pipeEnds[0];
}

SaveStep gStopAt = SaveStep::kDone;

}  // namespace

// The editor is killed as its save reaches each step: the level file is the
// old level or the new one, whole, and only a kill before the move leaves the
// temporary (whole once written) beside it.
TEST(InterruptedSave, AKilledSaveLeavesTheOldOrTheNewLevelWhole) {
  Grid grid{1000, {}};  // every cell of the widest grid from the fourth row down
  for (int cell = 3 * 40; cell < 24 * 40; ++cell) grid.Press(cell % 40 * 25, cell / 40 * 25);
  std::vector<int> xs(1, -1), ys(1, -1);
  for (const auto& [x, y] : grid.walls) xs.push_back(x), ys.push_back(y);
  const std::string saved = grid.File();
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
    EarlierLevel();
    gStopAt = c.step;
    pid_t child = -1;
    // The save tells the parent through the pipe that it is at the step, then waits to be killed.
    const int reached = Fork(child, [&] {
      gSaveStepHook = [](SaveStep step) {
        if (step != gStopAt) return;
        if (write(STDERR_FILENO, "!", 1) != 1) _exit(2);
        for (;;) pause();
      };
      Fichier(xs.data(), ys.data(), static_cast<int>(xs.size()), static_cast<int>(xs.size()) - 1);
    });
    ASSERT_GE(reached, 0);
    char byte = 0;
    const bool there = read(reached, &byte, 1) == 1;
    close(reached);
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

// Two cycles each end on Return; neither save can be written. The editor
// says why each time, goes on and ends normally, leaving an earlier level as
// it was and no temporary.
TEST(FailingSave, TheEditorSaysWhyAndGoesOnWithoutCrashing) {
  const struct {
    const char* what;
    int error;     // the reason the message must give
    bool earlier;  // an earlier level, left as it was
  } kCases[] = {{"missing folder", ENOENT, false},
                {"a file named Niveaux", ENOTDIR, false},
                {"read-only folder (as nobody: root writes through any mode)", EACCES, true},
                {"full disk (a file size limit, for root too)", EFBIG, true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ScopedWorkDir dir;
    mkdir("work", 0755);
    ASSERT_EQ(chdir("work"), 0);
    if (c.earlier) EarlierLevel();
    if (c.error == ENOTDIR) WriteFile("Niveaux", "not a folder");
    if (c.error == EACCES) chmod("Niveaux", 0555), chmod(".", 0755);
    // A pipe, not a file: the file size limit would cut a log file short.
    pid_t child = -1;
    const int log = Fork(child, [&] {
      const rlimit tiny = {16, 16};  // below any level of two walls
      if (c.error == EFBIG &&
          (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &tiny)))
        _exit(4);
      if (c.error == EACCES && geteuid() == 0 &&
          (setgroups(0, nullptr) || setresgid(65534, 65534, 65534) ||
           setresuid(65534, 65534, 65534)))
        _exit(4);
      EditorScript script(3u);
      script.Cycle(600, 40);
      script.Cycle(800, 30);
      _exit(RunEditor(script) == 0 && savedBefore.size() == 3 && script.Exhausted() ? 0 : 1);
    });
    ASSERT_GE(log, 0);
    std::string message;
    char chunk[512];
    for (ssize_t n; (n = read(log, chunk, sizeof chunk)) > 0;) message.append(chunk, n);
    close(log);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    const std::string line = "editor: cannot save Niveaux/Niveau_.txt: " +
                             std::string(std::strerror(c.error));
    int said = 0;
    for (size_t at = 0; (at = message.find(line, at)) != std::string::npos; at += line.size())
      ++said;
    EXPECT_EQ(said, 2) << "[" << message << "]";
    if (c.earlier) {
      EXPECT_EQ(ReadFile(kSavedLevelPath), kEarlier);
      EXPECT_EQ(Entries("Niveaux").size(), 1u) << "no temporary left behind";
    }
    ASSERT_EQ(chdir(".."), 0);
    chmod("work/Niveaux", 0755);
  }
}
