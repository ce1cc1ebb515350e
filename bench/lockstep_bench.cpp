// What a game on two screens sends, per player and per second of play: the
// five-minute recorded game replayed as its messages would be, the host's
// inputs, ticks, checksums and screens, and a guest pressing the same
// directions and pauses. Counted with the desktop's two bytes of size.
#include <benchmark/benchmark.h>

#include <vector>

#include "game/replay/lockstep.h"
#include "game/replay/recording.h"
#include "game/replay/sources.h"
#include "game/replay/taken_event.h"

namespace {

double Sent(const Message& m, LinkSide from) {
  return static_cast<double>(EncodeMessage(m, from).size() + 2);
}

void BM_LinkBytes(benchmark::State& state) {
  Recording r;
  if (!LoadRecording(GLOUTO_GAMES_DIR "/five_minutes.partie", &r).empty())
    return state.SkipWithError("no recording");
  double host = 0, guest = 0;
  for (auto _ : state) {
    // Each frame's events, and each screen's.
    std::vector<std::vector<TakenEvent>> frames(static_cast<std::size_t>(r.frames));
    int at = 0;
    host = guest = 0;
    for (const Moment& m : r.moments) {
      at += m.quiet;
      for (int k = 0; !m.screen && k < m.frames; ++k)
        frames[static_cast<std::size_t>(at++)].push_back(m.event);
      Message screen;
      screen.kind = MessageKind::kScreen;
      screen.wait = m.wait;
      screen.events = {m.event};
      if (m.screen) host += Sent(screen, LinkSide::kHost);
    }
    std::vector<int> ticks(frames.size());
    for (const Ticks& t : r.ticks) ticks[static_cast<std::size_t>(t.frame)] = t.count;
    for (std::size_t f = 0; f < frames.size(); ++f) {
      Message h, g;
      h.frame = g.frame = static_cast<int>(f) + kInputDelay;
      h.check = g.check = 0xFFFFFFFFu;
      h.ticks = ticks[f];
      h.events = frames[f];
      for (const TakenEvent& e : frames[f]) {
        GuestKey key;
        if (e.kind == TakenKind::kKeyDown && GuestKeyOf(EventOf(e), &key)) g.keys.push_back(key);
      }
      host += Sent(h, LinkSide::kHost);
      guest += Sent(g, LinkSide::kGuest);
    }
  }
  double seconds = 0;  // of play, by the game's own clock
  for (const Ticks& t : r.ticks) seconds += 0.25 * t.count;
  state.counters["frames"] = r.frames;
  state.counters["play_s"] = seconds;
  state.counters["frame_ms"] = 1000 * seconds / r.frames;
  state.counters["host_bytes_per_s"] = host / seconds;
  state.counters["guest_bytes_per_s"] = guest / seconds;
}
BENCHMARK(BM_LinkBytes)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
