#ifndef GLOUTO_BENCH_WORLD_H
#define GLOUTO_BENCH_WORLD_H

// A level at the game's limits, built with the game's own loaders: a window
// up to 1000 x 600, up to 1000 walls, 300 chests, the hero and 5 enemies.
#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <cstdlib>

#include "common/screen_kit.h"
#include "game/maze/actors.h"
#include "game/maze/images.h"

namespace bench {

constexpr int kHeight = 600;
constexpr int kWalls = 1000, kChests = 300, kEnemies = 5;
constexpr Uint32 kVideoFlags = SDL_HWSURFACE | SDL_DOUBLEBUF;

struct World {
  SDL_Surface* screen = nullptr;
  TTF_Font* font = nullptr;
  int width = 1000;
  int wallCount = 0;
  std::array<SDL_Rect, kWalls> wallPositions{};
  std::array<SDL_Surface*, kWalls> wallImages{};
  std::array<SDL_Rect, kChests> chestPositions{};
  std::array<SDL_Surface*, kChests> chestImages{};
  std::array<SDL_Rect, kEnemies> enemyPositions{};
  std::array<SDL_Surface*, kEnemies> enemyImages{};
  std::array<int, kEnemies> enemyDirections{};
  SDL_Rect heroPosition{};
  SDL_Surface* heroImage = nullptr;

  // Walls fill the grid row by row (wrapping over it again past 960 cells),
  // chests and enemies lie at seeded random spots, all inside the window.
  World(int width_, int walls) : width(width_), wallCount(walls) {
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER);
    TTF_Init();
    screen = SDL_SetVideoMode(width, kHeight, 32, kVideoFlags);
    font = TTF_OpenFont("Police/comic.ttf", 25);
    const int columns = width / 25;
    for (int i = 0; i < wallCount; ++i) {
      const int cell = i % (columns * (kHeight / 25));
      wallPositions[i] = {static_cast<Sint16>(cell % columns * 25),
                          static_cast<Sint16>(cell / columns * 25), 0, 0};
      ReloadImage(&wallImages[i], "Images/Mur.png");
    }
    std::srand(1);
    for (int i = 0; i < kChests; ++i) {
      chestPositions[i] = {static_cast<Sint16>(30 + std::rand() % (width - 60)),
                           static_cast<Sint16>(30 + std::rand() % (kHeight - 60)), 0, 0};
      ReloadImage(&chestImages[i], "Images/coffre.png");
    }
    Ennemis(width, kHeight, enemyDirections.data(), kEnemies, &heroPosition, enemyPositions.data(),
            enemyImages.data());
    for (int i = 0; i < kEnemies; ++i)
      enemyPositions[i] = {static_cast<Sint16>(60 + 150 * i), 200, 0, 0};
    heroPosition = {static_cast<Sint16>(width / 2 + 1), kHeight / 2 + 1, 0, 0};
    ReloadImage(&heroImage, "Images/Glouto.png");
    SetWhiteKey(heroImage);
  }

  ~World() {
    for (SDL_Surface* s : wallImages) SDL_FreeSurface(s);
    for (SDL_Surface* s : chestImages) SDL_FreeSurface(s);
    for (SDL_Surface* s : enemyImages) SDL_FreeSurface(s);
    SDL_FreeSurface(heroImage);
    if (font) TTF_CloseFont(font);
    TTF_Quit();
    SDL_Quit();
  }
  World(const World&) = delete;
  World& operator=(const World&) = delete;
};

}  // namespace bench

#endif
