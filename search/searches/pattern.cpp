// The search by structure: a letter stands for a character (the same
// letter for the same character), "*" for any, anything else for itself.
#include <utility>
#include <vector>

#include "matcher.h"
#include "messages.h"

namespace tessaly {
namespace {

// A structure pattern turned into the checks a record must pass: the
// characters it names, the positions that must hold the same character
// (the places of one letter), and those that must differ (the first places
// of two letters).
struct Pattern {
  size_t length = 0;
  std::vector<std::pair<size_t, char16_t>> characters;
  std::vector<std::pair<size_t, size_t>> same;
  std::vector<std::pair<size_t, size_t>> different;

  explicit Pattern(std::u16string_view key) : length(key.size()) {
    size_t first[26];
    bool seen[26] = {};
    std::vector<size_t> letters;  // first place of each letter, in order
    for (size_t i = 0; i < key.size(); ++i) {
      const char16_t k = key[i];
      if (k == kStar) continue;
      if (!IsLowerAscii(k)) {
        characters.emplace_back(i, k);
        continue;
      }
      const int letter = k - u'a';
      if (seen[letter]) {
        same.emplace_back(first[letter], i);
        continue;
      }
      seen[letter] = true;
      first[letter] = i;
      for (size_t other : letters) different.emplace_back(other, i);
      letters.push_back(i);
    }
  }

  bool matches(std::u16string_view chars) const {
    if (chars.size() != length) return false;
    for (const auto& [i, c] : characters) {
      if (chars[i] != c) return false;
    }
    for (const auto& [i, j] : same) {
      if (chars[i] != chars[j]) return false;
    }
    for (const auto& [i, j] : different) {
      if (chars[i] == chars[j]) return false;
    }
    return true;
  }
};

Error MatchPattern(const SearchContext& on, std::u16string_view key, SearchOutcome& out) {
  const Pattern pattern(key);
  MarkEach(on.table.size(), out,
           [&, chars = on.table.chars().view()](int32_t i) { return pattern.matches(chars.at(i)); });
  return {};
}

}  // namespace

extern const SearchKind kPatternSearch{
    .mode = SearchMode::Pattern,
    .name = "pattern",
    .help = N_("the idiom's shape: a letter stands for a character (the same letter\n"
               "for the same character), * for any   aabb, abac, 一a一b"),
    .example = u"abac",
    .menu = u"按结构查找（如 aabb、abac、一a一b）",
    .match = MatchPattern,
};

}  // namespace tessaly
