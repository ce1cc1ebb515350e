#ifndef GLOUTO_TESTS_GAME_SOUND_SAMPLES_H
#define GLOUTO_TESTS_GAME_SOUND_SAMPLES_H

// Sounds made by the tests, and the audio driver they play on.

#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

namespace sound_samples {

constexpr int kRate = 44100;
constexpr int kAmplitude = 10000;

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

// A mono 32-bit float WAV holding `value` for `seconds`: +1.0 is full scale.
inline void WriteConstantWav(const std::string& path, float value, double seconds) {
  const uint32_t samples = static_cast<uint32_t>(seconds * kRate);
  std::string bytes = "RIFF";
  PutLe(bytes, 36 + samples * 4, 4);
  bytes += "WAVEfmt ";
  PutLe(bytes, 16, 4);
  PutLe(bytes, 3, 2);  // IEEE float
  PutLe(bytes, 1, 2);
  PutLe(bytes, kRate, 4);
  PutLe(bytes, kRate * 4, 4);
  PutLe(bytes, 4, 2);
  PutLe(bytes, 32, 2);
  bytes += "data";
  PutLe(bytes, samples * 4, 4);
  uint32_t bits = 0;
  std::memcpy(&bits, &value, 4);
  for (uint32_t i = 0; i < samples; ++i) PutLe(bytes, bits, 4);
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

inline bool HaveLame() { return std::system("command -v lame >/dev/null 2>&1") == 0; }

}  // namespace sound_samples

#endif
