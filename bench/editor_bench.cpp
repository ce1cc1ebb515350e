// The editor's pass over its widest grid: 960 cells drawn, then the flip.
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <array>

#include "editor/grid.h"

namespace {

struct Grid {
  SDL_Surface* screen = nullptr;
  std::array<SDL_Surface*, kTableSize> pictures{};
  std::array<SDL_Rect, kTableSize> positions{};
  std::array<int, kTableSize> wallX{}, wallY{};
  int cells = 0;

  explicit Grid(int width) {
    SDL_Init(SDL_INIT_VIDEO);
    screen = SDL_SetVideoMode(width, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
    cells = Init(screen, pictures.data(), positions.data(), width, 600, kCellSize, wallX.data(),
                 wallY.data());
    // Every other cell a wall, so both pictures are drawn.
    for (int c = 0; c < cells; c += 2) {
      SDL_FreeSurface(pictures[c]);
      pictures[c] = IMG_Load(kWallPicture);
    }
  }
  ~Grid() {
    for (SDL_Surface* s : pictures) SDL_FreeSurface(s);
    SDL_Quit();
  }
};

void BM_EditorDessin(benchmark::State& state) {
  Grid g(static_cast<int>(state.range(0)));
  for (auto _ : state)
    Dessin(g.screen, g.pictures.data(), g.positions.data(), 1000, 600, kCellSize, g.cells);
  state.counters["cells"] = g.cells;
}
BENCHMARK(BM_EditorDessin)->Arg(600)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The grid built anew (the Backspace key); its 2 ms per cell is sleep.
void BM_EditorInit(benchmark::State& state) {
  Grid g(1000);
  for (auto _ : state)
    Init(g.screen, g.pictures.data(), g.positions.data(), 1000, 600, kCellSize, g.wallX.data(),
         g.wallY.data());
}
BENCHMARK(BM_EditorInit)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
