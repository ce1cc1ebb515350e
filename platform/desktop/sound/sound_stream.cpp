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
// libmpg123 hands back samples up to 1e8 for a frame of garbage; music, even
// clipped in its mastering, decodes to little more than full scale.
constexpr float kGarbage = 2.0f;

// libsndfile reads the file through these, from the decoder's start on: an
// MP3's ID3v2 tags are never its to parse (libmpg123 reads uninitialised
// memory on some of them), and it can start again past a damaged stretch.
using Window = SoundStream::Window;

sf_count_t WindowLength(void* user) {
  auto* w = static_cast<Window*>(user);
  return w->size - w->offset;
}

sf_count_t WindowSeek(sf_count_t offset, int whence, void* user) {
  auto* w = static_cast<Window*>(user);
  const long base = whence == SEEK_SET ? w->offset : whence == SEEK_END ? w->size : 0;
  std::fseek(w->file, static_cast<long>(base + offset), whence == SEEK_CUR ? SEEK_CUR : SEEK_SET);
  return std::ftell(w->file) - w->offset;
}

sf_count_t WindowRead(void* data, sf_count_t bytes, void* user) {
  std::FILE* file = static_cast<Window*>(user)->file;
  return static_cast<sf_count_t>(std::fread(data, 1, static_cast<size_t>(bytes), file));
}

sf_count_t WindowTell(void* user) {
  auto* w = static_cast<Window*>(user);
  return std::ftell(w->file) - w->offset;
}

SF_VIRTUAL_IO kWindowIo{WindowLength, WindowSeek, WindowRead, nullptr, WindowTell};

FileStamp StampOfFile(std::FILE* file) {
  struct stat info = {};
  return fstat(fileno(file), &info) == 0 ? StampOf(info) : FileStamp{};
}

}  // namespace

FileStamp StampOf(const struct stat& info) {
  return FileStamp{info.st_dev, info.st_ino, info.st_size, static_cast<long>(info.st_mtim.tv_sec),
                   info.st_mtim.tv_nsec};
}

std::unique_ptr<SoundStream> SoundStream::Open(const char* name, int deviceRate,
                                               std::string* refusal) {
  std::unique_ptr<SoundStream> stream(new SoundStream);
  stream->kind_ = CheckSoundFile(name);
  std::string why = stream->kind_.refusal;
  if (stream->kind_.kind != SoundKind::None) stream->in_ = std::fopen(name, "rb");
  if (stream->in_) {
    stream->stamp_ = StampOfFile(stream->in_);
    stream->window_ = Window{stream->in_, 0, static_cast<long>(stream->stamp_.size)};
  }
  const bool opened = stream->in_ && stream->StartDecoder(stream->kind_.audioStart, &why);
  if (opened && why.empty()) {
    stream->ratio_ = static_cast<double>(deviceRate) / stream->rate_;
    if (deviceRate < 1 || !src_is_valid_ratio(stream->ratio_)) {
      why = "le jeu ne sait pas lire sa fr\u00e9quence";
    }
  }
  if (!opened || !why.empty()) {
    if (refusal) *refusal = why;
    return nullptr;
  }
  stream->kept_ = std::min(stream->channels_, 2);
  // Both chunks hold whole frames, so no read can end mid-frame.
  stream->raw_.resize(static_cast<size_t>(kChunkFrames) * stream->channels_);
  if (stream->rate_ != deviceRate) {
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
  if (in_) std::fclose(in_);
}

// The first start fixes the track's rate and channels; a later one (past
// damage) must find the same, or it started on garbage that looked like a frame.
bool SoundStream::StartDecoder(long offset, std::string* refusal) {
  if (file_) sf_close(file_);
  file_ = nullptr;
  if (std::fseek(in_, offset, SEEK_SET) != 0) return false;
  window_.offset = offset;
  SF_INFO info{};
  file_ = sf_open_virtual(&kWindowIo, SFM_READ, &info, &window_);
  if (!file_) {
    if (refusal) {
      *refusal = kind_.kind == SoundKind::Mp3
                     ? "il est endommag\u00e9 d\u00e8s le d\u00e9but"
                     : "le jeu ne lit pas son codage, ou son en-t\u00eate est endommag\u00e9";
    }
    return false;
  }
  if (rate_ == 0) {
    std::string ignored;
    if (!refusal) refusal = &ignored;
    if (info.channels < 1 || info.channels > kMaxChannels) {
      *refusal = "il a " + std::to_string(info.channels) + " canaux, le jeu en lit 16 au plus";
    } else if (info.samplerate < kMinRate || info.samplerate > kMaxRate) {
      *refusal = "sa fr\u00e9quence de " + std::to_string(info.samplerate) +
                 " Hz n'est pas entre 4000 et 192000 Hz";
    }
    rate_ = info.samplerate;
    channels_ = info.channels;
    return true;
  }
  if (info.samplerate == rate_ && info.channels == channels_) return true;
  sf_close(file_);
  file_ = nullptr;
  return false;
}

// libsndfile ends an MP3 at the first frame libmpg123 rejects; other players
// go on with a click, so decoding starts again at the next good frames.
bool SoundStream::SkipDamage() {
  if (kind_.kind != SoundKind::Mp3) return false;
  for (long from = std::max(std::ftell(in_), window_.offset + 1);;) {
    const long next = NextMp3Frames(in_, from, kind_.mp3Rate);
    if (next < 0) return false;
    if (StartDecoder(next, nullptr)) return true;
    from = next + 1;
  }
}

bool SoundStream::Changed() const { return StampOfFile(in_) != stamp_; }

void SoundStream::Rewind() {
  RestartDecoder();
  if (resampler_) src_reset(resampler_);
}

void SoundStream::RestartDecoder() {
  // libmpg123 may be stuck on a bad frame, or the decoder started past one.
  if (kind_.kind == SoundKind::Mp3) {
    StartDecoder(kind_.audioStart, nullptr);
  } else if (file_) {
    sf_seek(file_, 0, SEEK_SET);
  }
}

// The kept channels of `frames` frames of the chunk, within full scale; a
// track of more than two channels gives its first two.
void SoundStream::Keep(float* out, long frames) const {
  const auto end = raw_.begin() + frames * channels_;
  // NaN fails every comparison: a float WAV may hold it.
  const bool garbage = std::any_of(raw_.begin(), end,
                                   [](float v) { return !(std::fabs(v) <= kGarbage); });
  for (long i = 0; i < frames; ++i) {
    for (int c = 0; c < kept_; ++c) {
      const float value = raw_[static_cast<size_t>(i * channels_ + c)];
      out[kept_ * i + c] = garbage ? 0.0f : std::clamp(value, -1.0f, 1.0f);
    }
  }
}

long SoundStream::Decode(float* out, long frames, bool endless) {
  long done = 0;
  bool rewound = false;  // a track of no frames must not go round for ever
  while (done < frames) {
    const long want = std::min(frames - done, kChunkFrames);
    const sf_count_t got = file_ ? sf_readf_float(file_, raw_.data(), want) : 0;
    if (got <= 0) {
      if (SkipDamage()) continue;
      if (!endless || rewound) break;
      RestartDecoder();
      rewound = true;
      continue;
    }
    rewound = false;
    Keep(out + kept_ * done, static_cast<long>(got));
    done += static_cast<long>(got);
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
