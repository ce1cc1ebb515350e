#ifndef GLOUTO_TESTS_GAME_FLOW_HARNESS_H
#define GLOUTO_TESTS_GAME_FLOW_HARNESS_H

// A headless harness for the game flow: a fresh GameState on a dummy 600 x 600
// window, fresh globals, and sprite files whose widths tell which one was
// loaded. Tests drive the real steps through a small script language:
//
//   seed N | seed bonus | seed plain   srand; bonus/plain: the first seed whose
//                                      first draw makes the hero's next chest one
//   walls x,y ...       this level's file, loaded by Murs as the level start does
//   hero x,y [dir]      enemy i x,y [dir]      chest i x,y
//   set field=value ... (fields below; directions by name or code)
//   queue EVENT ...     push events: key names (Right, Return, p, ;, F1, ...),
//                       `quit`, `back` (a pad's Back), or `-` (a mouse motion,
//                       which frames ignore)
//   press KEY           the key handler alone, as the event step calls it
//   frame [EVENT ...]   push the events, then one whole frame (RunFrame)
//   frames N            N frames without input
//   rules               the rule steps of a frame alone (ApplyRules)
//   tick N              N calls of the timer's callback minuteur
//   timer               a running clock timer (which never ticks), as in play
//   finish              the outcome after the frame loop (no end screens)
//   mark                remember every field, for `only`
//   expect f=v f>=v ... these fields
//   only f=v ...        these fields, and every other field as at `mark`
//   caption TEXT        the window's caption
//
// Commands are separated by `|`. Fields: hero.x hero.y
// hero.dir hero.mode, enemyN.x .y .dir .mode .countdown
// (N < 5), chestN.x .y, clocktext (the clock text's x), remaining clock lives score enemyscore
// level chests enemies walls eaten bonus width players running won pauseloop, the globals tampon
// finprog attente invulnerable change, the music's switch volume track, and after a press, frame or
// rules: waited (ms) and timer (1 when the step left the clock's timer running; the harness then
// removes it, and the next frame needs `set change=` since a removed timer may have ticked
// meanwhile).

#include <memory>
#include <string>
#include <vector>

#include "game/flow/globals.h"
#include "game/flow/state.h"
#include "tests/support/test_support.h"

// Writes every picture the game loads into Images/ (as BMP data, which
// IMG_Load recognises whatever the name), each with its own width.
void WriteSprites();
// The width WriteSprites gives the picture `path`, e.g. "Images/Glouto2.png".
int SpriteWidth(const std::string& path);
// The width of a loaded image, or -1 for none.
int WidthOf(const SDL_Surface* image);

// Puts a level file with these walls where the game looks for level n.
void WriteLevel(int level, const std::string& body);

// Resets the six globals to their values at program start.
void ResetGlobals();

class FlowTest : public SdlTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs a script (above) on the test's game, from a quiet field: no walls,
  // chests or enemies in play, the hero stopped at (301, 301), no clock tick due.
  void Run(const std::string& script);
  // A table of scripts, each on a fresh game.
  struct Row {
    const char* name;
    const char* script;
  };
  void RunRows(const std::vector<Row>& rows);
  // A fresh game on the quiet field, the globals as at program start but `attente`.
  void Fresh();

  ScopedWorkDir dir_;
  std::unique_ptr<GameState> game_;
};

#endif
