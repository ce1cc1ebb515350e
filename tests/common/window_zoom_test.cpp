#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "platform/desktop/zoom_copy.h"
#include "platform/window.h"
#include "tests/support/test_support.h"

namespace {

// Pixels of `to` that are not the pixel of `from` they enlarge.
int Misplaced(const SDL_Surface* from, const SDL_Surface* to, int zoom) {
  const int bytes = from->format->BytesPerPixel;
  int wrong = 0;
  for (int y = 0; y < to->h; ++y)
    for (int x = 0; x < to->w; ++x)
      wrong += std::memcmp(static_cast<Uint8*>(to->pixels) + y * to->pitch + x * bytes,
                           static_cast<Uint8*>(from->pixels) + y / zoom * from->pitch + x / zoom * bytes,
                           bytes) != 0;
  return wrong;
}

bool Covered(const std::vector<SDL_Rect>& rects, int x, int y) {
  for (const SDL_Rect& r : rects)
    if (x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h) return true;
  return false;
}

}  // namespace

TEST(ZoomedCopy, EveryPixelStaysABlockThroughChangesAtPieceEdgesAndCorners) {
  const int changes[][2] = {{0, 0}, {31, 5}, {32, 5}, {69, 18}, {40, 10}};
  for (int zoom : {2, 3}) {
    for (int bits : {32, 24, 16}) {
      SCOPED_TRACE("zoom " + std::to_string(zoom) + ", " + std::to_string(bits) + " bits");
      SDL_Surface* from = SDL_CreateRGBSurface(SDL_SWSURFACE, 70, 19, bits, 0, 0, 0, 0);
      SDL_Surface* to = SDL_CreateRGBSurface(SDL_SWSURFACE, 70 * zoom, 19 * zoom, bits, 0, 0, 0, 0);
      std::srand(5);
      for (int i = 0; i < from->pitch * from->h; ++i)
        static_cast<Uint8*>(from->pixels)[i] = static_cast<Uint8>(std::rand());
      ZoomedCopy copy;
      copy.Update(from, to, zoom);
      EXPECT_EQ(Misplaced(from, to, zoom), 0);
      EXPECT_TRUE(copy.Update(from, to, zoom).empty()) << "nothing changed, nothing redrawn";
      for (const auto& at : changes) {
        static_cast<Uint8*>(from->pixels)[at[1] * from->pitch + at[0] * from->format->BytesPerPixel] ^= 0x5A;
        const std::vector<SDL_Rect> redrawn = copy.Update(from, to, zoom);
        EXPECT_EQ(Misplaced(from, to, zoom), 0) << "after a change at " << at[0] << ", " << at[1];
        EXPECT_TRUE(Covered(redrawn, at[0] * zoom + zoom - 1, at[1] * zoom + zoom - 1));
      }
      SDL_FreeSurface(from);
      SDL_FreeSurface(to);
    }
  }
}

class WindowZoom : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowSetZoom(2);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  void TearDown() override {
    SDL_Quit();
    WindowSetZoom(1);
  }
};

TEST_F(WindowZoom, ClassicSdlShowsTheProgramsSurfaceDoubledAndMapsThePointerBack) {
  if (SDL_Linked_Version()->patch >= 60) GTEST_SKIP() << "sdl12-compat scales the window itself";
  SDL_Surface* screen = WindowSetVideoMode(30, 20, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  ASSERT_NE(screen, nullptr);
  SDL_Surface* window = SDL_GetVideoSurface();
  EXPECT_EQ(std::make_pair(screen->w, screen->h), std::make_pair(30, 20));
  EXPECT_EQ(std::make_pair(window->w, window->h), std::make_pair(60, 40));
  SDL_Rect square{7, 3, 5, 5};
  SDL_FillRect(screen, &square, SDL_MapRGB(screen->format, 200, 10, 90));
  WindowFlip(screen);
  EXPECT_EQ(Misplaced(screen, window, 2), 0);

  Push(MouseMotion(59, 39));
  Push(MouseButton(SDL_MOUSEBUTTONDOWN, 25, 14));
  SDL_Event event;
  ASSERT_EQ(WindowPollEvent(&event), 1);
  EXPECT_EQ(std::make_pair(+event.motion.x, +event.motion.y), std::make_pair(29, 19));
  ASSERT_EQ(WindowPollEvent(&event), 1);
  EXPECT_EQ(std::make_pair(+event.button.x, +event.button.y), std::make_pair(12, 7));
}
