#include "platform/link.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Each message on the socket is its size in two bytes, high first, then its bytes.

namespace {

LinkSide asked = LinkSide::kNone;
std::vector<std::uint8_t> heard;  // read from the socket, not yet taken
bool ended = false;               // the socket's end read: the other device is gone
bool deaf = false;                // a send failed: the other device reads no more

// The connected stream socket GLOUTO_LIEN names, or -1.
int Socket() {
  static const int fd = [] {
    const char* name = std::getenv("GLOUTO_LIEN");
    if (!name || !*name) return -1;
    char* end = nullptr;
    const long n = std::strtol(name, &end, 10);
    int type = 0;
    socklen_t length = sizeof type;
    if (*end || n < 0 || n > INT_MAX ||
        getsockopt(static_cast<int>(n), SOL_SOCKET, SO_TYPE, &type, &length) != 0 ||
        type != SOCK_STREAM)
      return -1;
    return static_cast<int>(n);
  }();
  return fd;
}

bool SendAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
    if (sent < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd ready{fd, POLLOUT, 0};
      poll(&ready, 1, 100);
      continue;
    }
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

// What the socket holds now, without waiting.
void Hear(int fd) {
  std::uint8_t buffer[4096];
  const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
  if (got > 0) {
    heard.insert(heard.end(), buffer, buffer + got);
  } else if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
    ended = true;
  }
}

std::size_t WholeSize() {
  if (heard.size() < 2) return 0;
  const std::size_t size = static_cast<std::size_t>(heard[0] << 8 | heard[1]);
  return heard.size() >= 2 + size ? 2 + size : 0;
}

}  // namespace

void LinkAskSide(LinkSide side) { asked = side; }

LinkSide LinkRole() { return Socket() >= 0 ? asked : LinkSide::kNone; }

void LinkSend(const std::uint8_t* data, int size) {
  const int fd = Socket();
  if (fd < 0 || deaf || size < 0 || size > kLinkMessageMax) return;
  std::vector<std::uint8_t> framed{static_cast<std::uint8_t>(size >> 8),
                                   static_cast<std::uint8_t>(size)};
  framed.insert(framed.end(), data, data + size);
  if (!SendAll(fd, framed.data(), framed.size())) deaf = true;
}

int LinkReceive(std::uint8_t* data, int capacity) {
  const int fd = Socket();
  if (fd < 0) return -1;
  // What the other device sent before it left is still taken, to the socket's end.
  if (!WholeSize() && !ended) Hear(fd);
  const std::size_t whole = WholeSize();
  if (!whole) return ended ? -1 : 0;
  const int size = static_cast<int>(whole - 2);
  std::memcpy(data, heard.data() + 2, static_cast<std::size_t>(std::min(size, capacity)));
  heard.erase(heard.begin(), heard.begin() + static_cast<std::ptrdiff_t>(whole));
  return size;
}

// The terminal reads UTF-8.
void LinkSay(const char* sentence) {
  std::string text;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(sentence); *c; ++c) {
    if (*c < 0x80) {
      text += static_cast<char>(*c);
    } else {
      text += static_cast<char>(0xC0 | *c >> 6);
      text += static_cast<char>(0x80 | (*c & 0x3F));
    }
  }
  std::fprintf(stderr, "game : %s\n", text.c_str());
}
