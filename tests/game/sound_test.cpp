// The music, from the keys and screens down to the samples mixed for the device.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <map>
#include <random>
#include <sstream>

#include "game/flow/keys.h"
#include "game/flow/music.h"
#include "game/flow/state.h"
#include "platform/desktop/sound/sound_mixer.h"
#include "tests/game/screen_fixture.h"

namespace {

constexpr int kRate = 44100, kAmplitude = 10000, kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16,
              kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
constexpr double kLevel = kAmplitude / 32767.0;
const std::string kId3 = std::string("ID3\x03\x00\x00\x00\x00\x00\x10", 10) + std::string(16, '\0');

// `seconds` of `pitch` Hz (0: constant) at `level` of full scale, silent from `until`.
void Write(const std::string& path, double seconds, int format = kWav, double pitch = 440,
           double level = kLevel, int rate = kRate, int channels = 1, double until = 1e9) {
  SF_INFO info{0, rate, channels, format, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
  double quality = 0.3;  // MP3s at a bit rate music is ripped at
  sf_command(file, SFC_SET_COMPRESSION_LEVEL, &quality, sizeof quality);
  std::vector<double> frames;
  for (long i = 0; i < std::lround(seconds * rate); ++i) {
    const double t = static_cast<double>(i) / rate, v = pitch ? std::sin(2 * M_PI * pitch * t) : 1;
    frames.insert(frames.end(), channels, t < until ? level * v : 0);
  }
  sf_writef_double(file, frames.data(), static_cast<sf_count_t>(frames.size()) / channels);
  sf_close(file);
}

bool Playing() { return FSOUND_IsPlaying(1) != 0; }

// The next `seconds` of the mix, left and right samples in turn.
std::vector<int16_t> Next(double seconds) {
  std::vector<int16_t> samples(static_cast<size_t>(seconds * kRate) * 2);
  for (size_t at = 0; at < samples.size(); at += 2048) {
    const size_t n = std::min<size_t>(2048, samples.size() - at);
    SoundMixNow(reinterpret_cast<unsigned char*>(&samples[at]), static_cast<int>(n * 2));
  }
  return samples;
}

class Sound : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    mkdir("Musique", 0755);
    ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1) << SDL_GetError();
    SDL_PauseAudio(1);
    SDL_LockAudio(), SDL_UnlockAudio();  // waits out a mix the device thread may be in
  }
  void TearDown() override {
    FSOUND_Stream_Close(music_.stream), FSOUND_Close();
    SdlTest::TearDown();
  }
  ScopedWorkDir dir_;
  std::unique_ptr<GameState> game_ = std::make_unique<GameState>();
  MusicState& music_ = game_->music;
};

}  // namespace

