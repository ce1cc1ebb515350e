// The music, from the game's keys down to the samples the device is fed. The
// device's own thread is held, and each check mixes what would play next.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/flow/keys.h"
#include "game/flow/music.h"
#include "game/flow/state.h"
#include "platform/desktop/sound/sound_mixer.h"
#include "platform/desktop/sound/sound_stream.h"
#include "tests/game/sound_samples.h"
#include "tests/support/test_support.h"

using namespace sound_samples;

namespace {

constexpr int kMusicChannel = 1;

class Sound : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    mkdir("Musique", 0755);
    ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError();
    SDL_PauseAudio(1);
    SDL_LockAudio();  // waits out a mix the device thread may be in
    SDL_UnlockAudio();
  }
  void TearDown() override {
    FSOUND_Stream_Close(music_.stream);
    FSOUND_Close();
    SdlTest::TearDown();
  }

  // The next `seconds` of the mix, left and right samples in turn.
  static std::vector<int16_t> Next(double seconds) {
    std::vector<int16_t> samples(static_cast<size_t>(seconds * kRate) * 2);
    for (size_t at = 0; at < samples.size(); at += 2048) {
      const size_t n = std::min<size_t>(2048, samples.size() - at);
      SoundMixNow(reinterpret_cast<unsigned char*>(&samples[at]), static_cast<int>(n * 2));
    }
    return samples;
  }
  static int Peak(double seconds = 0.05) {
    int peak = 0;
    for (int16_t s : Next(seconds)) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
  }
  // Pitch of one side, in Hz: rising zero crossings a second.
  static double Pitch(const std::vector<int16_t>& samples, int side) {
    int rises = 0;
    for (size_t i = side + 2; i < samples.size(); i += 2)
      rises += samples[i - 2] < 0 && samples[i] >= 0;
    return rises * 2.0 * kRate / static_cast<double>(samples.size());
  }
  static bool Playing() { return FSOUND_IsPlaying(kMusicChannel) != 0; }
  static bool Paused() { return FSOUND_GetPaused(kMusicChannel) != 0; }

  ScopedWorkDir dir_;
  ScopedAudioDriver driver_{"dummy"};
  MusicState music_;
};

constexpr int kHeard = kAmplitude / 4;         // a tone at the game's volume of 100 or more
constexpr int kTone = kAmplitude * 100 / 255;  // a tone at the game's volume

}  // namespace

TEST_F(Sound, EachTrackIsNamedAfterTheFirstTypeThatOpens) {
  WriteToneWav("Musique/Musique.wav", 0.1);
  WriteSilentMp3("Musique/Musique.mp3");
  WriteFile("Musique/Musique2.wav", "words, not a sound");
  WriteSilentMp3("Musique/Musique2.mp3");
  WriteFile("Musique/Musique4.wav", "words");
  WriteFile("Musique/Musique4.mp3", "more words");
  WriteToneWav("Musique/Musique5.wma", 0.1);
  WriteToneWav("Musique/Musique5.SPT", 0.1);
  const std::array<const char*, kTrackCount> names = {"Musique/Musique.wav",  // .wav wins over .mp3
                                                      "Musique/Musique2.mp3", "Musique/Musique3",
                                                      "Musique/Musique4", "Musique/Musique5"};
  testing::internal::CaptureStderr();
  MusicFindTracks(music_);
  FSOUND_Stream_Close(music_.stream);
  MusicFindTracks(music_);  // a refused file is named once however often it is tried
  FSOUND_Stream_Close(music_.stream);
  const std::string said = testing::internal::GetCapturedStderr();
  for (int t = 0; t < kTrackCount; ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(music_.trackNames[t], music_.nameBuffers[t]);
    EXPECT_STREQ(music_.trackNames[t], names[t]);
  }
  music_.stream = nullptr;
  EXPECT_EQ(SoundStreamsOpen(), 0) << "a tried file was left open";
  EXPECT_EQ(SoundMixerVolume(), 100);
  for (const auto& [file, times] : std::vector<std::pair<const char*, int>>{{"Musique2.wav ", 1},
                                                                            {"Musique4.mp3 ", 1},
                                                                            {"Musique5.SPT ", 1},
                                                                            {"Musique.wav ", 0},
                                                                            {"Musique3", 0}}) {
    int count = 0;
    for (size_t at = said.find(file); at != std::string::npos; at = said.find(file, at + 1))
      ++count;
    EXPECT_EQ(count, times) << file << " in:\n" << said;
  }
}

