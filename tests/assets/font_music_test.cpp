// The font under Police/ and the music under Musique/.
#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fsound.h"
#include "tests/support/test_support.h"

namespace {

const std::string kFont = "/Police/comic.ttf";

long FileSize(const std::string& path) {
  struct stat st = {};
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// The file a track plays: its base name with the first type that exists, in
// the order the game tries them.
std::string TrackFile(const std::string& base) {
  for (const char* type : {".wav", ".mp3", ".wma", ".SPT"})
    if (FileExists(AssetsDir() + "/" + base + type)) return base + type;
  return "";
}

const std::vector<std::string> kTracks = {"Musique/Musique", "Musique/Musique2", "Musique/Musique3",
                                          "Musique/Musique4", "Musique/Musique5"};

struct Wav {
  int channels = 0, rate = 0, bits = 0;
  std::vector<int16_t> samples;  // first channel only
};

uint32_t Le32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
uint16_t Le16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               static_cast<unsigned char>(b[at + 1]) << 8);
}

// Reads a PCM WAV file's format and samples; false when it is not one.
bool ReadWav(const std::string& path, Wav* wav) {
  const std::string b = ReadFile(path);
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return false;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const uint32_t size = Le32(b, at + 4);
    const size_t body = at + 8;
    if (body + size > b.size()) return false;
    if (id == "fmt ") {
      if (Le16(b, body) != 1) return false;  // PCM only
      wav->channels = Le16(b, body + 2);
      wav->rate = static_cast<int>(Le32(b, body + 4));
      wav->bits = Le16(b, body + 14);
    } else if (id == "data" && wav->bits == 16 && wav->channels > 0) {
      const size_t frame = 2u * static_cast<size_t>(wav->channels);
      for (size_t p = body; p + frame <= body + size; p += frame)
        wav->samples.push_back(static_cast<int16_t>(Le16(b, p)));
      return true;
    }
    at = body + size + (size & 1);
  }
  return false;
}

class FontAndMusic : public SdlTest {};

// The game's font at the size its screens draw with.
class GameFont : public FontAndMusic {
 protected:
  void SetUp() override {
    FontAndMusic::SetUp();
    ASSERT_EQ(TTF_Init(), 0);
    font = TTF_OpenFont((AssetsDir() + kFont).c_str(), 25);
    ASSERT_NE(font, nullptr) << TTF_GetError();
  }
  void TearDown() override {
    if (font) TTF_CloseFont(font);
    TTF_Quit();
    FontAndMusic::TearDown();
  }
  // Checks that `text` drawn `left` pixels right of a box's left edge ends
  // within `width`; returns its height.
  int ExpectFits(const char* text, int left, int width) {
    SCOPED_TRACE(text);
    int w = 0, h = 0;
    EXPECT_EQ(TTF_SizeText(font, text, &w, &h), 0);
    EXPECT_LE(left + w, width);
    return h;
  }
  TTF_Font* font = nullptr;
};

}  // namespace

TEST_F(GameFont, FontOpensAndHasEveryLatin1Letter) {
  // The game's texts are Latin-1: "Merci pour leur aide \xE0", "acc\xE9der"...
  for (int c = 0x20; c <= 0xFF; ++c) {
    if (c > 0x7E && c < 0xA0) continue;
    EXPECT_TRUE(TTF_GlyphIsProvided(font, static_cast<Uint16>(c))) << "glyph " << std::hex << c;
  }
}

TEST_F(GameFont, LongestScreenTextsFitTheNarrowestWindow) {
  struct Line {
    const char* text;
    int left;  // x where the screen draws it in a 600-wide window
  };
  const Line lines[] = {
      {"Merci pour leur aide \xE0 : cliquez pour acc\xE9"
       "der au site",
       300 - 290},
      {"Echap pour quitter, Entrer pour recommencer", 300 - 260},
      {"Combien de joueurs ?", 300 - 110},
  };
  for (const Line& line : lines) ExpectFits(line.text, line.left, 600);
}

