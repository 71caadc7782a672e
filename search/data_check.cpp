// The strict check of an idiom table.
#include "data_check.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include <unordered_map>

#include "pinyin.h"
#include "pinyin_reader.h"
#include "table_writer.h"
#include "messages.h"
#include "readings.h"
#include "text.h"

namespace tessaly {
namespace {

// IsSourceText tells whether `source` is written in the one format of a
// source: "无", or [朝代·]作者《书名[·篇名]》[第N回|第N章|卷N][：“原文”], the author
// left out for books without one (《论语·学而》), the dynasty for modern ones,
// several authors separated by "、".
bool IsSourceText(std::u16string_view source);

// A character that is text: a CJK character, a letter, a digit.
bool IsText(char16_t u) {
  if ((u >= 0x3400 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xD800 && u <= 0xDFFF)) return true;
  if ((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z')) return true;
  int tone = 0;
  return PinyinLetter(u, tone) != 0;
}

// A pinyin letter the standard alphabet has: ASCII letters, ü and the
// marked vowels; not the IPA look-alikes ɑ and ɡ some data sets carry.
bool IsStandardLetter(char16_t u) { return u != u'ɑ' && u != u'ɡ'; }

// The characters of an idiom: its code units without "，", a surrogate
// pair counted once.
size_t Characters(std::u16string_view chars) {
  return chars.size() - static_cast<size_t>(std::count_if(chars.begin(), chars.end(),
                                                          [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }));
}

// One syllable as the check reads it, made without strings.
struct SyllableFacts {
  uint32_t code = 0;     // SyllableCode of its letters; 0 when longer than any syllable
  char letters[8] = {};  // the first letters, for the tone-mark rule
  int length = 0;
  int marks = 0;
  int markedLetter = -1;
  int tone = 5;          // of its (first) mark; 5 without one
  bool standard = true;  // no IPA look-alike letters
  std::u16string_view text;

  // The syllable as the reading table packs readings.
  uint32_t packed() const { return code << 3 | static_cast<uint32_t>(tone); }
};

// The strict check's reading of a record's pinyin, as a sink of the pinyin
// reader: the syllables' facts, in a list reused from record to record.
struct FactsOf {
  std::vector<SyllableFacts>& out;
  std::u16string_view pinyin;
  size_t count = 0;
  size_t begin = 0;

  void start(size_t at) {
    if (out.size() <= count) out.emplace_back();
    // Field by field: a whole new struct copied in stalls on its stores.
    SyllableFacts& s = out[count++];
    s.code = 0;
    s.length = 0;
    s.marks = 0;
    s.markedLetter = -1;
    s.tone = 5;
    s.standard = true;
    begin = at;
  }
  void letter(char letter, int tone, size_t at) {
    SyllableFacts& s = out[count - 1];
    s.text = pinyin.substr(begin, at + 1 - begin);
    s.standard = s.standard && pinyin[at] != u'ɑ' && pinyin[at] != u'ɡ';
    if (s.length < 7) s.letters[s.length] = letter;
    s.code = s.length < 6 ? (s.code << 5 | static_cast<uint32_t>(letter - 'a' + 1)) : 0;
    ++s.length;
    if (tone != 0 && s.marks++ == 0) {
      s.markedLetter = s.length - 1;
      s.tone = tone;
    }
  }
  void mark(int tone, size_t at) {
    SyllableFacts& s = out[count - 1];
    s.text = pinyin.substr(begin, at + 1 - begin);
    if (s.marks++ == 0) {
      s.markedLetter = s.length - 1;
      s.tone = tone;
    }
  }
  void diaeresis(size_t at) {
    SyllableFacts& s = out[count - 1];
    s.text = pinyin.substr(begin, at + 1 - begin);
    if (s.length > 0 && s.length < 7 && s.letters[s.length - 1] == 'u') {
      s.letters[s.length - 1] = 'v';
      if (s.code != 0) s.code += 'v' - 'u';
    }
  }
  void end(size_t) {}
};

// The records of a table by their idiom, in a flat open-addressed table:
// a check of 300,000 records makes no allocation per record.
class FirstSeen {
 public:
  FirstSeen(const IdiomTable& table, int32_t records) : m_table(table), m_slots(Capacity(records), -1) {}

  // FNV-1a over the code units: idioms are short.
  static size_t Hash(std::u16string_view text) {
    uint64_t h = 14695981039346656037ull;
    for (char16_t u : text) h = (h ^ u) * 1099511628211ull;
    return static_cast<size_t>(h ^ (h >> 29));
  }

  // Capacity is the slots for `records`: twice as many, to a power of two.
  static size_t Capacity(int32_t records) {
    size_t n = 16;
    while (n < static_cast<size_t>(records) * 2) n *= 2;
    return n;
  }

  // find returns the first record of `idiom` seen so far, or -1; `hash` is
  // Hash of `idiom`.
  int32_t find(std::u16string_view idiom, size_t hash) const {
    const size_t mask = m_slots.size() - 1;
    for (size_t at = (hash >> 1) & mask;; at = (at + 1) & mask) {
      const int32_t seen = m_slots[at];
      if (seen < 0) return -1;
      if (m_table.field(seen, Field::Idiom) == idiom) return seen;
    }
  }

  // probe returns the record of an earlier idiom equal to record i's, or
  // -1 (and remembers i); `hash` is Hash of its idiom.
  int32_t probe(int32_t i, size_t hash) {
    const std::u16string_view idiom = m_table.field(i, Field::Idiom);
    const size_t mask = m_slots.size() - 1;
    for (size_t at = (hash >> 1) & mask;; at = (at + 1) & mask) {
      const int32_t seen = m_slots[at];
      if (seen < 0) {
        m_slots[at] = i;
        return -1;
      }
      if (m_table.field(seen, Field::Idiom) == idiom) return seen;
    }
  }

 private:
  const IdiomTable& m_table;
  std::vector<int32_t> m_slots;
};

// One character of an idiom: where it stands in field 0, and whether a
// "，" stands right before it (no word spans the comma).
struct IdiomChar {
  char32_t c = 0;
  uint32_t at = 0;
  uint32_t length = 1;
  bool afterComma = false;
};

void CharsOf(std::u16string_view idiom, std::vector<IdiomChar>& out) {
  out.clear();
  bool comma = false;
  for (size_t i = 0; i < idiom.size(); ++i) {
    const char16_t u = idiom[i];
    if (u == kIdiomComma) {
      comma = true;
      continue;
    }
    IdiomChar ch{u, static_cast<uint32_t>(i), 1, comma};
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < idiom.size() && idiom[i + 1] >= 0xDC00 && idiom[i + 1] <= 0xDFFF) {
      ch.c = 0x10000 + ((u - 0xD800u) << 10) + (idiom[i + 1] - 0xDC00u);
      ch.length = 2;
      ++i;
    }
    out.push_back(ch);
    comma = false;
  }
}

// The two-character words of a record whose syllables match its
// characters one for one, with their readings, in order.
template <typename Each>
void WordsOf(const std::vector<IdiomChar>& chars, const std::vector<SyllableFacts>& syllables, size_t count,
             Each&& each) {
  if (count != chars.size()) return;
  for (size_t k = 0; k + 1 < count; ++k) {
    if (chars[k + 1].afterComma) continue;
    const uint64_t word = static_cast<uint64_t>(chars[k].c) << 32 | chars[k + 1].c;
    const uint64_t reading = static_cast<uint64_t>(syllables[k].packed()) << 32 | syllables[k + 1].packed();
    each(k, word, reading);
  }
}

// Where a two-character word was first read, and how.
struct FirstReading {
  int32_t record = 0;
  uint64_t reading = 0;
};
using WordReadings = std::unordered_map<uint64_t, FirstReading>;

// What the check knows of the whole table before it looks at a record: the
// records by idiom (and so the first of every repeated one), and where
// each two-character word was first read. Made by two threads for a large
// table: each takes half of the idioms for the index and half of the
// records for the words.
class TableFacts {
 public:
  TableFacts(const IdiomTable& table, size_t parts) : m_table(table), m_firstOf(static_cast<size_t>(table.size()), -1) {
    for (size_t p = 0; p < parts; ++p) m_seen.emplace_back(table, static_cast<int32_t>(table.size() / static_cast<int32_t>(parts) + 1));
    m_words.resize(parts);
  }

  // index and words do part `part`; the parts touch distinct data.
  void index(size_t part) {
    const size_t parts = m_seen.size();
    for (int32_t i = 0; i < m_table.size(); ++i) {
      const size_t hash = FirstSeen::Hash(m_table.field(i, Field::Idiom));
      if (hash % parts != part) continue;
      m_firstOf[static_cast<size_t>(i)] = m_seen[part].probe(i, hash);
    }
  }
  void words(size_t part) {
    const size_t parts = m_words.size();
    const int32_t begin = static_cast<int32_t>(static_cast<int64_t>(m_table.size()) * static_cast<int64_t>(part) / static_cast<int64_t>(parts));
    const int32_t end = static_cast<int32_t>(static_cast<int64_t>(m_table.size()) * static_cast<int64_t>(part + 1) / static_cast<int64_t>(parts));
    std::vector<SyllableFacts> syllables;
    std::vector<IdiomChar> chars;
    WordReadings& words = m_words[part];
    for (int32_t i = begin; i < end; ++i) {
      const std::u16string_view pinyin = m_table.field(i, Field::Pinyin);
      FactsOf facts{syllables, pinyin};
      ReadPinyin(pinyin, facts);
      CharsOf(m_table.field(i, Field::Idiom), chars);
      WordsOf(chars, syllables, facts.count, [&](size_t, uint64_t word, uint64_t reading) {
        words.try_emplace(word, FirstReading{i, reading});
      });
    }
  }
  // settle puts the later parts' words behind the first's: a word's first
  // reading is in the earliest part that has it.
  void settle() {
    for (size_t p = 1; p < m_words.size(); ++p) {
      for (const auto& [word, first] : m_words[p]) m_words[0].try_emplace(word, first);
      m_words[p] = {};
    }
  }

  // reorders finds the idioms whose characters are an earlier idiom's in
  // another order, where the two are no reviewed pair.
  void reorders() {
    m_reorderedOf.assign(static_cast<size_t>(m_table.size()), -1);
    std::unordered_map<std::u16string, int32_t> first;
    for (int32_t i = 0; i < m_table.size(); ++i) {
      std::u16string key(m_table.IdiomChars(i));
      std::sort(key.begin(), key.end());
      const auto [at, inserted] = first.try_emplace(std::move(key), i);
      if (inserted) continue;
      const std::u16string_view idiom = m_table.field(i, Field::Idiom);
      const std::u16string_view earlier = m_table.field(at->second, Field::Idiom);
      if (idiom != earlier && !IsReorderedPair(idiom, earlier)) m_reorderedOf[static_cast<size_t>(i)] = at->second;
    }
  }

  int32_t firstOf(int32_t i) const { return m_firstOf[static_cast<size_t>(i)]; }
  int32_t reorderedOf(int32_t i) const { return m_reorderedOf[static_cast<size_t>(i)]; }
  // record returns the first record whose idiom is `idiom`, or -1.
  int32_t record(std::u16string_view idiom) const {
    const size_t hash = FirstSeen::Hash(idiom);
    return m_seen[hash % m_seen.size()].find(idiom, hash);
  }
  const FirstReading* firstReading(uint64_t word) const {
    const auto it = m_words[0].find(word);
    return it == m_words[0].end() ? nullptr : &it->second;
  }

 private:
  const IdiomTable& m_table;
  std::vector<int32_t> m_firstOf;
  std::vector<int32_t> m_reorderedOf;
  std::vector<FirstSeen> m_seen;
  std::vector<WordReadings> m_words;
};

// Calls `each` for every name of a list field ("、" between names).
template <typename Each>
void ForNames(std::u16string_view list, Each&& each) {
  while (!list.empty()) {
    const size_t end = list.find(kListSeparator);
    const std::u16string_view name = list.substr(0, end);
    if (!name.empty()) each(name);
    if (end == std::u16string_view::npos) break;
    list.remove_prefix(end + 1);
  }
}

bool Names(std::u16string_view list, std::u16string_view name) {
  bool found = false;
  ForNames(list, [&](std::u16string_view n) { found = found || n == name; });
  return found;
}

bool IsHan(char16_t u) { return (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xD800 && u <= 0xDFFF); }

// Whether the character `c` may be read `s`: one of its readings, the
// neutral tone of any of them; any reading for a character the table does
// not know.
bool ReadsAs(char32_t c, const SyllableFacts& s) {
  const std::span<const uint32_t> readings = ReadingsOf(c);
  if (readings.empty()) return true;
  if (s.tone == 5) {
    return std::any_of(readings.begin(), readings.end(), [&](uint32_t r) { return r >> 3 == s.code; });
  }
  return std::binary_search(readings.begin(), readings.end(), s.packed());
}

// Checks records [begin, end) and hands each finding to `emit`.
template <typename Emit>
void CheckRange(const IdiomTable& table, const TableFacts& facts, int32_t begin, int32_t end, Emit&& emit) {
  std::vector<SyllableFacts> syllables;
  std::vector<IdiomChar> chars;
  const bool readings = HasReadingTable();
  for (int32_t i = begin; i < end; ++i) {
    const std::u16string_view pinyin = table.field(i, Field::Pinyin);
    FactsOf read{syllables, pinyin};
    ReadPinyin(pinyin, read);
    const size_t count = read.count;
    const std::u16string_view idiom = table.field(i, Field::Idiom);
    const std::u16string_view initials = table.field(i, Field::Initials);
    bool initialsMatch = initials.size() == count;
    for (size_t k = 0; initialsMatch && k < count; ++k) {
      initialsMatch = initials[k] == static_cast<char16_t>(syllables[k].letters[0]);
    }
    if (!initialsMatch) emit(Finding{i, FindingKind::Initials, initials, 0});
    // The syllables well written, whose readings can be looked at.
    uint64_t wellWritten = 0;
    for (size_t k = 0; k < count; ++k) {
      const SyllableFacts& s = syllables[k];
      if (!IsSyllableCode(s.code) || !s.standard) {
        emit(Finding{i, FindingKind::NotPinyin, s.text, 0});
      } else if (s.marks > 1 || (s.marks == 1 && s.markedLetter != ToneMarkLetter(std::string_view(
                                                                           s.letters, static_cast<size_t>(s.length))))) {
        emit(Finding{i, FindingKind::ToneMark, s.text, 0});
      } else if (k < 64) {
        wellWritten |= uint64_t{1} << k;
      }
    }
    CharsOf(idiom, chars);
    if (chars.size() != count) emit(Finding{i, FindingKind::Syllables, {}, 0});
    if (readings && chars.size() == count) {
      for (size_t k = 0; k < count && k < 64; ++k) {
        if ((wellWritten >> k & 1) != 0 && !ReadsAs(chars[k].c, syllables[k])) {
          emit(Finding{i, FindingKind::Reading, syllables[k].text, static_cast<int32_t>(k)});
        }
      }
    }
    WordsOf(chars, syllables, count, [&](size_t k, uint64_t word, uint64_t reading) {
      const FirstReading* first = facts.firstReading(word);
      if (first == nullptr || first->reading == reading || first->record == i) return;
      if (IsHeteronym(chars[k].c, chars[k + 1].c)) return;
      emit(Finding{i, FindingKind::WordReading, idiom.substr(chars[k].at, chars[k + 1].at + chars[k + 1].length - chars[k].at),
                   first->record});
    });
    if (const int32_t first = facts.firstOf(i); first >= 0) emit(Finding{i, FindingKind::Duplicate, {}, first});
    for (int f = 0; f < kFieldCount; ++f) {
      const std::u16string_view text = table.field(i, static_cast<Field>(f));
      // "无" stands for an unknown source or example; an idiom, its pinyin
      // or its meaning cannot be unknown.
      if (!std::any_of(text.begin(), text.end(), IsText) ||
          (f <= static_cast<int>(Field::Meaning) && text == u"无")) {
        emit(Finding{i, FindingKind::EmptyOfText, text, f});
      }
    }
    const std::u16string_view variants = table.extra(i, kVariantsField);
    const std::u16string_view example = table.field(i, Field::Example);
    if (example != u"无" && std::any_of(example.begin(), example.end(), IsHan)) {
      bool uses = example.find(idiom) != std::u16string_view::npos ||
                  example.find(table.IdiomChars(i)) != std::u16string_view::npos;
      ForNames(variants, [&](std::u16string_view v) { uses = uses || example.find(v) != std::u16string_view::npos; });
      if (!uses) emit(Finding{i, FindingKind::Example, example, 0});
    }
    const std::u16string_view source = table.field(i, Field::Source);
    if (!IsSourceText(source)) emit(Finding{i, FindingKind::SourceFormat, source, 0});
    for (int field : {kNearField, kOppositeField}) {
      ForNames(table.extra(i, field), [&](std::u16string_view name) {
        const int32_t other = facts.record(name);
        if (other < 0) {
          emit(Finding{i, FindingKind::UnknownRelative, name, field});
        } else if (!Names(table.extra(other, field), idiom)) {
          emit(Finding{i, FindingKind::OneWayRelative, name, field});
        }
      });
    }
    ForNames(variants, [&](std::u16string_view v) {
      if (const int32_t other = facts.record(v); other >= 0) {
        emit(Finding{i, FindingKind::VariantIsHeadword, v, other});
      }
    });
    // Another written form is the whole saying: 天网恢恢，疏而不漏 lists no
    // 疏而不漏 (the same saying without its "，" is a form of it).
    const std::u16string_view plain = table.IdiomChars(i);
    ForNames(variants, [&](std::u16string_view v) {
      std::u16string form(v);
      std::erase(form, kIdiomComma);
      if (form != plain && plain.find(form) != std::u16string_view::npos) {
        emit(Finding{i, FindingKind::VariantIsPart, v, 0});
      }
    });
    if (const int32_t first = facts.reorderedOf(i); first >= 0) emit(Finding{i, FindingKind::Reordered, {}, first});
    for (int field : {kNearField, kOppositeField}) {
      int names = 0;
      ForNames(table.extra(i, field), [&](std::u16string_view) { ++names; });
      if (names > kMaxRelatives) emit(Finding{i, FindingKind::TooManyNames, {}, field});
    }
    WordsOf(chars, syllables, count, [&](size_t k, uint64_t word, uint64_t reading) {
      const uint64_t listed = NeutralReading(chars[k].c, chars[k + 1].c);
      if (listed == 0 || listed == reading || IsHeteronym(chars[k].c, chars[k + 1].c)) return;
      emit(Finding{i, FindingKind::NeutralTone, idiom.substr(chars[k].at, chars[k + 1].at + chars[k + 1].length - chars[k].at),
                   static_cast<int32_t>(k)});
      (void)word;
    });
  }
}

// Below this many records a table is checked by one thread.
constexpr int32_t kRecordsForTwoThreads = 20000;

// The second half's findings on their way to the calling thread: batches
// in a queue that holds at most kQueued findings; a full queue holds the
// second thread back until the first half is done and the queue drains.
class FindingQueue {
 public:
  static constexpr size_t kBatch = 4096;
  static constexpr size_t kQueued = size_t{1} << 18;

  void push(std::vector<Finding>&& batch) {
    std::unique_lock<std::mutex> hold(m_lock);
    m_room.wait(hold, [&] { return m_queued < kQueued; });
    m_queued += batch.size();
    m_batches.push_back(std::move(batch));
    m_ready.notify_one();
  }
  void close() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_closed = true;
    m_ready.notify_one();
  }
  // pop takes the next batch; false once the queue is closed and empty.
  bool pop(std::vector<Finding>& batch) {
    std::unique_lock<std::mutex> hold(m_lock);
    m_ready.wait(hold, [&] { return !m_batches.empty() || m_closed; });
    if (m_batches.empty()) return false;
    batch = std::move(m_batches.front());
    m_batches.pop_front();
    m_queued -= batch.size();
    m_room.notify_one();
    return true;
  }

 private:
  std::mutex m_lock;
  std::condition_variable m_room;
  std::condition_variable m_ready;
  std::deque<std::vector<Finding>> m_batches;
  size_t m_queued = 0;
  bool m_closed = false;
};

// Runs `work` on a thread of its own; false when no thread can be started.
template <typename Work>
bool StartThread(std::thread& thread, Work&& work) {
  try {
    thread = std::thread(std::forward<Work>(work));
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

Result<StrictCounts> Check(const IdiomTable& table, const std::function<void(const Finding&)>& onFinding) {
  StrictCounts counts{};
  auto deliver = [&](const Finding& f) {
    ++counts[static_cast<size_t>(f.kind)];
    onFinding(f);
  };
  const int32_t size = table.size();
  const bool large = size >= kRecordsForTwoThreads && std::thread::hardware_concurrency() >= 2;

  // What is known of the whole table first: made by two threads, each for
  // half of the idioms and half of the records.
  std::thread other;
  // Whatever happens on this thread, the other is joined before its data go.
  struct JoinOnExit {
    std::thread& thread;
    ~JoinOnExit() {
      if (thread.joinable()) thread.join();
    }
  } joinOnExit{other};
  auto facts = std::make_unique<TableFacts>(table, large ? 2 : 1);
  bool otherFailed = false;  // written by the other thread, read after the join
  const bool split = large && StartThread(other, [&] {
    try {
      facts->index(1);
      facts->words(1);
    } catch (const std::bad_alloc&) {
      otherFailed = true;
    }
  });
  if (large && !split) facts = std::make_unique<TableFacts>(table, 1);
  facts->index(0);
  facts->words(0);
  if (other.joinable()) other.join();
  if (otherFailed) throw std::bad_alloc();
  facts->settle();
  facts->reorders();

  // One thread checks the first half of the records and hands on what it
  // finds at once; the other checks the second half into the queue.
  const int32_t half = large ? size / 2 : size;
  FindingQueue queue;
  bool failed = false;
  const bool twoHalves = half < size && StartThread(other, [&] {
    try {
      std::vector<Finding> batch;
      CheckRange(table, *facts, half, size, [&](const Finding& f) {
        batch.push_back(f);
        if (batch.size() == FindingQueue::kBatch) queue.push(std::exchange(batch, {}));
      });
      if (!batch.empty()) queue.push(std::move(batch));
    } catch (const std::bad_alloc&) {
      failed = true;
    }
    queue.close();
  });
  try {
    CheckRange(table, *facts, 0, twoHalves ? half : size, deliver);
  } catch (...) {
    // The queue must not keep the other thread waiting.
    if (twoHalves) {
      std::vector<Finding> drained;
      while (queue.pop(drained)) {
      }
      other.join();
    }
    throw;
  }
  if (twoHalves) {
    std::vector<Finding> batch;
    while (queue.pop(batch)) {
      for (const Finding& f : batch) deliver(f);
    }
    other.join();
    if (failed) throw std::bad_alloc();
  }
  return counts;
}

}  // namespace

const char* FindingName(FindingKind kind) {
  switch (kind) {
    case FindingKind::Initials: return TR("initials differ from the pinyin");
    case FindingKind::NotPinyin: return TR("not a Hanyu Pinyin syllable");
    case FindingKind::ToneMark: return TR("tone mark on the wrong letter");
    case FindingKind::Syllables: return TR("syllables and characters differ in number");
    case FindingKind::Duplicate: return TR("idiom repeated");
    case FindingKind::EmptyOfText: return TR("field without text");
    case FindingKind::Reading: return TR("not a reading of the character");
    case FindingKind::WordReading: return TR("a word read two ways");
    case FindingKind::Example: return TR("example without the idiom");
    case FindingKind::SourceFormat: return TR("source not in the format");
    case FindingKind::UnknownRelative: return TR("near or opposite idiom not in the table");
    case FindingKind::OneWayRelative: return TR("near or opposite idiom one way only");
    case FindingKind::VariantIsHeadword: return TR("variant is a headword");
    case FindingKind::VariantIsPart: return TR("variant is a part of the idiom");
    case FindingKind::Reordered: return TR("an idiom reordered");
    case FindingKind::TooManyNames: return TR("too many near or opposite idioms");
    case FindingKind::NeutralTone: return TR("a neutral-tone word read otherwise");
  }
  return "";
}

namespace {

bool IsSourceText(std::u16string_view s) {
  if (s == u"无") return true;
  // 朝代·作者, 作者、作者: Chinese characters, "·" and "、" between them.
  const size_t open = s.find(u'《');
  if (open == std::u16string_view::npos || open > 24) return false;
  const std::u16string_view who = s.substr(0, open);
  for (size_t i = 0; i < who.size(); ++i) {
    const bool joint = who[i] == u'·' || who[i] == kListSeparator;
    if (joint ? (i == 0 || i + 1 == who.size() || !IsHan(who[i - 1])) : !IsHan(who[i])) return false;
  }
  const size_t close = s.find(u'》', open);
  if (close == std::u16string_view::npos || close == open + 1) return false;
  const std::u16string_view title = s.substr(open + 1, close - open - 1);
  if (title.find_first_of(u"《#") != std::u16string_view::npos || title.front() == u'·' || title.back() == u'·') return false;
  std::u16string_view rest = s.substr(close + 1);
  // 第四十三回, 第八章, 卷九: where in the book.
  auto numeral = [](char16_t u) {
    return (u >= u'0' && u <= u'9') || std::u16string_view(u"一二三四五六七八九十百千零〇两").find(u) != std::u16string_view::npos;
  };
  auto numerals = [&](size_t from) {
    size_t at = from;
    while (at < rest.size() && numeral(rest[at])) ++at;
    return at;
  };
  if (!rest.empty() && rest.front() == u'第') {
    const size_t end = numerals(1);
    if (end == 1 || end >= rest.size() ||
        std::u16string_view(u"章回卷篇折出则首节段条").find(rest[end]) == std::u16string_view::npos) {
      return false;
    }
    rest.remove_prefix(end + 1);
  } else if (!rest.empty() && rest.front() == u'卷') {
    const size_t end = numerals(1);
    if (end == 1) return false;
    rest.remove_prefix(end);
  }
  if (rest.empty()) return true;
  // ：“the passage where the idiom's words stand”
  if (rest.size() < 4 || rest.substr(0, 2) != u"：“" || rest.back() != u'”') return false;
  const std::u16string_view passage = rest.substr(2, rest.size() - 3);
  return !passage.empty() && passage.find_first_of(u"“”#") == std::u16string_view::npos;
}

}  // namespace

std::string Describe(const Finding& finding, const IdiomTable& table) {
  switch (finding.kind) {
    case FindingKind::Initials:
      return Format(TR("initials %s, the pinyin gives %s"),
                    {ToUtf8(finding.text), ToUtf8(InitialsFromPinyin(table.field(finding.record, Field::Pinyin)))});
    case FindingKind::NotPinyin:
      return Format(std::all_of(finding.text.begin(), finding.text.end(), IsStandardLetter)
                        ? TR("syllable “%s”")
                        : TR("syllable “%s” holds letters pinyin has not"),
                    {ToUtf8(finding.text)});
    case FindingKind::ToneMark:
      return Format(TR("syllable “%s”"), {ToUtf8(finding.text)});
    case FindingKind::Syllables:
      return Format(TR("%s syllables, %s characters"),
                    {std::to_string(Syllables(table.field(finding.record, Field::Pinyin)).size()),
                     std::to_string(Characters(table.IdiomChars(finding.record)))});
    case FindingKind::Duplicate:
      return Format(TR("as on line %s"), {std::to_string(finding.other + 1)});
    case FindingKind::EmptyOfText:
      return Format(finding.text == u"无" ? TR("the %s field holds only the placeholder “无”")
                                          : TR("the %s field holds only punctuation “%s”"),
                    {FieldName(finding.other), ToUtf8(finding.text)});
    case FindingKind::Reading: {
      std::vector<IdiomChar> chars;
      CharsOf(table.field(finding.record, Field::Idiom), chars);
      const IdiomChar& ch = chars[static_cast<size_t>(finding.other)];
      std::string readings;
      for (uint32_t r : ReadingsOf(ch.c)) {
        if (!readings.empty()) readings += TR(", ");
        AppendUtf8(readings, MarkedSyllable(SyllableLetters(r >> 3), static_cast<int>(r & 7)));
      }
      return Format(TR("“%s” is never read %s (%s)"),
                    {ToUtf8(table.field(finding.record, Field::Idiom).substr(ch.at, ch.length)), ToUtf8(finding.text),
                     readings});
    }
    case FindingKind::WordReading: {
      // The word's syllables where it stands here and where it first stood.
      auto readingIn = [&](int32_t record) {
        const std::u16string_view idiom = table.field(record, Field::Idiom);
        const std::vector<Syllable> syllables = Syllables(table.field(record, Field::Pinyin));
        std::vector<IdiomChar> chars;
        CharsOf(idiom, chars);
        std::string reading;
        for (size_t k = 0; k + 1 < chars.size() && chars.size() == syllables.size(); ++k) {
          if (idiom.substr(chars[k].at, chars[k + 1].at + chars[k + 1].length - chars[k].at) == finding.text) {
            AppendUtf8(reading, syllables[k].text);
            reading += ' ';
            AppendUtf8(reading, syllables[k + 1].text);
            break;
          }
        }
        return reading;
      };
      return Format(TR("“%s” read %s, on line %s read %s"),
                    {ToUtf8(finding.text), readingIn(finding.record), std::to_string(finding.other + 1),
                     readingIn(finding.other)});
    }
    case FindingKind::Example:
      return TR("the example uses neither the idiom nor one of its variants");
    case FindingKind::SourceFormat:
      return Format(TR("“%s” is neither “无” nor written 朝代·作者《书名·篇名》：“原文”"), {ToUtf8(finding.text)});
    case FindingKind::UnknownRelative:
      return Format(TR("%s “%s” is no idiom of the table"), {FieldName(finding.other), ToUtf8(finding.text)});
    case FindingKind::OneWayRelative:
      return Format(TR("%s “%s” does not name this idiom back"), {FieldName(finding.other), ToUtf8(finding.text)});
    case FindingKind::VariantIsHeadword:
      return Format(TR("the variant “%s” is the idiom of line %s"),
                    {ToUtf8(finding.text), std::to_string(finding.other + 1)});
    case FindingKind::VariantIsPart:
      return Format(TR("the variant “%s” is a part of the idiom, not another form of it"), {ToUtf8(finding.text)});
    case FindingKind::Reordered:
      return Format(TR("the characters of line %s (%s) in another order, and no reviewed pair (data/reordered-pairs.txt)"),
                    {std::to_string(finding.other + 1), ToUtf8(table.field(finding.other, Field::Idiom))});
    case FindingKind::TooManyNames: {
      int names = 0;
      ForNames(table.extra(finding.record, finding.other), [&](std::u16string_view) { ++names; });
      return Format(TR("%s lists %s names; at most %s, the closest first"),
                    {FieldName(finding.other), std::to_string(names), std::to_string(kMaxRelatives)});
    }
    case FindingKind::NeutralTone: {
      std::vector<IdiomChar> chars;
      CharsOf(table.field(finding.record, Field::Idiom), chars);
      const auto k = static_cast<size_t>(finding.other);
      const uint64_t listed = NeutralReading(chars[k].c, chars[k + 1].c);
      std::string reading;
      AppendUtf8(reading, MarkedSyllable(SyllableLetters(static_cast<uint32_t>(listed >> 35)), static_cast<int>(listed >> 32 & 7)));
      reading += ' ';
      AppendUtf8(reading, MarkedSyllable(SyllableLetters(static_cast<uint32_t>(listed >> 3) & 0x1FFFFFFF),
                                         static_cast<int>(listed & 7)));
      const std::vector<Syllable> syllables = Syllables(table.field(finding.record, Field::Pinyin));
      std::string here;
      if (k + 1 < syllables.size()) {
        AppendUtf8(here, syllables[k].text);
        here += ' ';
        AppendUtf8(here, syllables[k + 1].text);
      }
      return Format(TR("“%s” is read %s (data/neutral-tone.txt), here %s"), {ToUtf8(finding.text), reading, here});
    }
  }
  return {};
}

namespace {

// AppendReportLine appends the report's line for `finding` to `out`:
// "line N idiom: kind: what" and a line end; a line break in a quoted text
// is written \\n.
void AppendReportLine(std::string& out, const Finding& finding, const IdiomTable& table) {
  const std::string line = Format(TR("line %s %s: %s: %s"), {std::to_string(finding.record + 1),
                                                              ToUtf8(table.field(finding.record, Field::Idiom)),
                                                              FindingName(finding.kind), Describe(finding, table)});
  // One line a finding, whatever the texts it quotes hold: a lone LF stays
  // inside a field of cy.dat.
  for (char c : line) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  out += '\n';
}

}  // namespace

Result<StrictCounts> CheckRecords(const IdiomTable& table, const std::function<void(const Finding&)>& onFinding) {
  try {
    return Check(table, onFinding);
  } catch (const std::bad_alloc&) {
    return MakeError(ErrorKind::OutOfMemory, TR("out of memory"));
  }
}

Result<StrictCounts> ReportRecords(const IdiomTable& table, const std::function<void(std::string_view)>& sink) {
  constexpr size_t kPiece = size_t{1} << 16;
  std::string piece;
  Result<StrictCounts> counts = CheckRecords(table, [&](const Finding& f) {
    AppendReportLine(piece, f, table);
    if (piece.size() >= kPiece) {
      sink(piece);
      piece.clear();
    }
  });
  if (counts.ok() && !piece.empty()) sink(piece);
  return counts;
}

}  // namespace tessaly
