#ifndef GLOUTO_TESTS_SUPPORT_APPROVED_H
#define GLOUTO_TESTS_SUPPORT_APPROVED_H

// Approved pictures: what a screen shows, compared with a PNG under
// tests/approved/ that a person looked at. See HACKING.md, "Running tests".

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

// Does `surface` show, colour for colour, the approved picture `name`?
// Pixels where the approved picture is flat must match exactly; a pixel on
// a colour edge (some neighbour differs) may be off by kEdgeTolerance per
// channel, as font renderers of different releases smooth glyph edges their
// own way. On failure the actual picture and a difference picture are
// written under <build>/tests/approved-failures/ and named in the message.
// With GLOUTO_APPROVE=1 in the environment the actual picture becomes the
// approved one instead.
::testing::AssertionResult MatchesApproved(SDL_Surface* surface, const std::string& name);

constexpr int kEdgeTolerance = 8;

// The events of a screen's script, e.g. "m355,365 d217,100 u10,10 esc":
// m motion, d press, u release (left button) at x,y; b pad,button and
// x pad,axis,value for pads; q a close; enter, esc, bksp, kpenter, del, space,
// a, 2 and p the keys.
std::vector<SDL_Event> Script(const std::string& text);

// Writes the RGB of `surface` as a PNG; false if the file cannot be written.
bool WritePng(SDL_Surface* surface, const std::string& path);

#endif
