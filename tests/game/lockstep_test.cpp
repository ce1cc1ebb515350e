// The messages of a game on two screens, byte by byte, and the one order of a frame's events.
#include <gtest/gtest.h>

#include <string>

#include "game/replay/lockstep.h"
#include "game/replay/taken_event.h"
#include "tests/support/test_support.h"

namespace {

CodeBytes Hex(const std::string& text) {
  CodeBytes bytes;
  std::string digits;
  for (const char c : text)
    if (c != ' ') digits += c;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}

constexpr LinkSide H = LinkSide::kHost, G = LinkSide::kGuest;

LinkFault Read(LinkSide from, const CodeBytes& bytes, Message* m) {
  return DecodeMessage(bytes.data(), static_cast<int>(bytes.size()), from, m);
}

TEST(LockstepCodec, EveryMessageReadsAndWritesBackTheSame) {
  // kinds: 1 hello, 2 start, 3 start more, 4 frame, 5 screen, 6 request, 7 stop. A host's frame:
  // frame, check, ticks, events (a key, a click at (300, 5), a move, a close, a pad's key).
  const struct {
    LinkSide from;
    const char* bytes;
  } kRows[] = {{G, "01 01"},
               {H, "02 01 03 AABBCC"},
               {H, "02 01 05 AABB"},
               {H, "03 CCDD"},
               {H, "04 03 00000000 00 00"},
               {H, "04 05 DEADBEEF 02 05 0002 0201AC0205 040A0B 05 080F"},
               {G, "04 03 01020304 02 03 04"},
               {H, "05 1E 0006"},
               {G, "06 07 04"},
               {G, "06 07 05"},
               {H, "07 01"},
               {G, "07 02"}};
  for (const auto& row : kRows) {
    Message m;
    ASSERT_EQ(Read(row.from, Hex(row.bytes), &m), LinkFault::kNone) << row.bytes;
    EXPECT_EQ(EncodeMessage(m, row.from), Hex(row.bytes)) << row.bytes;
  }
  Message frame;
  Read(H, Hex(kRows[5].bytes), &frame);
  EXPECT_EQ(frame.frame, 5);
  EXPECT_EQ(frame.check, 0xDEADBEEFu);
  EXPECT_EQ(frame.ticks, 2);
  ASSERT_EQ(frame.events.size(), 5u);
  EXPECT_EQ(frame.events[1].x, 300);
  EXPECT_TRUE(frame.events[4].fromPad);
}

TEST(LockstepCodec, RefusesWhatNoDeviceSends) {
  const struct {
    LinkSide from;
    const char* bytes;
    LinkFault fault;
  } kRows[] = {
      {H, "", LinkFault::kMalformed},
      {H, "00", LinkFault::kMalformed},  // no such kind
      {H, "08", LinkFault::kMalformed},
      {G, "02 01 00", LinkFault::kMalformed},  // the host's kinds from the guest
      {G, "05 00 05", LinkFault::kMalformed},
      {H, "01 01", LinkFault::kMalformed},  // the guest's from the host
      {H, "06 00 04", LinkFault::kMalformed},
      {G, "01 02", LinkFault::kVersion},
      {H, "02 00 00", LinkFault::kVersion},
      {G, "01", LinkFault::kMalformed},        // cut
      {G, "01 01 00", LinkFault::kMalformed},  // lengthened
      {H, "04 03 000000", LinkFault::kMalformed},
      {H, "04 8300 00000000 00 00", LinkFault::kMalformed},      // a number spelled long
      {H, "04 81808008 00000000 00 00", LinkFault::kMalformed},  // past the frames a game holds
      {H, "04 03 00000000 00 21", LinkFault::kMalformed},        // 33 events
      {H, "04 03 00000000 00 01", LinkFault::kMalformed},        // one, missing
      {H, "04 03 00000000 00 01 07", LinkFault::kMalformed},     // no such event
      {H, "04 03 00000000 00 01 10", LinkFault::kMalformed},
      {H, "04 03 00000000 00 01 0C 00 00", LinkFault::kMalformed},      // a move from a pad
      {H, "04 03 00000000 00 01 02 08 00 00", LinkFault::kMalformed},   // a ninth button
      {H, "04 03 00000000 00 01 04 808004 00", LinkFault::kMalformed},  // x past 65535
      {H, "04 03 00000000 00 01 00 818040", LinkFault::kMalformed},     // a key past the table
      {G, "04 03 00000000 01 06", LinkFault::kMalformed},               // a guest key not sent
      {G, "04 03 00000000 01", LinkFault::kMalformed},
      {H, "05 F12E 0006", LinkFault::kMalformed},  // a wait past a minute
      {H, "05 1E", LinkFault::kMalformed},
      {H, "05 1E 0006 00", LinkFault::kMalformed},
      {G, "06 07 00", LinkFault::kMalformed},  // a direction asked on a screen
      {G, "06 07", LinkFault::kMalformed},
      {H, "07 00", LinkFault::kMalformed},
      {G, "07 03", LinkFault::kMalformed},
      {H, "02 01 818040", LinkFault::kMalformed},     // a start past 1 MiB
      {H, "02 01 02 AABBCC", LinkFault::kMalformed},  // a piece past its start
      {H, "03", LinkFault::kMalformed},
  };
  for (const auto& row : kRows) {
    Message m;
    m.frame = 77;
    EXPECT_EQ(Read(row.from, Hex(row.bytes), &m), row.fault) << row.bytes;
    EXPECT_EQ(m.frame, 77) << row.bytes;
  }
  CodeBytes long_(kLinkMessageMax + 1, 0);
  long_[0] = 3;
  Message m;
  EXPECT_EQ(Read(H, long_, &m), LinkFault::kTooLong);
  long_.pop_back();
  EXPECT_EQ(Read(H, long_, &m), LinkFault::kNone);
}

TEST(LockstepGuest, ItsDirectionsPauseAndCloseAloneGoAsPlayerTwosKeys) {
  const struct {
    SDL_Event event;
    int key;  // -1: not sent
  } kRows[] = {{KeyDown(SDLK_UP), 0},      {KeyDown(SDLK_w), 0},
               {KeyDown(SDLK_z), 0},       {KeyDown(SDLK_DOWN), 1},
               {KeyDown(SDLK_s), 1},       {KeyDown(SDLK_LEFT), 2},
               {KeyDown(SDLK_a), 2},       {KeyDown(SDLK_q), 2},
               {KeyDown(SDLK_RIGHT), 3},   {KeyDown(SDLK_d), 3},
               {KeyDown(SDLK_p), 4},       {QuitEvent(), 5},
               {KeyDown(SDLK_RETURN), -1}, {KeyDown(SDLK_ESCAPE), -1},
               {KeyDown(SDLK_SPACE), -1},  {KeyDown(SDLK_g), -1},
               {MouseMotion(3, 4), -1},    {MouseButton(SDL_MOUSEBUTTONDOWN, 300, 340), -1}};
  int n = 0;
  for (const auto& row : kRows) {
    GuestKey key = GuestKey::kLeave;
    SDL_Event up = row.event;
    if (up.type == SDL_KEYDOWN) up.type = SDL_KEYUP;
    EXPECT_EQ(GuestKeyOf(row.event, &key) ? static_cast<int>(key) : -1, row.key) << "row " << n++;
    if (row.event.type == SDL_KEYDOWN) {
      EXPECT_FALSE(GuestKeyOf(up, &key));
    }
  }
  const SDLKey taken[] = {SDLK_w, SDLK_s, SDLK_a, SDLK_d, SDLK_p};
  for (int k = 0; k < 5; ++k)
    EXPECT_EQ(GuestEvent(static_cast<GuestKey>(k)), Taken(KeyDown(taken[k]), false));
  EXPECT_EQ(GuestEvent(GuestKey::kLeave).kind, TakenKind::kQuit);
}

TEST(LockstepMerge, AFramesEventsQueueBehindThoseLeftHostsFirst) {
  auto key = [](SDLKey k, bool down) {
    SDL_Event e = KeyDown(k);
    if (!down) e.type = SDL_KEYUP;
    return Taken(e, false);
  };
  std::deque<TakenEvent> queue{key(SDLK_ESCAPE, true)};
  MergeFrame({key(SDLK_RIGHT, true), key(SDLK_RIGHT, false)},
             {GuestKey::kRight, GuestKey::kPause, GuestKey::kLeave}, &queue);
  const std::deque<TakenEvent> expected{key(SDLK_ESCAPE, true), key(SDLK_RIGHT, true),
                                        key(SDLK_RIGHT, false), key(SDLK_d, true),
                                        key(SDLK_p, true),      GuestEvent(GuestKey::kLeave)};
  EXPECT_EQ(queue, expected);
}

}  // namespace
