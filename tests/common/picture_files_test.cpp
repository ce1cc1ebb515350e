// LoadPicture gives what IMG_Load gives, decoding each file once.
#include <SDL_image.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/picture_files.h"
#include "tests/common/surface_compare.h"
#include "tests/support/test_support.h"

namespace {

// Made by hand: a palette with a tRNS key (5 x 3), and an RGB one with its own key (3 x 4).
const std::string kPalettePng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x05\x00\x00"
    "\x00\x03\x08\x03\x00\x00\x00\x6c\xe8\x35\xca\x00\x00\x00\x0c\x50\x4c\x54\x45\xff\x00\x00"
    "\x00\xff\x00\x00\x00\xff\xff\xff\xff\xfb\x00\x60\xf6\x00\x00\x00\x04\x74\x52\x4e\x53\xff"
    "\xff\xff\x00\x40\x2a\xa9\xf4\x00\x00\x00\x14\x49\x44\x41\x54\x78\xda\x63\x60\x60\x64\x62"
    "\x66\x00\x13\x8c\x0c\x20\x82\x09\x00\x00\xc5\x00\x16\x8b\x39\x64\x50\x00\x00\x00\x00\x49"
    "\x45\x4e\x44\xae\x42\x60\x82",
    117);
const std::string kKeyedPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x03\x00\x00"
    "\x00\x04\x08\x02\x00\x00\x00\xc4\x4f\x12\x50\x00\x00\x00\x06\x74\x52\x4e\x53\x00\xff\x00"
    "\xff\x00\xff\x37\x58\x1b\x7d\x00\x00\x00\x14\x49\x44\x41\x54\x78\xda\x63\xf8\xff\xff\xbf"
    "\x80\x82\x01\x10\x31\xe0\x65\x01\x00\x49\xa3\x0e\xf5\x1e\x90\xd0\x8c\x00\x00\x00\x00\x49"
    "\x45\x4e\x44\xae\x42\x60\x82",
    95);

void SaveBmp(const char* path, int bits, Uint8 shade) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 7, 5, bits, 0, 0, 0, 0);
  SDL_Color colours[] = {{shade, 1, 2, 0}, {3, shade, 4, 0}, {5, 6, shade, 0}};
  if (s->format->palette) SDL_SetColors(s, colours, 0, 3);
  for (int i = 0; i < 35; ++i) {
    SDL_Rect r{static_cast<Sint16>(i % 7), static_cast<Sint16>(i / 7), 1, 1};
    SDL_FillRect(s, &r, s->format->palette ? i % 3 : SDL_MapRGB(s->format, shade, i * 7, i));
  }
  ASSERT_EQ(SDL_SaveBMP(s, path), 0);
  SDL_FreeSurface(s);
}

// Twice through LoadPicture (a decode, then a copy), each against a fresh IMG_Load.
void ExpectLoadsLikeImgLoad(const std::string& path) {
  SCOPED_TRACE(path);
  SDL_Surface* fresh = IMG_Load(path.c_str());
  ASSERT_NE(fresh, nullptr) << IMG_GetError();
  SDL_Surface* first = LoadPicture(path.c_str());
  SDL_Surface* second = LoadPicture(path.c_str());
  ExpectSameSurface(fresh, first);
  ExpectSameSurface(fresh, second);
  EXPECT_NE(first, second) << "each caller owns its own surface";
  for (SDL_Surface* s : {fresh, first, second}) SDL_FreeSurface(s);
}

class PictureFiles : public SdlTest {};

}  // namespace

TEST_F(PictureFiles, EveryPictureLoadsAsImgLoadGivesItKeysAndPalettesToo) {
  ScopedWorkDir dir;
  LinkAssets();
  int shipped = 0;
  DIR* folder = opendir("Images");
  ASSERT_NE(folder, nullptr);
  while (dirent* entry = readdir(folder))
    if (entry->d_name[0] != '.')
      ExpectLoadsLikeImgLoad("Images/" + std::string(entry->d_name)), ++shipped;
  closedir(folder);
  EXPECT_GE(shipped, 20);
  mkdir("Mine", 0755);
  WriteFile("Mine/palette.png", kPalettePng);
  WriteFile("Mine/keyed.png", kKeyedPng);
  for (int bits : {8, 16, 24, 32})
    SaveBmp(("Mine/" + std::to_string(bits) + ".bmp").c_str(), bits, 200);
  for (const char* path : {"Mine/palette.png", "Mine/keyed.png", "Mine/8.bmp", "Mine/16.bmp",
                           "Mine/24.bmp", "Mine/32.bmp"})
    ExpectLoadsLikeImgLoad(path);
  SDL_Surface* palette = LoadPicture("Mine/palette.png");
  SDL_Surface* keyed = LoadPicture("Mine/keyed.png");
  ASSERT_TRUE(palette && keyed);
  EXPECT_TRUE(palette->format->palette && (palette->flags & SDL_SRCCOLORKEY));
  EXPECT_TRUE(keyed->flags & SDL_SRCCOLORKEY);
  // What a caller does to its surface never reaches the next one.
  SDL_FillRect(keyed, nullptr, SDL_MapRGB(keyed->format, 1, 2, 3));
  SDL_SetColorKey(keyed, 0, 0);
  SDL_SetAlpha(keyed, SDL_SRCALPHA, 7);
  SDL_FreeSurface(keyed);
  SDL_FreeSurface(palette);
  ExpectLoadsLikeImgLoad("Mine/keyed.png");
}

TEST_F(PictureFiles, AFileChangedOnDiskOrElsewhereIsReadAgainAndAMissingOneIsNone) {
  // Same size, same name, rewritten at once or in another folder: only the content differs.
  for (Uint8 shade : {10, 250, 10, 40}) {
    ScopedWorkDir dir;
    mkdir("Images", 0755);
    for (Uint8 again : {shade, static_cast<Uint8>(shade + 1)}) {
      SaveBmp("Images/Mur.png", 24, again);
      SDL_Surface* loaded = LoadPicture("Images/Mur.png");
      ASSERT_NE(loaded, nullptr);
      EXPECT_EQ(PixelAt(loaded, 0, 0).r, again);
      SDL_FreeSurface(loaded);
    }
  }
  ScopedWorkDir dir;
  mkdir("Images", 0755);
  WriteFile("Images/broken.png", "not a picture at all");
  for (const char* path :
       {"Images/none.png", "Images/broken.png", "Images", static_cast<const char*>(nullptr)})
    EXPECT_EQ(LoadPicture(path), nullptr) << (path ? path : "null");
  SaveBmp("Images/none.png", 24, 77);
  ExpectLoadsLikeImgLoad("Images/none.png");
}
