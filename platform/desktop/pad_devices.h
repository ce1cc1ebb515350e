#ifndef GLOUTO_PLATFORM_DESKTOP_PAD_DEVICES_H
#define GLOUTO_PLATFORM_DESKTOP_PAD_DEVICES_H

#include <SDL.h>

// Where the desktop learns of its pads: SDL's joysticks, and /dev/input for
// pads plugged in or out. A test puts a list of its own in their place (these
// machines have no pad device).
struct PadDevices {
  bool (*start)();  // the joysticks started, each listed anew
  void (*stop)();
  int (*count)();
  const char* (*name)(int device);
  bool (*open)(int device, int* buttons, int* axes);
  // A stamp of /dev/input, which changes as a device comes or goes, and how
  // many entries it holds.
  long long (*stamp)(int* entries);
  Uint32 (*ticks)();  // SDL_GetTicks: the looks' pace
};

// null: SDL's and /dev/input again.
void PadsUseDevices(const PadDevices* devices);

#endif
