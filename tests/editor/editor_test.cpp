#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "editor/cycle_hook.h"
#include "editor/editor.h"
#include "editor/fichier.h"
#include "tests/editor/editor_assets.h"

namespace {

// The input of each editing cycle, put into SDL's queue as the cycle starts.
std::vector<std::vector<SDL_Event>> script;
// What the level file held at the start of each cycle ("" for none).
std::vector<std::string> savedAtCycleStart;

void PlayScript(int cycle) {
  savedAtCycleStart.push_back(FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "");
  if (cycle <= static_cast<int>(script.size())) {
    for (const SDL_Event& e : script[cycle - 1]) Push(e);
  }
  // Ends the cycle whatever it is waiting for, should the script not.
  Push(QuitEvent());
}

SDL_Event Release(int x, int y) { return MouseButton(SDL_MOUSEBUTTONUP, x, y); }
SDL_Event Press(int x, int y) { return MouseButton(SDL_MOUSEBUTTONDOWN, x, y); }
const SDL_Event kChoose600 = Release(200, 120);
const SDL_Event kChoose1000 = Release(200, 320);

class EditorRun : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    dir = std::make_unique<ScopedWorkDir>();
    FINPROG = 0;
    script.clear();
    savedAtCycleStart.clear();
    cycleStarted = PlayScript;
  }
  void TearDown() override {
    cycleStarted = nullptr;
    dir.reset();
  }
  // Runs the editor through the cycles; returns its result.
  int Run(std::vector<std::vector<SDL_Event>> cycles, const char* file = nullptr) {
    script = std::move(cycles);
    char name[] = "editor";
    std::string level = file ? file : "";
    char* argv[] = {name, file ? &level[0] : nullptr, nullptr};
    const auto start = std::chrono::steady_clock::now();
    const int result = SDL_main(file ? 2 : 1, argv);
    elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - start)
                    .count();
    return result;
  }
  int Cycles() const { return static_cast<int>(savedAtCycleStart.size()); }
  std::string Saved() const { return FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : ""; }

  std::unique_ptr<ScopedWorkDir> dir;
  long long elapsedMs = 0;
};

}  // namespace

