// The desktop's shortcuts (BlitPicture, LoadPicture, FillWhole) give exactly
// SDL's own result; the zoomed window's copy; the SDL library a run loads.
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/desktop/zoom_copy.h"
#include "platform/picture_blits.h"
#include "platform/picture_files.h"
#include "platform/surface_fill.h"
#include "tests/support/test_support.h"

namespace {

constexpr Uint32 kXrgb[] = {0xFF0000, 0xFF00, 0xFF, 0};  // a 32-bit window
constexpr Uint32 kXbgr[] = {0xFF, 0xFF00, 0xFF0000, 0};  // SDL_image's RGB PNG
constexpr Uint32 kArgb[] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
constexpr Uint32 k565[] = {0xF800, 0x7E0, 0x1F, 0};
constexpr Uint32 kNone[] = {0, 0, 0, 0};  // SDL's default for the depth

SDL_Surface* Make(int w, int h, int bits, const Uint32* m = kXrgb) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, m[0], m[1], m[2], m[3]);
}

size_t Size(const SDL_Surface* s) { return static_cast<size_t>(s->pitch) * s->h; }

// Every byte random, row padding and unused bytes too.
SDL_Surface* Noise(SDL_Surface* s, unsigned seed = 3) {
  std::srand(seed);
  for (size_t i = 0; i < Size(s); ++i) static_cast<Uint8*>(s->pixels)[i] = std::rand();
  return s;
}

// Pixels of a few colours, white (the key) among them.
SDL_Surface* Patchwork(int w, int h, unsigned seed, bool keyed = true, int bits = 24,
                       const Uint32* masks = kXbgr) {
  SDL_Surface* s = Make(w, h, bits, masks);
  std::srand(seed);
  const Uint32 colours[] = {SDL_MapRGB(s->format, 255, 255, 255),
                            SDL_MapRGB(s->format, 254, 255, 255), SDL_MapRGB(s->format, 0, 0, 0),
                            SDL_MapRGB(s->format, 12, 200, 99)};
  for (int i = 0; i < w * h; ++i) {
    SDL_Rect r{Sint16(i % w), Sint16(i / w), 1, 1};
    SDL_FillRect(s, &r, colours[std::rand() % 4]);
  }
  if (keyed) SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, 255, 255, 255));
  return s;
}

// Draws `picture` twice at spots inside, past each edge and outside, both
// ways onto equal screens: the same colours, rectangle written back and result.
void ExpectDrawnAsSdlDraws(SDL_Surface* picture, const Uint32* screenMasks = kXrgb,
                           const SDL_Rect* clip = nullptr) {
  SDL_Surface* want = Noise(Make(120, 90, 32, screenMasks));
  SDL_Surface* got = Noise(Make(120, 90, 32, screenMasks));
  SDL_SetClipRect(want, clip);
  SDL_SetClipRect(got, clip);
  for (auto [x, y] :
       {std::pair{10, 10}, {-7, 5}, {5, -9}, {110, 84}, {-60, -60}, {125, 0}, {0, 90}})
    for (int pass = 0; pass < 2; ++pass) {
      SCOPED_TRACE(testing::Message() << "at " << x << ", " << y << " pass " << pass);
      SDL_Rect a{Sint16(x), Sint16(y), 3, 4}, b = a;
      EXPECT_EQ(BlitPicture(picture, got, &b), SDL_UpperBlit(picture, nullptr, want, &a));
      EXPECT_TRUE(a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h) << b.w << "x" << b.h;
      ASSERT_TRUE(Colours(got) == Colours(want)) << "the screens show different colours";
    }
  SDL_FreeSurface(want);
  SDL_FreeSurface(got);
}

