// The font under Police/ and the music under Musique/.
#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/desktop/sound/sound_mixer.h"
#include "platform/fsound.h"
#include "tests/support/test_support.h"

namespace {

// Each track's file: the first type that exists, in the order the game tries
// them; then the end jingle.
std::vector<std::string> MusicFiles() {
  std::vector<std::string> files;
  for (const char* base : {"Musique", "Musique2", "Musique3", "Musique4", "Musique5"}) {
    files.push_back("");
    for (const char* type : {".wav", ".mp3", ".wma", ".SPT"}) {
      const std::string file = AssetsDir() + "/Musique/" + base + type;
      if (files.back().empty() && FileExists(file)) files.back() = file;
    }
  }
  files.push_back(AssetsDir() + "/Musique/Musique.mp3");
  return files;
}

class FontAndMusic : public SdlTest {};

}  // namespace

TEST_F(FontAndMusic, TheFontHasEveryLatin1LetterAndEveryTextFitsItsPlace) {
  ASSERT_EQ(TTF_Init(), 0);
  TTF_Font* font = TTF_OpenFont((AssetsDir() + "/Police/comic.ttf").c_str(), 25);
  ASSERT_NE(font, nullptr) << TTF_GetError();
  for (int c = 0x20; c <= 0xFF; ++c)
    EXPECT_TRUE((c >= 0x7F && c < 0xA0) || TTF_GlyphIsProvided(font, c)) << std::hex << c;
  // The room each text has where its screen draws it: the narrowest window's
  // lines, and each label on its plate, 40 pixels high.
  const std::pair<const char*, int> kTexts[] = {
      {"Merci pour leur aide \xE0 : cliquez pour acc\xE9"
       "der au site",
       600 - 10},
      {"Echap pour quitter, Entrer pour recommencer", 600 - 40},
      {"Combien de joueurs ?", 600 - 190},
      {"Commencer", 125},
      {"1 joueur", 90},
      {"2 joueurs", 110},
      {"Mode d'emploi", 165 - 2},
      {"Retour", 80 - 2},
      {"Quitter", 93 - 2},
      {"Niveau 4", 100},
      {"Plus que 4", 110}};
  for (const auto& [text, room] : kTexts) {
    int w = 0, h = 0;
    EXPECT_EQ(TTF_SizeText(font, text, &w, &h), 0);
    EXPECT_TRUE(w <= room && h <= 40) << text << ": " << w << " x " << h;
  }
  TTF_CloseFont(font);
  TTF_Quit();
  EXPECT_NE(ReadFile(AssetsDir() + "/Police/LICENSE-ComicNeue.txt").find("SIL OPEN FONT LICENSE"),
            std::string::npos);
}

// Each file also plays a little, so that a run under valgrind decodes them all.
TEST_F(FontAndMusic, EveryMusicFileOpensAndPlaysInTheSoundLayer) {
  ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError();
  SDL_PauseAudio(1);  // the check mixes in place of the device
  long total = 0;
  int wav = 0, mp3 = 0;
  for (const std::string& file : MusicFiles()) {
    SCOPED_TRACE(file);
    ASSERT_FALSE(file.empty());
    struct stat info = {};
    stat(file.c_str(), &info);
    total += info.st_size;
    const std::string type = file.substr(file.size() - 4);
    EXPECT_TRUE(type == ".wav" || type == ".mp3");
    wav += type == ".wav";
    mp3 += type == ".mp3";
    FSOUND_STREAM* stream = FSOUND_Stream_Open(file.c_str(), 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    std::vector<unsigned char> mix(44100 * 4 / 4);  // a quarter of a second
    SoundMixNow(mix.data(), static_cast<int>(mix.size()));
    EXPECT_TRUE(FSOUND_IsPlaying(1)) << "ended at once";
    FSOUND_Stream_Close(stream);
    if (type != ".wav") continue;
    // WAV tracks last 20 to 40 seconds.
    SF_INFO format = {};
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &format);
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(format.frames >= 20 * format.samplerate && format.frames <= 40 * format.samplerate);
    std::vector<short> frames(static_cast<size_t>(format.frames * format.channels));
    sf_readf_short(sound, frames.data(), format.frames);
    sf_close(sound);
    if (file.find("/Musique.wav") == std::string::npos) continue;
    // Track 0 loops without end: its last sample runs into its first, a step
    // no bigger than the music's own.
    std::vector<int> steps;
    for (size_t i = format.channels; i < frames.size(); i += format.channels)
      steps.push_back(std::abs(frames[i] - frames[i - format.channels]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    EXPECT_LE(std::abs(frames.front() - frames[frames.size() - format.channels]),
              steps[steps.size() * 99 / 100]);
    EXPECT_LE(std::abs(frames.front()), 32767 / 10);
  }
  FSOUND_Close();
  EXPECT_EQ(MusicFiles()[0], AssetsDir() + "/Musique/Musique.wav") << "track 0 loops best as a WAV";
  EXPECT_TRUE(wav >= 1 && mp3 >= 2) << "both types are used, beside the end's MP3";
  EXPECT_LT(total, 5L * 1000 * 1000);
}