// Each track is named after the first type that opens, a refusal said once. Each
// word does what its key or the game's code does ("=*27": 27 presses); ?<track>
// S stopped, H held, or P<volume> playing at that volume. short.wav is silent after 0.2 s.
TEST_F(Sound, TheMusicFollowsItsFilesTheSwitchTheFramesThePauseAndTheTrackKeys) {
  Write("Musique/Musique.wav", 3);
  Write("Musique/Musique.mp3", 0.1, kMp3, 0, 0);
  WriteFile("Musique/Musique2.wav", "words, not a sound");
  Write("Musique/Musique2.mp3", 3, kMp3, 440, kLevel / 2);
  WriteFile("Musique/Musique3.wav", "words"), WriteFile("Musique/Musique3.mp3", "more words");
  Write("Musique/Musique4.wav", 3);
  Write("Musique/Musique5.wma", 0.1), Write("Musique/Musique5.SPT", 0.1);
  Write("short.wav", 2.2, kWav, 440, kLevel, kRate, 1, 0.2);
  Write("tone.wav", 0.3);
  testing::internal::CaptureStderr();
  for (int pass = 0; pass < 2; ++pass) {
    FSOUND_Stream_Close(music_.stream);
    MusicFindTracks(music_);
  }
  const std::string said = testing::internal::GetCapturedStderr();
  std::istringstream names("Musique.wav Musique2.mp3 Musique3 Musique4.wav Musique5");
  std::string name;
  for (int t = 0; names >> name; ++t) {
    EXPECT_EQ(music_.trackNames[t], music_.nameBuffers[t]);
    EXPECT_EQ("Musique/" + name, music_.trackNames[t]);
  }
  for (std::string file : {"Musique2.wav ", "Musique3.wav ", "Musique3.mp3 ", "Musique5.SPT ",
                           "Musique.wav", "Musique5.wav", "Musique5.mp3"}) {
    int count = 0;
    for (size_t at = 0; (at = said.find(file, at)) != std::string::npos; ++at) ++count;
    EXPECT_EQ(count, file.back() == ' ') << file << " in:\n" << said;
  }
  MusicState& m = music_;
  std::string arg;  // of open:FILE, and of pause:KEYS (e Escape, _ space) pressed in a pause
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
      {"wait", [] { Next(0.4); }},
      {"open",
       [&] { FSOUND_Stream_Close(m.stream), m.stream = FSOUND_Stream_Open(arg.c_str(), 0, 0, 0); }},
      {"pause",
       [&] {
         for (char k : arg) Push(KeyDown(SDLKey(k == 'e' ? '\x1b' : k == '_' ? ' ' : k)));
         HandleKey(*game_, SDLK_p), SDL_RemoveTimer(game_->timerId);
       }},
      {"null",
       [] {
         FSOUND_Stream_Play(0, nullptr), FSOUND_Stream_Stop(nullptr), FSOUND_Stream_Close(nullptr);
         FSOUND_Stream_SetLoopCount(nullptr, -1);
       }},
      {"other", [] {
         FSOUND_STREAM* other = FSOUND_Stream_Open("tone.wav", 0, 0, 0);
         FSOUND_Stream_Stop(other), FSOUND_Stream_Close(other);
       }}};
  const std::string script =
      "?0S p ?0S play ?0P100 loop ?0P100 frame ?0S space ?0P100 frame frame ?0P100 p ?0H "
      "frame ?0P100 p resume ?0P100 null ?0P100 other ?0P100 f2 ?4S f1 ?0P100 f1 ?1P50 space ?1S "
      "f1 ?2S f1 ?3P100 frame ?3S space ?3P100 = ?3P110 6*3 ?3P80 6*10 ?3P0 =*27 ?3P250 =*2 ?3P255 "
      "6*2 ?3P250 pause:p ?3P250 pause:e ?3H resume pause:;e ?3P250 pause:v_e ?3H resume "
      "open:short.wav play ?3P250 wait play ?3P0 frame ?3P0 p resume ?3P0 loop ?3P0 = ?3P0 "
      "open:tone.wav play ?3P255 wait ?3S open:tone.wav loop play ?3P255 wait ?3P255 "
      "open:tone.wav play loop ?3P255 wait ?3P255 end ?3S";
  std::istringstream in(script);
  for (std::string word; in >> word;) {
    SCOPED_TRACE(script.substr(0, static_cast<size_t>(in.tellg())));
    const size_t star = word.find('*'), colon = word.find(':');
    arg = colon == std::string::npos ? "" : word.substr(colon + 1);
    for (int i = star == std::string::npos ? 1 : std::stoi(word.substr(star + 1)); i > 0; --i)
      if (word[0] != '?') words.at(word.substr(0, std::min(star, colon)))();
    if (word[0] != '?') continue;
    const int peak = word[2] == 'P' ? kAmplitude * std::stoi(word.substr(3)) / 255 : 0;
    int got = 0;
    for (int16_t s : Next(0.05)) got = std::max(got, std::abs(static_cast<int>(s)));
    EXPECT_NEAR(got, peak, peak / 50);
    EXPECT_EQ(m.trackIndex, word[1] - '0');
    EXPECT_EQ(Playing(), word[2] != 'S');
    EXPECT_EQ(FSOUND_GetPaused(1) != 0, word[2] == 'H');
    EXPECT_EQ(SoundStreamsOpen(), m.stream ? 1 : 0) << "an old stream was left open";
  }
}

