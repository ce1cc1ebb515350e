// The audio thread's work: decoding and resampling a second of each shipped
// track, as the mixer asks for it (256 frames at a time, 44100 Hz stereo).
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "platform/desktop/sound/sound_stream.h"

namespace {

constexpr int kDeviceRate = 44100;
constexpr long kStep = 256;

void BM_MusicSecond(benchmark::State& state, const char* track) {
  const std::string path = std::string(GLOUTO_ASSETS_DIR) + "/Musique/" + track;
  std::unique_ptr<SoundStream> stream = SoundStream::Open(path.c_str(), kDeviceRate);
  if (!stream) {
    state.SkipWithError("the track does not open");
    return;
  }
  std::array<float, 2 * kStep> chunk;
  for (auto _ : state) {
    for (long done = 0; done < kDeviceRate; done += kStep) {
      benchmark::DoNotOptimize(stream->Read(chunk.data(), kStep, true));
    }
  }
}
BENCHMARK_CAPTURE(BM_MusicSecond, wav_22050_mono, "Musique.wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MusicSecond, mp3_44100_mono, "Musique2.mp3")->Unit(benchmark::kMillisecond);

}  // namespace
