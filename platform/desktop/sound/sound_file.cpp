#include "platform/desktop/sound/sound_file.h"

#include <strings.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
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

// Size of an ID3v2 tag at `h`, 0 when there is none.
long Id3Size(const unsigned char* h, long available) {
  if (available < 10 || std::memcmp(h, "ID3", 3) != 0) return 0;
  if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return 0;
  const long body = (long(h[6]) << 21) | (long(h[7]) << 14) | (long(h[8]) << 7) | long(h[9]);
  return 10 + body + ((h[5] & 0x10) ? 10 : 0);
}

// Taggers stack tags: a small one may come before one that holds cover art.
long TagsEnd(std::FILE* file) {
  long at = 0;
  for (;;) {
    unsigned char head[10] = {};
    if (std::fseek(file, at, SEEK_SET) != 0) return at;
    const long size = Id3Size(head, static_cast<long>(std::fread(head, 1, sizeof head, file)));
    if (size == 0) return at;
    at += size;
  }
}

// Index of the first of two frames in a row (of `rate`, if not 0) starting
// before `last` in `n` bytes; -1 when none. `atEnd`: the bytes end the file,
// so a frame may be its last.
long FindFrames(const unsigned char* bytes, long n, long last, bool atEnd, int rate, Frame* found) {
  for (long i = 0; i < last && i + 4 <= n; ++i) {
    Frame first{}, second{};
    if (!ParseFrame(&bytes[i], &first) || (rate && first.rate != rate)) continue;
    const long next = i + first.length;
    if ((atEnd && next == n) ||
        (next + 4 <= n && ParseFrame(&bytes[next], &second) && second.version == first.version &&
         second.layer == first.layer && second.rate == first.rate)) {
      if (found) *found = first;
      return i;
    }
  }
  return -1;
}

// Fills `check` for an MP3: its frames must start within the first bytes
// after the tags.
void CheckMp3(std::FILE* file, SoundFile* check) {
  const long start = TagsEnd(file);
  std::vector<unsigned char> bytes(kMp3SearchBytes);
  const bool seeks = std::fseek(file, start, SEEK_SET) == 0;
  const long n = seeks ? static_cast<long>(std::fread(bytes.data(), 1, bytes.size(), file)) : 0;
  const bool wholeFile = std::fgetc(file) == EOF;
  Frame first{};
  const long found = FindFrames(bytes.data(), n, n, wholeFile, 0, &first);
  if (found < 0) {
    check->refusal = "ce n'est pas un fichier son MP3";
    return;
  }
  *check = SoundFile{SoundKind::Mp3, start + found, first.rate, {}};
}

bool LooksLikeWav(std::FILE* file) {
  unsigned char h[12] = {};
  return std::fread(h, 1, sizeof h, file) == sizeof h &&
         (std::memcmp(h, "RIFF", 4) == 0 || std::memcmp(h, "RIFX", 4) == 0) &&
         std::memcmp(h + 8, "WAVE", 4) == 0;
}

}  // namespace

SoundFile CheckSoundFile(const char* name) {
  SoundFile check;
  struct stat info = {};
  if (!name || stat(name, &info) != 0) {
    // A track that is simply not there is no news.
    if (name && errno != ENOENT && errno != ENOTDIR) check.refusal = "le jeu ne peut pas le lire";
    return check;
  }
  const char* ending = Ending(name);
  const bool wav = strcasecmp(ending, ".wav") == 0;
  const bool mp3 = strcasecmp(ending, ".mp3") == 0;
  if (!S_ISREG(info.st_mode)) {
    check.refusal = "ce n'est pas un fichier son";
  } else if (!wav && !mp3) {
    check.refusal = "le jeu ne lit que les fichiers WAV et MP3";
  } else if (info.st_size == 0) {
    check.refusal = "le fichier est vide";
  }
  if (!check.refusal.empty()) return check;
  std::FILE* file = std::fopen(name, "rb");
  if (!file) {
    check.refusal = "le jeu ne peut pas le lire";
  } else if (mp3) {
    CheckMp3(file, &check);
  } else if (LooksLikeWav(file)) {
    check.kind = SoundKind::Wav;
  } else {
    check.refusal = "ce n'est pas un fichier son WAV";
  }
  if (file) std::fclose(file);
  return check;
}

long NextMp3Frames(std::FILE* file, long from, int rate) {
  // Frames are at most 2881 bytes: a window's last ones are judged again at
  // the start of the next window, with the frame that follows them.
  constexpr long kOverlap = 4096;
  std::vector<unsigned char> bytes(kMp3SearchBytes);
  for (long at = from;;) {
    if (std::fseek(file, at, SEEK_SET) != 0) return -1;
    const long n = static_cast<long>(std::fread(bytes.data(), 1, bytes.size(), file));
    const bool atEnd = n < kMp3SearchBytes;
    const long last = atEnd ? n : n - kOverlap;
    const long found = FindFrames(bytes.data(), n, last, atEnd, rate, nullptr);
    if (found >= 0) return at + found;
    if (atEnd) return -1;
    at += last;
  }
}