// Each file a player might put in Musique/ at a volume: its lowest and highest
// samples within 16 bits (full scale must not wrap: a loud click), its pitch
// (-1: any) on both sides; RATE-CHANNELS files at each common rate; "-": refused.
TEST_F(Sound, EachFilePlaysAtItsPitchAndVolumeWithinSixteenBitsAndOthersDoNotOpen) {
  Write("tone.wav", 1);
  Write("high.wav", 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 1);
  Write("low.wav", 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, -1);
  Write("silent.mp3", 0.5, kMp3, 0, 0);
  // A small tag, then one of 70000 bytes (cover art): more than a frame may follow a tag by.
  WriteFile("two-tags.mp3", kId3 + std::string("ID3\x03\x00\x00\x00\x04\x22\x70", 10) +
                                std::string(70000, '\0') + ReadFile("silent.mp3"));
  std::mt19937 random(1);
  std::string garbage;  // frame headers, each followed by a frame's worth of noise
  for (int i = 0; i < 400 * 417; ++i)
    garbage += i % 417 < 4 ? "\xFF\xFB\x90\x64"[i % 417] : static_cast<char>(random());
  WriteFile("garbage.mp3", garbage);
  WriteFile("tagged-text.mp3", kId3 + "Words after a tag.\n"), WriteFile("text.mp3", "Words.\n");
  WriteFile("empty.wav", ""), mkdir("folder.wav", 0755);
  WriteFile("one-header.mp3", std::string("\xFF\xFB\x90\x00", 4) + std::string(2000, 'x'));
  WriteFile("tone.wma", ReadFile("tone.wav"));
  std::istringstream rows(R"(high.wav 255 32767 32767 0 0  low.wav 255 -32768 -32768 0 0
    high.wav 300 32767 32767 0 0  high.wav 100 12850 12850 1 0  tone.wav 255 -10000 10000 10 440
    tone.wav 100 -3922 3922 10 440  tone.wav 128 -5020 5020 10 440  tone.wav 0 0 0 0 0
    tone.wav 256 -10000 10000 10 440  tone.wav -20 0 0 0 0  silent.mp3 255 0 0 0 0
    two-tags.mp3 255 0 0 0 0  garbage.mp3 25 0 0 3213 -1  8000-1.wav 255 -1e4 1e4 1e3 440
    22050-2.wav 255 -1e4 1e4 1e3 440  48000-2.wav 255 -1e4 1e4 1e3 440  8000-1.mp3 255 -1e4 1e4 1e3 440
    32000-2.mp3 255 -1e4 1e4 1e3 440  44100-1.mp3 255 -1e4 1e4 1e3 440  48000-1.mp3 255 -1e4 1e4 1e3 440
    22050-1-rifx.wav 255 -1e4 1e4 1e3 440  44100-2-rifx.wav 255 -1e4 1e4 1e3 440  missing.wav -
    text.mp3 -  tagged-text.mp3 -  empty.wav -  one-header.mp3 -  tone.wma -  folder.wav -)");
  std::string file, volume;
  for (double lowest, highest, slack, pitch; rows >> file >> volume;) {
    SCOPED_TRACE(testing::Message() << file << " at " << volume);
    if (isdigit(file[0])) {
      const int format = file.back() == '3' ? kMp3 : file.size() > 12 ? kWav | SF_ENDIAN_BIG : kWav;
      Write(file, 1, format, 440, kLevel, std::stoi(file), file[file.find('-') + 1] - '0');
      if (format == kMp3) WriteFile(file, kId3 + ReadFile(file));
    }
    FSOUND_STREAM* stream = FSOUND_Stream_Open(file.c_str(), 0, 0, 0);
    EXPECT_EQ(SoundStreamsOpen(), volume == "-" ? 0 : 1);
    if (volume == "-" || !(rows >> lowest >> highest >> slack >> pitch)) continue;
    FSOUND_SetVolume(FSOUND_ALL, std::stoi(volume));
    FSOUND_Stream_SetLoopCount(stream, -1);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    // 22050-2.wav is then copied over by another, as a file manager does.
    for (int copied = 0; copied < 1 + (file == "22050-2.wav"); ++copied) {
      if (copied) Write(file, 3, kWav, pitch = 660, kLevel, 8000, 2);
      Next(0.2);
      const std::vector<int16_t> played = Next(0.5);
      const auto [low, high] = std::minmax_element(played.begin(), played.end());
      EXPECT_NEAR(*low, lowest, slack);
      EXPECT_NEAR(*high, highest, slack);
      for (int side = 0, rises = 0; side < 2 && pitch >= 0; ++side, rises = 0) {
        for (size_t i = side + 2; i < played.size(); i += 2)
          rises += played[i - 2] < 0 && played[i] >= 0;
        EXPECT_NEAR(rises * 2.0 * kRate / played.size(), pitch, pitch / 100) << side;
      }
    }
    FSOUND_Stream_Close(stream);
  }
  EXPECT_EQ(FSOUND_Stream_Open(nullptr, 0, 0, 0), nullptr);
}

