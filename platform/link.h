#ifndef GLOUTO_PLATFORM_LINK_H
#define GLOUTO_PLATFORM_LINK_H

#include <cstdint>

// The other device of a game played on two screens. In the browser the page
// keeps a data channel to it; on the desktop a connected socket whose file
// descriptor GLOUTO_LIEN names.
enum class LinkSide { kNone, kHost, kGuest };
LinkSide LinkRole();
// Sends one whole message (at most kLinkMessageMax bytes).
void LinkSend(const std::uint8_t* data, int size);
// Takes the next whole message: its size; 0 when none has come yet; -1 when
// the link is gone for good (the game then ends as if closed). A message
// longer than `capacity` is taken whole, its first `capacity` bytes copied,
// and its size returned.
int LinkReceive(std::uint8_t* data, int capacity);
// Tells the player, in one French sentence (Latin-1), why the game on two screens stopped.
void LinkSay(const char* sentence);
constexpr int kLinkMessageMax = 1024;

// The side the game's command line asked for (--deux-ecrans, --invite). The
// desktop's link plays it when GLOUTO_LIEN names a socket; the browser's page
// chose its own side, which LinkRole gives.
void LinkAskSide(LinkSide side);

#endif
