#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/desktop/sound/sound_stream.h"
#include "platform/fsound.h"
#include "tests/game/sound_samples.h"
#include "tests/support/test_support.h"

using namespace sound_samples;

namespace {

constexpr int kMusicChannel = 1;

// The mixer writes to a file in the test's folder.
class SoundOnDisk : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError(); }
  void TearDown() override { FSOUND_Close(); }

  // Bytes the mixer writes for `seconds` of sound.
  static long Bytes(double seconds) { return static_cast<long>(seconds * kBytesPerSecond); }

  ScopedWorkDir dir_;
  DiskRecorder disk_{dir_.path() + "/played.raw"};
};

// The dummy driver plays in real time and writes nothing.
class Sound : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError(); }
  void TearDown() override { FSOUND_Close(); }
  ScopedWorkDir dir_;
  ScopedAudioDriver driver_{"dummy"};
};

}  // namespace

TEST_F(SoundOnDisk, StreamSoundsAfterPlayAndFallsSilentAfterStop) {
  WriteToneWav("tone.wav", 2.0);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(disk_.PeakOfNext(), 0) << "sound before any play";
  EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  EXPECT_GT(disk_.PeakOfNext(), kAmplitude * 95 / 100);
  FSOUND_Stream_Stop(stream);
  EXPECT_EQ(disk_.PeakOfNext(), 0);
  FSOUND_Stream_Close(stream);
}

TEST_F(SoundOnDisk, PauseSilencesTheStreamAndResumeBringsItBack) {
  WriteToneWav("tone.wav", 2.0);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  FSOUND_SetPaused(FSOUND_ALL, 1);
  EXPECT_TRUE(FSOUND_GetPaused(kMusicChannel));
  EXPECT_EQ(disk_.PeakOfNext(), 0);
  FSOUND_SetPaused(FSOUND_ALL, 0);
  EXPECT_FALSE(FSOUND_GetPaused(kMusicChannel));
  EXPECT_GT(disk_.PeakOfNext(), kAmplitude * 95 / 100);
  FSOUND_Stream_Close(stream);
}

// The file is a short tone followed by silence: hearing the tone again after
// it has passed means the stream started over.
TEST_F(SoundOnDisk, RequestsWhileTheStreamPlaysNeverStartItOver) {
  struct Case {
    const char* name;
    std::function<void(FSOUND_STREAM*)> request;
  };
  const std::vector<Case> cases = {
      {"play again, as the level-start screen does on every pass",
       [](FSOUND_STREAM* s) { FSOUND_Stream_Play(FSOUND_FREE, s); }},
      {"pause and resume",
       [](FSOUND_STREAM*) {
         FSOUND_SetPaused(FSOUND_ALL, 1);
         FSOUND_SetPaused(FSOUND_ALL, 0);
       }},
      {"loop count set", [](FSOUND_STREAM* s) { FSOUND_Stream_SetLoopCount(s, -1); }},
      {"volume set", [](FSOUND_STREAM*) { FSOUND_SetVolume(FSOUND_ALL, 255); }},
  };
  WriteToneWav("tone.wav", 0.2, 2.0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
    const long start = disk_.Size();
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    ASSERT_TRUE(disk_.WaitUntil(start + Bytes(0.4)));
    EXPECT_GT(disk_.Peak(start, start + Bytes(0.4)), kAmplitude * 95 / 100)
        << "the tone never played";
    EXPECT_EQ(disk_.PeakOfNext(0.1, [&] { c.request(stream); }), 0);
    EXPECT_TRUE(FSOUND_IsPlaying(kMusicChannel));
    FSOUND_Stream_Close(stream);
  }
}

