#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/desktop/zoom_copy.h"

TEST(ZoomedCopy, EveryPixelStaysABlockThroughChangesAtPieceEdgesAndCorners) {
  for (const int zoom : {2, 3}) {
    for (const int bits : {32, 24}) {
      SCOPED_TRACE(::testing::Message() << "zoom " << zoom << ", " << bits << " bits");
      SDL_Surface* from = SDL_CreateRGBSurface(SDL_SWSURFACE, 70, 40, bits, 0, 0, 0, 0);
      SDL_Surface* to = SDL_CreateRGBSurface(SDL_SWSURFACE, 70 * zoom, 40 * zoom, bits, 0, 0, 0, 0);
      auto* pixels = static_cast<Uint8*>(from->pixels);
      const int bytes = from->format->BytesPerPixel;
      for (int i = 0; i < from->pitch * from->h; ++i) pixels[i] = static_cast<Uint8>(std::rand());
      ZoomedCopy copy;
      for (const int at :
           {-1, 0, 31, 32, 39 * 70 + 69, 35 * 70 + 40}) {  // -1: the first, whole update
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
}
