#include "platform/desktop/sound/sound_file.h"

#include <strings.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// How far past the ID3 tag the first frame may start (encoders pad a little).
constexpr long kMp3SearchBytes = 64 * 1024;

const char* Ending(const char* name) {
  const char* slash = std::strrchr(name, '/');
  const char* dot = std::strrchr(slash ? slash : name, '.');
  return dot ? dot : "";
}

struct Frame {
  int version;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  int layer;    // 1, 2 or 3
  int rate;
  long length;  // bytes, header included
};

// Parses a frame header; false for anything the MPEG audio tables reject.
bool ParseFrame(const unsigned char* h, Frame* frame) {
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
  const int version = (h[1] >> 3) & 3;
  const int layerBits = (h[1] >> 1) & 3;
  const int bitrateIndex = h[2] >> 4;
  const int rateIndex = (h[2] >> 2) & 3;
  if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
    return false;
  const int layer = 4 - layerBits;
  constexpr std::array<std::array<int, 15>, 5> kKbps{{
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2 layer I
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},  // MPEG-2 layers II, III
  }};
  constexpr std::array<int, 3> kMpeg1Rates{44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const int table = mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4);
  const long bitrate = kKbps[table][bitrateIndex] * 1000L;
  const int rate = kMpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const int padding = (h[2] >> 1) & 1;
  long length = 0;
  if (layer == 1) {
    length = (12 * bitrate / rate + padding) * 4;
  } else {
    length = ((layer == 3 && !mpeg1) ? 72 : 144) * bitrate / rate + padding;
  }
  *frame = Frame{version, layer, rate, length};
  return true;
}

// Size of an ID3v2 tag at the start of the file, 0 when there is none.
long Id3Size(const unsigned char* h, long available) {
  if (available < 10 || std::memcmp(h, "ID3", 3) != 0) return 0;
  if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return 0;
  const long body = (long(h[6]) << 21) | (long(h[7]) << 14) | (long(h[8]) << 7) | long(h[9]);
  return 10 + body + ((h[5] & 0x10) ? 10 : 0);
}

bool LooksLikeMp3(std::FILE* file) {
  unsigned char head[10] = {};
  const long headRead = static_cast<long>(std::fread(head, 1, sizeof head, file));
  const long start = Id3Size(head, headRead);
  if (std::fseek(file, start, SEEK_SET) != 0) return false;
  std::vector<unsigned char> bytes(kMp3SearchBytes);
  const long n = static_cast<long>(std::fread(bytes.data(), 1, bytes.size(), file));
  const bool wholeFile = std::fgetc(file) == EOF;
  for (long i = 0; i + 4 <= n; ++i) {
    Frame first{}, second{};
    if (!ParseFrame(&bytes[i], &first)) continue;
    const long next = i + first.length;
    // A file of one frame ends exactly where that frame does.
    if (wholeFile && next == n) return true;
    if (next + 4 <= n && ParseFrame(&bytes[next], &second) && second.version == first.version &&
        second.layer == first.layer && second.rate == first.rate) {
      return true;
    }
  }
  return false;
}

bool LooksLikeWav(std::FILE* file) {
  unsigned char h[12] = {};
  return std::fread(h, 1, sizeof h, file) == sizeof h && std::memcmp(h, "RIFF", 4) == 0 &&
         std::memcmp(h + 8, "WAVE", 4) == 0;
}

}  // namespace

SoundKind SoundFileKind(const char* name) {
  if (!name) return SoundKind::None;
  const char* ending = Ending(name);
  const bool wav = strcasecmp(ending, ".wav") == 0;
  const bool mp3 = strcasecmp(ending, ".mp3") == 0;
  if (!wav && !mp3) return SoundKind::None;
  std::FILE* file = std::fopen(name, "rb");
  if (!file) return SoundKind::None;
  const bool fits = wav ? LooksLikeWav(file) : LooksLikeMp3(file);
  std::fclose(file);
  if (!fits) return SoundKind::None;
  return wav ? SoundKind::Wav : SoundKind::Mp3;
}
