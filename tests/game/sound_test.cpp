// The music, from the game's keys and screens down to the samples the device
// is fed. The device's own thread is held, and each check mixes what would
// play next.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <future>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "game/flow/keys.h"
#include "game/flow/music.h"
#include "game/flow/session.h"
#include "game/flow/state.h"
#include "game/screens/screens.h"
#include "platform/desktop/sound/sound_mixer.h"
#include "platform/desktop/sound/sound_stream.h"
#include "tests/game/screen_fixture.h"

namespace {

constexpr int kRate = 44100, kAmplitude = 10000, kMusicChannel = 1;
constexpr int kHeard = kAmplitude / 4;         // a tone at the game's volume of 100 or more
constexpr int kTone = kAmplitude * 100 / 255;  // a tone at the game's volume
constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16,
              kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
const std::string kId3 = std::string("ID3\x03\x00\x00\x00\x00\x00\x10", 10) + std::string(16, '\0');

using Wave = std::function<double(double seconds)>;  // full scale is 1.0
Wave Tone(double pitch = 440, double until = 1e9, int amplitude = kAmplitude) {
  return
      [=](double t) { return t < until ? amplitude * std::sin(2 * M_PI * pitch * t) / 32767 : 0; };
}
const Wave kSilence = Tone(440, 0);

// `seconds` of `wave` on every channel, written by libsndfile.
void Write(const std::string& path, double seconds, const Wave& wave, int rate = kRate,
           int channels = 1, int format = kWav) {
  SF_INFO info{0, rate, channels, format, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
  double quality = 0.3;  // MP3s at a bit rate music is ripped at
  sf_command(file, SFC_SET_COMPRESSION_LEVEL, &quality, sizeof quality);
  std::vector<double> frames;
  for (long i = 0; i < std::lround(seconds * rate); ++i)
    frames.insert(frames.end(), channels, wave(static_cast<double>(i) / rate));
  sf_writef_double(file, frames.data(), static_cast<sf_count_t>(frames.size()) / channels);
  sf_close(file);
}

bool Playing() { return FSOUND_IsPlaying(kMusicChannel) != 0; }
bool Paused() { return FSOUND_GetPaused(kMusicChannel) != 0; }

// The next `seconds` of the mix, left and right samples in turn.
std::vector<int16_t> Next(double seconds) {
  std::vector<int16_t> samples(static_cast<size_t>(seconds * kRate) * 2);
  for (size_t at = 0; at < samples.size(); at += 2048) {
    const size_t n = std::min<size_t>(2048, samples.size() - at);
    SoundMixNow(reinterpret_cast<unsigned char*>(&samples[at]), static_cast<int>(n * 2));
  }
  return samples;
}
int Peak(double seconds = 0.05) {
  int peak = 0;
  for (int16_t s : Next(seconds)) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}
// Pitch of one side, in Hz: rising zero crossings a second.
double Pitch(const std::vector<int16_t>& samples, int side) {
  int rises = 0;
  for (size_t i = side + 2; i < samples.size(); i += 2)
    rises += samples[i - 2] < 0 && samples[i] >= 0;
  return rises * 2.0 * kRate / static_cast<double>(samples.size());
}

class Sound : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    mkdir("Musique", 0755);
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1) << SDL_GetError();
    SDL_PauseAudio(1);
    SDL_LockAudio();  // waits out a mix the device thread may be in
    SDL_UnlockAudio();
  }
  void TearDown() override {
    FSOUND_Stream_Close(music_.stream);
    FSOUND_Close();
    SdlTest::TearDown();
  }
  // Does each word of `script` to the music as its key or the game's code
  // does; "=*27" is 27 presses.
  void Do(const std::string& script) {
    MusicState& m = music_;
    const std::map<std::string, std::function<void()>> words = {
        {"play", [&] { FSOUND_Stream_Play(FSOUND_FREE, m.stream); }},
        {"loop", [&] { MusicLoopForever(m); }},
        {"frame", [&] { MusicUpkeep(m); }},
        {"space", [&] { MusicToggle(m); }},
        {"f1", [&] { MusicNextTrack(m); }},
        {"f2", [&] { MusicPreviousTrack(m); }},
        {"=", [&] { MusicLouder(m); }},
        {"6", [&] { MusicSofter(m); }},
        {"end", [&] { MusicStop(m); }},
        {"p", [] { FSOUND_SetPaused(FSOUND_ALL, 1); }},
        {"resume", [] { FSOUND_SetPaused(FSOUND_ALL, 0); }},
        {"null",
         [] {
           FSOUND_Stream_Play(FSOUND_FREE, nullptr), FSOUND_Stream_Stop(nullptr);
           FSOUND_Stream_SetLoopCount(nullptr, -1), FSOUND_Stream_Close(nullptr);
         }},
        {"other", [] {
           FSOUND_STREAM* other = FSOUND_Stream_Open("Musique/Musique4.wav", 0, 0, 0);
           FSOUND_Stream_Stop(other), FSOUND_Stream_Close(other);
         }}};
    std::istringstream in(script);
    for (std::string word; in >> word;) {
      const size_t star = word.find('*');
      for (int i = star == std::string::npos ? 1 : std::stoi(word.substr(star + 1)); i > 0; --i)
        words.at(word.substr(0, star))();
    }
  }

  ScopedWorkDir dir_;
  MusicState music_;
};

}  // namespace

