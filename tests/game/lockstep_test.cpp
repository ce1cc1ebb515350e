// The messages of a game on two screens, byte by byte, and the one order of a frame's events.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "game/replay/lockstep.h"
#include "game/replay/taken_event.h"
#include "tests/support/test_support.h"

namespace {

// Rows "SIDE BYTES WHAT", H the host sending, G the guest: ok, read then written back the same;
// bad or version, refused so. Kinds: 1 hello, 2 start (version, size, piece), 3 start more,
// 4 frame (frame, check, the host's ticks, events or the guest's keys), 5 screen (wait, event),
// 6 request (frames, key), 7 stop.
constexpr const char* kMessages = R"(
G 0101 ok | H 02 01 03 AABBCC ok | H 02 01 05 AABB ok | H 03 CCDD ok | H 0701 ok | G 0702 ok
H 04 03 00000000 00 00 ok | G 04 03 01020304 02 03 04 ok | H 05 1E 0006 ok | G 060704 ok
# a key, a click at (300, 5), a move, a close, a pad's key
H 04 05 DEADBEEF 02 05 0002 0201AC0205 040A0B 05 080F ok | G 060705 ok
# no such kind; the other side's kinds; another version; cut; lengthened
H bad | H 00 bad | H 08 bad | G 020100 bad | G 050005 bad | H 0101 bad | H 060004 bad | G 0102 version
H 020000 version | G 01 bad | G 010100 bad | H 04 03 000000 bad | H 05 1E bad | H 05 1E 0006 00 bad
# a number spelled long; past the frames a game holds; 33 events; one missing
H 04 8300 00000000 00 00 bad | H 04 81808008 00000000 00 00 bad | H 04 03 00000000 00 21 bad
H 04 03 00000000 00 01 bad | G 04 03 00000000 01 bad
# no such event; a move from a pad; a ninth button; x past 65535; a key past the table
H 04 03 00000000 00 01 07 bad | H 04 03 00000000 00 01 10 bad | H 04 03 00000000 00 01 0C0000 bad
H 04 03 00000000 00 01 02080000 bad | H 04 03 00000000 00 01 04 808004 00 bad
H 04 03 00000000 00 01 00 818040 bad
# a key the guest never sends; a wait past a minute; a direction asked on a screen; no such stop
G 04 03 00000000 01 06 bad | H 05 F12E 0006 bad | G 060700 bad | G 0607 bad | H 0700 bad | G 0703 bad
# a start past 1 MiB, a piece past its start, an empty one
H 02 01 818040 bad | H 02 01 02 AABBCC bad | H 03 bad
)";

constexpr LinkSide H = LinkSide::kHost, G = LinkSide::kGuest;

CodeBytes Hex(const std::string& digits) {
  CodeBytes bytes;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}

LinkFault Read(LinkSide from, const CodeBytes& bytes, Message* m) {
  return DecodeMessage(bytes.data(), static_cast<int>(bytes.size()), from, m);
}

TEST(LockstepCodec, ReadsWhatEachSideSendsAndRefusesTheRest) {
  std::istringstream lines(kMessages);
  std::map<std::string, int> seen;
  const std::map<std::string, LinkFault> kFaults{
      {"ok", LinkFault::kNone}, {"bad", LinkFault::kMalformed}, {"version", LinkFault::kVersion}};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream rows(line[0] == '#' ? "" : line);
    for (std::string row; std::getline(rows, row, '|');) {
      std::istringstream words(row);
      std::string side, hex, what, word;
      for (words >> side >> what; words >> word; what = word) hex += what;
      const CodeBytes bytes = Hex(hex);
      Message m;
      m.frame = 77;
      const LinkFault fault = Read(side == "H" ? H : G, bytes, &m);
      EXPECT_EQ(fault, kFaults.at(what)) << row;
      EXPECT_TRUE(fault == LinkFault::kNone ? EncodeMessage(m, side == "H" ? H : G) == bytes
                                            : m.frame == 77)
          << row;
      ++seen[what];
    }
  }
  EXPECT_EQ(seen, (std::map<std::string, int>{{"bad", 32}, {"ok", 12}, {"version", 2}}));
  Message frame;
  ASSERT_EQ(Read(H, Hex("0405DEADBEEF020500020201AC0205040A0B05080F"), &frame), LinkFault::kNone);
  EXPECT_EQ(std::make_tuple(frame.frame, frame.check, frame.ticks, frame.events.size()),
            std::make_tuple(5, 0xDEADBEEFu, 2, std::size_t{5}));
  EXPECT_TRUE(frame.events[1].x == 300 && frame.events[1].y == 5 && frame.events[4].fromPad);
  CodeBytes longest(kLinkMessageMax, 3);
  EXPECT_EQ(Read(H, longest, &frame), LinkFault::kNone);
  longest.push_back(3);
  EXPECT_EQ(Read(H, longest, &frame), LinkFault::kTooLong);
}

using LockstepGuest = SdlTest;  // SDL names its keys once started

TEST_F(LockstepGuest, ItsDirectionsPauseAndCloseAloneGoAsPlayerTwosKeys) {
  // "KEYS: the guest key each stands for (up down left right pause), - for none"; Q the q key
  for (const std::string row : {"up w z: 0", "down s: 1", "left a Q: 2", "right d: 3", "p: 4",
                                "return escape space g tab: -"}) {
    std::istringstream words(row.substr(0, row.find(':')));
    for (std::string name; words >> name;) {
      GuestKey key = GuestKey::kLeave;
      SDL_Event e = Events(name).at(0);
      const bool sent = GuestKeyOf(e, &key);
      EXPECT_EQ(sent ? std::to_string(static_cast<int>(key)) : "-", row.substr(row.size() - 1))
          << name;
      e.type = SDL_KEYUP;
      EXPECT_FALSE(GuestKeyOf(e, &key)) << name;
      EXPECT_TRUE(!sent || GuestEvent(key) == Taken(Events({"wsadp"[int(key)]}).at(0), false));
    }
  }
  GuestKey key = GuestKey::kUp;
  EXPECT_TRUE(GuestKeyOf(QuitEvent(), &key) && key == GuestKey::kLeave);
  EXPECT_EQ(GuestEvent(GuestKey::kLeave).kind, TakenKind::kQuit);
  EXPECT_FALSE(GuestKeyOf(MouseButton(SDL_MOUSEBUTTONDOWN, 300, 340), &key));
}

TEST(LockstepMerge, AFramesEventsQueueBehindThoseLeftHostsFirst) {
  auto key = [](SDLKey k) { return Taken(KeyDown(k), false); };
  std::deque<TakenEvent> queue{key(SDLK_ESCAPE)};
  MergeFrame({key(SDLK_RIGHT), key(SDLK_SPACE)},
             {GuestKey::kRight, GuestKey::kPause, GuestKey::kLeave}, &queue);
  EXPECT_EQ(queue,
            (std::deque<TakenEvent>{key(SDLK_ESCAPE), key(SDLK_RIGHT), key(SDLK_SPACE), key(SDLK_d),
                                    key(SDLK_p), GuestEvent(GuestKey::kLeave)}));
}

}  // namespace