// libsndfile stops an MP3 at the first frame libmpg123 rejects, lame's damaged ones.
TEST_F(Sound, ADamagedMp3PlaysOnToItsEnd) {
  Write("tone.wav", 8, kWav, 440, kLevel, kRate, 2);
  ASSERT_EQ(std::system("lame --quiet -b 128 tone.wav tone.mp3"), 0) << "is lame installed?";
  std::string bytes = ReadFile("tone.mp3");
  std::mt19937 random(7);
  for (size_t at = bytes.size() / 8; at < bytes.size(); at += 1 + random() % 399)
    bytes[at] = static_cast<char>(random());  // one byte in 200, from a second in
  WriteFile("tone.mp3", bytes);
  FSOUND_Stream_Play(FSOUND_FREE, music_.stream = FSOUND_Stream_Open("tone.mp3", 0, 0, 0));
  Next(0.98 * 8);
  EXPECT_TRUE(Playing());
  Next(0.03 * 8);
  EXPECT_FALSE(Playing());
}

TEST(SoundLibrary, WithoutAnAudioDeviceEveryCallIsHarmlessAndLaterGamesStartItAgain) {
  ScopedWorkDir dir;
  Write("tone.wav", 1);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_EQ(FSOUND_Init(kRate, 32, 0), 0);
  MusicState silent;
  MusicFindTracks(silent);
  EXPECT_EQ(silent.stream, nullptr);
  MusicToggle(silent), MusicUpkeep(silent), MusicNextTrack(silent), MusicLouder(silent);
  FSOUND_SetPaused(FSOUND_ALL, 1);
  EXPECT_FALSE(FSOUND_GetPaused(1));
  MusicStop(silent), MusicShutDown(silent);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  // Two games in a row, each closing as a game ends: SDL first, then the music.
  for (int game = 0; game < 2; ++game) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0);
    MusicStartUp();
    MusicState music;
    ASSERT_NE(music.stream = FSOUND_Stream_Open("tone.wav", 0, 0, 0), nullptr);
    MusicToggle(music);
    EXPECT_TRUE(Playing()) << game;
    MusicStop(music), SDL_Quit(), MusicShutDown(music);
    EXPECT_EQ(SoundStreamsOpen(), 0);
    EXPECT_EQ(FSOUND_Stream_Open("tone.wav", 0, 0, 0), nullptr) << "the library is closed";
  }
}

