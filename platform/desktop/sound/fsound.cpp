#include "platform/fsound.h"

#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/desktop/sound/sound_mixer.h"
#include "platform/desktop/sound/sound_stream.h"

struct FSOUND_STREAM {
  std::unique_ptr<SoundStream> source;  // null while its file, written over, is no music
  bool endless;
  std::string name;
  FileStamp refused;  // the file as it was when it last failed to open again
};

namespace {

// Channel 1 is the music channel: "channel 1 paused" means its stream is paused.
constexpr int kMusicChannel = 1;
constexpr int kDeviceFrames = 1024;  // about 23 ms at 44100 Hz
constexpr int kMixFrames = 256;      // frames converted per step of the callback
constexpr int kLibraryMaxVolume = 255;

// The audio callback decodes the stream that holds the channel, under the
// same lock as every call of the game, so a stream is never closed, rewound
// or swapped while it is being read.
struct Library {
  std::mutex state;
  bool open = false;
  int rate = 0;                     // what the device is fed, in frames a second
  FSOUND_STREAM* holder = nullptr;  // stream on the music channel (playing, paused or ended)
  bool paused = false;              // the holder is paused
  bool ended = false;               // the holder's last pass is over
  int volume = kLibraryMaxVolume;
  int streams = 0;
  std::set<std::string> refusals;  // files already named on stderr since FSOUND_Init
};

// Never destroyed: the audio thread may still run while the program exits.
Library& TheLibrary() {
  static Library* library = new Library;
  return *library;
}

Sint16 ToSample(float value, float gain) {
  const float scaled = std::nearbyint(value * gain * 32768.0f);
  return static_cast<Sint16>(std::clamp(scaled, -32768.0f, 32767.0f));
}

// A file written over while it plays is read anew from its start once it is
// music again; the old format read on the new bytes would be loud noise.
void FollowFile(Library& lib, FSOUND_STREAM* stream) {
  if (stream->source && !stream->source->Changed()) return;
  struct stat info = {};
  const FileStamp now = stat(stream->name.c_str(), &info) == 0 ? StampOf(info) : FileStamp{};
  if (!stream->source && now == stream->refused) return;
  stream->source = SoundStream::Open(stream->name.c_str(), lib.rate);
  stream->refused = stream->source ? FileStamp{} : now;
}

// Runs on SDL's audio thread; the device takes signed 16-bit stereo.
void Mix(void* /*unused*/, Uint8* bytes, int length) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  auto* out = reinterpret_cast<Sint16*>(bytes);
  const long frames = length / 4;
  std::fill(out, out + frames * 2, Sint16{0});
  if (!lib.open || !lib.holder || lib.paused || lib.ended) return;
  FollowFile(lib, lib.holder);
  if (!lib.holder->source) return;
  const float gain = static_cast<float>(lib.volume) / kLibraryMaxVolume;
  float chunk[kMixFrames * 2];
  for (long done = 0; done < frames;) {
    const long want = std::min<long>(frames - done, kMixFrames);
    const long got = lib.holder->source->Read(chunk, want, lib.holder->endless);
    for (long i = 0; i < got * 2; ++i) out[done * 2 + i] = ToSample(chunk[i], gain);
    done += got;
    if (got < want) {
      lib.ended = true;
      break;
    }
  }
}

// True while `stream` is on the music channel and has not ended.
bool Holds(const Library& lib, const FSOUND_STREAM* stream) {
  return stream && lib.holder == stream && !lib.ended;
}

void EmptyChannel(Library& lib) {
  lib.holder = nullptr;
  lib.paused = false;
  lib.ended = false;
}

}  // namespace

