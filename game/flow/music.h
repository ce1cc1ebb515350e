#ifndef GLOUTO_GAME_FLOW_MUSIC_H
#define GLOUTO_GAME_FLOW_MUSIC_H

#include "platform/fsound.h"

constexpr int kTrackCount = 5;
constexpr int kTrackNameSize = 64;

// Writes into `name` (64 bytes) the file name of `track` (0..4): its base name
// plus the first of ".wav", ".mp3", ".wma", ".SPT" that opens, else the bare base name.
char* VerifSons(char* name, FSOUND_STREAM* stream, int track);

// Waits 100 ms, stops and closes `stream`, wraps *track into 0..4, opens
// names[*track] and returns it (null when it does not open). Does not play.
FSOUND_STREAM* Choixson(int* track, char** names, FSOUND_STREAM* stream);

// The music part of a game's state.
struct MusicState {
  char nameBuffers[kTrackCount][kTrackNameSize] = {};
  char* trackNames[kTrackCount] = {};
  int trackIndex = 0;
  FSOUND_STREAM* stream = nullptr;
  int musicSwitch = 0;  // odd: music on
  int volume = 100;
};

// Start-up: open the sound library at 44100 Hz with 32 channels.
void MusicStartUp();
// Start-up: find the five tracks, open track 0, set the volume of every channel.
void MusicFindTracks(MusicState& music);
// After the first level-start screen: track 0 repeats without end.
void MusicLoopForever(MusicState& music);
// First step of every frame: off stops the stream, on restarts it when channel 1 is paused.
void MusicUpkeep(MusicState& music);
// Keys: Space, F1, F2, '=' and '6'.
void MusicToggle(MusicState& music);
void MusicNextTrack(MusicState& music);
void MusicPreviousTrack(MusicState& music);
void MusicLouder(MusicState& music);
void MusicSofter(MusicState& music);
// End of a game: stop as soon as the frame loop ends ...
void MusicStop(MusicState& music);
// ... and, after SDL is shut, close the stream and the sound library.
void MusicShutDown(MusicState& music);

#endif
