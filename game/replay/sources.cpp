#include "game/replay/sources.h"

#include <cctype>
#include <fstream>
#include <iterator>

#include "game/replay/recording_code.h"
#include "game/replay/recording_limits.h"

namespace {

bool ReadFile(const std::string& path, CodeBytes* bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  char buffer[4096];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    bytes->insert(bytes->end(), buffer, buffer + file.gcount());
    if (bytes->size() > kMaxRecordingBytes) break;  // refused as too long
  }
  return true;
}

bool Printable(const CodeBytes& bytes) {
  for (const std::uint8_t b : bytes)
    if (!std::isprint(b) && !std::isspace(b)) return false;
  return !bytes.empty();
}

}  // namespace

std::string LoadRecording(const std::string& source, Recording* out) {
  CodeBytes bytes;
  if (!ReadFile(source, &bytes)) return DecodeRecordingCode(source, out);
  const std::string asBytes = DecodeRecording(bytes, out);
  // A code saved in a text file reads as well.
  if (!asBytes.empty() && Printable(bytes) &&
      DecodeRecordingCode(std::string(bytes.begin(), bytes.end()), out).empty())
    return "";
  return asBytes;
}
