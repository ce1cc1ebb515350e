#include "level/code_bits.h"

namespace {

constexpr std::string_view kDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

}  // namespace

std::string ToBase64Url(const CodeBytes& bytes) {
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (const std::uint8_t b : bytes) {
    buffer = (buffer << 8) | b;
    for (bits += 8; bits >= 6; bits -= 6) out += kDigits[(buffer >> (bits - 6)) & 63];
  }
  if (bits > 0) out += kDigits[(buffer << (6 - bits)) & 63];
  return out;
}

bool FromBase64Url(std::string_view code, CodeBytes* bytes) {
  if (code.size() % 4 == 1) return false;
  unsigned buffer = 0;
  int bits = 0;
  for (const char c : code) {
    const std::size_t digit = kDigits.find(c);
    if (digit == std::string_view::npos) return false;
    buffer = (buffer << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes->push_back(static_cast<std::uint8_t>(buffer >> bits));
    }
  }
  return (buffer & ((1u << bits) - 1)) == 0;
}

std::string CodeOf(const std::string& codeOrLink) {
  std::string kept;
  for (const char c : codeOrLink)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') kept += c;
  const std::size_t hash = kept.find('#');
  if (hash == std::string::npos) return kept;
  kept.erase(0, hash + 1);
  const std::size_t query = kept.find_first_of("?&");
  if (query != std::string::npos) kept.erase(query);
  return kept;
}

void BitWriter::Put(std::uint64_t value, int bits) {
  for (int i = bits - 1; i >= 0; --i) {
    if (used_ % 8 == 0) bytes_->push_back(0);
    if ((value >> i) & 1) bytes_->back() |= static_cast<std::uint8_t>(0x80 >> (used_ % 8));
    ++used_;
  }
}

void BitWriter::Number(std::uint64_t value) {
  const std::uint64_t v = value + 1;
  int length = 0;
  while ((v >> length) > 1) ++length;
  Put(0, length);
  Put(v, length + 1);
}

void BitWriter::Signed(std::int64_t value) {
  Number(value < 0 ? (static_cast<std::uint64_t>(-(value + 1)) << 1) | 1
                   : static_cast<std::uint64_t>(value) << 1);
}

unsigned Bits(const CodeBytes& bytes, std::size_t from, int count) {
  unsigned value = 0;
  for (int i = 0; i < count; ++i, ++from)
    value = (value << 1) | ((bytes[from / 8] >> (7 - from % 8)) & 1);
  return value;
}

std::uint64_t BitReader::Get(int bits) {
  if (failed_ || at_ + static_cast<std::size_t>(bits) > bytes_.size() * 8) {
    failed_ = true;
    return 0;
  }
  std::uint64_t value = 0;
  for (int i = 0; i < bits; ++i, ++at_)
    value = (value << 1) | ((bytes_[at_ / 8] >> (7 - at_ % 8)) & 1);
  return value;
}

std::uint64_t BitReader::Number() {
  int length = 0;
  while (!failed_ && Get(1) == 0) {
    if (++length > kMaxNumberBits) failed_ = true;
  }
  if (failed_) return 0;
  const std::uint64_t rest = Get(length);
  return ((std::uint64_t{1} << length) | rest) - 1;
}

std::int64_t BitReader::Signed() {
  const std::uint64_t z = Number();
  return (z & 1) ? -static_cast<std::int64_t>(z >> 1) - 1 : static_cast<std::int64_t>(z >> 1);
}

bool BitReader::AtCleanEnd() const {
  if (failed_ || bytes_.size() * 8 - at_ >= 8) return false;
  for (std::size_t i = at_; i < bytes_.size() * 8; ++i)
    if ((bytes_[i / 8] >> (7 - i % 8)) & 1) return false;
  return true;
}
