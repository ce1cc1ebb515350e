#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "game/flow/music.h"
#include "platform/desktop/sound/sound_mixer.h"
#include "tests/game/sound_samples.h"
#include "tests/support/test_support.h"

using namespace sound_samples;

namespace {

constexpr int kMusicChannel = 1;

class Music : public ::testing::Test {
 protected:
  void SetUp() override {
    mkdir("Musique", 0755);
    MusicStartUp();
    ASSERT_EQ(SoundStreamsOpen(), 0);
  }
  void TearDown() override {
    FSOUND_Stream_Close(music_.stream);
    FSOUND_Close();
  }

  // The mixer's volume the game's volume should give: clamped to 0..255.
  static int MixerVolumeFor(int volume) { return volume < 0 ? 0 : volume > 255 ? 255 : volume; }

  ScopedWorkDir dir_;
  ScopedAudioDriver driver_{"dummy"};
  MusicState music_;
};

bool Playing() { return FSOUND_IsPlaying(kMusicChannel) != 0; }
bool Paused() { return FSOUND_GetPaused(kMusicChannel) != 0; }

}  // namespace

TEST_F(Music, VerifSonsNamesEachTrackAfterTheFirstTypeThatOpens) {
  WriteToneWav("Musique/Musique.wav", 0.1);
  WriteSilentMp3("Musique/Musique.mp3");
  WriteFile("Musique/Musique2.wav", "words, not a sound");
  WriteSilentMp3("Musique/Musique2.mp3");
  WriteFile("Musique/Musique4.wav", "words");
  WriteFile("Musique/Musique4.mp3", "more words");
  WriteToneWav("Musique/Musique5.wma", 0.1);
  WriteToneWav("Musique/Musique5.SPT", 0.1);
  struct Case {
    int track;
    const char* name;
  };
  const std::vector<Case> cases = {
      {0, "Musique/Musique.wav"},   // .wav wins over .mp3
      {1, "Musique/Musique2.mp3"},  // the .wav is no sound
      {2, "Musique/Musique3"},      // no file at all
      {3, "Musique/Musique4"},      // only non-sound files with sound endings
      {4, "Musique/Musique5"},      // types the mixer does not decode
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.track);
    char buffer[kTrackNameSize];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(VerifSons(buffer, nullptr, c.track), buffer);
    EXPECT_STREQ(buffer, c.name);
    EXPECT_EQ(SoundStreamsOpen(), 0) << "a tried file was left open";
  }
}

TEST_F(Music, FindTracksNamesAllFiveOpensTrackZeroAndSetsTheVolume) {
  WriteSilentMp3("Musique/Musique.mp3");
  WriteToneWav("Musique/Musique3.wav", 0.1);
  MusicFindTracks(music_);
  const std::array<const char*, kTrackCount> expected = {"Musique/Musique.mp3", "Musique/Musique2",
                                                         "Musique/Musique3.wav", "Musique/Musique4",
                                                         "Musique/Musique5"};
  for (int t = 0; t < kTrackCount; ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(music_.trackNames[t], music_.nameBuffers[t]);
    EXPECT_STREQ(music_.trackNames[t], expected[t]);
  }
  EXPECT_NE(music_.stream, nullptr);
  EXPECT_EQ(SoundStreamsOpen(), 1);
  EXPECT_FALSE(Playing());
  EXPECT_EQ(SoundMixerVolume(), MixerVolumeFor(100));
}

TEST_F(Music, WithoutTrackZeroNothingPlaysAndEveryKeyIsHarmless) {
  MusicFindTracks(music_);
  EXPECT_STREQ(music_.trackNames[0], "Musique/Musique");
  EXPECT_EQ(music_.stream, nullptr);
  FSOUND_Stream_Play(FSOUND_FREE, music_.stream);
  MusicLoopForever(music_);
  MusicToggle(music_);
  MusicUpkeep(music_);
  EXPECT_FALSE(Playing());
  MusicNextTrack(music_);
  EXPECT_EQ(music_.trackIndex, 1);
  EXPECT_EQ(music_.stream, nullptr);
  EXPECT_FALSE(Playing());
  MusicStop(music_);
  MusicShutDown(music_);
  EXPECT_EQ(music_.stream, nullptr);
}

