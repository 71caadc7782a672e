// The syllables of every record's pinyin, and the pinyin search on them.
#include "syllable_index.h"

#include <algorithm>

#include "pinyin_reader.h"
#include "messages.h"

namespace tessaly {

namespace {

Error NotPinyin(std::u16string_view) { return MakeError(ErrorKind::BadKeyword, TR("not pinyin")); }

// The index build as a sink of the pinyin reader: letters and their marks
// appended as they come, the tone written on a syllable's last letter.
struct IndexBuild {
  std::string& letters;
  std::vector<uint8_t>& marks;
  uint8_t startFlag;
  int tone = 5;
  bool starting = false;

  void start(size_t) {
    tone = 5;
    starting = true;
  }
  void letter(char letter, int letterTone, size_t) {
    letters.push_back(letter);
    marks.push_back(starting ? startFlag : 0);
    starting = false;
    if (letterTone != 0 && tone == 5) tone = letterTone;
  }
  void mark(int markTone, size_t) {
    if (tone == 5) tone = markTone;
  }
  void diaeresis(size_t) {
    if (letters.back() == 'u') letters.back() = 'v';
  }
  void end(size_t) { marks.back() = static_cast<uint8_t>((marks.back() & startFlag) | tone); }
};

// The plain form of one character of a typed keyword: full-width letters
// and digits as ASCII, the apostrophes an input method types (’ ‘ ＇) as
// "'". Everything else is left to the pinyin reader or refused.
char16_t PlainKeyCharacter(char16_t u) {
  const bool fullWidth = (u >= u'\uFF10' && u <= u'\uFF19') || (u >= u'\uFF21' && u <= u'\uFF3A') ||
                         (u >= u'\uFF41' && u <= u'\uFF5A');
  if (fullWidth) return static_cast<char16_t>(u - 0xFEE0);
  if (u == u'\u2019' || u == u'\u2018' || u == u'\uFF07') return u'\'';
  return u;
}

}  // namespace

Result<PinyinKey> ParsePinyinKey(std::u16string_view keyword) {
  PinyinKey key;
  bool afterDigit = false;
  for (const char16_t typed : keyword) {
    const char16_t u = PlainKeyCharacter(typed);
    int tone = 0;
    // Letters are read as the data's pinyin is read: a marked vowel, ü or
    // an upper-case letter is its plain letter (the mark asks for no tone;
    // a digit does).
    if (const char letter = PinyinLetter(u, tone); letter != 0) {
      key.letters.push_back(letter);
      key.ends.push_back(0);
      afterDigit = false;
    } else if (const int mark = CombiningMark(u); mark != 0 && !key.letters.empty() && !afterDigit) {
      if (mark == kDiaeresis && key.letters.back() == 'u') key.letters.back() = 'v';
    } else if (u >= u'0' && u <= u'5') {
      if (key.letters.empty() || afterDigit || key.ends.back() != 0) return NotPinyin(keyword);
      key.ends.back() = u == u'0' ? 5 : static_cast<uint8_t>(u - u'0');
      afterDigit = true;
    } else if (u == u'\'') {
      if (key.letters.empty()) return NotPinyin(keyword);
      if (key.ends.back() == 0) key.ends.back() = PinyinKey::kEnds;
    } else {
      return NotPinyin(keyword);
    }
  }
  if (key.letters.empty()) return NotPinyin(keyword);
  return key;
}

SyllableIndex::SyllableIndex(const IdiomTable& table) {
  m_starts.reserve(static_cast<size_t>(table.size()) + 1);
  IndexBuild build{m_letters, m_marks, kStart};
  for (int32_t i = 0; i < table.size(); ++i) {
    ReadPinyin(table.field(i, Field::Pinyin), build);
    m_starts.push_back(static_cast<uint32_t>(m_letters.size()));
  }
}

void SyllableIndex::markMatching(const PinyinKey& key, HitMarks& marks, int32_t& hits) const {
  const std::string_view letters(m_letters);
  const auto* const starts = m_starts.data();
  const auto* const startsEnd = starts + m_starts.size();
  const uint32_t* record = starts;
  size_t pos = 0;
  while ((pos = letters.find(key.letters, pos)) != std::string_view::npos) {
    record = std::upper_bound(record, startsEnd, pos) - 1;
    const auto r = static_cast<size_t>(record - starts);
    const size_t end = *(record + 1);
    if (marks[r]) {
      pos = end;  // found already: on to the next record
      continue;
    }
    bool match = pos + key.letters.size() <= end && (m_marks[pos] & kStart) != 0;
    for (size_t j = 0; match && j < key.ends.size(); ++j) {
      const uint8_t want = key.ends[j];
      const uint8_t tone = m_marks[pos + j] & kToneMask;
      if (want == PinyinKey::kEnds) {
        match = tone != 0;
      } else if (want != 0) {
        match = tone == want;
      }
    }
    if (match) {
      marks[r] = 1;
      ++hits;
      pos = end;
    } else {
      ++pos;
    }
  }
}

std::string_view SyllableIndex::firstSyllable(int32_t i) const {
  const size_t begin = m_starts[static_cast<size_t>(i)];
  const size_t end = m_starts[static_cast<size_t>(i) + 1];
  size_t stop = begin + 1;
  while (stop < end && (m_marks[stop] & kStart) == 0) ++stop;
  return begin < end ? std::string_view(m_letters).substr(begin, stop - begin) : std::string_view();
}

std::string_view SyllableIndex::lastSyllable(int32_t i) const {
  const size_t begin = m_starts[static_cast<size_t>(i)];
  const size_t end = m_starts[static_cast<size_t>(i) + 1];
  if (begin == end) return {};
  size_t start = end - 1;
  while (start > begin && (m_marks[start] & kStart) == 0) --start;
  return std::string_view(m_letters).substr(start, end - start);
}

size_t SyllableIndex::memoryBytes() const {
  return m_letters.capacity() + m_marks.capacity() + m_starts.capacity() * sizeof(uint32_t);
}

}  // namespace tessaly