TEST_F(Sound, EachTrackIsNamedAfterTheFirstTypeThatOpens) {
  Write("Musique/Musique.wav", 0.1, Tone());
  Write("Musique/Musique.mp3", 0.1, kSilence, kRate, 1, kMp3);
  WriteFile("Musique/Musique2.wav", "words, not a sound");
  Write("Musique/Musique2.mp3", 0.1, kSilence, kRate, 1, kMp3);
  WriteFile("Musique/Musique4.wav", "words");
  WriteFile("Musique/Musique4.mp3", "more words");
  Write("Musique/Musique5.wma", 0.1, Tone());
  Write("Musique/Musique5.SPT", 0.1, Tone());
  const char* names[] = {"Musique/Musique.wav", "Musique/Musique2.mp3", "Musique/Musique3",
                         "Musique/Musique4", "Musique/Musique5"};
  testing::internal::CaptureStderr();
  for (int pass = 0; pass < 2; ++pass) {  // a refused file is named once however often it is tried
    MusicFindTracks(music_);
    FSOUND_Stream_Close(std::exchange(music_.stream, nullptr));
  }
  const std::string said = testing::internal::GetCapturedStderr();
  for (int t = 0; t < kTrackCount; ++t) {
    EXPECT_EQ(music_.trackNames[t], music_.nameBuffers[t]);
    EXPECT_STREQ(music_.trackNames[t], names[t]);
  }
  EXPECT_EQ(SoundStreamsOpen(), 0) << "a tried file was left open";
  EXPECT_EQ(SoundMixerVolume(), 100);
  for (const auto& [file, times] : {std::pair{"Musique2.wav ", 1},
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
  Write("Musique/Musique.wav", 3, Tone());
  Write("Musique/Musique2.wav", 3, Tone(440, 9, kAmplitude / 2));
  Write("Musique/Musique4.wav", 3, Tone());
  MusicFindTracks(music_);
  const auto at = [](int volume) { return kAmplitude * volume / 255; };
  // "play" as the level-start screen does; a frame with the switch off stops
  // the music, in the pause plays it on; stopping another stream leaves it;
  // F2 from track 0 goes to the last (no file); F1 with the music off plays
  // the next; the volume keys go by 10 and the mixer keeps 0 to 255.
  const struct {
    const char* script;
    int track;
    bool playing, paused;
    int peak;
  } steps[] = {{"", 0, false, false, 0},
               {"p", 0, false, false, 0},
               {"play", 0, true, false, kTone},
               {"loop", 0, true, false, kTone},
               {"frame", 0, false, false, 0},
               {"space", 0, true, false, kTone},
               {"frame frame", 0, true, false, kTone},
               {"p", 0, true, true, 0},
               {"frame", 0, true, false, kTone},
               {"p resume", 0, true, false, kTone},
               {"null", 0, true, false, kTone},
               {"other", 0, true, false, kTone},
               {"f2", 4, false, false, 0},
               {"f1", 0, true, false, kTone},
               {"f1", 1, true, false, kTone / 2},
               {"space", 1, false, false, 0},
               {"f1", 2, false, false, 0},
               {"f1", 3, true, false, kTone},
               {"frame", 3, false, false, 0},
               {"space", 3, true, false, kTone},
               {"=", 3, true, false, at(110)},
               {"6*3", 3, true, false, at(80)},
               {"6*10", 3, true, false, 0},
               {"=*27", 3, true, false, at(250)},
               {"=*2", 3, true, false, at(255)},
               {"6*2", 3, true, false, at(250)},
               {"end", 3, false, false, 0}};
  for (const auto& step : steps) {
    SCOPED_TRACE(testing::Message() << &step - steps << ": " << step.script);
    Do(step.script);
    EXPECT_EQ(music_.trackIndex, step.track);
    EXPECT_EQ(Playing(), step.playing);
    EXPECT_EQ(Paused(), step.paused);
    EXPECT_NEAR(Peak(), step.peak, step.peak / 50);
    EXPECT_EQ(SoundStreamsOpen(), music_.stream ? 1 : 0) << "an old stream was left open";
  }
}

// A short tone, then silence: hearing the tone again means it started over;
// hearing it past its end, that it looped.
TEST_F(Sound, RequestsWhileTheTrackPlaysNeverStartItOverAndOnlyALoopGoesPastItsEnd) {
  Write("Musique/Musique.wav", 2.2, Tone(440, 0.2));
  MusicFindTracks(music_);
  Do("space");
  EXPECT_GT(Peak(0.3), kHeard);
  for (const char* request : {"play", "frame", "p resume", "loop", "="}) {
    SCOPED_TRACE(request);
    Do(request);
    EXPECT_EQ(Peak(0.1), 0);
    EXPECT_TRUE(Playing());
  }
  Write("tone.wav", 0.3, Tone());
  for (const auto& [before, during, loops] :
       {std::tuple{"play", "", false}, {"loop play", "", true}, {"play", "loop", true}}) {
    SCOPED_TRACE(testing::Message() << before << " | " << during);
    FSOUND_Stream_Close(music_.stream);
    music_.stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
    Do(before);
    EXPECT_GT(Peak(0.1), kHeard);
    Do(during);
    Next(0.5);
    EXPECT_EQ(Peak(0.2) > kHeard, loops);
  }
}

TEST_F(Sound, ThePauseKeysHoldAndReleaseTheMusic) {
  Write("Musique/Musique.wav", 3, Tone());
  const std::pair<std::vector<SDLKey>, bool> rows[] = {
      {{SDLK_p}, false},
      {{SDLK_ESCAPE}, true},  // the game ends with the sound held
      {{SDLK_SEMICOLON, SDLK_ESCAPE}, false},
      {{SDLK_v, SDLK_SPACE, SDLK_ESCAPE}, true}};
  for (const auto& [inPause, paused] : rows) {
    SCOPED_TRACE(inPause.size());
    auto game = std::make_unique<GameState>();
    MusicFindTracks(game->music);
    MusicToggle(game->music);
    for (SDLKey key : inPause) Push(KeyDown(key));
    HandleKey(*game, SDLK_p);
    SDL_RemoveTimer(game->timerId);
    EXPECT_EQ(Paused(), paused);
    EXPECT_NEAR(Peak(), paused ? 0 : kTone, paused ? 0 : kTone / 50);
    FSOUND_Stream_Close(game->music.stream);
  }
}

// What each file a player might put in Musique/ plays at a volume: every
// common rate, mono or stereo, WAV of either byte order or MP3 behind a tag,
// at its pitch on both sides; the mixer scales by volume / 255 within 16 bits
// (full scale at full volume must not wrap to the other end, a loud click);
// libmpg123's garbage frames, far beyond full scale, no louder than the volume.
TEST_F(Sound, EachFilePlaysAtItsPitchAndVolumeWithinSixteenBitsAndOthersDoNotOpen) {
  constexpr int kFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRifx = kWav | SF_ENDIAN_BIG;
  Write("tone.wav", 1, Tone());
  const auto high = [](double) { return 1.0; };
  const auto low = [](double) { return -1.0; };
  Write("high.wav", 1, high, kRate, 1, kFloat);
  Write("low.wav", 1, low, kRate, 1, kFloat);
  Write("silent.mp3", 0.5, kSilence, kRate, 1, kMp3);
  const std::string mp3 = ReadFile("silent.mp3");
  // A small tag, then one of 70000 bytes (cover art): more than a frame may follow a tag by.
  WriteFile("two-tags.mp3", kId3 + std::string("ID3\x03\x00\x00\x00\x04\x22\x70", 10) +
                                std::string(70000, '\0') + mp3);
  std::mt19937 random(1);
  std::string garbage;  // frame headers, each followed by a frame's worth of noise
  for (int i = 0; i < 400 * 417; ++i)
    garbage += i % 417 < 4 ? "\xFF\xFB\x90\x64"[i % 417] : static_cast<char>(random());
  WriteFile("garbage.mp3", garbage);
  struct Row {
    std::string file;
    int volume, lowest, highest, slack;
    double pitch;  // -1: any
  };
  std::vector<Row> rows = {{"high.wav", 255, 32767, 32767, 0, 0},
                           {"low.wav", 255, -32768, -32768, 0, 0},
                           {"high.wav", 300, 32767, 32767, 0, 0},
                           {"high.wav", 100, 12850, 12850, 1, 0},
                           {"tone.wav", 255, -10000, 10000, 10, 440},
                           {"tone.wav", 100, -3922, 3922, 10, 440},
                           {"tone.wav", 128, -5020, 5020, 10, 440},
                           {"tone.wav", 256, -10000, 10000, 10, 440},
                           {"tone.wav", 0, 0, 0, 0, 0},
                           {"tone.wav", -20, 0, 0, 0, 0},
                           {"silent.mp3", 255, 0, 0, 0, 0},
                           {"two-tags.mp3", 255, 0, 0, 0, 0},
                           {"garbage.mp3", 25, 0, 0, 32768 * 25 / 255 + 1, -1}};
  for (const auto& [rate, channels, format] : {std::tuple{8000, 1, kWav},
                                               {22050, 2, kWav},
                                               {48000, 2, kWav},
                                               {8000, 1, kMp3},
                                               {32000, 2, kMp3},
                                               {44100, 1, kMp3},
                                               {48000, 1, kMp3},
                                               {22050, 1, kRifx},
                                               {44100, 2, kRifx}}) {
    const std::string name = std::to_string(rate) + "-" + std::to_string(channels) +
                             (format == kMp3    ? ".mp3"
                              : format == kRifx ? "-rifx.wav"
                                                : ".wav");
    Write(name, 1, Tone(), rate, channels, format);
    if (format == kMp3) WriteFile(name, kId3 + ReadFile(name));
    rows.push_back({name, 255, -kAmplitude, kAmplitude, kAmplitude / 10, 440});
  }
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.file << " at " << row.volume);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(row.file.c_str(), 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(SoundStreamsOpen(), 1);
    FSOUND_SetVolume(FSOUND_ALL, row.volume);
    FSOUND_Stream_SetLoopCount(stream, -1);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    Next(0.2);
    const std::vector<int16_t> played = Next(0.5);
    const auto [low, high] = std::minmax_element(played.begin(), played.end());
    EXPECT_NEAR(*low, row.lowest, row.slack);
    EXPECT_NEAR(*high, row.highest, row.slack);
    for (int side : {0, 1})
      if (row.pitch >= 0) {
        EXPECT_NEAR(Pitch(played, side), row.pitch, row.pitch / 100) << side;
      }
    if (row.file == "22050-2.wav") {  // a file manager copies another over it
      Write(row.file, 3, Tone(660), 8000, 2);
      Next(0.2);
      EXPECT_NEAR(Pitch(Next(0.5), 1), 660, 6.6);
    }
    FSOUND_Stream_Close(stream);
  }
  WriteFile("tagged-text.mp3", kId3 + "Just words after a tag.\n");
  WriteFile("text.mp3", "Not a sound, only words that end in mp3.\n");
  WriteFile("empty.wav", "");
  WriteFile("one-header.mp3", std::string("\xFF\xFB\x90\x00", 4) + std::string(2000, 'x'));
  WriteFile("tone.wma", ReadFile("tone.wav"));
  mkdir("folder.wav", 0755);
  testing::internal::CaptureStderr();
  for (const char* name : {"missing.wav", "text.mp3", "tagged-text.mp3", "empty.wav",
                           "one-header.mp3", "tone.wma", "folder.wav"})
    EXPECT_EQ(FSOUND_Stream_Open(name, 0, 0, 0), nullptr) << name;
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(FSOUND_Stream_Open(nullptr, 0, 0, 0), nullptr);
  EXPECT_EQ(SoundStreamsOpen(), 0);
}

// libsndfile stops an MP3 at the first frame libmpg123 rejects (lame's 128
// kbit/s frames, so damaged, are); the track must go on to its end, within
// full scale.
TEST(SoundDecoder, ADamagedMp3PlaysOnToItsEnd) {
  ScopedWorkDir dir;
  constexpr double kSeconds = 8;
  Write("tone.wav", kSeconds, Tone(), kRate, 2);
  ASSERT_EQ(std::system("lame --quiet -b 128 tone.wav tone.mp3"), 0) << "is lame installed?";
  std::string bytes = ReadFile("tone.mp3");
  std::mt19937 random(7);
  for (size_t at = bytes.size() / 8; at < bytes.size(); at += 1 + random() % 399)
    bytes[at] = static_cast<char>(random());  // one byte in 200, from a second in
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
  Write("tone.wav", 1, Tone());
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_EQ(FSOUND_Init(kRate, 32, 0), 0);
  MusicState silent;
  MusicFindTracks(silent);
  EXPECT_EQ(silent.stream, nullptr);
  MusicToggle(silent), MusicUpkeep(silent), MusicNextTrack(silent), MusicLouder(silent);
  FSOUND_SetPaused(FSOUND_ALL, 1);
  EXPECT_FALSE(Paused());
  MusicStop(silent);
  MusicShutDown(silent);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  // Two games in a row, each closing as a game ends: SDL first, then the music.
  for (int game = 0; game < 2; ++game) {
    SCOPED_TRACE(game);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0);
    MusicStartUp();
    MusicState music;
    ASSERT_NE(music.stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0), nullptr);
    MusicToggle(music);
    EXPECT_TRUE(Playing());
    MusicStop(music);
    SDL_Quit();
    MusicShutDown(music);
    EXPECT_EQ(SoundStreamsOpen(), 0);
    EXPECT_EQ(FSOUND_Stream_Open("tone.wav", 0, 0, 0), nullptr) << "the library is closed";
  }
}

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
  if (SoundStreamsOpen() < 1 || (p->waitPlay && !Playing())) return interval;
  if (p->done.exchange(true)) return 0;
  p->playing = FSOUND_IsPlaying(kMusicChannel);
  if (p->stop) FSOUND_Stream_Stop(p->stop);
  for (SDL_Event& e : p->then) SDL_PushEvent(&e);
  return 0;
}

