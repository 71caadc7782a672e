// Looking up the generated reading table.
#include "readings.h"

#include <algorithm>
#include <cstddef>

namespace tessaly {
namespace reading_data {
// Generated (tools/make_readings.cpp). Each array starts with a 0 that
// holds no entry, so that no array is empty.
extern const size_t kCharCount;
extern const uint32_t kChars[];
extern const uint32_t kStarts[];
extern const uint32_t kReadings[];
extern const size_t kHeteronymCount;
extern const uint64_t kHeteronyms[];
extern const size_t kNeutralCount;
extern const uint64_t kNeutralWords[];
extern const uint64_t kNeutralReadings[];
extern const size_t kReorderedCount;
extern const char16_t* const kReordered[];
}  // namespace reading_data

std::span<const uint32_t> ReadingsOf(char32_t c) {
  using namespace reading_data;
  const uint32_t* const begin = kChars + 1;
  const uint32_t* const end = begin + kCharCount;
  const uint32_t* at = std::lower_bound(begin, end, static_cast<uint32_t>(c));
  if (at == end || *at != c) return {};
  const size_t i = static_cast<size_t>(at - begin);
  return {kReadings + 1 + kStarts[i], kReadings + 1 + kStarts[i + 1]};
}

bool HasReadingTable() { return reading_data::kCharCount > 0; }

bool IsHeteronym(char32_t first, char32_t second) {
  using namespace reading_data;
  const uint64_t word = static_cast<uint64_t>(first) << 32 | second;
  return std::binary_search(kHeteronyms + 1, kHeteronyms + 1 + kHeteronymCount, word);
}

uint64_t NeutralReading(char32_t first, char32_t second) {
  using namespace reading_data;
  const uint64_t word = static_cast<uint64_t>(first) << 32 | second;
  const uint64_t* const begin = kNeutralWords + 1;
  const uint64_t* const end = begin + kNeutralCount;
  const uint64_t* at = std::lower_bound(begin, end, word);
  return at != end && *at == word ? kNeutralReadings[1 + (at - begin)] : 0;
}

bool IsReorderedPair(std::u16string_view a, std::u16string_view b) {
  using namespace reading_data;
  for (size_t k = 0; k < kReorderedCount; ++k) {
    const std::u16string_view x = kReordered[1 + 2 * k];
    const std::u16string_view y = kReordered[2 + 2 * k];
    if ((x == a && y == b) || (x == b && y == a)) return true;
  }
  return false;
}

}  // namespace tessaly
