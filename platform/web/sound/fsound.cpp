#include "platform/fsound.h"

#include <emscripten.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/web/first_input.h"

// Music plays in <audio> elements, which loop by themselves: no thread is
// needed to start an endless stream again. The tracks are the site's own
// files, fetched by their element when first played, not with the program's
// files: the program finds each as an empty stand-in (glouto.js), so a track
// is still refused when it is not there. Streams share the one music channel
// as on the desktop; the element playing is `Module.gloutoMusic.audio`.
struct FSOUND_STREAM {
  std::string file;
  int audio;  // the element, made at the stream's first play; 0 before
  bool endless;
};

// clang-format off
EM_JS(void, MusicOpen, (), {
  Module.gloutoMusic = Module.gloutoMusic || {audio: null, volume: 1, made: [null]};
});
EM_JS(int, MusicMake, (const char* file), {
  var made = Module.gloutoMusic.made;
  made.push(new Audio(UTF8ToString(file)));
  return made.length - 1;
});
EM_JS(void, MusicPlay, (int id, bool endless), {
  var music = Module.gloutoMusic, audio = music.made[id];
  if (music.audio && music.audio !== audio) music.audio.pause();
  audio.onended = function() { if (music.audio === audio) music.audio = null; };
  audio.loop = endless;
  audio.volume = music.volume;
  audio.currentTime = 0;
  music.audio = audio;
  audio.play();
});
EM_JS(bool, MusicPlaying, (), {
  var audio = Module.gloutoMusic.audio;
  return Boolean(audio && !audio.paused);
});
EM_JS(void, MusicHalt, (), {
  var music = Module.gloutoMusic;
  if (music.audio) music.audio.pause();
  music.audio = null;
});
EM_JS(void, MusicHold, (bool paused), {
  var audio = Module.gloutoMusic.audio;
  if (audio) paused ? audio.pause() : audio.play();
});
EM_JS(void, MusicLoop, (bool endless), {
  var audio = Module.gloutoMusic.audio;
  if (audio) audio.loop = endless;
});
EM_JS(void, MusicVolume, (double volume), {
  var music = Module.gloutoMusic;
  music.volume = volume;
  if (music.audio) music.audio.volume = volume;
});
EM_JS(void, MusicForget, (int id), {
  var made = Module.gloutoMusic.made, audio = made[id];
  audio.pause();
  audio.removeAttribute('src');
  made[id] = null;
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

bool Holds(const FSOUND_STREAM* stream) { return stream && lib.holder == stream && MusicPlaying(); }

void EmptyChannel() {
  MusicHalt();
  lib.holder = nullptr;
  lib.paused = false;
}

// The browser refused to start the music before the player's first input.
void StartRefusedMusic() {
  lib.heardInput = true;
  if (lib.open && lib.holder && !lib.paused) MusicHold(false);
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

int FSOUND_Init(int /*mixrate*/, int /*maxsoftwarechannels*/, unsigned int /*flags*/) {
  if (lib.open) return 1;
  MusicOpen();
  MusicVolume(1);
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
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int /*mode*/, int /*offset*/,
                                  int /*length*/) {
  if (!lib.open || !name) return nullptr;
  const std::string file = ShippedFile(name);
  if (access(file.c_str(), R_OK) != 0) return nullptr;
  ++lib.streams;
  return new FSOUND_STREAM{file, 0, false};
}

int FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  if (!stream) return 0;
  if (lib.holder == stream) EmptyChannel();
  if (stream->audio) MusicForget(stream->audio);
  delete stream;
  --lib.streams;
  return 1;
}

int FSOUND_Stream_Play(int /*channel*/, FSOUND_STREAM* stream) {
  if (!stream || !lib.open) return -1;
  // A paused element does not count as playing, but it goes on from where it
  // stood; one the browser refused to start waits for the first input.
  if (lib.holder == stream && (lib.paused || Holds(stream) || !lib.heardInput)) {
    if (lib.paused) MusicHold(false);
    lib.paused = false;
    return kMusicChannel;
  }
  if (!stream->audio) stream->audio = MusicMake(stream->file.c_str());
  MusicPlay(stream->audio, stream->endless);
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
  if (lib.open && lib.holder == stream) MusicLoop(stream->endless);
  return 1;
}

int FSOUND_SetVolume(int channel, int volume) {
  if (!lib.open || (channel != FSOUND_ALL && channel != kMusicChannel)) return 0;
  const int clamped = std::clamp(volume, 0, kLibraryMaxVolume);
  MusicVolume(static_cast<double>(clamped) / kLibraryMaxVolume);
  return 1;
}

int FSOUND_SetPaused(int channel, int paused) {
  if (!lib.open || (channel != FSOUND_ALL && channel != kMusicChannel)) return 0;
  if (!lib.holder) return 1;
  MusicHold(paused != 0);
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
