// The editor as the designer sees it, where each press leads and what each save holds.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "editor/cycle_hook.h"
#include "editor/editor.h"
#include "editor/fichier.h"
#include "editor/grid.h"
#include "editor/press.h"
#include "editor/size_screen.h"
#include "tests/support/approved.h"

namespace {

// Levels' texts from "x,y x,y/x,y": each its count, then a wall a line; "-" no file.
std::string Walls(const std::string &walls) {
  const size_t slash = walls.find('/');
  if (slash != std::string::npos)
    return Walls(walls.substr(0, slash)) + "/" + Walls(walls.substr(slash + 1));
  if (walls == "-") return walls;
  std::istringstream in(walls);
  std::string text, w;
  int count = 0;
  for (; in >> w; ++count) text += w.replace(w.find(','), 1, "\t") + "\n";
  return std::to_string(count) + "\n" + text;
}
std::string Saved() { return FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "-"; }

std::string cycles, saved;  // each cycle's input; the file as each later one begins

void PlayScript(int cycle) {
  if (cycle > 1) saved += Saved() + "/";
  std::string text = cycles + "/";
  for (int i = 1; i < cycle; ++i) text.erase(0, text.find('/') + 1);
  for (const SDL_Event &e : Events(text.substr(0, text.find('/')))) Push(e);
  Push(QuitEvent());  // ends the cycle whatever it waits for, should the script not
}

}  // namespace

// Whole runs: each cycle a size (u200,120 600, u200,320 1000), presses and a key; a
// close ends the editor unsaved (Escape: the editor scenario; the rest: the reliability
// tests). Niveau_4 holds walls off the cells, reserved, beyond x 600 and twice on a
// cell. Without a display it says why rather than wait for a click.
TEST(EditorRun, WhatEachCycleSaves) {
  const struct {
    const char *file, *cycles, *saved;
  } cases[] = {
      {"", "u200,120 d0,0 q enter", "5,5"},
      {"Niveaux/Niveau_4.txt", "u200,120 d5,580 d50,0 enter/u200,320 enter",
       "100,0 50,0/100,0 800,100 0,575/100,0 800,100 0,575"},
      {"Niveaux/Niveau_9.txt", "u200,120 d0,0 enter", "0,0/0,0"},
  };
  cycleStarted = PlayScript;
  std::string said;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.cycles);
    ScopedWorkDir dir;
    LinkAssets();
    WriteFile(kSavedLevelPath, Walls("5,5"));
    WriteFile("Niveaux/Niveau_4.txt", Walls("100,0 13,0 25,25 800,100 100,0 0,575"));
    FINPROG = 0;
    cycles = c.cycles;
    saved.clear();
    char *argv[] = {const_cast<char *>("editor"), const_cast<char *>(c.file), nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(SDL_main(*c.file ? 2 : 1, argv), 0);
    said += testing::internal::GetCapturedStderr();
    EXPECT_EQ(saved + Saved(), Walls(c.saved));
    EXPECT_EQ(FINPROG, 1);
  }
  cycleStarted = nullptr;
  std::string more;
  EXPECT_EQ(RunWithVideoDriver("no-such-driver", SDL_main, &more), 1);
  for (const char *words :
       {"4 wall(s) of Niveaux/Niveau_4.txt", "3 wall(s) of Niveaux/Niveau_4.txt",
        "cannot read the level Niveaux/Niveau_9.txt", "cannot open the editor's window"})
    EXPECT_NE((said + more).find(words), std::string::npos) << said << more;
}

class EditorScreens : public ScreenTest {
 protected:
  // The record runs on past its end, filled with this, so a write beyond it shows.
  static constexpr int kGuard = 64, kGuardValue = 0x5EED;

  void TearDown() override {
    for (SDL_Surface *picture : pictures) SDL_FreeSurface(picture);
    ScreenTest::TearDown();
  }
  void Build(int w) {
    ASSERT_NO_FATAL_FAILURE(OpenWindow(width = w, 600));
    wallX.fill(kGuardValue);
    wallY.fill(kGuardValue);
    cellCount = Init(screen_, pictures.data(), positions.data(), width, 600, 25, wallX.data(),
                     wallY.data());
    next = 1;
    count = 0;
  }
  int Press(int x, int y) {
    return Appui(pictures.data(), positions.data(), cellCount, wallX.data(), wallY.data(), &next,
                 &count, width, 600, x, y);
  }
  // Presses the script's d x,y on the grid, draws it and saves: the file's bytes.
  std::string Edit(const std::string &script) {
    for (const SDL_Event &e : Events(script)) Press(e.button.x, e.button.y);
    Dessin(screen_, pictures.data(), positions.data(), width, 600, 25, cellCount);
    Fichier(wallX.data(), wallY.data(), next, count);
    for (int slot = kTableSize; slot < kTableSize + kGuard; ++slot)
      EXPECT_TRUE(wallX[slot] == kGuardValue && wallY[slot] == kGuardValue) << slot;
    return Saved();
  }

