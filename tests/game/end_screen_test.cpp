#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "game/screens/screens.h"
#include "platform/fsound.h"
#include "tests/game/screen_fixture.h"
#include "tests/game/sound_samples.h"

namespace {

constexpr Rgb kLostColour{200, 0, 0};
constexpr Rgb kWonColour{0, 200, 0};

// What the sound layer says while the screen waits, taken on the timer thread
// just before it hands the screen its next event.
struct Probe {
  SDL_Event then;
  std::atomic<int> playing{-1};
  std::atomic<int> streams{-1};
};

Uint32 ProbeThenPush(Uint32 /*interval*/, void* param) {
  auto* probe = static_cast<Probe*>(param);
  probe->playing = FSOUND_IsPlaying(1);
  probe->streams = SoundStreamsOpen();
  SDL_PushEvent(&probe->then);
  return 0;  // once
}

class EndScreenTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    SavePicture("Images/Imageperd.png", SolidSurface(20, 20, kLostColour));
    SavePicture("Images/Imagegagne.png", SolidSurface(20, 20, kWonColour));
  }
  int Run(const std::vector<SDL_Event>& events, int won = 1, int score = 0, int music = 0,
          TTF_Font* font = nullptr) {
    for (const SDL_Event& e : events) Push(e);
    Watchdog watchdog;
    return FIN(won, score, screen_, font, 600, 600, music);
  }
  ScopedWorkDir dir_;
};

// With the sound library open on the dummy audio driver and an end music that plays.
class EndMusicTest : public EndScreenTest {
 protected:
  void SetUp() override {
    EndScreenTest::SetUp();
    mkdir("Musique", 0755);
    sound_samples::WriteSilentMp3("Musique/Musique.mp3", 400);
    ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1);
  }
  void TearDown() override {
    FSOUND_Close();
    EndScreenTest::TearDown();
  }
  // Runs the screen; 100 ms in, the probe looks and then sends `last`.
  int RunProbed(Probe& probe, const SDL_Event& last, int music) {
    probe.then = last;
    SDL_AddTimer(100, ProbeThenPush, &probe);
    Watchdog watchdog;
    return FIN(1, 10, screen_, nullptr, 600, 600, music);
  }
};

}  // namespace

TEST_F(EndScreenTest, EnterAsksForANewGameEscapeAndCloseDoNot) {
  const SDL_Event marker = KeyDown(SDLK_F5);
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    int result;
    int left;
  };
  const Case cases[] = {
      {"Enter", {KeyDown(SDLK_RETURN), marker}, 1, 1},
      {"Escape", {KeyDown(SDLK_ESCAPE), marker, marker}, 0, 2},
      {"window closed", {QuitEvent(), marker}, 0, 1},
      {"anything else only redraws",
       {KeyDown(SDLK_a), KeyDown(SDLK_SPACE), MouseMotion(300, 300),
        MouseButton(SDL_MOUSEBUTTONDOWN, 300, 300), MouseButton(SDL_MOUSEBUTTONUP, 300, 300),
        KeyDown(SDLK_RETURN)},
       1,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Run(c.events), c.result);
    EXPECT_EQ(EventsLeft(), c.left);
  }
}

TEST_F(EndScreenTest, ClosingTheWindowLeavesFinprogAsItWas) {
  for (int before : {0, 1}) {
    SCOPED_TRACE(before);
    FINPROG = before;
    EXPECT_EQ(Run({QuitEvent()}), 0);
    EXPECT_EQ(FINPROG, before);
  }
}

TEST_F(EndScreenTest, WaitsForAnEventAndLeavesWithoutTheUsualPause) {
  using namespace std::chrono;
  // Nothing queued: the screen sleeps until the timer's Enter arrives.
  Probe probe;
  probe.then = KeyDown(SDLK_RETURN);
  auto start = steady_clock::now();
  SDL_AddTimer(150, ProbeThenPush, &probe);
  EXPECT_EQ(FIN(0, 0, screen_, nullptr, 600, 600, 0), 1);
  EXPECT_GE(steady_clock::now() - start, milliseconds(140));

  // Each ignored event costs a 30 ms pass; the deciding one costs none.
  start = steady_clock::now();
  Run({KeyDown(SDLK_a), KeyDown(SDLK_b), KeyDown(SDLK_ESCAPE)});
  EXPECT_GE(steady_clock::now() - start, milliseconds(2 * 30));
  start = steady_clock::now();
  Run({KeyDown(SDLK_ESCAPE)});
  EXPECT_LT(steady_clock::now() - start, milliseconds(30));
}

