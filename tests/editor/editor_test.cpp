#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "editor/cycle_hook.h"
#include "editor/editor.h"
#include "editor/fichier.h"
#include "tests/support/test_support.h"

namespace {

// The input of each editing cycle, queued as the cycle starts.
std::vector<std::vector<SDL_Event>> script;
// What the level file held at the start of each cycle ("" for none).
std::vector<std::string> savedAtCycleStart;

void PlayScript(int cycle) {
  savedAtCycleStart.push_back(FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "");
  if (cycle <= static_cast<int>(script.size()))
    for (const SDL_Event& e : script[cycle - 1]) Push(e);
  Push(QuitEvent());  // ends the cycle whatever it waits for, should the script not
}

SDL_Event Down(int x, int y) { return MouseButton(SDL_MOUSEBUTTONDOWN, x, y); }
const SDL_Event k600 = MouseButton(SDL_MOUSEBUTTONUP, 200, 120);
const SDL_Event k1000 = MouseButton(SDL_MOUSEBUTTONUP, 200, 320);
const SDL_Event kReturn = KeyDown(SDLK_RETURN);
const SDL_Event kBackspace = KeyDown(SDLK_BACKSPACE);
const char* const kOld = "1\n5\t5\n";

}  // namespace

// Whole runs of the editor: each cycle a size, presses and a key; each
// Return saves and starts a new cycle; Escape or a close ends the editor.
TEST(EditorRun, WhatEachCycleSaves) {
  struct Case {
    const char* what;
    bool assets;
    const char* file;  // the level opened, or null
    std::vector<std::vector<SDL_Event>> cycles;
    std::vector<std::string> saved;  // at the start of each cycle, and at the end
  };
  const Case cases[] = {
      {"Return saves in placement order, the next cycle saves over it",
       true,
       nullptr,
       {{MouseMotion(200, 120), k600, Down(0, 0), Down(149, 49), Down(599, 599), Down(130, 30),
         Down(125, 25), kReturn},
        {k1000, Down(990, 590), kReturn},
        {}},
       {kOld, "3\n0\t0\n575\t575\n125\t25\n", "1\n975\t575\n", "1\n975\t575\n"}},
      {"Escape writes nothing",
       true,
       nullptr,
       {{k600, Down(0, 0), KeyDown(SDLK_ESCAPE), kReturn}},
       {kOld, kOld}},
      {"closed while editing",
       true,
       nullptr,
       {{k600, Down(0, 0), QuitEvent(), kReturn}},
       {kOld, kOld}},
      {"closed on the size screen",
       true,
       nullptr,
       {{Down(200, 120), QuitEvent(), k600, kReturn}},
       {kOld, kOld}},
      {"an empty grid leaves no file",
       true,
       nullptr,
       {{k600, Down(0, 0), Down(0, 0), kReturn}},
       {kOld, "", ""}},
      {"Backspace clears the grid and the record",
       true,
       nullptr,
       {{k600, Down(0, 0), Down(100, 0), Down(100, 0), Down(100, 0), kBackspace, Down(200, 0),
         Down(200, 0), Down(200, 0), Down(0, 0), kReturn}},
       {kOld, "2\n200\t0\n0\t0\n", "2\n200\t0\n0\t0\n"}},
      {"only Return, Escape and Backspace act, only on a press",
       true,
       nullptr,
       {{k600, Down(0, 0), MouseButton(SDL_MOUSEBUTTONUP, 100, 0), KeyDown(SDLK_KP_ENTER),
         KeyDown(SDLK_a), KeyDown(SDLK_DELETE), MouseMotion(300, 300), Down(50, 0), kReturn}},
       {kOld, "2\n0\t0\n50\t0\n", "2\n0\t0\n50\t0\n"}},
      {"without pictures or font",
       false,
       nullptr,
       {{k600, Down(0, 0), Down(25, 25), Down(75, 0), kBackspace, Down(300, 0), kReturn}},
       {kOld, "1\n300\t0\n", "1\n300\t0\n"}},
      // Off the cells, reserved, beyond x 600, twice on a cell: left out where it does not fit.
      {"each cycle starts from the file's walls that fit its grid",
       true,
       "Niveaux/Niveau_4.txt",
       {{k600, Down(5, 580), Down(50, 0), kReturn}, {k1000, kReturn}},
       {kOld, "2\n100\t0\n50\t0\n", "3\n100\t0\n800\t100\n0\t575\n",
        "3\n100\t0\n800\t100\n0\t575\n"}},
      {"an unreadable file gives an empty grid",
       true,
       "Niveaux/Niveau_9.txt",
       {{k600, Down(0, 0), kReturn}},
       {kOld, "1\n0\t0\n", "1\n0\t0\n"}},
  };
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  cycleStarted = PlayScript;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedWorkDir dir;
    if (c.assets) LinkAssets();
    mkdir("Niveaux", 0755);
    WriteFile(kSavedLevelPath, kOld);
    WriteFile("Niveaux/Niveau_4.txt", "6\n100\t0\n13\t0\n25\t25\n800\t100\n100\t0\n0\t575\n");
    FINPROG = 0;
    script = c.cycles;
    savedAtCycleStart.clear();
    std::string file = c.file ? c.file : "";
    char name[] = "editor";
    char* argv[] = {name, c.file ? &file[0] : nullptr, nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(SDL_main(c.file ? 2 : 1, argv), 0);
    const std::string messages = testing::internal::GetCapturedStderr();
    savedAtCycleStart.push_back(FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "");
    EXPECT_EQ(savedAtCycleStart, c.saved);
    EXPECT_EQ(FINPROG, 1);
    if (c.file && std::string(c.file).find('4') != std::string::npos) {
      EXPECT_NE(messages.find("4 wall(s) of Niveaux/Niveau_4.txt"), std::string::npos) << messages;
      EXPECT_NE(messages.find("3 wall(s) of Niveaux/Niveau_4.txt"), std::string::npos) << messages;
    } else if (c.file) {
      EXPECT_NE(messages.find("cannot read the level Niveaux/Niveau_9.txt"), std::string::npos);
    }
  }
  cycleStarted = nullptr;
}
