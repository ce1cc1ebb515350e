#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "game/flow/frame.h"
#include "game/flow/keys.h"
#include "tests/game/flow_harness.h"

namespace {

// Everything a key may change, so that each case also proves what it leaves alone.
struct Observed {
  int heroDirection, enemyDirection0, tampon, running, finprog, wallCount, enemyCount, remaining,
      clock, lives, invulnerable, musicSwitch, volume, trackIndex;
  auto Tie() const {
    return std::make_tuple(heroDirection, enemyDirection0, tampon, running, finprog, wallCount,
                           enemyCount, remaining, clock, lives, invulnerable, musicSwitch, volume,
                           trackIndex);
  }
};

Observed Observe(const GameState& s) {
  return {s.heroDirection, s.enemyDirections[0], tamponIMG,      s.running,         FINPROG,
          s.wallCount,     s.enemyCount,         s.remaining,    s.clock,           s.lives,
          invulnerable,    s.music.musicSwitch,  s.music.volume, s.music.trackIndex};
}

class Keys : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    FSOUND_Init(44100, 32, 0);
    MusicFindTracks(game_->music);
  }
  void TearDown() override {
    MusicShutDown(game_->music);
    FlowTest::TearDown();
  }

  void Prepare(int players) {
    GameState& s = *game_;
    s.playerCount = players;
    s.heroDirection = 2, s.enemyDirections[0] = 1, s.running = 1, s.wallCount = 7;
    s.enemyCount = 2, s.remaining = 40, s.clock = 60, s.lives = 1;
    s.music.musicSwitch = 0, s.music.volume = 100, s.music.trackIndex = 0;
    tamponIMG = 0, FINPROG = 0, invulnerable = 7;
  }
};

struct KeyCase {
  SDLKey key;
  int players;
  Uint32 wait;  // at least this many ms
  std::function<void(Observed&)> effect;
};

}  // namespace

TEST_F(Keys, EveryKeyOfTheTableDoesItsPartAndNothingElse) {
  const std::vector<KeyCase> cases = {
      {SDLK_BACKSPACE, 1, 0, [](Observed& o) { o.wallCount = 0; }},
      {SDLK_RETURN, 1, 0, [](Observed& o) { o.heroDirection = 0, o.tampon = 3; }},
      {SDLK_ESCAPE, 1, 100, [](Observed& o) { o.running = 0, o.finprog = 1; }},
      {SDLK_SPACE, 1, 50, [](Observed& o) { o.musicSwitch = 1; }},
      {SDLK_6, 1, 0, [](Observed& o) { o.volume = 90; }},
      {SDLK_EQUALS, 1, 0, [](Observed& o) { o.volume = 110; }},
      {SDLK_a, 2, 0, [](Observed& o) { o.enemyDirection0 = 2, o.tampon = 3; }},
      {SDLK_d, 2, 0, [](Observed& o) { o.enemyDirection0 = 1, o.tampon = 3; }},
      {SDLK_s, 2, 0, [](Observed& o) { o.enemyDirection0 = 4, o.tampon = 3; }},
      {SDLK_w, 2, 0, [](Observed& o) { o.enemyDirection0 = 3, o.tampon = 3; }},
      {SDLK_z, 2, 0, [](Observed& o) { o.enemyDirection0 = 3, o.tampon = 3; }},
      {SDLK_q, 2, 0, [](Observed& o) { o.enemyDirection0 = 2, o.tampon = 3; }},
      {SDLK_a, 1, 0, [](Observed&) {}},
      {SDLK_d, 1, 0, [](Observed&) {}},
      {SDLK_s, 1, 0, [](Observed&) {}},
      {SDLK_w, 1, 0, [](Observed&) {}},
      {SDLK_z, 1, 0, [](Observed&) {}},
      {SDLK_q, 1, 0, [](Observed&) {}},
      {SDLK_g, 1, 100, [](Observed& o) { o.remaining = 0, o.clock = 10, o.running = 0; }},
      {SDLK_t, 1, 0, [](Observed& o) { o.running = 0, o.clock = 0, o.remaining = 1; }},
      {SDLK_v, 1, 50, [](Observed& o) { o.lives = 2; }},
      {SDLK_UP, 1, 0, [](Observed& o) { o.heroDirection = 3, o.tampon = 3; }},
      {SDLK_DOWN, 1, 0, [](Observed& o) { o.heroDirection = 4, o.tampon = 3; }},
      {SDLK_RIGHT, 1, 0, [](Observed& o) { o.heroDirection = 1, o.tampon = 3; }},
      {SDLK_LEFT, 2, 0, [](Observed& o) { o.heroDirection = 2, o.tampon = 3; }},
      {SDLK_F1, 1, 100, [](Observed& o) { o.trackIndex = 1; }},
      {SDLK_F2, 1, 100, [](Observed& o) { o.trackIndex = 4; }},
      {SDLK_F5, 1, 50, [](Observed& o) { o.clock = 160; }},
      {SDLK_RSHIFT, 1, 0, [](Observed& o) { o.invulnerable = 10000; }},
      {SDLK_LSHIFT, 1, 0, [](Observed& o) { o.invulnerable = 0; }},
      {SDLK_LCTRL, 1, 0, [](Observed& o) { o.enemyCount = 0; }},
      {SDLK_SEMICOLON, 1, 0, [](Observed&) {}},  // only the pause knows it
      {SDLK_e, 2, 0, [](Observed&) {}},
      {SDLK_F3, 1, 0, [](Observed&) {}},
      {SDLK_RCTRL, 1, 0, [](Observed&) {}},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key << ", " << c.players << " player(s)");
    Prepare(c.players);
    Observed expected = Observe(*game_);
    c.effect(expected);
    const Uint32 before = SDL_GetTicks();
    HandleKey(*game_, c.key);
    EXPECT_GE(SDL_GetTicks() - before + 1, c.wait);  // ticks are whole milliseconds
    EXPECT_EQ(Observe(*game_).Tie(), expected.Tie());
  }
}

TEST_F(Keys, TrackKeysWrapAroundTheFiveTracks) {
  Prepare(1);
  game_->music.trackIndex = 4;
  HandleKey(*game_, SDLK_F1);
  EXPECT_EQ(game_->music.trackIndex, 0);
  HandleKey(*game_, SDLK_F2);
  EXPECT_EQ(game_->music.trackIndex, 4);
}

TEST_F(Keys, EventStepTakesOneKeyPerFrameAndIgnoresOtherEvents) {
  Prepare(1);
  Push(MouseMotion(10, 10));
  Push(KeyDown(SDLK_UP));
  Push(KeyDown(SDLK_v));
  const Observed untouched = Observe(*game_);
  TakeEvent(*game_);  // the motion
  EXPECT_EQ(Observe(*game_).Tie(), untouched.Tie());
  TakeEvent(*game_);
  EXPECT_EQ(game_->heroDirection, 3);
  EXPECT_EQ(game_->lives, 1);
  TakeEvent(*game_);
  EXPECT_EQ(game_->lives, 2);
  TakeEvent(*game_);  // nothing pending: nothing happens
  EXPECT_EQ(game_->lives, 2);
}

TEST_F(Keys, ClosingTheWindowEndsTheProgram) {
  Prepare(1);
  Push(QuitEvent());
  TakeEvent(*game_);
  EXPECT_EQ(game_->running, 0);
  EXPECT_EQ(FINPROG, 1);
}
