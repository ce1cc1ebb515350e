#ifndef GLOUTO_PLATFORM_DESKTOP_SOUND_SOUND_MIXER_H
#define GLOUTO_PLATFORM_DESKTOP_SOUND_SOUND_MIXER_H

// Not called by the game; for checks. The volume the mixer applies, 0 to 255.
int SoundMixerVolume();

#endif
