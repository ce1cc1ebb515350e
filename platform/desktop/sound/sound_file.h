#ifndef GLOUTO_GAME_FLOW_SOUND_FILE_H
#define GLOUTO_GAME_FLOW_SOUND_FILE_H

// The two kinds of music file the sound layer decodes.
enum class SoundKind { None, Wav, Mp3 };

// Judges a file by its ending (".wav" or ".mp3", any case) and by its first
// bytes: a RIFF/WAVE header, or two MPEG audio frames in a row (after an ID3
// tag, if any). The mixer alone would take any file ending in ".mp3".
SoundKind SoundFileKind(const char* name);

#endif