  std::array<SDL_Surface *, kTableSize> pictures{};
  std::array<SDL_Rect, kTableSize> positions{};
  std::array<int, kTableSize + kGuard> wallX{}, wallY{};
  int width = 600, cellCount = 0, next = 1, count = 0;
};

// Plates 100 x 40 from (150, 100), 50 apart; "Plus que 4" 110 wide at (145,
// 300). A width is chosen on a release; a close leaves the window's own.
TEST_F(EditorScreens, SizeScreen) {
  ASSERT_NO_FATAL_FAILURE(OpenWindow(400, 400));
  const auto size = [&] { return Taille(screen_, 400, 400); };
  Play(
      "q =400* editor.size; m249,139 q =400* editor.size.one-lit;"
      "m200,120 m255,340 q =400* editor.size.more-lit; d200,120 q =400*;"
      "d200,220 u10,10 u200,170 =700; esc enter bksp kpenter u200,270 =900;"
      "u150,100 =600; u250,140 =600; u251,140 q =400*; u149,120 q =400*; u200,99 q =400*;"
      "u200,145 q =400*; u200,150 =700; u200,190 =700; u200,195 q =400*; u200,200 =800;"
      "u250,240 =800; u150,290 =900; u145,300 =1000; u255,340 =1000; u144,320 q =400*;"
      "u256,320 q =400*; u255,341 q =400*",
      size);
}

// Presses place, take away or (on a reserved cell, or off the grid) leave a wall (at
// every width: the editor soak); Return saves the walls in placement order, an empty
// grid no file, a link the designer made reaches the linked level, readable like any file.
TEST_F(EditorScreens, GridsAndWhatTheySave) {
  const struct {
    int width;
    const char *presses, *saved, *picture;
  } cases[] = {
      {600, "d0,0 d124,224 d130,30 d0,0 d575,575 d30,30 d320,310 d130,40 d600,0 d0,0",
       "100,200 575,575 0,0", "editor.grid.600"},
      {1000, "d975,0 d500,300 d499,325 d550,325 d0,575 d975,575 d975,5",
       "475,325 550,325 0,575 975,575", "editor.grid.1000"},
      {600, "d0,0 d0,0", "-", nullptr},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.presses);
    ASSERT_NO_FATAL_FAILURE(Build(c.width));
    EXPECT_EQ(Edit(c.presses), Walls(c.saved));
    if (c.picture) {
      EXPECT_TRUE(MatchesApproved(screen_, c.picture));
    }
  }
  ASSERT_EQ(symlink("Niveau_5.txt", kSavedLevelPath), 0);
  EXPECT_EQ(Edit("d25,75 d50,75"), Walls("25,75 50,75"));
  struct stat info = {};
  ASSERT_EQ(lstat(kSavedLevelPath, &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat("Niveaux/Niveau_5.txt", &info), 0);
  EXPECT_NE(info.st_mode & S_IRGRP, 0u);
  // Taken-away walls leave their slots empty until the slots run out; then
  // the gaps close, the order and the save stay, and the record keeps inside its tables.
  ASSERT_NO_FATAL_FAILURE(Build(600));
  Edit("d0,0 d100,0 d200,0 d100,0");  // a gap in slot 2
  int placedSlot = 0;
  while (next < kReserved) {  // each placement of (300, 0) takes a new slot
    const int before = next;
    Press(300, 0);
    if (next > before) placedSlot = before;
  }
  ASSERT_EQ(placedSlot, kReserved - 1);
  ASSERT_EQ(Edit(""), Walls("0,0 200,0 300,0"));
  EXPECT_EQ(Press(25, 25), kReserved);  // finds no free slot and compacts
  EXPECT_EQ(next, 4);
  EXPECT_EQ(Edit(""), Walls("0,0 200,0 300,0"));
  for (int slot = next + 1; slot < kTableSize; ++slot) ASSERT_EQ(wallX[slot], -1) << slot;
  EXPECT_EQ(Press(400, 0), 0);
  EXPECT_EQ(Press(300, 0), 3) << "(300, 0) was moved down to slot 3";
  EXPECT_EQ(Edit(""), Walls("0,0 200,0 400,0"));
}
