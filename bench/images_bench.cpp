// The 250 ms sprite reloads and the HUD texts.
#include <benchmark/benchmark.h>

#include <array>

#include "bench/world.h"

namespace {

constexpr std::array<const char*, 4> kHeroPhase1 = {"Images/Glouto.png", "Images/Glouto2.png",
                                                    "Images/Glouto3.png", "Images/Glouto4.png"};
constexpr std::array<const char*, 4> kEnemyPhase2 = {
    "Images/Ennemi2.1.png", "Images/Ennemi2.2.png", "Images/Ennemi2.3.png", "Images/Ennemi2.4.png"};

// One sprite slot reloaded, as each animation step does for every actor.
void BM_ReloadSprite(benchmark::State& state) {
  bench::World w(1000, 0);
  SDL_Surface* slot = nullptr;
  int n = 0;
  for (auto _ : state) ReloadImage(&slot, kHeroPhase1[n++ % 4]);
  SDL_FreeSurface(slot);
}
BENCHMARK(BM_ReloadSprite)->Unit(benchmark::kMicrosecond);

// A whole animation step at the worst case: the hero and 5 enemies.
void BM_AnimationStep(benchmark::State& state) {
  bench::World w(1000, 0);
  int n = 0;
  for (auto _ : state) {
    ReloadImage(&w.heroImage, kHeroPhase1[n % 4]);
    for (int i = 0; i < bench::kEnemies; ++i)
      ReloadImage(&w.enemyImages[i], kEnemyPhase2[(n + i) % 4]);
    ++n;
  }
}
BENCHMARK(BM_AnimationStep)->Unit(benchmark::kMicrosecond);

void BM_ReloadWall(benchmark::State& state) {
  bench::World w(1000, 0);
  SDL_Surface* slot = nullptr;
  for (auto _ : state) ReloadImage(&slot, "Images/Mur.png");
  SDL_FreeSurface(slot);
}
BENCHMARK(BM_ReloadWall)->Unit(benchmark::kMicrosecond);

// The three HUD texts of one frame.
void BM_HudTexts(benchmark::State& state) {
  bench::World w(1000, 0);
  const SDL_Color black{0, 0, 0, 0};
  for (auto _ : state) {
    SDL_Surface* a = TTF_RenderText_Blended(w.font, "Restant : 104", black);
    SDL_Surface* b = TTF_RenderText_Blended(w.font, "Temps : 135", black);
    SDL_Surface* c = TTF_RenderText_Blended(w.font, "Vies : 1", black);
    SDL_FreeSurface(a);
    SDL_FreeSurface(b);
    SDL_FreeSurface(c);
  }
}
BENCHMARK(BM_HudTexts)->Unit(benchmark::kMicrosecond);

}  // namespace
