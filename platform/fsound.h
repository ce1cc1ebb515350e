#ifndef GLOUTO_PLATFORM_FSOUND_H
#define GLOUTO_PLATFORM_FSOUND_H

// The game's sound layer: the ten stream operations the game calls.
// Every call is harmless when the audio device could not be opened
// and every stream call ignores a null stream. Streams sound on one music
// channel, number 1: playing a stream takes the channel from any other.

struct FSOUND_STREAM;

constexpr int FSOUND_FREE = -1;  // any free channel
constexpr int FSOUND_ALL = -3;   // every channel

int FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
void FSOUND_Close();
FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length);
int FSOUND_Stream_Close(FSOUND_STREAM* stream);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
int FSOUND_Stream_Stop(FSOUND_STREAM* stream);
int FSOUND_Stream_SetLoopCount(FSOUND_STREAM* stream, int count);
int FSOUND_SetVolume(int channel, int volume);
int FSOUND_SetPaused(int channel, int paused);
int FSOUND_GetPaused(int channel);

// Not called by the game; for checks. Whether a stream plays (paused or not)
// on the channel, and how many streams are open and not yet closed.
int FSOUND_IsPlaying(int channel);
int SoundStreamsOpen();

#endif
