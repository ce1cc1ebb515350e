#ifndef GLOUTO_PLATFORM_WEB_WAITS_H
#define GLOUTO_PLATFORM_WEB_WAITS_H

// The program's waits since it last slept, slept off now if worth a timer:
// the window calls it once a new frame is on the page.
void SleepOffWaits();

#endif