TEST_F(Music, ChoixsonWrapsTheTrackStopsAndClosesTheOldStreamAndOpensTheNewOne) {
  struct Case {
    int from, step, to;
  };
  const std::vector<Case> cases = {{4, +1, 0}, {0, -1, 4}, {1, +1, 2}, {3, -1, 2}, {2, -1, 1}};
  WriteToneWav("Musique/old.wav", 2.0);
  WriteToneWav("Musique/new.wav", 0.1);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " + " << c.step);
    // Only the expected track's file exists: a stream back proves it was the one opened.
    std::array<std::string, kTrackCount> files;
    files.fill("Musique/missing.wav");
    files[c.to] = "Musique/new.wav";
    std::array<char*, kTrackCount> names{};
    for (int t = 0; t < kTrackCount; ++t) names[t] = files[t].data();

    FSOUND_STREAM* old = FSOUND_Stream_Open("Musique/old.wav", 0, 0, 0);
    FSOUND_Stream_Play(FSOUND_FREE, old);
    int track = c.from + c.step;
    const Uint32 start = SDL_GetTicks();
    FSOUND_STREAM* stream = Choixson(&track, names.data(), old);
    // Classic SDL's ticks truncate a negative nanosecond difference toward
    // zero, so two readings 100 ms apart may differ by 99.
    EXPECT_GE(SDL_GetTicks() - start, 99u);
    EXPECT_EQ(track, c.to);
    EXPECT_NE(stream, nullptr);
    EXPECT_FALSE(Playing()) << "the old stream goes on or the new one started";
    EXPECT_EQ(SoundStreamsOpen(), 1) << "the old stream was not closed";
    FSOUND_Stream_Close(stream);
  }
}