namespace {

// Once the screen's music is open (and plays if `waitPlay`), notes what plays, stops
// `stop`, hands the screen `then`; once, as SDL 1.2 may call an ended timer again.
struct Probe {
  bool waitPlay;
  FSOUND_STREAM* stop;
  std::vector<SDL_Event> then;
  std::atomic<int> playing{-1};
  std::atomic<bool> done{false};
  static Uint32 Look(Uint32 interval, void* param) {
    auto* p = static_cast<Probe*>(param);
    if (!p->done && (SoundStreamsOpen() < 1 || (p->waitPlay && !Playing()))) return interval;
    if (p->done.exchange(true)) return 0;
    p->playing = Playing();
    if (p->stop) FSOUND_Stream_Stop(p->stop);
    for (SDL_Event& e : p->then) SDL_PushEvent(&e);
    return 0;
  }
};

using ScreenMusic = ScreenTest;

}  // namespace

// The end music plays with an odd switch and stops on every way out; the level start
// asks for its music on every pass; without its event queue the end screen leaves.
TEST_F(ScreenMusic, TheScreensAroundTheLevelsPlayTheirMusicAndLeave) {
  ASSERT_EQ(std::system("rm -r Musique && mkdir Musique"), 0);
  Write("Musique/Musique.mp3", 10, kMp3, 0, 0);
  ASSERT_EQ(FSOUND_Init(kRate, 32, 0), 1);
  // switch, last event, result, playing
  std::istringstream cases(
      "1 enter 1 1  3 esc 0 1  -1 q 0 1  0 enter 1 0  2 enter 1 0  -2 enter 1 0");
  std::string last;
  for (int music, result, playing; cases >> music >> last >> result >> playing;) {
    SCOPED_TRACE(music);
    Probe probe{playing == 1, nullptr, Events("m1,1 " + last)};
    SDL_TimerID timer = SDL_AddTimer(10, Probe::Look, &probe);
    {
      Watchdog watchdog;
      EXPECT_EQ(FIN(1, 10, screen_, font_, 600, 600, music), result);
    }
    SDL_RemoveTimer(timer);
    EXPECT_EQ(probe.playing, playing);
    EXPECT_FALSE(Playing());
    EXPECT_EQ(SoundStreamsOpen(), 0);
  }
  Write("Musique/Musique.wav", 5);
  FSOUND_STREAM* stream = FSOUND_Stream_Open("Musique/Musique.wav", 0, 0, 0);
  auto s = std::make_unique<GameState>();
  Probe probe{true, stream, Events("m1,1 enter")};
  SDL_TimerID timer = SDL_AddTimer(10, Probe::Look, &probe);
  {
    Watchdog watchdog;
    EXPECT_EQ(init(600, 600, screen_, 1, 4, s->chestImages.data(), s->wallImages.data(),
                   s->chestPositions.data(), 1, s->enemyPositions.data(), s->enemyImages.data(),
                   s->enemyDirections.data(), &s->heroPosition, stream, font_,
                   s->wallPositions.data(), &s->wallCount),
              1);
  }
  SDL_RemoveTimer(timer);
  EXPECT_TRUE(Playing());
  FSOUND_Stream_Close(stream), ReleaseGameSurfaces(*s), FSOUND_Close();
  // The wait answers 0 (classic SDL) or -1, in an SDL thread: SDL 2 frees its error there.
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  static SDL_sem* left = SDL_CreateSemaphore(0);
  static int answer = -2;
  auto screen = [](void*) {
    return answer = FIN(1, 3, nullptr, nullptr, 600, 600, 0), SDL_SemPost(left);
  };
  SDL_Thread* runner = SDL_CreateThread(screen, nullptr);
  // Stuck for good, the screen's thread ends with the test process.
  ASSERT_EQ(SDL_SemWaitTimeout(left, 20000), 0) << "the end screen never left";
  SDL_WaitThread(runner, nullptr);
  EXPECT_EQ(answer, 0);
}
