#include "game/flow/music.h"

#include <SDL.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "game/replay/intake.h"

namespace {

constexpr std::array<const char*, kTrackCount> kTrackBaseNames{
    "Musique/Musique", "Musique/Musique2", "Musique/Musique3", "Musique/Musique4",
    "Musique/Musique5"};
constexpr std::array<const char*, 4> kFileTypes{".wav", ".mp3", ".wma", ".SPT"};
constexpr int kMusicChannel = 1;
constexpr int kVolumeStep = 10;

void ChangeTrack(MusicState& music, int step) {
  music.trackIndex += step;
  music.stream = Choixson(&music.trackIndex, music.trackNames, music.stream);
  FSOUND_Stream_Play(FSOUND_FREE, music.stream);
}

void ChangeVolume(MusicState& music, int step) {
  music.volume += step;
  FSOUND_SetVolume(FSOUND_ALL, music.volume);
}

bool SwitchedOn(const MusicState& music) { return music.musicSwitch % 2 != 0; }

}  // namespace

char* VerifSons(char* name, FSOUND_STREAM* stream, int track) {
  if (track < 0 || track >= kTrackCount) {
    name[0] = '\0';
    return name;
  }
  std::snprintf(name, kTrackNameSize, "%s", kTrackBaseNames[track]);
  const size_t baseLength = std::strlen(name);
  for (const char* type : kFileTypes) {
    std::snprintf(name + baseLength, kTrackNameSize - baseLength, "%s", type);
    stream = FSOUND_Stream_Open(name, 0, 0, 0);
    if (stream) {
      FSOUND_Stream_Close(stream);
      return name;
    }
    name[baseLength] = '\0';
  }
  return name;
}

FSOUND_STREAM* Choixson(int* track, char** names, FSOUND_STREAM* stream) {
  GameWait(100);
  FSOUND_Stream_Stop(stream);
  FSOUND_Stream_Close(stream);
  if (*track < 0) {
    *track = kTrackCount - 1;
  } else if (*track > kTrackCount - 1) {
    *track = 0;
  }
  return FSOUND_Stream_Open(names[*track], 0, 0, 0);
}

void MusicStartUp() { FSOUND_Init(44100, 32, 0); }

void MusicFindTracks(MusicState& music) {
  for (int t = 0; t < kTrackCount; ++t) {
    music.trackNames[t] = VerifSons(music.nameBuffers[t], music.stream, t);
  }
  music.stream = FSOUND_Stream_Open(music.trackNames[0], 0, 0, 0);
  FSOUND_SetVolume(FSOUND_ALL, music.volume);
}

void MusicLoopForever(MusicState& music) { FSOUND_Stream_SetLoopCount(music.stream, -1); }

void MusicUpkeep(MusicState& music) {
  if (!SwitchedOn(music)) {
    FSOUND_Stream_Stop(music.stream);
  } else if (FSOUND_GetPaused(kMusicChannel)) {
    FSOUND_Stream_Play(FSOUND_FREE, music.stream);
  }
}

void MusicToggle(MusicState& music) {
  music.musicSwitch += 1;
  if (SwitchedOn(music)) {
    FSOUND_Stream_Play(FSOUND_FREE, music.stream);
  } else {
    FSOUND_Stream_Stop(music.stream);
  }
}

void MusicNextTrack(MusicState& music) { ChangeTrack(music, +1); }
void MusicPreviousTrack(MusicState& music) { ChangeTrack(music, -1); }
void MusicLouder(MusicState& music) { ChangeVolume(music, +kVolumeStep); }
void MusicSofter(MusicState& music) { ChangeVolume(music, -kVolumeStep); }

void MusicStop(MusicState& music) { FSOUND_Stream_Stop(music.stream); }

void MusicShutDown(MusicState& music) {
  FSOUND_Stream_Close(music.stream);
  music.stream = nullptr;
  FSOUND_Close();
}