// Twice through LoadPicture (a decode, then a copy), each alike in all a caller
// can see to a fresh IMG_Load: fields, format, palette, pixels.
void ExpectLoadsLikeImgLoad(const std::string& path) {
  SCOPED_TRACE(path);
  auto seen = [](const SDL_Surface* s) {
    const SDL_PixelFormat* f = s->format;
    const SDL_Rect& c = s->clip_rect;
    const auto* colours = f->palette ? reinterpret_cast<const char*>(f->palette->colors) : "";
    return std::make_tuple(
        s->flags, s->w, s->h, s->pitch, s->offset, s->refcount, s->locked, c.x, c.y, c.w, c.h,
        f->BitsPerPixel, f->BytesPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask, f->Rshift,
        f->Gshift, f->Bshift, f->Ashift, f->Rloss, f->Gloss, f->Bloss, f->Aloss, f->colorkey,
        f->alpha, std::string(colours, f->palette ? f->palette->ncolors * sizeof(SDL_Color) : 0),
        std::string(static_cast<const char*>(s->pixels), Size(s)));
  };
  SDL_Surface* fresh = IMG_Load(path.c_str());
  ASSERT_NE(fresh, nullptr) << IMG_GetError();
  SDL_Surface* first = LoadPicture(path.c_str());
  SDL_Surface* second = LoadPicture(path.c_str());
  ASSERT_TRUE(first && second && first != second) << "each caller owns its own surface";
  EXPECT_TRUE(seen(first) == seen(fresh) && seen(second) == seen(fresh));
  for (SDL_Surface* s : {fresh, first, second}) SDL_FreeSurface(s);
}

void SaveBmp(const char* path, int bits, Uint8 shade) {
  SDL_Surface* s = Make(7, 5, bits, kNone);
  SDL_Color colours[] = {{shade, 1, 2, 0}, {3, shade, 4, 0}, {5, 6, shade, 0}};
  if (s->format->palette) SDL_SetColors(s, colours, 0, 3);
  for (int i = 0; i < 35; ++i) {
    SDL_Rect r{Sint16(i % 7), Sint16(i / 7), 1, 1};
    SDL_FillRect(s, &r, s->format->palette ? i % 3 : SDL_MapRGB(s->format, shade, i * 7, i));
  }
  ASSERT_EQ(SDL_SaveBMP(s, path), 0);
  SDL_FreeSurface(s);
}

class DesktopPictures : public SdlTest {};

}  // namespace

TEST_F(DesktopPictures, EveryPictureDrawsAsSdlDrawsItKeyedOrNotChangedOrFreed) {
  // Each picture layout on either screen, keyed or not, clipped or not; each freed
  // as the next is made at its size, where it most likely was; then all at once.
  const SDL_Rect clip{20, 15, 50, 40};
  std::vector<SDL_Surface*> pictures;
  for (auto [bits, masks] :
       {std::pair{24, kXbgr}, {24, kXrgb}, {32, kXrgb}, {32, kArgb}, {16, k565}})
    for (int plainKeyedClipped : {0, 1, 2}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, case " << plainKeyedClipped);
      SDL_Surface* picture = Patchwork(30, 30, 100 + pictures.size(), plainKeyedClipped, bits,
                                       masks);
      for (const Uint32* screen : {kXrgb, kXbgr})  // one picture on both: a copy for each
        ExpectDrawnAsSdlDraws(picture, screen, plainKeyedClipped == 2 ? &clip : nullptr);
      SDL_FreeSurface(picture);
      pictures.push_back(Patchwork(6, 5, pictures.size()));
    }
  for (SDL_Surface* p : pictures)
    ExpectDrawnAsSdlDraws(p), ExpectDrawnAsSdlDraws(p), SDL_FreeSurface(p);
  // Changed in its last pixel, then in its key.
  SDL_Surface* picture = Patchwork(25, 25, 8);
  ExpectDrawnAsSdlDraws(picture);
  SDL_Rect last{24, 24, 1, 1};
  SDL_FillRect(picture, &last, SDL_MapRGB(picture->format, 1, 2, 3));
  ExpectDrawnAsSdlDraws(picture);
  SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, 0, 0, 0));
  ExpectDrawnAsSdlDraws(picture);
  SDL_SetColorKey(picture, 0, 0);
  ExpectDrawnAsSdlDraws(picture);
  SDL_FreeSurface(picture);
  SDL_Surface* screen = Noise(Make(120, 90, 32));
  const std::vector<Rgb> before = Colours(screen);
  SDL_Rect at{1, 1, 0, 0};
  EXPECT_LT(BlitPicture(nullptr, screen, &at), 0);
  EXPECT_TRUE(Colours(screen) == before);
  SDL_FreeSurface(screen);
}

