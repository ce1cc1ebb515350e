// libFuzzer target: whatever the bytes of a music file, opening and playing it
// through the game's decoder stays inside its buffers, never hands back more
// frames than asked, and every sample it gives is a finite number.
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/desktop/sound/sound_file.h"
#include "platform/desktop/sound/sound_stream.h"

namespace {

// Output rates the device may run at; a byte of the input picks one.
constexpr std::array<int, 4> kDeviceRates{44100, 48000, 22050, 8000};
constexpr long kMaxFrames = 8192;  // enough to go round a short file a few times

std::string ScratchPath(const char* ending) {
  return std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/glouto-fuzz-music-" +
         std::to_string(getpid()) + ending;
}

void Drain(SoundStream& stream, bool endless) {
  std::array<float, 2 * 700> chunk;  // not a power of two, to cross the decoder's chunks
  const long want = static_cast<long>(chunk.size() / 2);
  for (long total = 0; total < kMaxFrames;) {
    chunk.fill(NAN);
    const long got = stream.Read(chunk.data(), want, endless);
    if (got < 0 || got > want) std::abort();
    for (long i = 0; i < 2 * got; ++i) {
      if (!std::isfinite(chunk[static_cast<size_t>(i)])) std::abort();
    }
    if (got < want) return;
    total += got;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool wav = size >= 4 && data[0] == 'R' && data[1] == 'I' && data[2] == 'F' &&
                   data[3] == 'F';
  const std::string path = ScratchPath(wav ? ".wav" : ".mp3");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  if (SoundFileKind(path.c_str()) == SoundKind::None) return 0;
  const int rate = kDeviceRates[size > 0 ? data[size - 1] % kDeviceRates.size() : 0];
  auto stream = SoundStream::Open(path.c_str(), rate);
  if (!stream) return 0;
  Drain(*stream, false);
  stream->Rewind();
  Drain(*stream, true);
  return 0;
}
