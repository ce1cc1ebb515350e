#ifndef GLOUTO_TESTS_GAME_FLOW_HARNESS_H
#define GLOUTO_TESTS_GAME_FLOW_HARNESS_H

// A headless harness for the game flow: a fresh GameState on a dummy 600 x 600
// window, fresh globals, and sprite files whose widths tell which one was
// loaded. Tests set Change and push events by hand and call the real steps.

#include <memory>
#include <string>

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

  // Places an actor or a chest; w and h play no part in the rules.
  static SDL_Rect At(int x, int y) {
    return {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  }
  // Sends every chest out of the field, so that none is touched by accident.
  void ClearChests();

  ScopedWorkDir dir_;
  std::unique_ptr<GameState> game_;
};

#endif
