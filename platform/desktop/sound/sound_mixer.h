#ifndef GLOUTO_PLATFORM_DESKTOP_SOUND_SOUND_MIXER_H
#define GLOUTO_PLATFORM_DESKTOP_SOUND_SOUND_MIXER_H

// Not called by the game; for checks. The volume the mixer applies, 0 to 255.
int SoundMixerVolume();

// Not called by the game; for checks: mixes into `bytes` what the device would
// play next, as the audio thread does (16-bit stereo), so that a check with the
// device paused hears the mix without waiting for the device.
void SoundMixNow(unsigned char* bytes, int length);

#endif
