#ifndef GLOUTO_TESTS_RELIABILITY_SOAK_H
#define GLOUTO_TESTS_RELIABILITY_SOAK_H

// What the long runs share: their length, the memory they watch, and the
// input and waits of the programs, which the test binaries take over at link
// time (-Wl,--wrap=...) so that an hour of play runs in seconds on scripted input.

#include <SDL.h>

#include <functional>

// GLOUTO_SOAK_SCALE from the environment (1 when unset): every soak runs
// this many times longer. The default suite keeps 1.
int SoakScale();

// Resident memory of this process, in KiB.
long ResidentKiB();

// Resident memory means nothing under valgrind or AddressSanitizer, whose
// own bookkeeping grows on purpose; leaks are theirs to report there.
bool ResidentMemoryIsMeaningful();

// Where SDL_PollEvent and SDL_WaitEvent take their events from: while a
// source is set, each poll first puts the source's next event (if it gives
// one) into SDL's queue; a wait asks the source until it gives one.
using EventSource = std::function<bool(SDL_Event&)>;
void ScriptInput(EventSource source);

// The sum of the waits asked of SDL_Delay since the last call; the waits
// themselves are skipped.
unsigned long long TakeWaitedMs();

#endif
