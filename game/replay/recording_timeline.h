#ifndef GLOUTO_GAME_REPLAY_RECORDING_TIMELINE_H
#define GLOUTO_GAME_REPLAY_RECORDING_TIMELINE_H

#include <vector>

#include "game/replay/recording_fields.h"

// The events a game took, one after the other, each after its quiet frames,
// then the frames after the last: written and read by these alone.
void PutTimeline(BitWriter& w, const std::vector<Moment>& moments, int frames);
void ReadTimeline(FieldReader& f, Recording& r);

#endif
