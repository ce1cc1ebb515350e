// The editor's SDL_main over many cycles, spoiled files, killed or failing saves: each save right.
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "editor/cycle_hook.h"
#include "editor/editor.h"
#include "level/level_paths.h"
#include "level/level_save.h"
#include "tests/reliability/soak.h"

namespace {

struct EditorScript : Script {
  explicit EditorScript(unsigned seed) : random(seed) {}

  // Presses (a third on walls, a sixth on the starts), stray input, Backspace before `clearAt`.
  void Cycle(int width, int presses, int clearAt = -1) {
    std::vector<std::pair<int, int>> walls;
    std::uniform_int_distribution<int> anyX(0, width - 1), anyY(0, 599), die(0, 5);
    // The five plates of the size screen stand 50 pixels apart, 600 at the top.
    Event(MouseMotion(200, 120 + (width - 600) / 2));
    Event(MouseButton(SDL_MOUSEBUTTONUP, 200, 120 + (width - 600) / 2));
    for (int i = 0; i <= presses; ++i) {
      if (i == clearAt) Keys({SDLK_BACKSPACE}), walls.clear();
      if (i == presses) break;
      int x = anyX(random), y = anyY(random);
      const int roll = die(random);
      if (roll < 2 && !walls.empty()) {
        const auto& wall = walls[random() % walls.size()];
        x = wall.first + x % 25, y = wall.second + y % 25;
      } else if (roll == 4) {
        const int start = static_cast<int>(random() % 8);
        x = (start & 4 ? width / 2 : 25) + (start & 1) * 25 + x % 25;
        y = (start & 4 ? 300 : 25) + (start & 2) / 2 * 25 + y % 25;
      } else if (roll == 5) {
        const SDL_Event ignored[] = {KeyDown(SDLK_KP_ENTER), KeyDown(SDLK_a),
                                     MouseButton(SDL_MOUSEBUTTONUP, x, y), MouseMotion(x, y)};
        Event(ignored[i % 4]);
      }
      Event(MouseButton(SDL_MOUSEBUTTONDOWN, x, y));
      // The press rule worked out anew: it toggles its cell's wall, but not on the actors' starts.
      const int cx = x / 25 * 25, cy = y / 25 * 25;
      if (((cx == 25 || cx == 50) && (cy == 25 || cy == 50)) ||
          ((cx == width / 2 || cx == width / 2 + 25) && (cy == 300 || cy == 325)))
        continue;
      const size_t before = walls.size();
      walls.erase(std::remove(walls.begin(), walls.end(), std::make_pair(cx, cy)), walls.end());
      if (walls.size() == before) walls.emplace_back(cx, cy);
    }
    Keys({SDLK_RETURN});
    std::string text = walls.empty() ? "" : std::to_string(walls.size()) + "\n";  // "": no file
    for (const auto& [x, y] : walls) text += std::to_string(x) + "\t" + std::to_string(y) + "\n";
    saves.push_back(text);
  }

