#include <SDL_image.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <string>
#include <vector>

#include "platform/picture_files.h"
#include "tests/common/surface_compare.h"
#include "tests/support/test_support.h"

namespace {

std::vector<std::string> ShippedPictures() {
  std::vector<std::string> names;
  const std::string folder = AssetsDir() + "/Images";
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 &&
          (name.rfind(".png") == name.size() - 4 || name.rfind(".jpg") == name.size() - 4))
        names.push_back("Images/" + name);
    }
    closedir(dir);
  }
  return names;
}

// A tiny PNG written by hand (stored, uncompressed deflate), so that the
// decoder's less common answers can be checked: a palette, and a colour
// key of its own from the tRNS chunk.
Uint32 Crc32(const std::string& bytes) {
  Uint32 crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string BigEndian(Uint32 v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::string Chunk(const std::string& type, const std::string& data) {
  return BigEndian(static_cast<Uint32>(data.size())) + type + data + BigEndian(Crc32(type + data));
}

std::string Zlib(const std::string& raw) {
  Uint32 a = 1, b = 0;
  for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
  const auto n = static_cast<Uint16>(raw.size());
  std::string out = "\x78\x01";
  out += '\x01';  // one final stored block
  out += static_cast<char>(n & 0xFF);
  out += static_cast<char>(n >> 8);
  out += static_cast<char>(~n & 0xFF);
  out += static_cast<char>((~n >> 8) & 0xFF);
  return out + raw + BigEndian(b << 16 | a);
}

// A w x h PNG of colour type 2 (RGB) or 3 (palette), 8 bits; each row of
// `rows` is w pixels (3 bytes each for RGB, 1 for palette).
std::string Png(int w, int h, int colourType, const std::string& rows, const std::string& extra) {
  std::string header = BigEndian(static_cast<Uint32>(w)) + BigEndian(static_cast<Uint32>(h));
  header += static_cast<char>(8);
  header += static_cast<char>(colourType);
  header += std::string(3, '\0');
  const int rowBytes = colourType == 2 ? 3 * w : w;
  std::string raw;
  for (int y = 0; y < h; ++y)
    raw += '\0' + rows.substr(static_cast<size_t>(y * rowBytes), static_cast<size_t>(rowBytes));
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + extra +
         Chunk("IDAT", Zlib(raw)) + Chunk("IEND", "");
}

std::string PalettePngWithKey() {
  const std::string palette(
      "\xFF\x00\x00"
      "\x00\xFF\x00"
      "\x00\x00\xFF"
      "\xFF\xFF\xFF",
      12);
  const std::string transparency("\xFF\xFF\xFF\x00", 4);  // entry 3 is the key
  std::string rows;
  for (int i = 0; i < 5 * 3; ++i) rows += static_cast<char>(i % 4);
  return Png(5, 3, 3, rows, Chunk("PLTE", palette) + Chunk("tRNS", transparency));
}

std::string RgbPngWithKey() {
  std::string rows;
  for (int i = 0; i < 3 * 4; ++i) rows += std::string(i % 3 ? "\x10\x20\x30" : "\xFF\xFF\xFF", 3);
  return Png(3, 4, 2, rows, Chunk("tRNS", std::string("\x00\xFF\x00\xFF\x00\xFF", 6)));
}

void SaveBmp(const char* path, int bits, Uint8 shade) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 7, 5, bits, 0, 0, 0, 0);
  ASSERT_NE(s, nullptr);
  if (s->format->palette) {
    std::array<SDL_Color, 3> colours{{{shade, 1, 2, 0}, {3, shade, 4, 0}, {5, 6, shade, 0}}};
    SDL_SetColors(s, colours.data(), 0, 3);
  }
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x) {
      SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
      SDL_FillRect(s, &r,
                   s->format->palette ? static_cast<Uint32>((x + y) % 3)
                                      : SDL_MapRGB(s->format, shade, static_cast<Uint8>(x * 30),
                                                   static_cast<Uint8>(y * 40)));
    }
  ASSERT_EQ(SDL_SaveBMP(s, path), 0);
  SDL_FreeSurface(s);
}

// Loads `path` both ways, twice through the cache (a first decode, then a
// copy), and checks each against a fresh IMG_Load.
void ExpectLoadsLikeImgLoad(const std::string& path) {
  SCOPED_TRACE(path);
  SDL_Surface* fresh = IMG_Load(path.c_str());
  ASSERT_NE(fresh, nullptr) << IMG_GetError();
  SDL_Surface* first = LoadPicture(path.c_str());
  SDL_Surface* second = LoadPicture(path.c_str());
  ExpectSameSurface(fresh, first);
  ExpectSameSurface(fresh, second);
  EXPECT_NE(first, second) << "each caller owns its own surface";
  SDL_FreeSurface(fresh);
  SDL_FreeSurface(first);
  SDL_FreeSurface(second);
}