int FSOUND_Init(int mixrate, int /*maxsoftwarechannels*/, unsigned int /*flags*/) {
  Library& lib = TheLibrary();
  {
    std::lock_guard<std::mutex> lock(lib.state);
    if (lib.open) return 1;
  }
  // Without an audio device the game runs silently: every later call sees a
  // closed library. SDL would keep a half-started audio part after a failed
  // open, and refuse the next attempt, so the part is shut again.
  const bool audioWasUp = SDL_WasInit(SDL_INIT_AUDIO) != 0;
  if (!audioWasUp && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  SDL_AudioSpec wanted{};
  wanted.freq = mixrate > 0 ? mixrate : 44100;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = kDeviceFrames;
  wanted.callback = Mix;
  // Asking for nothing back lets SDL convert to whatever the device takes,
  // with buffers it sizes itself.
  if (SDL_OpenAudio(&wanted, nullptr) != 0) {
    if (!audioWasUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  {
    std::lock_guard<std::mutex> lock(lib.state);
    lib.open = true;
    lib.rate = wanted.freq;
    lib.volume = kLibraryMaxVolume;
    lib.refusals.clear();
    EmptyChannel(lib);
  }
  SDL_PauseAudio(0);
  return 1;
}

void FSOUND_Close() {
  Library& lib = TheLibrary();
  {
    std::lock_guard<std::mutex> lock(lib.state);
    if (!lib.open) return;
    EmptyChannel(lib);
    lib.open = false;
  }
  // Outside the lock: closing waits for the callback, which takes it. Classic
  // SDL shuts its audio part with the device, sdl12-compat does not; the next
  // start must pick its driver anew on both.
  SDL_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int /*mode*/, int /*offset*/,
                                  int /*length*/) {
  Library& lib = TheLibrary();
  int rate = 0;
  {
    std::lock_guard<std::mutex> lock(lib.state);
    if (!lib.open) return nullptr;
    rate = lib.rate;
  }
  std::string refusal;
  std::unique_ptr<SoundStream> source = SoundStream::Open(name, rate, &refusal);
  std::lock_guard<std::mutex> lock(lib.state);
  if (!source) {
    // Once per file and start-up: the track search tries each file again.
    if (!refusal.empty() && lib.refusals.insert(name).second) {
      std::fprintf(stderr, "game : musique %s laiss\u00e9e de c\u00f4t\u00e9 : %s\n", name,
                   refusal.c_str());
    }
    return nullptr;
  }
  ++lib.streams;
  return new FSOUND_STREAM{std::move(source), false, name, {}};
}

int FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  if (!stream) return 0;
  Library& lib = TheLibrary();
  {
    std::lock_guard<std::mutex> lock(lib.state);
    if (lib.holder == stream) EmptyChannel(lib);
    --lib.streams;
  }
  delete stream;
  return 1;
}

// A stream that already plays goes on (a paused one resumes); any other
// starts from its beginning, once or without end as its loop count says.
int FSOUND_Stream_Play(int /*channel*/, FSOUND_STREAM* stream) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (!stream || !lib.open) return -1;
  if (!Holds(lib, stream)) {
    if (stream->source) stream->source->Rewind();
    lib.holder = stream;
    lib.ended = false;
  }
  lib.paused = false;
  return kMusicChannel;
}

// Stopping a stream that no longer holds the channel leaves the channel alone.
int FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (!stream || !lib.open) return 0;
  if (lib.holder == stream) EmptyChannel(lib);
  return 1;
}

// Any negative count loops without end, any other plays once. Setting it on
// a playing stream takes effect when its current pass ends.
int FSOUND_Stream_SetLoopCount(FSOUND_STREAM* stream, int count) {
  if (!stream) return 0;
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  stream->endless = count < 0;
  return 1;
}

int FSOUND_SetVolume(int channel, int volume) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (!lib.open || (channel != FSOUND_ALL && channel != kMusicChannel)) return 0;
  lib.volume = std::clamp(volume, 0, kLibraryMaxVolume);
  return 1;
}

int FSOUND_SetPaused(int channel, int paused) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (!lib.open || (channel != FSOUND_ALL && channel != kMusicChannel)) return 0;
  if (Holds(lib, lib.holder)) lib.paused = paused != 0;
  return 1;
}

int FSOUND_GetPaused(int channel) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  return lib.open && channel == kMusicChannel && lib.paused && Holds(lib, lib.holder);
}

int FSOUND_IsPlaying(int channel) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  return lib.open && channel == kMusicChannel && Holds(lib, lib.holder);
}

int SoundStreamsOpen() {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  return lib.streams;
}

int SoundMixerVolume() {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  return lib.volume;
}

void SoundMixNow(unsigned char* bytes, int length) { Mix(nullptr, bytes, length); }
