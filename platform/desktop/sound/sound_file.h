#ifndef GLOUTO_GAME_FLOW_SOUND_FILE_H
#define GLOUTO_GAME_FLOW_SOUND_FILE_H

#include <cstdio>
#include <string>

// The two kinds of music file the sound layer decodes.
enum class SoundKind { None, Wav, Mp3 };

// What the first bytes of a file say about it.
struct SoundFile {
  SoundKind kind = SoundKind::None;
  long audioStart = 0;  // an MP3's first byte after its ID3v2 tags
  int mp3Rate = 0;      // an MP3's rate, by its first frame
  std::string refusal;  // why a file that is there is no music the game plays
};

// Judges a file by its ending (".wav" or ".mp3", any case) and by its first
// bytes: a RIFF or RIFX/WAVE header, or two MPEG audio frames in a row (after
// the ID3v2 tags, if any). A file that is not there has no refusal.
SoundFile CheckSoundFile(const char* name);
inline SoundKind SoundFileKind(const char* name) { return CheckSoundFile(name).kind; }

// Where the next two MPEG audio frames in a row at `rate` start, at or after
// `from`; -1 when none follows before the end of the file.
long NextMp3Frames(std::FILE* file, long from, int rate);

#endif
