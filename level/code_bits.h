#ifndef GLOUTO_LEVEL_CODE_BITS_H
#define GLOUTO_LEVEL_CODE_BITS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What every share code is made of: bits packed high bit first into bytes,
// written in base64url without padding (a link's fragment keeps it as is).

using CodeBytes = std::vector<std::uint8_t>;

std::string ToBase64Url(const CodeBytes& bytes);
// Only the one spelling ToBase64Url gives: no padding, no stray bits.
bool FromBase64Url(std::string_view code, CodeBytes* bytes);

// What a chat app adds to a pasted code or link: line breaks where it wraps,
// spaces, and after the code a query of its own ("?utm_source=...", "&x=1").
// Keeps what follows the link's '#', if any, up to such a query.
std::string CodeOf(const std::string& codeOrLink);

class BitWriter {
 public:
  explicit BitWriter(CodeBytes* bytes) : bytes_(bytes) {}
  void Put(std::uint64_t value, int bits);
  // Numbers 0 and up, small ones short (Elias gamma of value + 1).
  void Number(std::uint64_t value);
  void Signed(std::int64_t value);

 private:
  CodeBytes* bytes_;
  std::size_t used_ = 0;
};

// Reads what BitWriter wrote; past the end, or on a number longer than
// `kMaxNumberBits`, it fails for good and every later read gives 0.
class BitReader {
 public:
  static constexpr int kMaxNumberBits = 40;
  BitReader(const CodeBytes& bytes, std::size_t fromByte) : bytes_(bytes), at_(fromByte * 8) {}
  std::uint64_t Get(int bits);
  std::uint64_t Number();
  std::int64_t Signed();
  bool Failed() const { return failed_; }
  // True when only zero bits of the last byte are left.
  bool AtCleanEnd() const;

 private:
  const CodeBytes& bytes_;
  std::size_t at_;
  bool failed_ = false;
};

// Bits from `from` (a bit index) of `bytes`, high bit first.
unsigned Bits(const CodeBytes& bytes, std::size_t from, int count);

#endif
