#include "platform/desktop/sound/sound_stream.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr long kChunkFrames = 1024;
// Beyond these a file is no music the game could play in real time: the
// resampler's work grows with the ratio of the rates.
constexpr int kMinRate = 4000;
constexpr int kMaxRate = 192000;
constexpr int kMaxChannels = 16;

// A float WAV may hold NaN, infinity or values so large that the resampler's
// differences overflow; the mixer turns samples into integers.
float Finite(float value) { return std::isfinite(value) ? std::clamp(value, -1e6f, 1e6f) : 0.0f; }

}  // namespace

std::unique_ptr<SoundStream> SoundStream::Open(const char* name, int deviceRate) {
  SF_INFO info{};
  SNDFILE* file = sf_open(name, SFM_READ, &info);
  if (!file) return nullptr;
  std::unique_ptr<SoundStream> stream(new SoundStream);
  stream->file_ = file;
  if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate ||
      info.samplerate > kMaxRate || deviceRate < 1) {
    return nullptr;
  }
  stream->channels_ = info.channels;
  stream->kept_ = std::min(info.channels, 2);
  stream->ratio_ = static_cast<double>(deviceRate) / info.samplerate;
  if (!src_is_valid_ratio(stream->ratio_)) return nullptr;
  // Both chunks hold whole frames, so no read can end mid-frame.
  stream->raw_.resize(static_cast<size_t>(kChunkFrames) * info.channels);
  if (info.samplerate != deviceRate) {
    int error = 0;
    // Linear interpolation: a tenth of the cost of the cheapest windowed-sinc
    // converter, and still smoother than SDL's own rate change.
    stream->resampler_ = src_callback_new(&SoundStream::Supply, SRC_LINEAR, stream->kept_, &error,
                                          stream.get());
    if (!stream->resampler_) return nullptr;
    stream->kept_raw_.resize(static_cast<size_t>(kChunkFrames) * stream->kept_);
  }
  return stream;
}

SoundStream::~SoundStream() {
  if (resampler_) src_delete(resampler_);
  if (file_) sf_close(file_);
}

void SoundStream::Rewind() {
  sf_seek(file_, 0, SEEK_SET);
  if (resampler_) src_reset(resampler_);
}

// Frames straight from the file, in one or two channels: a track of more
// gives its first two.
long SoundStream::Decode(float* out, long frames, bool endless) {
  long done = 0;
  bool rewound = false;  // a track of no frames must not go round for ever
  while (done < frames) {
    const long want = std::min(frames - done, kChunkFrames);
    const sf_count_t got = sf_readf_float(file_, raw_.data(), want);
    if (got <= 0) {
      if (!endless || rewound) break;
      sf_seek(file_, 0, SEEK_SET);
      rewound = true;
      continue;
    }
    rewound = false;
    for (sf_count_t i = 0; i < got; ++i) {
      for (int c = 0; c < kept_; ++c) {
        out[kept_ * (done + i) + c] = Finite(raw_[static_cast<size_t>(i * channels_ + c)]);
      }
    }
    done += got;
  }
  return done;
}

long SoundStream::Supply(void* self, float** data) {
  auto* stream = static_cast<SoundStream*>(self);
  *data = stream->kept_raw_.data();
  return stream->Decode(stream->kept_raw_.data(), kChunkFrames, stream->endless_);
}

long SoundStream::Read(float* out, long frames, bool endless) {
  endless_ = endless;
  long done = 0;
  if (!resampler_) {
    done = Decode(out, frames, endless);
  } else {
    done = std::max(0L, src_callback_read(resampler_, ratio_, frames, out));
  }
  // A mono track sounds on both sides: spread in place from the end.
  if (kept_ == 1) {
    for (long i = done - 1; i >= 0; --i) out[2 * i] = out[2 * i + 1] = out[i];
  }
  return done;
}
