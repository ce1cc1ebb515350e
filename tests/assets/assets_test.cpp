// The shipped assets, each for what a player would notice broken.
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <sstream>

#include "common/Condition.h"
#include "game/flow/music.h"
#include "level/level_check.h"
#include "level/level_file.h"
#include "platform/desktop/sound/sound_mixer.h"
#include "tests/support/test_support.h"

using Assets = SdlTest;

// Each text fits its room: the narrowest window's lines, each label its plate.
TEST_F(Assets, TheFontHasEveryLatin1LetterAndEveryTextFitsItsPlace) {
  ASSERT_EQ(TTF_Init(), 0);
  TTF_Font* font = TTF_OpenFont((AssetsDir() + "/Police/comic.ttf").c_str(), 25);
  ASSERT_NE(font, nullptr) << TTF_GetError();
  for (int c = 0x20; c <= 0xFF; ++c)
    EXPECT_TRUE((c >= 0x7F && c < 0xA0) || TTF_GlyphIsProvided(font, c)) << std::hex << c;
  std::istringstream texts(
      "590 Merci pour leur aide \xE0 : cliquez pour acc\xE9"
      "der au site\n560 Echap pour quitter, Entrer pour recommencer\n410 Combien de joueurs ?\n"
      "125 Commencer\n90 1 joueur\n110 2 joueurs\n163 Mode d'emploi\n78 Retour\n91 Quitter\n"
      "100 Niveau 4\n110 Plus que 4");
  int room, w, h;
  for (std::string text; texts >> room && std::getline(texts >> std::ws, text);) {
    EXPECT_EQ(TTF_SizeText(font, text.c_str(), &w, &h), 0);
    EXPECT_TRUE(w <= room && h <= 40) << text << ": " << w << " x " << h;
  }
  TTF_CloseFont(font), TTF_Quit();
  // The font's licence asks that its text go wherever the font goes.
  EXPECT_NE(ReadFile(AssetsDir() + "/Police/LICENSE-ComicNeue.txt").find("SIL OPEN FONT"),
            std::string::npos);
}