TEST_F(DesktopPictures, EveryFileLoadsAsImgLoadGivesItAndIsReadAgainOnceChanged) {
  int shipped = 0;
  for (const auto& entry : std::filesystem::directory_iterator(AssetsDir() + "/Images"))
    ExpectLoadsLikeImgLoad(entry.path()), ++shipped;
  EXPECT_GE(shipped, 20);
  ScopedWorkDir dir;
  mkdir("Mine", 0755);
  for (int bits : {8, 16, 24, 32}) {
    SaveBmp(("Mine/" + std::to_string(bits) + ".bmp").c_str(), bits, 200);
    ExpectLoadsLikeImgLoad("Mine/" + std::to_string(bits) + ".bmp");
  }
  // Made by hand: a palette with a tRNS key (5 x 3), an RGB picture with its own key (3 x 4).
  for (const char* path : {GLOUTO_SOURCE_DIR "/tests/common/palette.png",
                           GLOUTO_SOURCE_DIR "/tests/common/keyed.png"}) {
    ExpectLoadsLikeImgLoad(path);
    SDL_Surface* mine = LoadPicture(path);
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(mine->flags & SDL_SRCCOLORKEY);
    // What a caller does to its surface never reaches the next one.
    SDL_FillRect(mine, nullptr, 1);
    SDL_SetColorKey(mine, 0, 0);
    SDL_SetAlpha(mine, SDL_SRCALPHA, 7);
    SDL_FreeSurface(mine);
    ExpectLoadsLikeImgLoad(path);
  }
  // Same size, same name, rewritten at once or in another folder: only the content differs.
  for (Uint8 shade : {10, 250, 10, 40}) {
    ScopedWorkDir other;
    mkdir("Images", 0755);
    for (Uint8 again : {shade, Uint8(shade + 1)}) {
      SaveBmp("Images/Mur.png", 24, again);
      SDL_Surface* loaded = LoadPicture("Images/Mur.png");
      ASSERT_NE(loaded, nullptr);
      EXPECT_EQ(PixelAt(loaded, 0, 0).r, again);
      SDL_FreeSurface(loaded);
    }
  }
  WriteFile("Mine/broken.png", "not a picture at all");
  for (const char* path : {"Mine/none.png", "Mine/broken.png", "Mine", (const char*)nullptr})
    EXPECT_EQ(LoadPicture(path), nullptr) << (path ? path : "null");
  SaveBmp("Mine/none.png", 24, 77);
  ExpectLoadsLikeImgLoad("Mine/none.png");
}
// Every depth, clip, padded row and the window itself: the same bytes, unused ones too.
TEST_F(DesktopPictures, EveryDepthClipPaddingAndTheWindowAreFilledAsSdlFills) {
  auto expectFilled = [](SDL_Surface* want, SDL_Surface* got, Uint32 colour, const SDL_Rect* clip) {
    std::memcpy(got->pixels, Noise(want, 17)->pixels, Size(want));
    SDL_SetClipRect(want, clip);
    SDL_SetClipRect(got, clip);
    EXPECT_EQ(FillWhole(got, colour), SDL_FillRect(want, nullptr, colour));
    EXPECT_EQ(std::memcmp(got->pixels, want->pixels, Size(want)), 0);
  };
  const SDL_Rect clips[] = {{0, 0, 37, 21}, {5, 3, 10, 7}, {0, 4, 37, 2},
                            {36, 20, 1, 1}, {3, 3, 0, 0},  {2, 1, 5, 3}};
  std::vector<Uint32> rows(2 * 12 * 21);
  for (int bits : {8, 16, 24, 32, 48})  // 48: 32-bit pixels, rows of 48 bytes
    for (Uint32 colour : {0x00FFFFFFu, 0u, 0x12345678u}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, colour " << colour);
      SDL_Surface* s[2];
      for (int i : {0, 1})
        s[i] = bits == 48 ? SDL_CreateRGBSurfaceFrom(&rows[i * 12 * 21], 9, 21, 32, 48, 0xFF0000,
                                                     0xFF00, 0xFF, 0)
                          : Make(37, 21, bits, kNone);
      const Uint32 value = bits >= 32 ? colour : colour & ((1u << bits) - 1);
      expectFilled(s[0], s[1], value, nullptr);
      for (const SDL_Rect& clip : clips) expectFilled(s[0], s[1], value, &clip);
      SDL_FreeSurface(s[0]);
      SDL_FreeSurface(s[1]);
    }
  SDL_Surface* screen = SDL_SetVideoMode(1000, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  ASSERT_NE(screen, nullptr);
  const SDL_PixelFormat* f = screen->format;
  const Uint32 masks[] = {f->Rmask, f->Gmask, f->Bmask, 0};
  SDL_Surface* want = Make(1000, 600, 32, masks);
  ASSERT_EQ(want->pitch, screen->pitch);
  expectFilled(want, screen, SDL_MapRGB(f, 255, 255, 255), nullptr);
  SDL_FreeSurface(want);
  EXPECT_LT(FillWhole(nullptr, 0), 0);
}

TEST(ZoomedCopy, EveryPixelStaysABlockThroughChangesAtPieceEdgesAndCorners) {
  for (const int zoom : {2, 3})
    for (const int bits : {32, 24}) {
      SCOPED_TRACE(::testing::Message() << "zoom " << zoom << ", " << bits << " bits");
      SDL_Surface* from = Noise(Make(70, 40, bits, kNone));
      SDL_Surface* to = Make(70 * zoom, 40 * zoom, bits, kNone);
      auto* pixels = static_cast<Uint8*>(from->pixels);
      const int bytes = from->format->BytesPerPixel;
      ZoomedCopy copy;
      for (const int at : {-1, 0, 31, 32, 39 * 70 + 69, 35 * 70 + 40}) {  // -1: the first update
        if (at >= 0) pixels[at / 70 * from->pitch + at % 70 * bytes] ^= 0x5A;
        copy.Update(from, to, zoom);
        int misplaced = 0;
        for (int y = 0; y < to->h; ++y)
          for (int x = 0; x < to->w; ++x)
            misplaced += std::memcmp(static_cast<Uint8*>(to->pixels) + y * to->pitch + x * bytes,
                                     pixels + y / zoom * from->pitch + x / zoom * bytes,
                                     bytes) != 0;
        EXPECT_EQ(misplaced, 0) << "pixels not their block's after a change at pixel " << at;
      }
      EXPECT_TRUE(copy.Update(from, to, zoom).empty()) << "nothing changed, nothing redrawn";
      SDL_FreeSurface(from);
      SDL_FreeSurface(to);
    }
}

// A run meant for sdl12-compat must not quietly test the classic library (a stray LD_LIBRARY_PATH).
TEST(SdlLibrary, TheRunHasTheLibraryItAsksFor) {
  const SDL_version* v = SDL_Linked_Version();
  std::ifstream maps("/proc/self/maps");
  std::string line, loaded;
  while (loaded.empty() && std::getline(maps, line))
    if (line.find("/libSDL-1.2.so") != std::string::npos) loaded = line.substr(line.find('/'));
  std::printf("SDL %d.%d.%d from %s\n", v->major, v->minor, v->patch, loaded.c_str());
  const char* wanted = std::getenv("GLOUTO_SDL_DIR");  // the folder the library must come from
  char real[PATH_MAX];  // where the system's SDL 1.2 is sdl12-compat, the folder links to it
  const std::string file = (wanted ? std::string(wanted) : "") + "/libSDL-1.2.so.0";
  if (wanted && *wanted)
    EXPECT_TRUE(loaded == (realpath(file.c_str(), real) ? real : file) && v->patch >= 50)
        << "not sdl12-compat (1.2.50 on) from " << wanted;
  else  // the library the headers were installed with
    EXPECT_EQ(SDL_VERSIONNUM(v->major, v->minor, v->patch),
              SDL_VERSIONNUM(SDL_MAJOR_VERSION, SDL_MINOR_VERSION, SDL_PATCHLEVEL));
}
