#ifndef GLOUTO_TESTS_GAME_MAZE_HELPERS_H
#define GLOUTO_TESTS_GAME_MAZE_HELPERS_H

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

// Random draws, pictures and watched surfaces for the tests of the maze.
namespace maze_test {

// The numbers rand gives after srand(seed); rand is seeded again for the code under test.
inline std::vector<int> Draws(unsigned seed, int n) {
  std::srand(seed);
  std::vector<int> draws(static_cast<size_t>(n));
  for (int& d : draws) d = std::rand();
  std::srand(seed);
  return draws;
}

inline SDL_Surface* NewSurface(int w, int h) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
}

// A w x h picture saved as a BMP under the game's name: SDL_image knows it by content.
inline void SavePicture(const char* path, int w, int h) {
  mkdir("Images", 0755);
  SDL_Surface* picture = NewSurface(w, h);
  SDL_FillRect(picture, nullptr, SDL_MapRGB(picture->format, 200, 30, 30));
  EXPECT_EQ(SDL_SaveBMP(picture, path), 0);
  SDL_FreeSurface(picture);
}

inline int WidthOrNone(const SDL_Surface* s) { return s ? s->w : -1; }

// A surface the test holds a second reference to, so it sees whether the game frees it.
inline SDL_Surface* Watched() {
  SDL_Surface* s = NewSurface(1, 1);
  ++s->refcount;
  return s;
}

// The game replaced `old` and freed it exactly once; drops the test's hold.
inline void ExpectFreedOnce(SDL_Surface* old, SDL_Surface* now) {
  EXPECT_NE(now, old);
  EXPECT_EQ(old->refcount, 1);
  SDL_FreeSurface(old);
}

// The game neither replaced nor freed `old`; releases both holds.
inline void ExpectUntouched(SDL_Surface* old, SDL_Surface* now) {
  EXPECT_EQ(now, old);
  EXPECT_EQ(old->refcount, 2);
  SDL_FreeSurface(old);
  SDL_FreeSurface(old);
}

inline void FreeAll(SDL_Surface** images, int count) {
  for (int i = 0; i < count; ++i) {
    if (images[i]) SDL_FreeSurface(images[i]);
    images[i] = nullptr;
  }
}

}  // namespace maze_test

#endif
