#ifndef GLOUTO_TESTS_GAME_SOUND_SAMPLES_H
#define GLOUTO_TESTS_GAME_SOUND_SAMPLES_H

// Sounds made by the tests, and a recorder of what the mixer plays.

#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace sound_samples {

constexpr int kRate = 44100;
constexpr int kAmplitude = 10000;
// What the mixer writes: 16-bit stereo at 44100 Hz.
constexpr long kBytesPerSecond = kRate * 2 * 2;
constexpr long kBufferBytes = 1024 * 2 * 2;

inline void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 16-bit WAV: a sine for `toneSeconds` (the same on every channel), then
// `silentSeconds` of zeros.
inline void WriteToneWav(const std::string& path, double toneSeconds, double silentSeconds = 0,
                         int amplitude = kAmplitude, double frequency = 440, int rate = kRate,
                         int channels = 1) {
  const long toneSamples = std::lround(toneSeconds * rate);
  const long samples = toneSamples + std::lround(silentSeconds * rate);
  const uint32_t dataBytes = static_cast<uint32_t>(samples * 2 * channels);
  std::string bytes = "RIFF";
  PutLe(bytes, 36 + dataBytes, 4);
  bytes += "WAVEfmt ";
  PutLe(bytes, 16, 4);
  PutLe(bytes, 1, 2);  // PCM
  PutLe(bytes, static_cast<uint32_t>(channels), 2);
  PutLe(bytes, static_cast<uint32_t>(rate), 4);
  PutLe(bytes, static_cast<uint32_t>(rate * 2 * channels), 4);
  PutLe(bytes, static_cast<uint32_t>(2 * channels), 2);
  PutLe(bytes, 16, 2);
  bytes += "data";
  PutLe(bytes, dataBytes, 4);
  for (long i = 0; i < samples; ++i) {
    const double value = i < toneSamples ? amplitude * std::sin(2 * M_PI * frequency * i / rate)
                                         : 0;
    for (int c = 0; c < channels; ++c)
      PutLe(bytes, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value))), 2);
  }
  std::ofstream(path, std::ios::binary) << bytes;
}

// MPEG-1 layer III frames at 128 kbit/s, 44100 Hz, with empty bodies: an MP3
// that decodes to silence, for tests that only need a file that opens.
inline void WriteSilentMp3(const std::string& path, int frames = 40) {
  constexpr int kFrameBytes = 144 * 128000 / 44100;  // 417
  std::string frame(kFrameBytes, '\0');
  frame[0] = static_cast<char>(0xFF);
  frame[1] = static_cast<char>(0xFB);
  frame[2] = static_cast<char>(0x90);
  std::string bytes;
  for (int i = 0; i < frames; ++i) bytes += frame;
  std::ofstream(path, std::ios::binary) << bytes;
}

// MPEG-1 layer III headers, each followed by a frame's worth of random bytes.
inline void WriteGarbageMp3(const std::string& path, int frames) {
  std::mt19937 random(1);
  std::string bytes;
  for (int i = 0; i < frames; ++i) {
    bytes += std::string("\xFF\xFB\x90\x64", 4);
    for (int b = 0; b < 413; ++b) bytes += static_cast<char>(random());
  }
  std::ofstream(path, std::ios::binary) << bytes;
}

// Picks SDL's audio driver while it lives.
class ScopedAudioDriver {
 public:
  explicit ScopedAudioDriver(const char* driver) {
    if (const char* previous = getenv("SDL_AUDIODRIVER")) previous_ = previous;
    setenv("SDL_AUDIODRIVER", driver, 1);
  }
  ~ScopedAudioDriver() {
    if (previous_.empty()) {
      unsetenv("SDL_AUDIODRIVER");
    } else {
      setenv("SDL_AUDIODRIVER", previous_.c_str(), 1);
    }
  }
  ScopedAudioDriver(const ScopedAudioDriver&) = delete;
  ScopedAudioDriver& operator=(const ScopedAudioDriver&) = delete;

 private:
  std::string previous_;
};

// Switches SDL to its disk audio driver while it lives: whatever the mixer
// plays lands in a raw file, a little faster than real time.
class DiskRecorder {
 public:
  explicit DiskRecorder(const std::string& path) : path_(path) {
    setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "10", 1);
  }
  DiskRecorder(const DiskRecorder&) = delete;
  DiskRecorder& operator=(const DiskRecorder&) = delete;

  long Size() const {
    struct stat info = {};
    return stat(path_.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
  }

  // Waits until the file holds `bytes`; false after five seconds.
  bool WaitUntil(long bytes, const std::function<void()>& eachPass = nullptr) const {
    const Uint32 start = SDL_GetTicks();
    while (Size() < bytes) {
      if (SDL_GetTicks() - start > 5000) return false;
      if (eachPass) eachPass();
      SDL_Delay(2);
    }
    return true;
  }

  // Largest sample magnitude of what is played from now on, over `seconds`,
  // skipping what the mixer may have prepared before this call.
  int PeakOfNext(double seconds = 0.1, const std::function<void()>& eachPass = nullptr) const {
    const long from = (Size() + 3 * kBufferBytes) & ~3L;
    const long to = from + (static_cast<long>(seconds * kBytesPerSecond) & ~3L);
    EXPECT_TRUE(WaitUntil(to, eachPass)) << "the mixer stopped writing";
    return Peak(from, to);
  }

  int Peak(long from, long to) const {
    int peak = 0;
    for (int16_t sample : Samples(from, to))
      peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
  }

  // Pitch of one side (0 left, 1 right) between two byte offsets, in Hz:
  // rising zero crossings per second.
  double Frequency(long from, long to, int side) const {
    const std::vector<int16_t> samples = Samples(from, to);
    int rises = 0;
    for (size_t i = side + 2; i < samples.size(); i += 2)
      rises += samples[i - 2] < 0 && samples[i] >= 0;
    return rises * 4.0 * kRate / static_cast<double>(to - from);
  }

 private:
  std::vector<int16_t> Samples(long from, long to) const {
    std::ifstream in(path_, std::ios::binary);
    in.seekg(from);
    std::vector<char> bytes(static_cast<size_t>(to - from));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::vector<int16_t> samples;
    for (size_t i = 0; i + 1 < static_cast<size_t>(in.gcount()); i += 2) {
      samples.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) |
                                             (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    }
    return samples;
  }

  ScopedAudioDriver driver_{"disk"};
  std::string path_;
};

inline bool HaveLame() { return std::system("command -v lame >/dev/null 2>&1") == 0; }

}  // namespace sound_samples

#endif
