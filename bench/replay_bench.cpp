// A recorded game of about five minutes watched with --vite, against the
// game's own length, in one run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "game/flow/game.h"
#include "game/replay/recording.h"
#include "game/replay/sources.h"

namespace {

// The time the game itself counted in play: its clock's quarter seconds.
double PlaySeconds(const Recording& r) {
  double seconds = 0;
  for (const Ticks& t : r.ticks) seconds += 0.25 * t.count;
  return seconds;
}

// The waits before each event of its screens (the menu, the level starts, the
// pause, the end screens).
double ScreenSeconds(const Recording& r) {
  double seconds = 0;
  for (const Moment& m : r.moments) seconds += m.screen ? 0.01 * m.wait : 0;
  return seconds;
}

void BM_FastReplay(benchmark::State& state) {
  std::string path = GLOUTO_GAMES_DIR "/five_minutes.partie";
  Recording recording;
  if (!LoadRecording(path, &recording).empty()) return state.SkipWithError(path.c_str());
  char name[] = "game", watch[] = "--revoir", fast[] = "--vite";
  char* argv[] = {name, watch, path.data(), fast, nullptr};
  double replay = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (SDL_main(4, argv) != 0) return state.SkipWithError("the replay left its recording");
    replay += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double game = PlaySeconds(recording) + ScreenSeconds(recording);
  state.counters["play_s"] = PlaySeconds(recording);
  state.counters["screens_s"] = ScreenSeconds(recording);
  state.counters["frames"] = recording.frames;
  state.counters["replay_s"] = replay / static_cast<double>(state.iterations());
  state.counters["replay_to_game"] = replay / static_cast<double>(state.iterations()) / game;
}
BENCHMARK(BM_FastReplay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
