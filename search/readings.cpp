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

}  // namespace tessaly