class PictureFiles : public SdlTest {};

}  // namespace

TEST_F(PictureFiles, EveryShippedPictureLoadsAsImgLoadGivesIt) {
  ScopedWorkDir dir;
  LinkAssets();
  const std::vector<std::string> pictures = ShippedPictures();
  ASSERT_GE(pictures.size(), 20u);
  for (const std::string& path : pictures) ExpectLoadsLikeImgLoad(path);
}

TEST_F(PictureFiles, PalettesKeysAndOtherDepthsAreCopiedToo) {
  ScopedWorkDir dir;
  mkdir("Images", 0755);
  WriteFile("Images/palette.png", PalettePngWithKey());
  WriteFile("Images/keyed.png", RgbPngWithKey());
  SaveBmp("Images/eight.bmp", 8, 200);
  SaveBmp("Images/sixteen.bmp", 16, 200);
  SaveBmp("Images/twentyfour.bmp", 24, 200);
  SaveBmp("Images/thirtytwo.bmp", 32, 200);
  for (const char* path : {"Images/palette.png", "Images/keyed.png", "Images/eight.bmp",
                           "Images/sixteen.bmp", "Images/twentyfour.bmp", "Images/thirtytwo.bmp"})
    ExpectLoadsLikeImgLoad(path);

  // The hand-made files really exercise the palette and the key.
  SDL_Surface* palette = LoadPicture("Images/palette.png");
  ASSERT_NE(palette, nullptr);
  EXPECT_NE(palette->format->palette, nullptr);
  EXPECT_TRUE(palette->flags & SDL_SRCCOLORKEY);
  SDL_Surface* keyed = LoadPicture("Images/keyed.png");
  ASSERT_NE(keyed, nullptr);
  EXPECT_TRUE(keyed->flags & SDL_SRCCOLORKEY);
  SDL_FreeSurface(palette);
  SDL_FreeSurface(keyed);
}

TEST_F(PictureFiles, WhatACallerDoesToItsSurfaceNeverReachesTheNextOne) {
  ScopedWorkDir dir;
  LinkAssets();
  SDL_Surface* first = LoadPicture("Images/Glouto.png");
  ASSERT_NE(first, nullptr);
  SDL_SetColorKey(first, SDL_SRCCOLORKEY, SDL_MapRGB(first->format, 255, 255, 255));
  SDL_FillRect(first, nullptr, SDL_MapRGB(first->format, 1, 2, 3));
  SDL_SetAlpha(first, SDL_SRCALPHA, 7);
  SDL_FreeSurface(first);
  ExpectLoadsLikeImgLoad("Images/Glouto.png");
}

TEST_F(PictureFiles, APictureRewrittenOnDiskIsReadAgain) {
  ScopedWorkDir dir;
  mkdir("Images", 0755);
  // Same size, same name, rewritten at once: only the content tells them apart.
  for (Uint8 shade : {10, 250, 10}) {
    SaveBmp("Images/Mur.png", 24, shade);
    SDL_Surface* loaded = LoadPicture("Images/Mur.png");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(PixelAt(loaded, 0, 0).r, shade);
    ExpectLoadsLikeImgLoad("Images/Mur.png");
    SDL_FreeSurface(loaded);
  }
}

TEST_F(PictureFiles, TheSameNameInAnotherFolderIsAnotherPicture) {
  for (Uint8 shade : {40, 90}) {
    ScopedWorkDir dir;
    mkdir("Images", 0755);
    SaveBmp("Images/coffre.png", 24, shade);
    SDL_Surface* loaded = LoadPicture("Images/coffre.png");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(PixelAt(loaded, 0, 0).r, shade);
    SDL_FreeSurface(loaded);
  }
}

TEST_F(PictureFiles, AMissingOrBrokenFileGivesNoPictureUntilItIsThere) {
  ScopedWorkDir dir;
  mkdir("Images", 0755);
  EXPECT_EQ(LoadPicture("Images/none.png"), nullptr);
  EXPECT_EQ(LoadPicture(nullptr), nullptr);
  WriteFile("Images/broken.png", "not a picture at all");
  EXPECT_EQ(IMG_Load("Images/broken.png"), nullptr);
  EXPECT_EQ(LoadPicture("Images/broken.png"), nullptr);
  EXPECT_EQ(LoadPicture("Images"), nullptr);  // a folder
  SaveBmp("Images/none.png", 24, 77);
  ExpectLoadsLikeImgLoad("Images/none.png");
}
