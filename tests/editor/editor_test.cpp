#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/cycle_hook.h"
#include "editor/editor.h"
#include "editor/fichier.h"
#include "tests/support/approved.h"

namespace {

// The size screen's plates for 600 and 1000, in the 400 x 400 first window.
std::string Widths(std::string text) {
  for (const auto& [word, release] : {std::pair{"w600", "u200,120"}, {"w1000", "u200,320"}})
    for (size_t at; (at = text.find(word)) != std::string::npos;)
      text.replace(at, std::strlen(word), release);
  return text;
}
// The input of each editing cycle, queued as the cycle starts.
std::vector<std::string> script;
// What the level file held at the start of each cycle ("" for none).
std::vector<std::string> savedAtCycleStart;

void PlayScript(int cycle) {
  savedAtCycleStart.push_back(FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "");
  if (cycle <= static_cast<int>(script.size()))
    for (const SDL_Event& e : Script(Widths(script[cycle - 1]))) Push(e);
  Push(QuitEvent());  // ends the cycle whatever it waits for, should the script not
}

const char* const kOld = "1\n5\t5\n";

}  // namespace

// Whole runs of the editor: each cycle a size, presses and a key; each
// Return saves and starts a new cycle; Escape or a close ends the editor.
TEST(EditorRun, WhatEachCycleSaves) {
  struct Case {
    const char* what;
    bool assets;
    const char* file;                 // the level opened, or null
    std::vector<std::string> cycles;  // scripts; w600 and w1000 choose a width
    std::vector<std::string> saved;   // at the start of each cycle, and at the end
  };
  // Niveau_4 holds walls off the cells, reserved, beyond x 600 and twice on a cell.
  const Case cases[] = {
      {"Return saves in placement order, the next cycle saves over it",
       true,
       nullptr,
       {"m200,120 w600 d0,0 d149,49 d599,599 d130,30 d125,25 enter", "w1000 d990,590 enter", ""},
       {kOld, "3\n0\t0\n575\t575\n125\t25\n", "1\n975\t575\n", "1\n975\t575\n"}},
      {"Escape writes nothing", true, nullptr, {"w600 d0,0 esc enter"}, {kOld, kOld}},
      {"closed while editing", true, nullptr, {"w600 d0,0 q enter"}, {kOld, kOld}},
      {"closed on the size screen", true, nullptr, {"d200,120 q w600 enter"}, {kOld, kOld}},
      {"an empty grid leaves no file", true, nullptr, {"w600 d0,0 d0,0 enter"}, {kOld, "", ""}},
      {"Backspace clears the grid and the record",
       true,
       nullptr,
       {"w600 d0,0 d100,0 d100,0 d100,0 bksp d200,0 d200,0 d200,0 d0,0 enter"},
       {kOld, "2\n200\t0\n0\t0\n", "2\n200\t0\n0\t0\n"}},
      {"only Return, Escape and Backspace act, only on a press",
       true,
       nullptr,
       {"w600 d0,0 u100,0 kpenter a del m300,300 d50,0 enter"},
       {kOld, "2\n0\t0\n50\t0\n", "2\n0\t0\n50\t0\n"}},
      {"without pictures or font",
       false,
       nullptr,
       {"w600 d0,0 d25,25 d75,0 bksp d300,0 enter"},
       {kOld, "1\n300\t0\n", "1\n300\t0\n"}},
      {"each cycle starts from the file's walls that fit its grid",
       true,
       "Niveaux/Niveau_4.txt",
       {"w600 d5,580 d50,0 enter", "w1000 enter"},
       {kOld, "2\n100\t0\n50\t0\n", "3\n100\t0\n800\t100\n0\t575\n",
        "3\n100\t0\n800\t100\n0\t575\n"}},
      {"an unreadable file gives an empty grid",
       true,
       "Niveaux/Niveau_9.txt",
       {"w600 d0,0 enter"},
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
