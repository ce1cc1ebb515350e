#ifndef GLOUTO_PLATFORM_WEB_WAITS_H
#define GLOUTO_PLATFORM_WEB_WAITS_H

// The program's waits since it last slept, slept off now if worth a timer:
// the window calls it once a new frame is on the page.
void SleepOffWaits();

// Gives the page its turn if the program has held it a while (some 8 ms):
// a long stretch of decoding at a screen's start is a task a player feels.
void YieldIfLong();

// Gives the page its turn now; the program's next stretch starts on waking.
void YieldToPage();

#endif