// Each track the game finds and the end's music plays (a little, so that a run
// under valgrind decodes them all); WAV tracks last 20 to 40 seconds; track 0,
// looped, steps from its last sample into its first no more than the music does.
TEST_F(Assets, EveryMusicFilePlaysAndTheFirstTrackLoopsWithoutAClick) {
  ScopedWorkDir dir;
  LinkAssets();
  ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError();
  SDL_PauseAudio(1);  // the check mixes in place of the device
  MusicState music;
  MusicFindTracks(music);
  FSOUND_Stream_Close(music.stream);
  EXPECT_STREQ(music.trackNames[0], "Musique/Musique.wav") << "track 0 loops best as a WAV";
  size_t total = 0;
  for (int t = 0; t <= kTrackCount; ++t) {
    const std::string file = t < kTrackCount ? music.trackNames[t] : "Musique/Musique.mp3";
    SCOPED_TRACE(file);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(file.c_str(), 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    std::vector<unsigned char> mix(44100);  // a quarter of a second
    SoundMixNow(mix.data(), static_cast<int>(mix.size()));
    EXPECT_TRUE(FSOUND_IsPlaying(1)) << "ended at once";
    FSOUND_Stream_Close(stream);
    total += ReadFile(file).size();
    if (file.find(".wav") == std::string::npos) continue;
    SF_INFO format = {};
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &format);
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(format.frames >= 20 * format.samplerate && format.frames <= 40 * format.samplerate);
    std::vector<short> frames(static_cast<size_t>(format.frames * format.channels));
    sf_readf_short(sound, frames.data(), format.frames);
    sf_close(sound);
    if (t != 0) continue;
    std::vector<int> steps;
    for (size_t i = format.channels; i < frames.size(); i += format.channels)
      steps.push_back(std::abs(frames[i] - frames[i - format.channels]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    EXPECT_LE(std::abs(frames.front() - frames[frames.size() - format.channels]),
              steps[steps.size() * 99 / 100]);
    EXPECT_LE(std::abs(frames.front()), 32767 / 10);
  }
  FSOUND_Close();
  EXPECT_LT(total, 5u * 1000 * 1000);
}

// Levels 1 to 12 at least, without gaps, each accepted by the checker, and each
// chest the game may draw (a quarter of the draws at least) eaten from a place
// the hero reaches on its 5-pixel steps from its start, as the enemies' start.
TEST(ShippedLevels, EveryLevelIsPlayableWithEveryChestInTheHerosReach) {
  constexpr int kHeight = 600, kStep = 5;
  int level = 1;
  for (std::string path;
       FileExists(path = AssetsDir() + "/Niveaux/Niveau_" + std::to_string(level) + ".txt");
       ++level) {
    SCOPED_TRACE(path);
    EXPECT_EQ(CheckLevelText(ReadFile(path), level).problem, LevelProblem::kNone);
    std::vector<SDL_Rect> walls(kMaxWalls);
    walls.resize(std::max(0, ReadLevelFile(path.c_str(), walls.data(), kMaxWalls)));
    auto touches = [&](int x, int y, int lo, int hi, int wallLo, int wallHi) {
      SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
      return Condition(&at, walls.data(), {}, {}, static_cast<int>(walls.size()), 0, lo, wallLo, hi,
                       wallHi, 0, 0, 0) >= 0;
    };
    const int width = LevelWidth(level), hx = width / 2 + 1, hy = kHeight / 2 + 1;
    std::vector<char> state(static_cast<size_t>(width * kHeight), 0);  // 1 reached, 2 blocked
    auto at = [&](int x, int y) -> char& { return state[static_cast<size_t>(y * width + x)]; };
    at(hx, hy) = 1;
    for (std::vector<std::pair<int, int>> todo{{hx, hy}}; !todo.empty();) {
      const auto [x, y] = todo.back();
      todo.pop_back();
      for (auto [nx, ny] :
           {std::pair{x + kStep, y}, {x - kStep, y}, {x, y + kStep}, {x, y - kStep}})
        if (nx >= 0 && ny >= 0 && nx <= width - 50 && ny <= kHeight - 50 && !at(nx, ny) &&
            (at(nx, ny) = touches(nx, ny, 0, 50, 0, 25) ? 2 : 1) == 1)
          todo.push_back({nx, ny});
    }
    EXPECT_EQ(at(26, 26), 1) << "the enemies' start";
    std::srand(static_cast<unsigned>(level));
    int accepted = 0, draws = 4000;
    for (int k = 0; k < draws; ++k) {
      const int cx = std::rand() % width - 30, cy = std::rand() % kHeight - 30;
      if (cx <= 29 || cy <= 29 || touches(cx, cy, -20, 20, -30, 30)) continue;
      ++accepted;
      bool eaten = false;  // the hero at x in [cx - 50, cx + 20], and so on y
      for (int x = cx - 50 + ((hx - cx + 50) % kStep + kStep) % kStep; x <= cx + 20; x += kStep)
        for (int y = cy - 50 + ((hy - cy + 50) % kStep + kStep) % kStep; y <= cy + 20; y += kStep)
          eaten = eaten || (x >= 0 && y >= 0 && x < width && y < kHeight && at(x, y) == 1);
      EXPECT_TRUE(eaten) << "a chest at " << cx << "," << cy << " out of the hero's reach";
    }
    EXPECT_GE(accepted * 4, draws);
  }
  EXPECT_GE(level - 1, 12);
}

// Sizes the layouts and click areas rely on, and the form the white key needs: s a sprite,
// k keyed, w a wall, c the editor's cell (white, a faint grid edge), W on white, B on black.
TEST_F(Assets, EachPictureHasItsSizeKeyAndEdges) {
  std::string rows =
      "Mur.png 25 25 25 w blanc.png 25 25 25 c coffre.png 20 20 20 s gloutofond.jpg 120 90 125 W "
      "ModeEmploi.png 600 300 445 k Readme.png 218 73 73 k Imagegagne.png 100 60 90 B "
      "Imageperd.png 100 60 90 B Tavernique.png 365 100 100 W Tilo.png 448 96 96 W";
  for (const char* actor : {"Glouto", "Ennemi"})
    for (const char* phase : {"", "2", "3", "4", "2.1", "2.2", "2.3", "2.4"})
      rows += std::string(" ") + actor + phase + ".png 50 50 50 s";
  const Rgb kKey{255, 255, 255};
  auto light = [](Rgb c) { return c.r >= 235 && c.g >= 235 && c.b >= 235; };
  std::vector<std::vector<Rgb>> sprites;
  std::istringstream in(rows);
  std::string name, kind;
  for (int w, minH, maxH; in >> name >> w >> minH >> maxH >> kind;) {
    SCOPED_TRACE(name);
    SDL_Surface* p = IMG_Load((AssetsDir() + "/Images/" + name).c_str());
    ASSERT_NE(p, nullptr) << IMG_GetError();
    EXPECT_EQ(p->w, w);
    EXPECT_TRUE(p->h >= minH && p->h <= maxH) << p->h;
    // With an alpha channel SDL 1.2 blends per pixel and ignores the key.
    EXPECT_TRUE(isupper(kind[0]) || p->format->Amask == 0u);
    const Rgb corners[] = {PixelAt(p, 0, 0), PixelAt(p, p->w - 1, p->h - 1)};
    int clear = 0, fringe = 0;  // a near-white pixel beside a see-through one: a pale rim
    for (int y = 0; y < p->h; ++y)
      for (int x = 0; x < p->w; ++x) {
        const Rgb here = PixelAt(p, x, y);
        clear += here == kKey;
        fringe += light(here) && !(here == kKey) &&
                  (PixelAt(p, x + 1, y) == kKey || PixelAt(p, x - 1, y) == kKey ||
                   PixelAt(p, x, y + 1) == kKey || PixelAt(p, x, y - 1) == kKey);
      }
    if (kind == "s") {
      EXPECT_FALSE(PixelAt(p, p->w / 2, p->h / 2) == kKey) << "hollow";
      EXPECT_TRUE(clear > p->w * p->h / 10 && clear < p->w * p->h * 6 / 10) << clear;
      EXPECT_EQ(fringe, 0);
      // Two phases alike would not animate, two directions alike not show the way.
      for (const auto& other : sprites) EXPECT_FALSE(other == Colours(p)) << "like another";
      sprites.push_back(Colours(p));
    }
    EXPECT_TRUE((kind != "s" && kind != "k") || (corners[0] == kKey && corners[1] == kKey));
    EXPECT_TRUE(kind != "w" || clear == 0) << "a hole under the key";
    EXPECT_TRUE(kind != "c" || (PixelAt(p, 12, 12) == kKey && PixelAt(p, 24, 12).r >= 180 &&
                                !(PixelAt(p, 24, 12) == kKey)));
    EXPECT_TRUE(kind != "W" || light(corners[0])) << corners[0];
    for (Rgb c : corners) EXPECT_TRUE(kind != "B" || c.r + c.g + c.b <= 60) << c;
    SDL_FreeSurface(p);
  }
}

// Well-formed (xmllint prints nothing), naming every key and how a level comes
// into play, on the desktop and in the browser.
TEST(Manual, IsWellFormedFrenchHtmlNamingEveryKeyAndHowALevelComesIntoPlay) {
  const std::string path = AssetsDir() + "/Readme.html", html = ReadFile(path);
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  FILE* lint = popen(("xmllint --html --noout '" + path + "' 2>&1").c_str(), "r");
  ASSERT_NE(lint, nullptr);
  char said[512];
  EXPECT_EQ(std::fread(said, 1, sizeof said, lint), 0u);
  EXPECT_EQ(pclose(lint), 0) << "is xmllint installed?";
  std::istringstream parts(
      "<meta charset=\"utf-8\">|<html lang=\"fr\">|<kbd>Shift</kbd> droit|<kbd>Shift</kbd> gauche|"
      "<kbd>Ctrl</kbd> gauche|<kbd>Retour arri\xC3\xA8re</kbd>|<kbd>Entr\xC3\xA9"
      "e</kbd>|<code>Niveaux/Niveau_.txt</code>|<code>Niveaux/Niveau_n.txt</code>|renomme|"
      "<code>glouto-editeur N</code>|<code>glouto --niveau N</code>|Comic Neue|Mettre en jeu|"
      "Charger un niveau|T\xC3\xA9l\xC3\xA9"
      "charger|?niveau=N|Enregistrer");
  for (std::string part; std::getline(parts, part, '|');)
    EXPECT_NE(html.find(part), std::string::npos) << part;
  std::istringstream keys(
      "\xE2\x86\x90 \xE2\x86\x91 \xE2\x86\x92 \xE2\x86\x93 p ; Echap Espace F1 F2 = 6 w a z q s d "
      "g t v F5");
  for (std::string key; keys >> key;)
    EXPECT_NE(html.find("<kbd>" + key + "</kbd>"), std::string::npos) << key;
}