TEST_F(Music, TrackKeysStepThroughTheFiveTracksAndPlayTheNewOne) {
  for (const char* name : {"Musique/Musique.wav", "Musique/Musique2.wav", "Musique/Musique4.wav",
                           "Musique/Musique5.wav"}) {
    WriteToneWav(name, 3.0);
  }
  MusicFindTracks(music_);
  MusicToggle(music_);
  struct Step {
    const char* name;
    void (*key)(MusicState&);
    int track;
    bool playing;
  };
  const std::vector<Step> steps = {
      {"F2 from track 0", MusicPreviousTrack, 4, true},
      {"F1 from track 4", MusicNextTrack, 0, true},
      {"F1", MusicNextTrack, 1, true},
      {"F1 onto the track without a file", MusicNextTrack, 2, false},
      {"F1 off it again", MusicNextTrack, 3, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.key(music_);
    EXPECT_EQ(music_.trackIndex, step.track);
    EXPECT_EQ(Playing(), step.playing);
    EXPECT_EQ(SoundStreamsOpen(), step.playing ? 1 : 0);
  }
}

TEST_F(Music, SwitchUpkeepAndPauseFollowTheGame) {
  WriteToneWav("Musique/Musique.wav", 3.0);
  WriteToneWav("Musique/Musique2.wav", 3.0);
  MusicFindTracks(music_);
  struct Step {
    const char* name;
    std::function<void()> action;
    int musicSwitch;
    bool playing;
    bool paused;
  };
  const std::vector<Step> steps = {
      {"the level-start screen plays track 0",
       [&] { FSOUND_Stream_Play(FSOUND_FREE, music_.stream); }, 0, true, false},
      {"it is told to loop", [&] { MusicLoopForever(music_); }, 0, true, false},
      {"the first frame stops it, the switch being off", [&] { MusicUpkeep(music_); }, 0, false,
       false},
      {"Space switches it on", [&] { MusicToggle(music_); }, 1, true, false},
      {"frames go by",
       [&] {
         for (int i = 0; i < 5; ++i) MusicUpkeep(music_);
       },
       1, true, false},
      {"p pauses", [] { FSOUND_SetPaused(FSOUND_ALL, 1); }, 1, true, true},
      {"p again resumes", [] { FSOUND_SetPaused(FSOUND_ALL, 0); }, 1, true, false},
      {"a frame after the pause", [&] { MusicUpkeep(music_); }, 1, true, false},
      {"a paused channel at a frame",
       [&] {
         FSOUND_SetPaused(FSOUND_ALL, 1);
         MusicUpkeep(music_);
       },
       1, true, false},
      {"Space switches it off", [&] { MusicToggle(music_); }, 2, false, false},
      {"frames keep it off",
       [&] {
         MusicUpkeep(music_);
         MusicUpkeep(music_);
       },
       2, false, false},
      {"F1 with the music off starts the new track", [&] { MusicNextTrack(music_); }, 2, true,
       false},
      {"and the next frame stops it", [&] { MusicUpkeep(music_); }, 2, false, false},
      {"Space again", [&] { MusicToggle(music_); }, 3, true, false},
      {"the end of the game stops it", [&] { MusicStop(music_); }, 3, false, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.action();
    EXPECT_EQ(music_.musicSwitch, step.musicSwitch);
    EXPECT_EQ(Playing(), step.playing);
    EXPECT_EQ(Paused(), step.paused);
  }
}

TEST_F(Music, VolumeKeysMoveByTenAndTheMixerStaysInRange) {
  WriteToneWav("Musique/Musique.wav", 0.1);
  MusicFindTracks(music_);
  struct Step {
    void (*key)(MusicState&);
    int presses;
    int volume;
  };
  const std::vector<Step> steps = {
      {MusicLouder, 1, 110},  {MusicSofter, 3, 80},  {MusicSofter, 10, -20}, {MusicLouder, 2, 0},
      {MusicLouder, 25, 250}, {MusicLouder, 2, 270}, {MusicSofter, 1, 260},  {MusicSofter, 1, 250},
  };
  for (const Step& step : steps) {
    for (int i = 0; i < step.presses; ++i) step.key(music_);
    SCOPED_TRACE(step.volume);
    EXPECT_EQ(music_.volume, step.volume);
    EXPECT_EQ(SoundMixerVolume(), MixerVolumeFor(step.volume));
  }
}

TEST_F(Music, ShutDownClosesTheStreamAndTheLibraryForTheNextGame) {
  WriteToneWav("Musique/Musique.wav", 1.0);
  for (int game = 0; game < 2; ++game) {
    SCOPED_TRACE(game);
    MusicState music;
    if (game > 0) MusicStartUp();
    MusicFindTracks(music);
    ASSERT_NE(music.stream, nullptr);
    MusicToggle(music);
    EXPECT_TRUE(Playing());
    MusicStop(music);
    MusicShutDown(music);
    EXPECT_EQ(music.stream, nullptr);
    EXPECT_EQ(SoundStreamsOpen(), 0);
    EXPECT_EQ(FSOUND_Stream_Open("Musique/Musique.wav", 0, 0, 0), nullptr)
        << "the library is still open";
  }
}

// Each frame asks whether channel 1 is paused; the answer must not restart
// the track. The file is a tone and then silence: hearing the tone again
// means it started over.
TEST(MusicOnDisk, FramesWithTheMusicOnNeverStartTheTrackOver) {
  ScopedWorkDir dir;
  DiskRecorder disk(dir.path() + "/played.raw");
  mkdir("Musique", 0755);
  WriteToneWav("Musique/Musique.wav", 0.2, 3.0);
  MusicStartUp();
  MusicState music;
  MusicFindTracks(music);
  const long start = disk.Size();
  MusicToggle(music);
  const auto frame = [&music] { MusicUpkeep(music); };
  ASSERT_TRUE(disk.WaitUntil(start + kBytesPerSecond * 4 / 10, frame));
  EXPECT_GT(disk.Peak(start, start + kBytesPerSecond * 4 / 10), 0) << "the track never sounded";
  EXPECT_EQ(disk.PeakOfNext(0.3, frame), 0);
  EXPECT_TRUE(Playing());
  MusicStop(music);
  MusicShutDown(music);
}
