// Whole frames of the game (RunFrame, the real code) at the game's limits.
// The frame's fixed waits are sleep, so the CPU time is the frame's own work.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "game/flow/globals.h"
#include "game/flow/loop.h"
#include "game/flow/session.h"
#include "game/flow/state.h"
#include "game/maze/actors.h"
#include "game/maze/images.h"
#include "game/replay/intake.h"
#include "game/replay/state_check.h"
#include "game/screens/screen_kit.h"
#include "platform/window.h"

namespace {

constexpr int kHeight = 600;

// A level the loaders could have filled: `walls` walls on the grid cells in
// reading order (past 960 the grid is covered again), the chests strewn over
// the window, the enemies from the start corner, the hero in the centre. The
// counters keep the level going: no level change, no end, no catch.
std::unique_ptr<GameState> Level(int width, int walls, int chests, int enemies) {
  auto s = std::make_unique<GameState>();
  s->width = width;
  s->height = kHeight;
  s->screen = WindowSetVideoMode(width, kHeight, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  s->font = TTF_OpenFont("Police/comic.ttf", 25);
  s->wallCount = walls;
  const int columns = width / 25, cells = columns * (kHeight / 25);
  for (int i = 0; i < walls; ++i) {
    const int cell = i % cells;
    s->wallPositions[i] = {static_cast<Sint16>(cell % columns * 25),
                           static_cast<Sint16>(cell / columns * 25), 0, 0};
    ReloadImage(&s->wallImages[i], "Images/Mur.png");
  }
  s->chestCount = chests;
  std::srand(3);
  for (int i = 0; i < chests; ++i) {
    s->chestPositions[i] = {static_cast<Sint16>(30 + std::rand() % (width - 60)),
                            static_cast<Sint16>(30 + std::rand() % (kHeight - 60)), 0, 0};
    ReloadImage(&s->chestImages[i], "Images/coffre.png");
  }
  s->enemyCount = enemies;
  Ennemis(width, kHeight, s->enemyDirections.data(), s->enemyCount, &s->heroPosition,
          s->enemyPositions.data(), s->enemyImages.data());
  s->heroPosition = {static_cast<Sint16>(width / 2 + 1), kHeight / 2 + 1, 0, 0};
  ReloadImage(&s->heroImage, "Images/Glouto.png");
  SetWhiteKey(s->heroImage);
  s->clockRect.x = static_cast<Sint16>(width - 130);
  s->level = 6;
  s->clock = 900;
  s->remaining = 1000000;
  invulnerable = 10000;
  return s;
}

void Frames(benchmark::State& state, int zoom) {
  WindowSetZoom(zoom);  // before SDL_Init, as the programs do
  SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER);
  TTF_Init();
  {
    auto s = Level(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                   static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    int frame = 0;
    for (auto _ : state) {
      // The 250 ms timer, at the frame's pace of about 40 ms.
      if (++frame % 6 == 0) Change += 1;
      RunFrame(*s);
    }
    ReleaseGameSurfaces(*s);
    if (s->font) TTF_CloseFont(s->font);
  }
  TTF_Quit();
  SDL_Quit();
  WindowSetZoom(1);
}

void BM_Frame(benchmark::State& state) { Frames(state, 1); }

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A key for the intake to take, another than the last each time: a new moment.
int TakeKey(int (*poll)(SDL_Event*), int n) {
  SDL_Event key = {};
  key.type = SDL_KEYDOWN;
  key.key.keysym.sym = n % 2 ? SDLK_UP : SDLK_DOWN;
  SDL_PushEvent(&key);
  SDL_Event taken;
  return poll(&taken);
}

// Plays a frame a pass and, beside it, `added`, which returns the seconds of
// one frame's worth of its own work: the frame's own work (this thread's CPU
// time; the waits are sleep), the added work and its share, as counters.
template <typename Added>
void FrameShare(benchmark::State& state, GameState& s, const std::string& name, Added added) {
  double frame = 0, extra = 0;
  int n = 0;
  for (auto _ : state) {
    if (++n % 6 == 0) Change += 1;
    const double start = ThreadSeconds();
    RunFrame(s);
    frame += ThreadSeconds() - start;
    extra += added();
  }
  const double passes = static_cast<double>(state.iterations());
  state.counters["frame_us"] = 1e6 * frame / passes;
  state.counters[name + "_us"] = 1e6 * extra / passes;
  state.counters[name + "_percent"] = 100 * extra / frame;
  ReleaseGameSurfaces(s);
  if (s.font) TTF_CloseFont(s.font);
}

// What recording adds to a frame of the worst case: 64 frames' worth of what
// the intake records when every frame takes a new key (its look at the frame,
// with the state check of every 64th, and the key noted), less the window's
// own poll of that key.
void BM_RecordingShare(benchmark::State& state) {
  SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER);
  TTF_Init();
  {
    auto s = Level(1000, 1000, 300, 5);
    IntakeBegin(IntakeMode::kPlay);
    IntakeStartGame();
    FrameShare(state, *s, "recording", [&s] {
      const double start = ThreadSeconds();
      for (int i = 0; i < 64; ++i) IntakeFrame(*s), TakeKey(PollGameEvent, i);
      const double recorded = ThreadSeconds();
      for (int i = 0; i < 64; ++i) TakeKey(WindowPollEvent, i);
      return ((recorded - start) - (ThreadSeconds() - recorded)) / 64;
    });
  }
  TTF_Quit();
  SDL_Quit();
}
BENCHMARK(BM_RecordingShare)->Unit(benchmark::kMicrosecond)->MinTime(0.2);
// On two screens every frame's state is summed (StateChecksum) and sent: its
// cost as a share of the frame's own work, 64 sums a pass, at the worst case
// and at level 1.
void BM_ChecksumShare(benchmark::State& state) {
  SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER);
  TTF_Init();
  {
    auto s = Level(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                   static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    std::uint32_t kept = 0;
    FrameShare(state, *s, "checksum", [&s, &kept] {
      const double start = ThreadSeconds();
      for (int i = 0; i < 64; ++i) kept ^= StateChecksum(*s) + static_cast<std::uint32_t>(i);
      return (ThreadSeconds() - start) / 64;
    });
    benchmark::DoNotOptimize(kept);
  }
  TTF_Quit();
  SDL_Quit();
}
BENCHMARK(BM_ChecksumShare)
    ->ArgNames({"width", "walls", "chests", "enemies"})
    ->Args({1000, 1000, 300, 5})
    ->Args({600, 24, 50, 1})
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.2);
void BM_ZoomedFrame(benchmark::State& state) { Frames(state, 2); }

// The worst case (1000 x 600, 1000 walls, 300 chests, 5 enemies), its growth
// with the walls and the width, and a frame of level 1 for comparison.
BENCHMARK(BM_Frame)
    ->ArgNames({"width", "walls", "chests", "enemies"})
    ->Args({1000, 0, 300, 5})
    ->Args({1000, 250, 300, 5})
    ->Args({1000, 500, 300, 5})
    ->Args({1000, 1000, 300, 5})
    ->Args({600, 1000, 300, 5})
    ->Args({700, 1000, 300, 5})
    ->Args({800, 1000, 300, 5})
    ->Args({900, 1000, 300, 5})
    ->Args({600, 24, 50, 1})
    ->Unit(benchmark::kMicrosecond);
// The same worst case and level 1 with --zoom 2: the frame's growth is the
// enlarged copy at each flip (classic SDL) or the library's scaling.
BENCHMARK(BM_ZoomedFrame)
    ->ArgNames({"width", "walls", "chests", "enemies"})
    ->Args({1000, 1000, 300, 5})
    ->Args({600, 24, 50, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