TEST_F(EditorRun, ReturnSavesTheWallsInPlacementOrderAndTheNextCycleSavesOverIt) {
  MakeEditorAssets(true, true);
  const int result = Run({
      {MouseMotion(200, 120), kChoose600, Press(0, 0), Press(149, 49), Press(599, 599),
       Press(130, 30), Press(125, 25), KeyDown(SDLK_RETURN)},
      {kChoose1000, Press(990, 590), KeyDown(SDLK_RETURN)},
      {},  // closed on the size screen
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(FINPROG, 1);
  ASSERT_EQ(Cycles(), 3);
  EXPECT_EQ(savedAtCycleStart[1], "3\n0\t0\n575\t575\n125\t25\n");
  // A wall at x 975 exists only on the 1000-wide grid.
  EXPECT_EQ(Saved(), "1\n975\t575\n");
}

TEST_F(EditorRun, EscapeEndsTheEditorWithoutWriting) {
  MakeEditorAssets(true, false);
  WriteFile(kSavedLevelPath, "1\n5\t5\n");
  EXPECT_EQ(Run({{kChoose600, Press(0, 0), KeyDown(SDLK_ESCAPE), KeyDown(SDLK_RETURN)}}), 0);
  EXPECT_EQ(Cycles(), 1);
  EXPECT_EQ(FINPROG, 1);
  EXPECT_EQ(Saved(), "1\n5\t5\n");
}

TEST_F(EditorRun, ClosingTheWindowEndsTheEditorWithoutWriting) {
  MakeEditorAssets(true, false);
  WriteFile(kSavedLevelPath, "1\n5\t5\n");
  struct Case {
    const char* where;
    std::vector<SDL_Event> events;
  };
  const Case kCases[] = {
      {"while editing", {kChoose600, Press(0, 0), QuitEvent(), KeyDown(SDLK_RETURN)}},
      {"on the size screen", {Press(200, 120), QuitEvent(), kChoose600, KeyDown(SDLK_RETURN)}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.where);
    FINPROG = 0;
    savedAtCycleStart.clear();
    EXPECT_EQ(Run({c.events}), 0);
    EXPECT_EQ(Cycles(), 1);
    EXPECT_EQ(FINPROG, 1);
    EXPECT_EQ(Saved(), "1\n5\t5\n");
  }
}

TEST_F(EditorRun, ReturnWithAnEmptyGridLeavesNoFile) {
  MakeEditorAssets(true, false);
  WriteFile(kSavedLevelPath, "1\n5\t5\n");
  Run({{kChoose600, Press(0, 0), Press(0, 0), KeyDown(SDLK_RETURN)}});
  EXPECT_EQ(Cycles(), 2);
  EXPECT_FALSE(FileExists(kSavedLevelPath));
}

TEST_F(EditorRun, BackspaceClearsTheGridAndTheRecordStartsAgain) {
  MakeEditorAssets(true, true);
  Run({{kChoose600, Press(0, 0), Press(100, 0), Press(100, 0), Press(100, 0),
        KeyDown(SDLK_BACKSPACE), Press(200, 0), Press(200, 0), Press(200, 0), Press(0, 0),
        KeyDown(SDLK_RETURN)}});
  EXPECT_EQ(savedAtCycleStart.at(1), "2\n200\t0\n0\t0\n");
  // The waits: a size-screen pass, two grids of 576 cells at 2 ms, eight
  // presses at 150 + 50 ms and two more editing passes.
  EXPECT_GE(elapsedMs, 30 + 2 * 576 * 2 + 8 * 200 + 2 * 50);
}

TEST_F(EditorRun, OnlyReturnEscapeAndBackspaceActAndOnlyThePressOfAButton) {
  MakeEditorAssets(true, false);
  Run({{kChoose600, Press(0, 0), Release(100, 0), KeyDown(SDLK_KP_ENTER), KeyDown(SDLK_a),
        KeyDown(SDLK_F1), KeyDown(SDLK_DELETE), MouseMotion(300, 300), Press(50, 0),
        KeyDown(SDLK_RETURN)}});
  EXPECT_EQ(Cycles(), 2);
  EXPECT_EQ(savedAtCycleStart.at(1), "2\n0\t0\n50\t0\n");
}

TEST_F(EditorRun, WithoutPicturesOrFontTheEditorStillEditsAndSaves) {
  MakeEditorAssets(false, false);
  EXPECT_EQ(Run({{MouseMotion(200, 120), kChoose600, Press(0, 0), Press(25, 25), Press(75, 0),
                  KeyDown(SDLK_BACKSPACE), Press(300, 0), KeyDown(SDLK_RETURN)}}),
            0);
  EXPECT_EQ(savedAtCycleStart.at(1), "1\n300\t0\n");
}

TEST_F(EditorRun, EveryCycleStartsWithTheWallsOfTheFileThatFitItsGrid) {
  MakeEditorAssets(true, true);
  // Off the cells, reserved, beyond x 600, a second wall on a cell: each is
  // left out where it does not fit; the rest keep the file's order.
  WriteFile("Niveaux/Niveau_4.txt", "6\n100\t0\n13\t0\n25\t25\n800\t100\n100\t0\n0\t575\n");
  testing::internal::CaptureStderr();
  Run({{kChoose600, Press(5, 580), Press(50, 0), KeyDown(SDLK_RETURN)},
       {kChoose1000, KeyDown(SDLK_RETURN)}},
      "Niveaux/Niveau_4.txt");
  FINPROG = 0;
  Run({{kChoose600, Press(0, 0), KeyDown(SDLK_RETURN)}}, "Niveaux/Niveau_9.txt");
  const std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_EQ(savedAtCycleStart.at(1), "2\n100\t0\n50\t0\n") << "a press removes an opened wall";
  EXPECT_EQ(savedAtCycleStart.at(2), "3\n100\t0\n800\t100\n0\t575\n");
  EXPECT_EQ(savedAtCycleStart.at(4), "1\n0\t0\n") << "an unreadable file gives an empty grid";
  for (const char* said : {"4 wall(s) of Niveaux/Niveau_4.txt", "3 wall(s) of Niveaux/Niveau_4.txt",
                           "cannot read the level Niveaux/Niveau_9.txt"})
    EXPECT_NE(messages.find(said), std::string::npos) << messages;
}
