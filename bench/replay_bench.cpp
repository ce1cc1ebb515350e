// A recorded game of about five minutes watched with --vite, against the time
// it was played, in one run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "game/flow/game.h"
#include "game/replay/intake.h"
#include "game/replay/recording.h"
#include "game/replay/sources.h"

namespace {

// The time the game itself counted in play: its clock's quarter seconds (the
// screens around the levels, the pause and the level starts come on top).
double PlaySeconds(const Recording& r) {
  double seconds = 0;
  for (const Ticks& t : r.ticks) seconds += 0.25 * t.count;
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
    if (SDL_main(4, argv) != 0) {
      state.SkipWithError("the replay left its recording");
      break;
    }
    replay += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  IntakeBegin(IntakeMode::kPlay);  // the frames of later benchmarks are played, not watched
  const double play = PlaySeconds(recording);
  state.counters["play_s"] = play;
  state.counters["frames"] = recording.frames;
  state.counters["replay_s"] = replay / static_cast<double>(state.iterations());
  state.counters["replay_to_play"] = replay / static_cast<double>(state.iterations()) / play;
}
BENCHMARK(BM_FastReplay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