TEST_F(Sound, TheMusicFollowsTheSwitchTheFramesThePauseAndTheTrackKeys) {
  WriteToneWav("Musique/Musique.wav", 3.0);
  WriteToneWav("Musique/Musique2.wav", 3.0, 0, kAmplitude / 2);
  WriteToneWav("Musique/Musique4.wav", 3.0);
  MusicFindTracks(music_);
  struct Step {
    const char* name;
    std::function<void()> action;
    int track;
    bool playing, paused;
    int peak;  // 0: silence
  };
  MusicState& m = music_;
  const auto press = [&m](void (*key)(MusicState&), int times) {
    return [&m, key, times] {
      for (int i = 0; i < times; ++i) key(m);
    };
  };
  const auto at = [](int volume) { return kAmplitude * volume / 255; };
  const std::vector<Step> steps = {
      {"nothing played yet", [] {}, 0, false, false, 0},
      {"a pause with nothing playing", [] { FSOUND_SetPaused(FSOUND_ALL, 1); }, 0, false, false, 0},
      {"the level-start screen plays track 0", [&] { FSOUND_Stream_Play(FSOUND_FREE, m.stream); },
       0, true, false, kTone},
      {"it loops", [&] { MusicLoopForever(m); }, 0, true, false, kTone},
      {"a frame with the switch off stops it", [&] { MusicUpkeep(m); }, 0, false, false, 0},
      {"Space switches it on", [&] { MusicToggle(m); }, 0, true, false, kTone},
      {"frames", [&] { MusicUpkeep(m), MusicUpkeep(m); }, 0, true, false, kTone},
      {"p pauses", [] { FSOUND_SetPaused(FSOUND_ALL, 1); }, 0, true, true, 0},
      {"a frame in the pause plays on", [&] { MusicUpkeep(m); }, 0, true, false, kTone},
      {"pause and resume", [] { FSOUND_SetPaused(FSOUND_ALL, 1), FSOUND_SetPaused(FSOUND_ALL, 0); },
       0, true, false, kTone},
      {"null streams are ignored",
       [] {
         FSOUND_Stream_Play(FSOUND_FREE, nullptr), FSOUND_Stream_Stop(nullptr);
         FSOUND_Stream_SetLoopCount(nullptr, -1), FSOUND_Stream_Close(nullptr);
       },
       0, true, false, kTone},
      {"stopping another stream leaves the music playing",
       [] {
         FSOUND_STREAM* other = FSOUND_Stream_Open("Musique/Musique4.wav", 0, 0, 0);
         FSOUND_Stream_Stop(other), FSOUND_Stream_Close(other);
       },
       0, true, false, kTone},
      {"F2 from track 0 to the track without a file", [&] { MusicPreviousTrack(m); }, 4, false,
       false, 0},
      {"F1 wraps to track 0", [&] { MusicNextTrack(m); }, 0, true, false, kTone},
      {"F1 plays track 1", [&] { MusicNextTrack(m); }, 1, true, false, kTone / 2},
      {"Space switches it off", [&] { MusicToggle(m); }, 1, false, false, 0},
      {"F1 with the music off starts track 2: no file", [&] { MusicNextTrack(m); }, 2, false, false,
       0},
      {"F1 starts track 3", [&] { MusicNextTrack(m); }, 3, true, false, kTone},
      {"and the next frame stops it", [&] { MusicUpkeep(m); }, 3, false, false, 0},
      {"Space again", [&] { MusicToggle(m); }, 3, true, false, kTone},
      // The volume keys go by 10; the mixer keeps 0 to 255.
      {"= once: 110", press(MusicLouder, 1), 3, true, false, at(110)},
      {"6 three times: 80", press(MusicSofter, 3), 3, true, false, at(80)},
      {"6 ten times: -20", press(MusicSofter, 10), 3, true, false, 0},
      {"= 27 times: 250", press(MusicLouder, 27), 3, true, false, at(250)},
      {"= twice: 270", press(MusicLouder, 2), 3, true, false, at(255)},
      {"6 twice: 250", press(MusicSofter, 2), 3, true, false, at(250)},
      {"the end of the game stops it", [&] { MusicStop(m); }, 3, false, false, 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.action();
    EXPECT_EQ(music_.trackIndex, step.track);
    EXPECT_EQ(Playing(), step.playing);
    EXPECT_EQ(Paused(), step.paused);
    EXPECT_NEAR(Peak(), step.peak, step.peak / 50);
    EXPECT_EQ(SoundStreamsOpen(), music_.stream ? 1 : 0) << "an old stream was left open";
  }
}

// A short tone, then silence: hearing the tone again means it started over.
TEST_F(Sound, RequestsWhileTheTrackPlaysNeverStartItOver) {
  WriteToneWav("Musique/Musique.wav", 0.2, 2.0);
  MusicFindTracks(music_);
  MusicToggle(music_);
  const std::vector<std::pair<const char*, std::function<void()>>> requests = {
      {"play again", [&] { FSOUND_Stream_Play(FSOUND_FREE, music_.stream); }},
      {"frames", [&] { MusicUpkeep(music_); }},
      {"pause and resume",
       [] { FSOUND_SetPaused(FSOUND_ALL, 1), FSOUND_SetPaused(FSOUND_ALL, 0); }},
      {"loop count", [&] { MusicLoopForever(music_); }},
      {"volume", [&] { MusicLouder(music_); }},
  };
  EXPECT_GT(Peak(0.3), kHeard);
  for (const auto& [name, request] : requests) {
    SCOPED_TRACE(name);
    request();
    EXPECT_EQ(Peak(0.1), 0);
    EXPECT_TRUE(Playing());
  }
}

TEST_F(Sound, OnlyATrackToldToLoopSoundsPastItsEnd) {
  WriteToneWav("tone.wav", 0.3);
  for (const char* when : {"never", "before play", "while it plays"}) {
    SCOPED_TRACE(when);
    FSOUND_STREAM* stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
    if (!std::strcmp(when, "before play")) FSOUND_Stream_SetLoopCount(stream, -1);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    EXPECT_GT(Peak(0.1), kHeard);
    if (!std::strcmp(when, "while it plays")) FSOUND_Stream_SetLoopCount(stream, -1);
    Next(0.5);
    EXPECT_EQ(Peak(0.2) > kHeard, std::strcmp(when, "never") != 0);
    FSOUND_Stream_Close(stream);
  }
}

// The mixer scales by volume / 255 and keeps every sample within 16 bits: a
// full-scale sample at full volume must not wrap to the other end, a loud click.
TEST_F(Sound, VolumeScalesTheSamplesWithinSixteenBits) {
  WriteToneWav("tone.wav", 1.0);
  WriteConstantWav("high.wav", 1.0f, 1.0);
  WriteConstantWav("low.wav", -1.0f, 1.0);
  struct Row {
    const char* file;
    int volume, lowest, highest, slack;
  };
  const Row rows[] = {
      {"high.wav", 255, 32767, 32767, 0},
      {"low.wav", 255, -32768, -32768, 0},
      {"high.wav", 300, 32767, 32767, 0},
      {"high.wav", 100, 12850, 12850, 1},
      {"tone.wav", 255, -10000, 10000, 10},
      {"tone.wav", 100, -3922, 3922, 10},
      {"tone.wav", 128, -5020, 5020, 10},
      {"tone.wav", 256, -10000, 10000, 10},
      {"tone.wav", 0, 0, 0, 0},
      {"tone.wav", -20, 0, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.file << " at " << row.volume);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(row.file, 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    FSOUND_SetVolume(FSOUND_ALL, row.volume);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    const std::vector<int16_t> played = Next(0.05);
    const auto [low, high] = std::minmax_element(played.begin(), played.end());
    EXPECT_NEAR(*low, row.lowest, row.slack);
    EXPECT_NEAR(*high, row.highest, row.slack);
    FSOUND_Stream_Close(stream);
  }
}

TEST_F(Sound, ThePauseKeysHoldAndReleaseTheMusic) {
  WriteToneWav("Musique/Musique.wav", 3.0);
  struct Row {
    std::vector<SDLKey> inPause;
    bool paused;
  };
  const Row rows[] = {{{SDLK_p}, false},
                      {{SDLK_ESCAPE}, true},  // the game ends with the sound held
                      {{SDLK_SEMICOLON, SDLK_ESCAPE}, false},
                      {{SDLK_v, SDLK_SPACE, SDLK_ESCAPE}, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.inPause.size());
    auto game = std::make_unique<GameState>();
    MusicFindTracks(game->music);
    MusicToggle(game->music);
    for (SDLKey key : row.inPause) Push(KeyDown(key));
    HandleKey(*game, SDLK_p);
    SDL_RemoveTimer(game->timerId);
    EXPECT_EQ(Paused(), row.paused);
    const int peak = Peak();
    if (row.paused) {
      EXPECT_EQ(peak, 0);
    } else {
      EXPECT_GT(peak, kHeard);
    }
    FSOUND_Stream_Close(game->music.stream);
  }
}

// A player's track at any common rate, mono or stereo, WAV (little- or
// big-endian, made by sox) or MP3 (made by lame, its tag holding a comment),
// sounds on both sides at its own pitch and loudness, also when a file
// manager copies another over it while it plays.
TEST_F(Sound, TracksOfEveryRateAndChannelCountPlayAtTheirPitch) {
  struct Row {
    int rate, channels;
    const char* file;
  };
  const Row rows[] = {
      {8000, 1, "tone.wav"},  {22050, 2, "tone.wav"}, {48000, 2, "tone.wav"},
      {8000, 1, "tone.mp3"},  {32000, 2, "tone.mp3"}, {44100, 1, "tone.mp3"},
      {48000, 1, "tone.mp3"}, {22050, 1, "rifx.wav"}, {44100, 2, "rifx.wav"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.rate << " Hz, " << row.channels << ", " << row.file);
    WriteToneWav("tone.wav", 1.0, 0, kAmplitude, 440, row.rate, row.channels);
    if (std::string(row.file) == "tone.mp3") {
      ASSERT_TRUE(HaveLame()) << "lame is missing";
      const std::string lame = "lame --quiet --add-id3v2 --tc 'Made for Glouto' --resample " +
                               std::to_string(row.rate / 1000.0) + " tone.wav tone.mp3";
      ASSERT_EQ(std::system(lame.c_str()), 0);
    }
    if (std::string(row.file) == "rifx.wav") {
      ASSERT_EQ(std::system("sox tone.wav -B rifx.wav"), 0);
    }
    FSOUND_STREAM* stream = FSOUND_Stream_Open(row.file, 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    FSOUND_Stream_SetLoopCount(stream, -1);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    const auto check = [](double pitch) {
      Next(0.2);
      const std::vector<int16_t> played = Next(0.5);
      int peak = 0;
      for (int16_t s : played) peak = std::max(peak, std::abs(static_cast<int>(s)));
      EXPECT_NEAR(peak, kAmplitude, kAmplitude * 0.1);
      EXPECT_NEAR(Pitch(played, 0), pitch, pitch / 100) << "left";
      EXPECT_NEAR(Pitch(played, 1), pitch, pitch / 100) << "right";
    };
    check(440);
    if (std::string(row.file) == "tone.wav" && row.rate == 22050) {
      WriteToneWav(row.file, 3.0, 0, kAmplitude, 660, 8000, 2);  // written over in place
      check(660);
    }
    FSOUND_Stream_Close(stream);
  }
}

TEST_F(Sound, OnlyFilesItCanPlayOpenAndGarbageStaysWithinTheVolume) {
  WriteToneWav("tone.wav", 0.1);
  const std::string wav = ReadFile("tone.wav");
  WriteSilentMp3("silent.mp3");
  const std::string id3 = std::string("ID3\x03\x00\x00\x00\x00\x00\x10", 10) +
                          std::string(16, '\0');
  WriteFile("tagged.mp3", id3 + ReadFile("silent.mp3"));
  // A small tag, then one of 70000 bytes (cover art): more than a frame may follow a tag by.
  WriteFile("two-tags.mp3", id3 + std::string("ID3\x03\x00\x00\x00\x04\x22\x70", 10) +
                                std::string(70000, '\0') + ReadFile("silent.mp3"));
  WriteFile("tagged-text.mp3", id3 + "Just words after a tag.\n");
  WriteFile("text.mp3", "Not a sound, only words that end in mp3.\n");
  WriteFile("empty.wav", "");
  WriteFile("one-header.mp3", std::string("\xFF\xFB\x90\x00", 4) + std::string(2000, 'x'));
  WriteFile("tone.wma", wav);
  mkdir("folder.wav", 0755);
  WriteGarbageMp3("garbage.mp3", 400);
  const std::vector<std::pair<const char*, bool>> rows = {
      {"tone.wav", true},        {"silent.mp3", true},       {"tagged.mp3", true},
      {"two-tags.mp3", true},    {"garbage.mp3", true},      {"missing.wav", false},
      {"text.mp3", false},       {"tagged-text.mp3", false}, {"empty.wav", false},
      {"one-header.mp3", false}, {"tone.wma", false},        {"folder.wav", false}};
  testing::internal::CaptureStderr();
  for (const auto& [name, opens] : rows) {
    SCOPED_TRACE(name);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(name, 0, 0, 0);
    EXPECT_EQ(stream != nullptr, opens);
    EXPECT_EQ(SoundStreamsOpen(), opens ? 1 : 0);
    // libmpg123 decodes garbage frames to samples far beyond full scale.
    FSOUND_SetVolume(FSOUND_ALL, 25);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    EXPECT_LE(Peak(0.5), 32768 * 25 / 255 + 1);
    FSOUND_Stream_Close(stream);
  }
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(FSOUND_Stream_Open(nullptr, 0, 0, 0), nullptr);
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
  for (size_t at = bytes.size() / 8; at < bytes.size(); at += 1 + random() % 399) {
    bytes[at] = static_cast<char>(random());  // one byte in 200, from a second in
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

TEST(SoundLibrary, WithoutAnAudioDeviceEveryCallIsHarmlessAndLaterGamesStartItAgain) {
  ScopedWorkDir dir;
  WriteToneWav("tone.wav", 1.0);
  ScopedAudioDriver dummy("dummy");
  auto none = std::make_unique<ScopedAudioDriver>("no-such-driver");
  EXPECT_EQ(FSOUND_Init(44100, 32, 0), 0);
  MusicState silent;
  MusicFindTracks(silent);
  EXPECT_EQ(silent.stream, nullptr);
  MusicToggle(silent), MusicUpkeep(silent), MusicNextTrack(silent), MusicLouder(silent);
  FSOUND_SetPaused(FSOUND_ALL, 1);
  EXPECT_FALSE(FSOUND_GetPaused(kMusicChannel));
  MusicStop(silent);
  MusicShutDown(silent);
  none.reset();
  // Two games in a row, each closing as a game ends: SDL first, then the music.
  for (int game = 0; game < 2; ++game) {
    SCOPED_TRACE(game);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0);
    MusicStartUp();
    MusicState music;
    ASSERT_NE(music.stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0), nullptr);
    MusicToggle(music);
    EXPECT_TRUE(FSOUND_IsPlaying(kMusicChannel));
    MusicStop(music);
    SDL_Quit();
    MusicShutDown(music);
    EXPECT_EQ(SoundStreamsOpen(), 0);
    EXPECT_EQ(FSOUND_Stream_Open("tone.wav", 0, 0, 0), nullptr) << "the library is closed";
  }
}