TEST_F(EndScreenTest, TheWinFlagPicksCaptionAndPicture) {
  struct Case {
    int won;
    const char* caption;
    Rgb picture;
  };
  const Case cases[] = {{0, "Oh dommage ... :(", kLostColour},
                        {1, "Felicitation !!! :)", kWonColour},
                        {2, "Felicitation !!! :)", kWonColour},
                        {-1, "Felicitation !!! :)", kWonColour}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.won);
    Run({KeyDown(SDLK_RETURN)}, c.won);
    EXPECT_STREQ(Caption(), c.caption);
    EXPECT_EQ(At(250, 150), c.picture);
    EXPECT_EQ(At(269, 169), c.picture);
    EXPECT_EQ(At(249, 150), kBlackPixel);
    EXPECT_EQ(At(599, 599), kBlackPixel);
  }
}

TEST_F(EndScreenTest, ShowsHeadlineScoreAndHintInWhite) {
  if (!Font()) GTEST_SKIP() << "no font";
  const char* hint = "Echap pour quitter, Entrer pour recommencer";
  struct Case {
    int won, score;
    const char* headline;
    const char* scoreText;
  };
  const Case cases[] = {{0, -7, "Game Over", "Votre score : -7"},
                        {1, 1234, "... Bravo !!! :)", "Votre score : 1234"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scoreText);
    Run({KeyDown(SDLK_RETURN)}, c.won, c.score, 0, Font());
    EXPECT_TRUE(ShowsTexts({{hint, 40, 320}, {c.scoreText, 200, 240}, {c.headline, 230, 280}},
                           kWhiteText, kBlackPixel));
  }
}

TEST_F(EndScreenTest, WithoutPicturesSoundOrFontItStillShows) {
  std::remove("Images/Imageperd.png");
  EXPECT_EQ(Run({KeyDown(SDLK_RETURN)}, 0, 5, 1), 1);
  EXPECT_EQ(InkIn(0, 0, 600, 600, kBlackPixel), 0);
}

TEST_F(EndScreenTest, WithoutAnEventQueueItLeavesInsteadOfWaitingForever) {
  // The wait then answers 0 on classic SDL and -1 on sdl12-compat: the test
  // command runs this on both.
  SDL_QuitSubSystem(SDL_INIT_VIDEO);  // no window, no events
  std::packaged_task<int()> screen([] { return FIN(1, 3, nullptr, nullptr, 600, 600, 0); });
  std::future<int> result = screen.get_future();
  std::thread runner(std::move(screen));
  if (result.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
    runner.detach();  // stuck for good; the test process ends with this test
    FAIL() << "the end screen never left";
  }
  runner.join();
  EXPECT_EQ(result.get(), 0);
}

TEST_F(EndMusicTest, TheEndMusicPlaysOnlyWithAnOddMusicSwitch) {
  struct Case {
    int music;
    int playing;
  };
  for (const Case c : {Case{1, 1}, Case{3, 1}, Case{-1, 1}, Case{0, 0}, Case{2, 0}, Case{-2, 0}}) {
    SCOPED_TRACE(c.music);
    Probe probe;
    EXPECT_EQ(RunProbed(probe, KeyDown(SDLK_RETURN), c.music), 1);
    EXPECT_EQ(probe.playing, c.playing);
    EXPECT_EQ(probe.streams, 1);  // opened whether or not it plays
    EXPECT_EQ(FSOUND_IsPlaying(1), 0);
    EXPECT_EQ(SoundStreamsOpen(), 0);
  }
}

TEST_F(EndMusicTest, EveryWayOutStopsAndClosesTheEndMusic) {
  struct Case {
    const char* what;
    SDL_Event last;
    int result;
  };
  const Case cases[] = {{"Enter", KeyDown(SDLK_RETURN), 1},
                        {"Escape", KeyDown(SDLK_ESCAPE), 0},
                        {"window closed", QuitEvent(), 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Push(MouseMotion(1, 1));  // a redraw repeats the play request first
    Probe probe;
    EXPECT_EQ(RunProbed(probe, c.last, 1), c.result);
    EXPECT_EQ(probe.playing, 1);
    EXPECT_EQ(FSOUND_IsPlaying(1), 0);
    EXPECT_EQ(SoundStreamsOpen(), 0);
  }
}

TEST_F(EndMusicTest, AMissingEndMusicIsSilence) {
  std::remove("Musique/Musique.mp3");
  Probe probe;
  EXPECT_EQ(RunProbed(probe, KeyDown(SDLK_ESCAPE), 1), 0);
  EXPECT_EQ(probe.playing, 0);
  EXPECT_EQ(probe.streams, 0);
  EXPECT_EQ(SoundStreamsOpen(), 0);
}