TEST_F(GameFont, EveryButtonLabelStaysOnItsPlate) {
  struct Button {
    const char* label;
    int inset;  // how far right of the plate's left edge the screen draws the label
    int plateWidth;
  };
  const Button buttons[] = {
      {"Commencer", 0, 125},     {"1 joueur", 0, 90},    {"2 joueurs", 0, 110},
      {"Mode d'emploi", 2, 165}, {"Retour", 2, 80},      {"Quitter", 2, 93},
      {"Niveau 1", 0, 100},      {"Niveau 2", 0, 100},   {"Niveau 3", 0, 100},
      {"Niveau 4", 0, 100},      {"Plus que 4", 0, 110},
  };
  for (const Button& button : buttons) {
    EXPECT_LE(ExpectFits(button.label, button.inset, button.plateWidth), 40) << button.label;
  }
}

TEST_F(FontAndMusic, FontIsShippedWithItsLicence) {
  const std::string licence = ReadFile(AssetsDir() + "/Police/LICENSE-ComicNeue.txt");
  EXPECT_NE(licence.find("SIL OPEN FONT LICENSE"), std::string::npos);
}

TEST_F(FontAndMusic, EveryTrackHasAWavOrMp3FileAndBothTypesAreUsed) {
  int wav = 0, mp3 = 0;
  for (const std::string& base : kTracks) {
    SCOPED_TRACE(base);
    const std::string file = TrackFile(base);
    ASSERT_FALSE(file.empty());
    const std::string type = file.substr(file.size() - 4);
    EXPECT_TRUE(type == ".wav" || type == ".mp3") << file;
    wav += type == ".wav";
    mp3 += type == ".mp3";
  }
  EXPECT_GE(wav, 1);
  EXPECT_GE(mp3, 1);
  EXPECT_TRUE(FileExists(AssetsDir() + "/Musique/Musique.mp3")) << "end music";
}

// Each file also plays a little, so that a run under valgrind decodes them all.
TEST_F(FontAndMusic, EveryMusicFileOpensAndPlaysInTheSoundLayer) {
  ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError();
  std::vector<std::string> files;
  for (const std::string& base : kTracks) files.push_back(TrackFile(base));
  files.push_back("Musique/Musique.mp3");
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    ASSERT_FALSE(file.empty());
    FSOUND_STREAM* stream = FSOUND_Stream_Open((AssetsDir() + "/" + file).c_str(), 0, 0, 0);
    EXPECT_NE(stream, nullptr);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    SDL_Delay(300);
    EXPECT_TRUE(FSOUND_IsPlaying(1)) << "ended at once";
    FSOUND_Stream_Close(stream);
  }
  FSOUND_Close();
}

TEST_F(FontAndMusic, AllMusicTogetherStaysUnderFiveMegabytes) {
  long total = 0;
  for (const std::string& base : kTracks) total += FileSize(AssetsDir() + "/" + TrackFile(base));
  total += FileSize(AssetsDir() + "/Musique/Musique.mp3");
  EXPECT_LT(total, 5L * 1000 * 1000);
}

TEST_F(FontAndMusic, WavTracksLastTwentyToFortySeconds) {
  for (const std::string& base : kTracks) {
    const std::string file = TrackFile(base);
    if (file.size() < 4 || file.substr(file.size() - 4) != ".wav") continue;
    SCOPED_TRACE(file);
    Wav wav;
    ASSERT_TRUE(ReadWav(AssetsDir() + "/" + file, &wav));
    EXPECT_EQ(wav.bits, 16);
    const double seconds = static_cast<double>(wav.samples.size()) / wav.rate;
    EXPECT_GE(seconds, 20.0);
    EXPECT_LE(seconds, 40.0);
  }
}

TEST_F(FontAndMusic, StartTrackLoopsWithoutAClick) {
  // Track 0 repeats without end: its last sample runs on into its first, a
  // step no bigger than the steps the music itself makes.
  const std::string file = TrackFile(kTracks[0]);
  ASSERT_EQ(file, "Musique/Musique.wav") << "track 0 loops best as a WAV";
  Wav wav;
  ASSERT_TRUE(ReadWav(AssetsDir() + "/" + file, &wav));
  ASSERT_GT(wav.samples.size(), 1000u);
  std::vector<int> steps;
  for (size_t i = 1; i < wav.samples.size(); ++i)
    steps.push_back(std::abs(wav.samples[i] - wav.samples[i - 1]));
  std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
  const int usual = steps[steps.size() * 99 / 100];
  const int seam = std::abs(wav.samples.front() - wav.samples.back());
  EXPECT_LE(seam, usual);
  EXPECT_LE(std::abs(wav.samples.front()), 32767 / 10);
}