// The music of the screens around the levels.
class ScreenMusic : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    ASSERT_EQ(std::system("rm Musique && mkdir Musique"), 0);
    Write("Musique/Musique.mp3", 10, kSilence, kRate, 1, kMp3);
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1);
  }
  void TearDown() override {
    FSOUND_Close();
    ScreenTest::TearDown();
  }
};

}  // namespace

TEST_F(ScreenMusic, TheEndMusicPlaysWithAnOddSwitchAndStopsOnEveryWayOut) {
  const struct {
    int music;
    SDL_Event last;
    int result, playing;
  } cases[] = {{1, KeyDown(SDLK_RETURN), 1, 1}, {3, KeyDown(SDLK_ESCAPE), 0, 1},
               {-1, QuitEvent(), 0, 1},         {0, KeyDown(SDLK_RETURN), 1, 0},
               {2, KeyDown(SDLK_RETURN), 1, 0}, {-2, KeyDown(SDLK_RETURN), 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.music);
    Probe probe{c.playing == 1, nullptr, {MouseMotion(1, 1), c.last}};
    SDL_TimerID timer = SDL_AddTimer(10, Look, &probe);
    {
      Watchdog watchdog;
      EXPECT_EQ(FIN(1, 10, screen_, font_, 600, 600, c.music), c.result);
    }
    SDL_RemoveTimer(timer);
    EXPECT_EQ(probe.playing, c.playing);
    EXPECT_FALSE(Playing());
    EXPECT_EQ(SoundStreamsOpen(), 0);
  }
  std::remove("Musique/Musique.mp3");  // a missing end music is silence
  Push(KeyDown(SDLK_ESCAPE));
  EXPECT_EQ(FIN(1, 10, screen_, font_, 600, 600, 1), 0);
  EXPECT_FALSE(Playing());
}

TEST_F(ScreenMusic, TheLevelStartAsksForTheMusicOnEveryPass) {
  Write("Musique/Musique.wav", 5, Tone());
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
  EXPECT_TRUE(Playing());
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
