// The music of the screens around the levels, on the dummy audio driver.
#include <gtest/gtest.h>

#include <future>
#include <memory>

#include "game/flow/session.h"
#include "game/screens/screens.h"
#include "tests/game/screen_fixture.h"
#include "tests/game/sound_samples.h"

namespace {

// Once the screen has opened its music, and played it when `waitPlay`, notes
// what plays, stops `stop` if given, and hands the screen its events.
struct Probe {
  bool waitPlay;
  FSOUND_STREAM* stop;
  std::vector<SDL_Event> then;
  std::atomic<int> playing{-1};
  std::atomic<bool> done{false};
};

// The classic SDL 1.2 may call a timer that asked to end once more, when the
// list of timers changed meanwhile (as every wait for an event changes it):
// the probe acts once.
Uint32 Look(Uint32 interval, void* param) {
  auto* p = static_cast<Probe*>(param);
  if (p->done) return 0;
  if (SoundStreamsOpen() < 1 || (p->waitPlay && FSOUND_IsPlaying(1) != 1)) return interval;
  if (p->done.exchange(true)) return 0;
  p->playing = FSOUND_IsPlaying(1);
  if (p->stop) FSOUND_Stream_Stop(p->stop);
  for (SDL_Event& e : p->then) SDL_PushEvent(&e);
  return 0;
}

class ScreenMusic : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    ASSERT_EQ(std::system("rm Musique && mkdir Musique"), 0);
    sound_samples::WriteSilentMp3("Musique/Musique.mp3", 400);
    ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1);
  }
  void TearDown() override {
    FSOUND_Close();
    ScreenTest::TearDown();
  }
};

}  // namespace

TEST_F(ScreenMusic, TheEndMusicPlaysWithAnOddSwitchAndStopsOnEveryWayOut) {
  struct Case {
    int music;
    SDL_Event last;
    int result, playing;
  };
  const Case cases[] = {{1, KeyDown(SDLK_RETURN), 1, 1}, {3, KeyDown(SDLK_ESCAPE), 0, 1},
                        {-1, QuitEvent(), 0, 1},         {0, KeyDown(SDLK_RETURN), 1, 0},
                        {2, KeyDown(SDLK_RETURN), 1, 0}, {-2, KeyDown(SDLK_RETURN), 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.music);
    Probe probe{c.playing == 1, nullptr, {MouseMotion(1, 1), c.last}};
    SDL_TimerID timer = SDL_AddTimer(10, Look, &probe);
    {
      Watchdog watchdog;
      EXPECT_EQ(FIN(1, 10, screen_, font_, 600, 600, c.music), c.result);
    }
    SDL_RemoveTimer(timer);
    EXPECT_EQ(probe.playing, c.playing);
    EXPECT_EQ(FSOUND_IsPlaying(1), 0);
    EXPECT_EQ(SoundStreamsOpen(), 0);
  }
  std::remove("Musique/Musique.mp3");  // a missing end music is silence
  Push(KeyDown(SDLK_ESCAPE));
  EXPECT_EQ(FIN(1, 10, screen_, font_, 600, 600, 1), 0);
  EXPECT_EQ(FSOUND_IsPlaying(1), 0);
}

TEST_F(ScreenMusic, TheLevelStartAsksForTheMusicOnEveryPass) {
  sound_samples::WriteToneWav("Musique/Musique.wav", 5);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("Musique/Musique.wav", 0, 0, 0);
  auto s = std::make_unique<GameState>();
  // Stopped once it played, it is asked for again by the passes after.
  Probe probe{true, stream, {MouseMotion(1, 1), KeyDown(SDLK_RETURN)}};
  SDL_AddTimer(10, Look, &probe);
  Watchdog watchdog;
  EXPECT_EQ(init(600, 600, screen_, 1, 4, s->chestImages.data(), s->wallImages.data(),
                 s->chestPositions.data(), 1, s->enemyPositions.data(), s->enemyImages.data(),
                 s->enemyDirections.data(), &s->heroPosition, stream, font_,
                 s->wallPositions.data(), &s->wallCount),
            1);
  EXPECT_EQ(FSOUND_IsPlaying(1), 1);
  FSOUND_Stream_Close(stream);
  ReleaseGameSurfaces(*s);
}

TEST_F(ScreenMusic, WithoutAnEventQueueTheEndScreenLeavesInsteadOfWaitingForever) {
  // The wait then answers 0 on classic SDL and -1 on sdl12-compat.
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  // In an SDL thread: SDL 2, under sdl12-compat, frees the error message the
  // wait leaves only in threads it started itself.
  using Task = std::packaged_task<int()>;
  auto screen = std::make_unique<Task>([] { return FIN(1, 3, nullptr, nullptr, 600, 600, 0); });
  std::future<int> result = screen->get_future();
  SDL_Thread* runner = SDL_CreateThread(
      [](void* task) {
        (*static_cast<Task*>(task))();
        return 0;
      },
      screen.get());
  ASSERT_NE(runner, nullptr) << SDL_GetError();
  if (result.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    screen.release();  // stuck for good; the test process ends with this test
    FAIL() << "the end screen never left";
  }
  SDL_WaitThread(runner, nullptr);
  EXPECT_EQ(result.get(), 0);
}
