// Collision, chest placement and drawing at the game's limits.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>

#include "bench/world.h"
#include "common/Condition.h"
#include "game/flow/globals.h"
#include "level/level_file.h"
#include "platform/surface_fill.h"

namespace {

// The hero against 1000 walls, none touched: the whole table is scanned.
void BM_Condition1000Walls(benchmark::State& state) {
  std::array<SDL_Rect, bench::kWalls> walls{};
  for (int i = 0; i < bench::kWalls; ++i)
    walls[i] = {static_cast<Sint16>(i % 40 * 25), static_cast<Sint16>(300 + i / 40 * 25), 0, 0};
  SDL_Rect hero{101, 101, 0, 0};
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Condition(&hero, walls.data(), PRIEN, PRIEN, bench::kWalls, 0, 0, 0, 50, 25, 0, 0, 0));
  }
}
BENCHMARK(BM_Condition1000Walls);

// 300 chests on the shipped level with the most walls, in the widest window.
void BM_CarresDensestLevel(benchmark::State& state) {
  int densest = 1, most = -1;
  std::array<SDL_Rect, kMaxWalls> walls{};
  for (int level = 1; level <= 20; ++level) {
    char path[40];
    LevelFilePath(path, sizeof path, level);
    const int n = ReadLevelFile(path, walls.data(), kMaxWalls);
    if (n > most) most = n, densest = level;
  }
  char path[40];
  LevelFilePath(path, sizeof path, densest);
  const int wallCount = ReadLevelFile(path, walls.data(), kMaxWalls);
  std::array<SDL_Rect, bench::kChests> chests{};
  std::array<SDL_Surface*, bench::kChests> images{};
  std::srand(7);
  for (auto _ : state) {
    Carres(1000, bench::kHeight, chests.data(), images.data(), bench::kChests, walls.data(),
           wallCount);
  }
  for (SDL_Surface* s : images) SDL_FreeSurface(s);
  state.SetLabel("level " + std::to_string(densest) + ", " + std::to_string(wallCount) + " walls");
}
BENCHMARK(BM_CarresDensestLevel)->Unit(benchmark::kMillisecond);

// One Dessin of the walls (its 2 ms wait is sleep, not CPU time).
void BM_DessinWalls(benchmark::State& state) {
  bench::World w(1000, static_cast<int>(state.range(0)));
  for (auto _ : state) Dessin(w.screen, w.wallImages.data(), w.wallPositions.data(), w.wallCount);
}
BENCHMARK(BM_DessinWalls)->Arg(0)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_DessinChests(benchmark::State& state) {
  bench::World w(1000, 0);
  for (auto _ : state)
    Dessin(w.screen, w.chestImages.data(), w.chestPositions.data(), bench::kChests);
}
BENCHMARK(BM_DessinChests)->Unit(benchmark::kMicrosecond);

// The white fill that starts every frame, as SDL makes it.
void BM_FillWhite(benchmark::State& state) {
  bench::World w(static_cast<int>(state.range(0)), 0);
  for (auto _ : state) SDL_FillRect(w.screen, nullptr, SDL_MapRGB(w.screen->format, 255, 255, 255));
}
BENCHMARK(BM_FillWhite)->Arg(600)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The same fill as the game now makes it.
void BM_FillWhole(benchmark::State& state) {
  bench::World w(static_cast<int>(state.range(0)), 0);
  for (auto _ : state) FillWhole(w.screen, SDL_MapRGB(w.screen->format, 255, 255, 255));
}
BENCHMARK(BM_FillWhole)->Arg(600)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The draw of a frame as the game does it: the HUD texts rendered, the window
// filled white, the four tables drawn, the texts blitted, the flip, the texts freed.
void BM_DrawStep(benchmark::State& state) {
  bench::World w(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const SDL_Color black{0, 0, 0, 0};
  SDL_Rect remainingRect{0, -5, 0, 0}, livesRect{0, bench::kHeight - 35, 0, 0};
  SDL_Rect clockRect{static_cast<Sint16>(w.width - 130), -5, 0, 0};
  int clock = 135;
  for (auto _ : state) {
    char text[32];
    std::snprintf(text, sizeof text, "Restant : %d", 104);
    SDL_Surface* remaining = TTF_RenderText_Blended(w.font, text, black);
    std::snprintf(text, sizeof text, "Temps : %d", clock);
    SDL_Surface* clockText = TTF_RenderText_Blended(w.font, text, black);
    std::snprintf(text, sizeof text, "Vies : %d", 1);
    SDL_Surface* lives = TTF_RenderText_Blended(w.font, text, black);
    SDL_FillRect(w.screen, nullptr, SDL_MapRGB(w.screen->format, 255, 255, 255));
    Dessin(w.screen, w.wallImages.data(), w.wallPositions.data(), w.wallCount);
    Dessin(w.screen, w.chestImages.data(), w.chestPositions.data(), bench::kChests);
    Dessin(w.screen, &w.heroImage, &w.heroPosition, 1);
    Dessin(w.screen, w.enemyImages.data(), w.enemyPositions.data(), bench::kEnemies);
    SDL_BlitSurface(clockText, nullptr, w.screen, &clockRect);
    SDL_BlitSurface(remaining, nullptr, w.screen, &remainingRect);
    SDL_BlitSurface(lives, nullptr, w.screen, &livesRect);
    SDL_Flip(w.screen);
    SDL_FreeSurface(clockText);
    SDL_FreeSurface(remaining);
    SDL_FreeSurface(lives);
  }
}
BENCHMARK(BM_DrawStep)
    ->ArgNames({"width", "walls"})
    ->Args({1000, 0})
    ->Args({1000, 250})
    ->Args({1000, 500})
    ->Args({1000, 1000})
    ->Args({600, 1000})
    ->Args({700, 1000})
    ->Args({800, 1000})
    ->Args({900, 1000})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
