#include "game/flow/fsound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/desktop/sound/sound_file.h"

// A stream is one SDL_mixer music. The mixer has a single music channel, so
// playing a stream takes that channel from whichever stream held it; the game
// never needs two at once (the end screen's music starts after the game's
// stream was stopped).
struct FSOUND_STREAM {
  Mix_Music* music;
  bool endless;
};

namespace {

// Channel 1 is the music channel: "channel 1 paused" means its stream is paused.
constexpr int kMusicChannel = 1;
constexpr int kChunkFrames = 1024;  // about 23 ms at 44100 Hz
constexpr int kLibraryMaxVolume = 255;

// SDL_mixer fixes a music's loop count when it starts. A stream told to loop
// while it plays is started again, looping, when its single pass ends. The
// end is signalled on the audio thread, where no mixer call is allowed, so a
// thread of ours does the restart.
struct Library {
  std::mutex state;                 // guards the fields up to `streams` and every mixer call
  bool open = false;
  FSOUND_STREAM* holder = nullptr;  // stream on the music channel (playing, paused or ended)
  bool paused = false;              // the holder is paused
  int streams = 0;

  std::mutex wakeLock;              // guards the two flags below only
  std::condition_variable wake;
  bool passEnded = false;
  bool quitting = false;
  std::thread restarter;
};

// Never destroyed: the audio thread may still signal while the program exits.
Library& TheLibrary() {
  static Library* library = new Library;
  return *library;
}

// Runs on the audio thread.
void OnMusicFinished() {
  Library& lib = TheLibrary();
  {
    std::lock_guard<std::mutex> lock(lib.wakeLock);
    lib.passEnded = true;
  }
  lib.wake.notify_one();
}

void RestartEndlessStreams() {
  Library& lib = TheLibrary();
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(lib.wakeLock);
      lib.wake.wait(lock, [&lib] { return lib.passEnded || lib.quitting; });
      if (lib.quitting) return;
      lib.passEnded = false;
    }
    std::lock_guard<std::mutex> lock(lib.state);
    if (lib.open && lib.holder && lib.holder->endless && !Mix_PlayingMusic()) {
      Mix_PlayMusic(lib.holder->music, -1);
    }
  }
}

// True while `stream` is on the music channel and has not ended.
bool Holds(const Library& lib, const FSOUND_STREAM* stream) {
  return stream && lib.holder == stream && Mix_PlayingMusic();
}

void EmptyChannel(Library& lib) {
  Mix_HaltMusic();
  lib.holder = nullptr;
  lib.paused = false;
}

}  // namespace

int FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int /*flags*/) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (lib.open) return 1;
  // Without an audio device the game runs silently: every later call sees a
  // closed library. SDL would keep a half-started audio part after a failed
  // open, and refuse the next attempt, so the part is shut again.
  const bool audioWasUp = SDL_WasInit(SDL_INIT_AUDIO) != 0;
  if (Mix_OpenAudio(mixrate, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
    if (!audioWasUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  Mix_AllocateChannels(maxsoftwarechannels);
  Mix_VolumeMusic(MIX_MAX_VOLUME);
  Mix_ResumeMusic();
  {
    std::lock_guard<std::mutex> wakeLock(lib.wakeLock);
    lib.passEnded = false;
    lib.quitting = false;
  }
  lib.restarter = std::thread(RestartEndlessStreams);
  Mix_HookMusicFinished(OnMusicFinished);
  lib.open = true;
  lib.holder = nullptr;
  lib.paused = false;
  return 1;
}

void FSOUND_Close() {
  Library& lib = TheLibrary();
  {
    std::lock_guard<std::mutex> lock(lib.state);
    if (!lib.open) return;
    Mix_HookMusicFinished(nullptr);
    EmptyChannel(lib);
    lib.open = false;
  }
  {
    std::lock_guard<std::mutex> wakeLock(lib.wakeLock);
    lib.quitting = true;
  }
  lib.wake.notify_one();
  lib.restarter.join();
  std::lock_guard<std::mutex> lock(lib.state);
  Mix_CloseAudio();
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int /*mode*/, int /*offset*/, int /*length*/) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (!lib.open || SoundFileKind(name) == SoundKind::None) return nullptr;
  Mix_Music* music = Mix_LoadMUS(name);
  if (!music) return nullptr;
  ++lib.streams;
  return new FSOUND_STREAM{music, false};
}

int FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  if (!stream) return 0;
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (lib.holder == stream) EmptyChannel(lib);
  Mix_FreeMusic(stream->music);
  delete stream;
  --lib.streams;
  return 1;
}

// A stream that already plays goes on (a paused one resumes); any other
// starts from its beginning, once or without end as its loop count says.
int FSOUND_Stream_Play(int /*channel*/, FSOUND_STREAM* stream) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (!stream || !lib.open) return -1;
  if (Holds(lib, stream)) {
    if (lib.paused) Mix_ResumeMusic();
    lib.paused = false;
    return kMusicChannel;
  }
  if (Mix_PlayMusic(stream->music, stream->endless ? -1 : 0) != 0) {
    EmptyChannel(lib);
    return -1;
  }
  Mix_ResumeMusic();
  lib.holder = stream;
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
  const int clamped = volume < 0 ? 0 : volume > kLibraryMaxVolume ? kLibraryMaxVolume : volume;
  Mix_VolumeMusic((clamped * MIX_MAX_VOLUME + kLibraryMaxVolume / 2) / kLibraryMaxVolume);
  return 1;
}

int FSOUND_SetPaused(int channel, int paused) {
  Library& lib = TheLibrary();
  std::lock_guard<std::mutex> lock(lib.state);
  if (!lib.open || (channel != FSOUND_ALL && channel != kMusicChannel)) return 0;
  if (!Holds(lib, lib.holder)) return 1;
  if (paused) {
    Mix_PauseMusic();
  } else {
    Mix_ResumeMusic();
  }
  lib.paused = paused != 0;
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
