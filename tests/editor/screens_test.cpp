// The editor's screens as the designer sees them (approved pictures), where
// each press leads and what Return then saves (one table per screen).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <sstream>

#include "editor/fichier.h"
#include "editor/grid.h"
#include "editor/press.h"
#include "editor/size_screen.h"
#include "tests/support/approved.h"

class EditorScreens : public ScreenTest {
 protected:
  // The record runs on past its end, filled with this, so a write beyond it
  // shows.
  static constexpr int kGuard = 64, kGuardValue = 0x5EED;

  void TearDown() override {
    for (SDL_Surface *picture : pictures) SDL_FreeSurface(picture);
    ScreenTest::TearDown();
  }
  void Build(int w) {
    width = w;
    ASSERT_NO_FATAL_FAILURE(OpenWindow(width, 600));
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
  // Presses the script's d x,y on the grid, draws it and saves: the file's
  // bytes, "" for none.
  std::string Edit(const std::string &script) {
    for (const SDL_Event &e : Script(script)) Press(e.button.x, e.button.y);
    Dessin(screen_, pictures.data(), positions.data(), width, 600, 25, cellCount);
    Fichier(wallX.data(), wallY.data(), next, count);
    for (int slot = kTableSize; slot < kTableSize + kGuard; ++slot)
      EXPECT_TRUE(wallX[slot] == kGuardValue && wallY[slot] == kGuardValue) << slot;
    return FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "";
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
  std::vector<Visit> visits = {{"q", 400, 1, "editor.size"},
                               {"m249,139 q", 400, 1, "editor.size.one-lit"},
                               {"m200,120 m255,340 q", 400, 1, "editor.size.more-lit"},
                               {"d200,120 q", 400, 1},
                               {"d200,220 u10,10 u200,170", 700, 0},
                               {"esc enter bksp kpenter u200,270", 900, 0}};
  std::istringstream releases(
      "150,100=600 250,140=600 251,140=0 149,120=0 "
      "200,99=0 200,145=0 200,150=700 200,190=700 "
      "200,195=0 200,200=800 250,240=800 150,290=900 "
      "145,300=1000 255,340=1000 144,320=0 "
      "256,320=0 255,341=0");
  for (std::string r; releases >> r;) {
    const int chosen = std::stoi(r.substr(r.find('=') + 1));
    visits.push_back({"u" + r.substr(0, r.find('=')) + (chosen ? "" : " q"), chosen ? chosen : 400,
                      chosen ? 0 : 1});
  }
  Play(visits, [&] { return Taille(screen_, 400, 400); });
  // Round the centre of the window it is given: "Niveau 1" at (200, 130) in 500
  // x 460.
  Play({{"u200,130", 600, 0}}, [&] { return Taille(screen_, 500, 460); });
}

// Presses place, take away or (on a reserved cell, or off the grid) leave a
// wall; Return saves the walls in placement order, an empty grid no file.
TEST_F(EditorScreens, GridsAndWhatTheySave) {
  const struct {
    int width;
    const char *presses;
    const char *saved;
    const char *picture;
  } cases[] = {
      {600,
       "d0,0 d124,224 d130,30 d0,0 d575,575 d30,30 d320,310 d130,40 d600,0 "
       "d0,0",
       "3\n100\t200\n575\t575\n0\t0\n", "editor.grid.600"},
      {1000, "d975,0 d500,300 d499,325 d550,325 d0,575 d975,575 d975,5",
       "4\n475\t325\n550\t325\n0\t575\n975\t575\n", "editor.grid.1000"},
      {600, "d0,0 d0,0", "", nullptr},
      {700, "d24,0 d25,49 d0,0 d349,300 d350,324 d375,325 d374,299 d699,599 d0,24",
       "4\n325\t300\n350\t275\n675\t575\n0\t0\n", nullptr},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.presses);
    ASSERT_NO_FATAL_FAILURE(Build(c.width));
    EXPECT_EQ(Edit(c.presses), c.saved);
    if (c.picture) {
      EXPECT_TRUE(MatchesApproved(screen_, c.picture));
    }
  }
}

// Taken-away walls leave their slots empty until the slots run out; then the
// gaps close, the order and the save stay, and the record keeps inside its
// tables.
TEST_F(EditorScreens, RunningOutOfSlotsClosesTheGapsWithoutChangingTheSave) {
  ASSERT_NO_FATAL_FAILURE(Build(600));
  Edit("d0,0 d100,0 d200,0 d100,0");  // a gap in slot 2
  int placedSlot = 0;
  while (next < kReserved) {  // each placement of (300, 0) takes a new slot
    const int before = next;
    Press(300, 0);
    if (next > before) placedSlot = before;
  }
  ASSERT_EQ(placedSlot, kReserved - 1);
  const std::string full = Edit("");
  ASSERT_EQ(full, "3\n0\t0\n200\t0\n300\t0\n");
  EXPECT_EQ(Press(25, 25), kReserved);  // finds no free slot and compacts
  EXPECT_EQ(next, 4);
  EXPECT_EQ(Edit(""), full);
  for (int slot = next + 1; slot < kTableSize; ++slot) ASSERT_EQ(wallX[slot], -1) << slot;
  EXPECT_EQ(Press(400, 0), 0);
  EXPECT_EQ(Press(300, 0), 3) << "(300, 0) was moved down to slot 3";
  EXPECT_EQ(Edit(""), "3\n0\t0\n200\t0\n400\t0\n");
}

// A designer may link the saved level to another: the save reaches it, readable
// like any file, and the link stays.
TEST_F(EditorScreens, ASaveThroughALinkReachesTheLinkedLevel) {
  ASSERT_NO_FATAL_FAILURE(Build(600));
  ASSERT_EQ(symlink("Niveau_5.txt", kSavedLevelPath), 0);
  EXPECT_EQ(Edit("d25,75 d50,75"), "2\n25\t75\n50\t75\n");
  struct stat info = {};
  ASSERT_EQ(lstat(kSavedLevelPath, &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat("Niveaux/Niveau_5.txt", &info), 0);
  EXPECT_NE(info.st_mode & S_IRGRP, 0u);
}