  std::mt19937 random;
  std::vector<std::string> saves;  // what each cycle must save
};
// As each cycle after the first starts: the level file and resident memory the one before left.
std::vector<std::string> saved;
std::vector<long> resident;

std::string Saved() { return FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : ""; }

int RunEditor(EditorScript& script) {
  saved.clear(), resident.clear(), FINPROG = 0;
  cycleStarted = [](int) { saved.push_back(Saved()), resident.push_back(ResidentKiB()); };
  const int result = script.Run();
  cycleStarted = nullptr;
  if (!saved.empty()) saved.erase(saved.begin()), resident.erase(resident.begin());
  return result;
}

SaveStep gStopAt;
// Two cycles in a child, stderr a pipe, killed as its first save reaches `stopAt`: old or new
// level whole. Or no save can be written: each says why, the editor ends normally. Or (from 7) a
// file spoiled: all saved.
void SaveCases(int from, int to) {
  const char* kFiles[] = {"Images/Mur.png", "Images/blanc.png", "Police/comic.ttf"};
  const std::string earlier = "1\n125\t125\n";
  const struct {
    SaveStep stopAt;      // kCreate: never, the hook is not called there
    int error;            // the reason each save must give
    int level, leftover;  // the level file and the temporary: -1 none, else texts[i]
  } kCases[] = {{SaveStep::kWrite, 0, 1, 0},          {SaveStep::kPlace, 0, 1, 2},
                {SaveStep::kDone, 0, 2, -1},          {SaveStep::kCreate, ENOENT, -1, -1},
                {SaveStep::kCreate, ENOTDIR, -1, -1}, {SaveStep::kCreate, EACCES, 1, -1},
                {SaveStep::kCreate, EFBIG, 1, -1},    {SaveStep::kCreate, 0, 3, -1}};
  for (int i = from; i < to; ++i) {
    const auto& c = kCases[std::min(i, 7)];
    SCOPED_TRACE(i);
    ScopedWorkDir dir;
    if (i >= 7) InstallAssetsWith(kFiles[(i - 7) / 4], (i - 7) % 4);
    EditorScript script(3u);
    script.Cycle(600, 40, 20);
    script.Cycle(800, 30);
    const std::string texts[] = {"", earlier, script.saves[0], script.saves[1]};
    if (c.level >= 0) mkdir("Niveaux", 0755), WriteFile(kSavedLevelPath, earlier);
    if (c.error == ENOTDIR) WriteFile("Niveaux", "not a folder");
    if (c.error == EACCES) chmod("Niveaux", 0555), chmod(".", 0755);
    gStopAt = c.stopAt;
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
      dup2(pipeEnds[1], STDERR_FILENO);
      // The save tells the parent through the pipe that it is at the step, then waits to be killed.
      gSaveStepHook = [](SaveStep step) {
        if (step == gStopAt && write(STDERR_FILENO, "!", 1) == 1)
          for (;;) pause();
      };
      const rlimit tiny = {16, 16};  // below any level of two walls, for root too
      if (c.error == EFBIG &&
          (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &tiny)))
        _exit(4);
      if (c.error == EACCES && geteuid() == 0 &&  // as nobody: root writes through any mode
          (setgroups(0, nullptr) || setresgid(65534, 65534, 65534) ||
           setresuid(65534, 65534, 65534)))
        _exit(4);
      _exit(RunEditor(script) || saved.size() != 2 || !script.steps.empty() ||
            (!c.error && saved != script.saves));
    }
    close(pipeEnds[1]);
    std::string message;
    char chunk[512];
    for (ssize_t n; (message.empty() || message.back() != '!') &&
                    (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
      message.append(chunk, n);
    close(pipeEnds[0]);
    int status = 0;
    kill(child, SIGKILL), waitpid(child, &status, 0);
    chmod("Niveaux", 0755);
    const bool reached = !message.empty() && message.back() == '!';
    ASSERT_EQ(reached, c.stopAt != SaveStep::kCreate) << "the step reached";
    EXPECT_TRUE(reached || status == 0) << "the editor ended with " << status;
    const std::string line = "editor: cannot save Niveaux/Niveau_.txt: " +
                             std::string(std::strerror(c.error));
    int said = 0;
    for (size_t at = 0; (at = message.find(line, at)) != std::string::npos; at += line.size())
      ++said;
    EXPECT_EQ(said, c.error ? 2 : 0) << "[" << message << "]";
    if (c.level < 0) continue;
    EXPECT_EQ(ReadFile(kSavedLevelPath), texts[c.level]);
    std::string left;  // the temporaries, with what they hold
    for (const auto& entry : std::filesystem::directory_iterator("Niveaux")) {
      const std::string name = entry.path().filename();
      if (name.rfind("Niveau_.txt.", 0) == 0)
        left += name.substr(0, 12) + ReadFile("Niveaux/" + name);
    }
    EXPECT_EQ(left, c.leftover < 0 ? "" : "Niveau_.txt." + texts[c.leftover]);
  }
}

}  // namespace

TEST(InterruptedSave, AKilledSaveLeavesTheOldOrTheNewLevelWhole) { SaveCases(0, 3); }
TEST(FailingSave, TheEditorSaysWhyAndGoesOnWithoutCrashing) { SaveCases(3, 7); }
TEST(EditorBrokenAssets, AnySpoiledFileStillSavesTheLevels) { SaveCases(7, 19); }
TEST(EditorSoak, ManyCyclesAndPressesSaveEveryLevelAndKeepMemoryFlat) {
  ScopedWorkDir dir;
  LinkAssets();
  const int cycles = 3 * kSoakScale;
  // Long runs also fill one grid past the record's slots (2998 between two builds).
  const auto pressesIn = [](int c) { return c == 1 && kSoakScale >= 10 ? 4000 : 60; };
  // The widest grid first, so the first cycle already holds the most cells.
  constexpr int kWidths[] = {1000, 600, 700, 800, 900};
  EditorScript script(20240611u);
  for (int c = 0; c < cycles; ++c)
    script.Cycle(kWidths[c % 5], pressesIn(c), c % 2 ? c : c % 4 ? pressesIn(c) : -1);
  EXPECT_EQ(RunEditor(script), 0);
  EXPECT_LE(ResidentKiB(), resident.at(0) + 256);  // a few pages come and go with the heap
  EXPECT_TRUE(script.steps.empty());
  EXPECT_EQ(saved, script.saves);
  EXPECT_EQ(Saved(), script.saves.back());
}
