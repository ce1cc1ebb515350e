#ifndef GLOUTO_PLATFORM_DESKTOP_SOUND_SOUND_STREAM_H
#define GLOUTO_PLATFORM_DESKTOP_SOUND_SOUND_STREAM_H

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/sound/sound_file.h"

struct sf_private_tag;
struct SRC_STATE_tag;

// What a file's inode says of its contents: a copy written over the file
// changes its size or time.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  long seconds = 0;
  long nanoseconds = 0;
  bool operator==(const FileStamp& o) const {
    return device == o.device && inode == o.inode && size == o.size && seconds == o.seconds &&
           nanoseconds == o.nanoseconds;
  }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
};
FileStamp StampOf(const struct stat& info);

// A music file read a chunk at a time, as stereo float frames at the device's
// rate: libsndfile decodes (WAV and MP3), libsamplerate converts the rate when
// the file's differs. Nothing but a chunk of the track is ever in memory.
// Samples stay within full scale; a chunk that holds more than a decoder can
// give for music (a frame of garbage read as MPEG) is played as silence.
class SoundStream {
 public:
  // What libsndfile sees of the file: from `offset` to its end.
  struct Window {
    std::FILE* file;
    long offset;
    long size;
  };

  // Null when the file is no WAV or MP3, is no audio libsndfile decodes, or
  // has more than 16 channels, or a rate outside 4 to 192 kHz, or one the
  // resampler cannot bring to `deviceRate`; `refusal` then says why in
  // French (empty when the file is not there).
  static std::unique_ptr<SoundStream> Open(const char* name, int deviceRate,
                                           std::string* refusal = nullptr);
  ~SoundStream();
  SoundStream(const SoundStream&) = delete;
  SoundStream& operator=(const SoundStream&) = delete;

  // Back to the first frame.
  void Rewind();
  // Writes up to `frames` stereo frames into `out`; fewer means the track
  // ended (after going round again as often as `endless` asks).
  long Read(float* out, long frames, bool endless);
  // True once the open file is no longer the one that was opened (written
  // over in place); a file deleted or renamed over keeps playing as it was.
  bool Changed() const;

 private:
  SoundStream() = default;
  bool StartDecoder(long offset, std::string* refusal);
  void RestartDecoder();
  bool SkipDamage();
  long Decode(float* out, long frames, bool endless);
  void Keep(float* out, long frames) const;
  static long Supply(void* self, float** data);

  std::FILE* in_ = nullptr;
  FileStamp stamp_;
  SoundFile kind_;
  Window window_{};
  sf_private_tag* file_ = nullptr;
  SRC_STATE_tag* resampler_ = nullptr;  // null when the rates match
  double ratio_ = 1;                    // output frames per input frame
  int rate_ = 0;                        // of the file
  int channels_ = 0;                    // in the file
  int kept_ = 0;                        // decoded and resampled: 1 or 2
  bool endless_ = false;                // as the current Read asks
  std::vector<float> raw_;              // one chunk as the file has it
  std::vector<float> kept_raw_;         // the kept channels of a chunk, for the resampler
};

#endif
