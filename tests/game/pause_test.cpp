#include <gtest/gtest.h>

#include <string>

#include "game/flow/keys.h"
#include "platform/window.h"
#include "tests/game/flow_harness.h"

namespace {

class Pause : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    game_->level = 3;
    game_->timerId = SDL_AddTimer(250, minuteur, nullptr);
  }

  std::string Caption() {
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    return title ? title : "";
  }

  // The next pending key, or 0.
  int NextKey() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
      if (event.type == SDL_KEYDOWN) return event.key.keysym.sym;
    return 0;
  }
};

}  // namespace

TEST_F(Pause, PResumesAndTheClockStoodStillMeanwhile) {
  Change = 0;
  Push(KeyDown(SDLK_SEMICOLON));
  Push(KeyDown(SDLK_v));  // play keys mean nothing in the pause
  Push(KeyDown(SDLK_g));
  for (int i = 0; i < 20; ++i) Push(MouseMotion(5, 5));  // a pause of about a second
  Push(KeyDown(SDLK_p));
  Push(KeyDown(SDLK_UP));  // for the frames after the pause
  const Uint32 before = SDL_GetTicks();
  HandleKey(*game_, SDLK_p);
  const Uint32 took = SDL_GetTicks() - before;
  // The old timer would have ticked about four times; the new one may have
  // ticked once if this thread was held up.
  EXPECT_LE(Change.load(), 1) << "a timer ran during a pause of " << took << " ms";
  EXPECT_GE(took + 1, 100u + 24 * 30 + 100u);
  EXPECT_EQ(game_->running, 1);
  EXPECT_EQ(FINPROG, 0);
  EXPECT_EQ(game_->lives, 1);
  EXPECT_EQ(game_->remaining, 104);
  EXPECT_EQ(game_->pauseLoop, 1);
  EXPECT_EQ(Caption(), "Glouto seconde generation ! Niveau 3");
  EXPECT_EQ(NextKey(), SDLK_UP);
  // The timer runs again.
  ASSERT_NE(game_->timerId, nullptr);
  SDL_Delay(1000);
  EXPECT_GE(Change.load(), 2);
}

// A pad's Back pauses, one stray press never ends the game; in the pause it
// ends it as Escape does.
TEST_F(Pause, EscapeOrClosingTheWindowEndTheGameFromThePause) {
  struct Case {
    SDL_Event in, out;
    int finprog;
  };
  const Case cases[] = {{KeyDown(SDLK_p), KeyDown(SDLK_ESCAPE), 0},
                        {KeyDown(SDLK_p), QuitEvent(), 1},
                        {PadButton(0, 6), PadButton(0, 6), 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.finprog);
    FINPROG = 0;
    game_->running = 1;
    SDL_Event in = c.in;
    Push(in);
    ASSERT_EQ(WindowPollEvent(&in), 1);  // as the frame's event step takes it
    Push(c.out);
    Push(KeyDown(SDLK_p));
    HandleKey(*game_, in.key.keysym.sym);
    EXPECT_EQ(game_->running, 0);
    EXPECT_EQ(FINPROG, c.finprog);
    EXPECT_EQ(game_->pauseLoop, 1);
    EXPECT_EQ(NextKey(), SDLK_p) << "the pause ends on the first way out";
  }
}

TEST_F(Pause, ShowsPauseAtItsFixedPlace) {
  GameState& s = *game_;
  s.width = 900;  // a later level: "Pause" does not follow the window
  s.pauseText = SDL_CreateRGBSurface(SDL_SWSURFACE, 60, 30, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_FillRect(s.pauseText, nullptr, SDL_MapRGB(s.pauseText->format, 10, 20, 200));
  SDL_FillRect(s.screen, nullptr, SDL_MapRGB(s.screen->format, 255, 255, 255));
  Push(KeyDown(SDLK_p));
  HandleKey(s, SDLK_p);
  EXPECT_EQ(PixelAt(s.screen, 261, 281), (Rgb{10, 20, 200}));
  EXPECT_EQ(PixelAt(s.screen, 259, 281), (Rgb{255, 255, 255}));
  EXPECT_EQ(s.pauseRect.x, 260);
  EXPECT_EQ(s.pauseRect.y, 280);
}