TEST_F(SoundOnDisk, OnlyAStreamToldToLoopSoundsPastItsEnd) {
  struct Case {
    const char* name;
    bool loopBeforePlay;
    bool loopWhilePlaying;
    bool soundsLate;
  };
  const std::vector<Case> cases = {
      {"no loop count: plays once", false, false, false},
      {"endless before play", true, false, true},
      {"endless while it plays", false, true, true},
  };
  constexpr double kLength = 0.3;
  WriteToneWav("tone.wav", kLength);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
    if (c.loopBeforePlay) FSOUND_Stream_SetLoopCount(stream, -1);
    const long start = disk_.Size();
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    if (c.loopWhilePlaying) {
      ASSERT_LT(disk_.Size() - start, Bytes(kLength) - 4 * kBufferBytes)
          << "the pass ended before the loop count was set";
      FSOUND_Stream_SetLoopCount(stream, -1);
    }
    ASSERT_TRUE(disk_.WaitUntil(start + Bytes(3 * kLength)));
    const int peak = disk_.PeakOfNext(0.2);
    if (c.soundsLate) {
      EXPECT_GT(peak, kAmplitude * 95 / 100);
    } else {
      EXPECT_EQ(peak, 0);
    }
    FSOUND_Stream_Close(stream);
  }
}

TEST_F(SoundOnDisk, PlayingAStreamTakesTheChannelAndStoppingAnotherLeavesIt) {
  constexpr int kQuiet = 3000;
  constexpr int kLoud = 12000;
  WriteToneWav("game.wav", 3.0, 0, kQuiet, 440);
  WriteToneWav("end.wav", 3.0, 0, kLoud, 587);
  FSOUND_STREAM* game = FSOUND_Stream_Open("game.wav", 0, 0, 0);
  FSOUND_STREAM* end = FSOUND_Stream_Open("end.wav", 0, 0, 0);
  FSOUND_Stream_Play(FSOUND_FREE, game);
  EXPECT_NEAR(disk_.PeakOfNext(), kQuiet, kQuiet / 50);
  FSOUND_Stream_Play(FSOUND_FREE, end);
  EXPECT_NEAR(disk_.PeakOfNext(), kLoud, kLoud / 50) << "both streams sound at once";
  FSOUND_Stream_Stop(game);
  EXPECT_NEAR(disk_.PeakOfNext(), kLoud, kLoud / 50)
      << "stopping the other stream silenced this one";
  FSOUND_Stream_Stop(end);
  EXPECT_EQ(disk_.PeakOfNext(), 0);
  FSOUND_Stream_Close(game);
  FSOUND_Stream_Close(end);
}

TEST_F(SoundOnDisk, VolumeScalesTheSoundAndIsClampedToItsRange) {
  struct Case {
    int volume;
    double share;  // of full loudness
  };
  const std::vector<Case> cases = {
      {255, 1.0}, {100, 100 / 255.0}, {0, 0.0},  {-20, 0.0},
      {256, 1.0}, {300, 1.0},         {-1, 0.0}, {128, 128 / 255.0},
  };
  WriteToneWav("tone.wav", 3.0);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
  FSOUND_Stream_SetLoopCount(stream, -1);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.volume);
    FSOUND_SetVolume(FSOUND_ALL, c.volume);
    EXPECT_NEAR(disk_.PeakOfNext(0.05), kAmplitude * c.share, kAmplitude / 100.0);
  }
  FSOUND_Stream_Close(stream);
}

