#include "platform/fsound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <emscripten.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/web/first_input.h"

// The browser's SDL_mixer plays a music in an <audio> element, which loops
// by itself: no thread is needed to start an endless stream again. Streams
// share the one music channel as on the desktop. The element is made at the
// stream's first play: the game opens every track at start to see that it is
// there, and six elements made then held the page's first screen.
struct FSOUND_STREAM {
  std::string file;
  Mix_Music* music;
  bool endless;
};

// The music plays in <audio> elements (see glouto.js). The browser's SDL
// opens an audio context besides, which nothing plays in and which, running
// silent, costs the browser a point or two of a core.
// clang-format off
EM_JS(void, CloseSilentContext, (), {
  if (SDL.audioContext) SDL.audioContext.close();
  SDL.audioContext = undefined;
});
// clang-format on

namespace {

constexpr int kMusicChannel = 1;
constexpr int kLibraryMaxVolume = 255;

struct Library {
  bool open = false;
  FSOUND_STREAM* holder = nullptr;
  bool paused = false;
  int streams = 0;
  bool heardInput = false;
} lib;

bool Holds(const FSOUND_STREAM* stream) {
  return stream && lib.holder == stream && Mix_PlayingMusic();
}

void EmptyChannel() {
  Mix_HaltMusic();
  lib.holder = nullptr;
  lib.paused = false;
}

void SetLooping(bool endless) {
  EM_ASM(
      {
        if (SDL.music.audio) SDL.music.audio.loop = !!$0;
      },
      endless);
}

// The browser refused to start the music before the player's first input.
void StartRefusedMusic() {
  lib.heardInput = true;
  if (lib.open && lib.holder && !lib.paused) Mix_ResumeMusic();
}

// The site ships each wave track compressed, under its name plus ".mp3".
std::string ShippedFile(const char* name) {
  std::string file = name;
  const std::string compressed = file + ".mp3";
  if (file.size() > 4 && file.compare(file.size() - 4, 4, ".wav") == 0 &&
      access(compressed.c_str(), R_OK) == 0)
    return compressed;
  return file;
}

}  // namespace

int FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int /*flags*/) {
  if (lib.open) return 1;
  if (Mix_OpenAudio(mixrate, AUDIO_S16SYS, 2, 1024) != 0) return 0;
  CloseSilentContext();
  Mix_AllocateChannels(maxsoftwarechannels);
  Mix_VolumeMusic(MIX_MAX_VOLUME);
  WindowOnFirstInput(StartRefusedMusic);
  const bool heardInput = lib.heardInput;  // the window tells only once
  lib = Library{};
  lib.heardInput = heardInput;
  lib.open = true;
  return 1;
}

void FSOUND_Close() {
  if (!lib.open) return;
  EmptyChannel();
  lib.open = false;
  Mix_CloseAudio();
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int /*mode*/, int /*offset*/,
                                  int /*length*/) {
  if (!lib.open || !name) return nullptr;
  const std::string file = ShippedFile(name);
  if (access(file.c_str(), R_OK) != 0) return nullptr;
  ++lib.streams;
  return new FSOUND_STREAM{file, nullptr, false};
}

int FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  if (!stream) return 0;
  if (lib.holder == stream) EmptyChannel();
  if (stream->music) Mix_FreeMusic(stream->music);
  delete stream;
  --lib.streams;
  return 1;
}

int FSOUND_Stream_Play(int /*channel*/, FSOUND_STREAM* stream) {
  if (!stream || !lib.open) return -1;
  // A paused element does not count as playing, but it goes on from where it
  // stood; one the browser refused to start waits for the first input.
  if (lib.holder == stream && (lib.paused || Holds(stream) || !lib.heardInput)) {
    if (lib.paused) Mix_ResumeMusic();
    lib.paused = false;
    return kMusicChannel;
  }
  if (!stream->music) stream->music = Mix_LoadMUS(stream->file.c_str());
  if (!stream->music || Mix_PlayMusic(stream->music, stream->endless ? -1 : 0) != 0) {
    EmptyChannel();
    return -1;
  }
  lib.holder = stream;
  lib.paused = false;
  return kMusicChannel;
}

int FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
  if (!stream || !lib.open) return 0;
  if (lib.holder == stream) EmptyChannel();
  return 1;
}

int FSOUND_Stream_SetLoopCount(FSOUND_STREAM* stream, int count) {
  if (!stream) return 0;
  stream->endless = count < 0;
  if (lib.open && lib.holder == stream) SetLooping(stream->endless);
  return 1;
}

int FSOUND_SetVolume(int channel, int volume) {
  if (!lib.open || (channel != FSOUND_ALL && channel != kMusicChannel)) return 0;
  const int clamped = std::clamp(volume, 0, kLibraryMaxVolume);
  Mix_VolumeMusic((clamped * MIX_MAX_VOLUME + kLibraryMaxVolume / 2) / kLibraryMaxVolume);
  return 1;
}

int FSOUND_SetPaused(int channel, int paused) {
  if (!lib.open || (channel != FSOUND_ALL && channel != kMusicChannel)) return 0;
  if (!lib.holder) return 1;
  if (paused) {
    Mix_PauseMusic();
  } else {
    Mix_ResumeMusic();
  }
  lib.paused = paused != 0;
  return 1;
}

int FSOUND_GetPaused(int channel) {
  return lib.open && channel == kMusicChannel && lib.paused && lib.holder != nullptr;
}

int FSOUND_IsPlaying(int channel) {
  return lib.open && channel == kMusicChannel && lib.holder != nullptr;
}

int SoundStreamsOpen() { return lib.streams; }
