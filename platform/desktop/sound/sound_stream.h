#ifndef GLOUTO_PLATFORM_DESKTOP_SOUND_SOUND_STREAM_H
#define GLOUTO_PLATFORM_DESKTOP_SOUND_SOUND_STREAM_H

#include <memory>
#include <vector>

struct sf_private_tag;
struct SRC_STATE_tag;

// A music file read a chunk at a time, as stereo float frames at the device's
// rate: libsndfile decodes (WAV and MP3), libsamplerate converts the rate when
// the file's differs. Nothing but a chunk of the track is ever in memory.
class SoundStream {
 public:
  // Null when the file is no audio libsndfile decodes, or has more than 16
  // channels, or a rate outside 4 to 192 kHz, or one the resampler cannot
  // bring to `deviceRate`.
  static std::unique_ptr<SoundStream> Open(const char* name, int deviceRate);
  ~SoundStream();
  SoundStream(const SoundStream&) = delete;
  SoundStream& operator=(const SoundStream&) = delete;

  // Back to the first frame.
  void Rewind();
  // Writes up to `frames` stereo frames into `out`; fewer means the track
  // ended (after going round again as often as `endless` asks).
  long Read(float* out, long frames, bool endless);

 private:
  SoundStream() = default;
  long Decode(float* out, long frames, bool endless);
  static long Supply(void* self, float** data);

  sf_private_tag* file_ = nullptr;
  SRC_STATE_tag* resampler_ = nullptr;  // null when the rates match
  double ratio_ = 1;                    // output frames per input frame
  int channels_ = 0;                    // in the file
  int kept_ = 0;                        // decoded and resampled: 1 or 2
  bool endless_ = false;                // as the current Read asks
  std::vector<float> raw_;              // one chunk as the file has it
  std::vector<float> kept_raw_;         // the kept channels of a chunk, for the resampler
};

#endif