// A player's track at any common rate, mono or stereo, WAV (little- or
// big-endian, made by sox) or MP3 (made by lame, its tag holding a comment),
// sounds on both sides at its own pitch and loudness.
TEST_F(SoundOnDisk, TracksOfEveryRateAndChannelCountPlayAtTheirPitch) {
  struct Case {
    int rate;
    int channels;
    bool mp3;
    bool rifx = false;
  };
  const std::vector<Case> cases = {
      {8000, 1, false},  {22050, 2, false}, {32000, 1, false},       {44100, 2, false},
      {48000, 2, false}, {8000, 1, true},   {22050, 2, true},        {32000, 2, true},
      {44100, 1, true},  {48000, 1, true},  {22050, 1, false, true}, {44100, 2, false, true},
  };
  constexpr double kPitch = 440;
  for (const Case& c : cases) {
    const char* file = c.mp3 ? "tone.mp3" : c.rifx ? "rifx.wav" : "tone.wav";
    SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channel(s), " << file);
    WriteToneWav("tone.wav", 2.0, 0, kAmplitude, kPitch, c.rate, c.channels);
    const std::string command = "lame --quiet --add-id3v2 --tc 'Made for Glouto' --resample " +
                                std::to_string(c.rate / 1000.0) + " tone.wav tone.mp3";
    if (c.mp3) {
      ASSERT_TRUE(HaveLame()) << "lame is missing";
      ASSERT_EQ(std::system(command.c_str()), 0);
    }
    if (c.rifx) {
      ASSERT_EQ(std::system("sox tone.wav -B rifx.wav"), 0);
    }
    FSOUND_STREAM* stream = FSOUND_Stream_Open(file, 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    const long from = (disk_.Size() + Bytes(0.2)) & ~3L;
    const long to = from + (Bytes(0.5) & ~3L);
    ASSERT_TRUE(disk_.WaitUntil(to));
    EXPECT_NEAR(disk_.Peak(from, to), kAmplitude, kAmplitude * (c.mp3 ? 0.1 : 0.03));
    EXPECT_NEAR(disk_.Frequency(from, to, 0), kPitch, kPitch / 100) << "left";
    EXPECT_NEAR(disk_.Frequency(from, to, 1), kPitch, kPitch / 100) << "right";
    FSOUND_Stream_Close(stream);
  }
}

// libmpg123 decodes frames of garbage to samples up to 1e8 times full scale;
// were they to reach the mix, they would still clip at a low volume.
TEST_F(SoundOnDisk, GarbageFramesStayWithinFullScaleAndFollowTheVolume) {
  WriteGarbageMp3("garbage.mp3", 400);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("garbage.mp3", 0, 0, 0);
  ASSERT_NE(stream, nullptr);
  FSOUND_SetVolume(FSOUND_ALL, 25);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  EXPECT_LE(disk_.PeakOfNext(1.0), 32768 * 25 / 255 + 1);
  FSOUND_Stream_Close(stream);
}

// A file manager copies a new track over the playing one: what plays next is
// the new track at its own rate and channels, not its bytes read the old way.
TEST_F(SoundOnDisk, AFileWrittenOverWhileItPlaysPlaysItsNewContents) {
  WriteToneWav("tone.wav", 3.0);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
  FSOUND_Stream_SetLoopCount(stream, -1);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  ASSERT_GT(disk_.PeakOfNext(), kAmplitude * 95 / 100);
  constexpr double kNewPitch = 660;
  WriteToneWav("tone.wav", 3.0, 0, kAmplitude / 2, kNewPitch, 8000, 2);
  const long from = (disk_.Size() + Bytes(0.1)) & ~3L;
  const long to = from + (Bytes(0.5) & ~3L);
  ASSERT_TRUE(disk_.WaitUntil(to));
  EXPECT_NEAR(disk_.Peak(from, to), kAmplitude / 2, kAmplitude * 0.03);
  EXPECT_NEAR(disk_.Frequency(from, to, 0), kNewPitch, kNewPitch / 100);
  FSOUND_Stream_Close(stream);
}

// libsndfile stops an MP3 at the first frame libmpg123 rejects; the track
// must go on past the damage to its end, within full scale.
TEST(SoundDecoder, ADamagedMp3PlaysOnToItsEnd) {
  ASSERT_TRUE(HaveLame()) << "lame is missing";
  ScopedWorkDir dir;
  constexpr double kSeconds = 8;
  WriteToneWav("tone.wav", kSeconds, 0, kAmplitude, 440, kRate, 2);
  ASSERT_EQ(std::system("lame --quiet -b 128 tone.wav tone.mp3"), 0);
  std::string bytes = ReadFile("tone.mp3");
  std::mt19937 random(7);
  // One byte in 200 spoiled, from a second in.
  for (size_t at = bytes.size() / 8; at < bytes.size(); at += 1 + random() % 399) {
    bytes[at] = static_cast<char>(random());
  }
  WriteFile("tone.mp3", bytes);
  std::unique_ptr<SoundStream> stream = SoundStream::Open("tone.mp3", kRate);
  ASSERT_NE(stream, nullptr);
  std::vector<float> chunk(2 * 4096);
  long frames = 0;
  float peak = 0;
  for (long got = 4096; got == 4096; frames += got) {
    got = stream->Read(chunk.data(), 4096, false);
    for (long i = 0; i < 2 * got; ++i) peak = std::max(peak, std::fabs(chunk[i]));
  }
  EXPECT_GT(frames, 0.98 * kSeconds * kRate);
  EXPECT_LT(frames, 1.01 * kSeconds * kRate);
  EXPECT_LE(peak, 1.0f);
}

TEST_F(Sound, OpenGivesAStreamOnlyForFilesItCanPlay) {
  WriteToneWav("tone.wav", 0.1);
  const std::string wav = ReadFile("tone.wav");
  WriteSilentMp3("silent.mp3");
  std::string id3 = std::string("ID3\x03\x00\x00\x00\x00\x00\x10", 10) + std::string(16, '\0');
  WriteFile("tagged.mp3", id3 + ReadFile("silent.mp3"));
  // A small tag, then one of 70000 bytes (cover art): more than a frame may follow a tag by.
  const std::string coverArt = std::string("ID3\x03\x00\x00\x00\x04\x22\x70", 10) +
                               std::string(70000, '\0');
  WriteFile("two-tags.mp3", id3 + coverArt + ReadFile("silent.mp3"));
  WriteFile("tagged-text.mp3", id3 + "Just words after a tag.\n");
  WriteFile("text.mp3", "Not a sound, only words that end in mp3.\n");
  WriteFile("text.wav", "Not a sound either.\n");
  WriteFile("empty.wav", "");
  WriteFile("one-header.mp3", std::string("\xFF\xFB\x90\x00", 4) + std::string(2000, 'x'));
  WriteFile("tone.wma", wav);
  WriteFile("tone.SPT", wav);
  WriteFile("tone", wav);
  mkdir("folder.wav", 0755);

  struct Case {
    const char* name;
    bool opens;
  };
  const std::vector<Case> cases = {
      {"tone.wav", true},     {"silent.mp3", true},   {"tagged.mp3", true},
      {"missing.wav", false}, {"text.mp3", false},    {"tagged-text.mp3", false},
      {"text.wav", false},    {"empty.wav", false},   {"one-header.mp3", false},
      {"tone.wma", false},    {"tone.SPT", false},    {"tone", false},
      {"folder.wav", false},  {"two-tags.mp3", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(c.name, 0, 0, 0);
    EXPECT_EQ(stream != nullptr, c.opens);
    EXPECT_EQ(SoundStreamsOpen(), c.opens ? 1 : 0);
    FSOUND_Stream_Close(stream);
    EXPECT_EQ(SoundStreamsOpen(), 0);
  }
  EXPECT_EQ(FSOUND_Stream_Open(nullptr, 0, 0, 0), nullptr);
}

// Channel 1 reports paused only while it holds a stream that is paused.
TEST_F(Sound, Channel1IsPausedOnlyWhileItsStreamIsPaused) {
  WriteToneWav("tone.wav", 3.0);
  FSOUND_STREAM* music = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
  FSOUND_STREAM* other = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
  ASSERT_NE(music, nullptr);
  struct Step {
    const char* name;
    std::function<void()> action;
    bool playing;
    bool paused;
  };
  const std::vector<Step> steps = {
      {"nothing played yet", [] {}, false, false},
      {"pause with an empty channel", [] { FSOUND_SetPaused(FSOUND_ALL, 1); }, false, false},
      {"play after that pause sounds", [&] { FSOUND_Stream_Play(FSOUND_FREE, music); }, true,
       false},
      {"pause", [] { FSOUND_SetPaused(FSOUND_ALL, 1); }, true, true},
      {"play request resumes", [&] { FSOUND_Stream_Play(FSOUND_FREE, music); }, true, false},
      {"pause again", [] { FSOUND_SetPaused(FSOUND_ALL, 1); }, true, true},
      {"resume", [] { FSOUND_SetPaused(FSOUND_ALL, 0); }, true, false},
      {"pause channel 1 by number", [] { FSOUND_SetPaused(kMusicChannel, 1); }, true, true},
      {"another stream takes the channel, unpaused",
       [&] { FSOUND_Stream_Play(FSOUND_FREE, other); }, true, false},
      {"pause, then stop",
       [&] {
         FSOUND_SetPaused(FSOUND_ALL, 1);
         FSOUND_Stream_Stop(other);
       },
       false, false},
      {"play after a stop", [&] { FSOUND_Stream_Play(FSOUND_FREE, music); }, true, false},
      {"close the playing stream",
       [&] {
         FSOUND_Stream_Close(music);
         music = nullptr;
       },
       false, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.action();
    EXPECT_EQ(FSOUND_IsPlaying(kMusicChannel) != 0, step.playing);
    EXPECT_EQ(FSOUND_GetPaused(kMusicChannel) != 0, step.paused);
    EXPECT_FALSE(FSOUND_GetPaused(0));
    EXPECT_FALSE(FSOUND_GetPaused(FSOUND_ALL));
  }
  FSOUND_Stream_Close(other);
  EXPECT_EQ(SoundStreamsOpen(), 0);
}

TEST_F(Sound, NullStreamsAreIgnoredAndLeaveThePlayingOneAlone) {
  WriteToneWav("tone.wav", 3.0);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_Stream_Stop(nullptr), 0);
  EXPECT_EQ(FSOUND_Stream_SetLoopCount(nullptr, -1), 0);
  EXPECT_EQ(FSOUND_Stream_Close(nullptr), 0);
  EXPECT_TRUE(FSOUND_IsPlaying(kMusicChannel));
  EXPECT_EQ(SoundStreamsOpen(), 1);
  FSOUND_Stream_Close(stream);
}

TEST(SoundLibrary, WithoutAnAudioDeviceEveryCallIsHarmlessAndALaterStartWorks) {
  ScopedWorkDir dir;
  WriteToneWav("tone.wav", 1.0);
  ScopedAudioDriver dummy("dummy");
  auto none = std::make_unique<ScopedAudioDriver>("no-such-driver");
  EXPECT_EQ(FSOUND_Init(44100, 32, 0), 0);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), -1);
  FSOUND_Stream_SetLoopCount(stream, -1);
  FSOUND_SetVolume(FSOUND_ALL, 100);
  FSOUND_SetPaused(FSOUND_ALL, 1);
  EXPECT_FALSE(FSOUND_GetPaused(kMusicChannel));
  FSOUND_SetPaused(FSOUND_ALL, 0);
  FSOUND_Stream_Stop(stream);
  FSOUND_Stream_Close(stream);
  FSOUND_Close();
  none.reset();

  // Two games in a row, each closing the way a game ends: SDL first, then
  // the stream and the library.
  for (int game = 0; game < 2; ++game) {
    SCOPED_TRACE(game);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0);
    ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError();
    stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    FSOUND_Stream_SetLoopCount(stream, -1);
    EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
    EXPECT_TRUE(FSOUND_IsPlaying(kMusicChannel));
    FSOUND_Stream_Stop(stream);
    SDL_Quit();
    FSOUND_Stream_Close(stream);
    FSOUND_Close();
    EXPECT_EQ(SoundStreamsOpen(), 0);
    EXPECT_EQ(FSOUND_Stream_Open("tone.wav", 0, 0, 0), nullptr) << "the library is closed";
  }
}
