#ifndef GLOUTO_TESTS_GAME_FLOW_HARNESS_H
#define GLOUTO_TESTS_GAME_FLOW_HARNESS_H

// The game's frame steps driven one by one on a dummy window, from a script:
// `walls 400,300 | hero 301,301 right | frames 10 | expect hero.x=351`; its
// verbs and fields are the two tables of flow_harness.cpp. Values: numbers,
// directions (stop right left up down), a sprite's name (its width; none: no
// picture), rN%M+K: the Nth draw of rand after the last `seed`, % M, + K.

#include <memory>
#include <string>

#include "game/flow/state.h"
#include "tests/support/test_support.h"

class FlowTest : public SdlTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A new game, the hero stopped at (301, 301), nothing else in play, no tick due.
  void Fresh();
  // `name | script` a line, each on a new game; indented lines go on, `#` notes.
  void RunRows(const std::string& rows);

  ScopedWorkDir dir_;
  std::unique_ptr<GameState> game_;
};

#endif
