#ifndef GLOUTO_GAME_REPLAY_LINKED_H
#define GLOUTO_GAME_REPLAY_LINKED_H

#include <SDL.h>

#include <cstdint>
#include <deque>

#include "game/replay/recording.h"
#include "platform/link.h"

// The intake's side of a game on two screens (lockstep.h tells the messages).
// Once the link stops (gone, refused, out of step), every look gives the
// window's close, and the game ends as if closed, its recording kept.

void LinkedBegin(LinkSide side);

// The host's start of a game: its seed, globals, first level and levels.
void LinkedSendStart(const Recording& start);
// The guest waits for the host's; false when the link stopped first.
bool LinkedTakeStart(Recording* start);

// A frame: this device's input for a later frame goes with its checksum
// `check`, then the frame waits for the other device's input and queues both
// devices' events in their order. Returns the host's quarter seconds.
int LinkedFrame(std::uint32_t check, int ownTicks, std::deque<TakenEvent>* queue);

// A screen's look on the host: its own event, or one the guest may ask for.
bool LinkedHostScreen(SDL_Event* event);
void LinkedSendScreen(const TakenEvent& event, int wait);
// On the guest: the event the host's screen took, and the wait it recorded.
bool LinkedGuestScreen(TakenEvent* event, int* wait);

// While the pause is on screen the guest's p ends it.
void LinkedInPause(bool paused);

#endif
