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

#include "pinyin.h"
#include "pinyin_reader.h"
#include "text.h"

namespace tessaly {
namespace {

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
  bool standard = true;  // no IPA look-alike letters
  std::u16string_view text;
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
    if (tone != 0 && s.marks++ == 0) s.markedLetter = s.length - 1;
  }
  void mark(int, size_t at) {
    SyllableFacts& s = out[count - 1];
    s.text = pinyin.substr(begin, at + 1 - begin);
    if (s.marks++ == 0) s.markedLetter = s.length - 1;
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

// Finds the first record of every idiom that stands more than once, for
// the records whose idiom's hash falls into `part` of `parts`: every record
// is looked at in file order, so the first of an idiom is the first in the
// file, and the parts share nothing but the distinct entries of `firstOf`
// they write.
void FindDuplicates(const IdiomTable& table, size_t part, size_t parts, std::vector<int32_t>& firstOf) {
  FirstSeen seen(table, static_cast<int32_t>(table.size() / static_cast<int32_t>(parts) + 1));
  for (int32_t i = 0; i < table.size(); ++i) {
    const size_t hash = FirstSeen::Hash(table.field(i, Field::Idiom));
    if (hash % parts != part) continue;
    firstOf[static_cast<size_t>(i)] = seen.probe(i, hash);
  }
}

// Checks records [begin, end) and hands each finding to `emit`.
template <typename Emit>
void CheckRange(const IdiomTable& table, const std::vector<int32_t>& firstOf, int32_t begin, int32_t end,
                Emit&& emit) {
  std::vector<SyllableFacts> syllables;
  for (int32_t i = begin; i < end; ++i) {
    const std::u16string_view pinyin = table.field(i, Field::Pinyin);
    FactsOf facts{syllables, pinyin};
    ReadPinyin(pinyin, facts);
    const size_t count = facts.count;
    const std::u16string_view initials = table.field(i, Field::Initials);
    bool initialsMatch = initials.size() == count;
    for (size_t k = 0; initialsMatch && k < count; ++k) {
      initialsMatch = initials[k] == static_cast<char16_t>(syllables[k].letters[0]);
    }
    if (!initialsMatch) emit(Finding{i, FindingKind::Initials, initials, 0});
    for (size_t k = 0; k < count; ++k) {
      const SyllableFacts& s = syllables[k];
      if (!IsSyllableCode(s.code) || !s.standard) {
        emit(Finding{i, FindingKind::NotPinyin, s.text, 0});
      } else if (s.marks > 1 || (s.marks == 1 && s.markedLetter != ToneMarkLetter(std::string_view(
                                                                           s.letters, static_cast<size_t>(s.length))))) {
        emit(Finding{i, FindingKind::ToneMark, s.text, 0});
      }
    }
    if (Characters(table.IdiomChars(i)) != count) emit(Finding{i, FindingKind::Syllables, {}, 0});
    if (const int32_t first = firstOf[static_cast<size_t>(i)]; first >= 0) {
      emit(Finding{i, FindingKind::Duplicate, {}, first});
    }
    for (int f = 0; f < kFieldCount; ++f) {
      const std::u16string_view text = table.field(i, static_cast<Field>(f));
      // "无" stands for an unknown source or example; an idiom, its pinyin
      // or its meaning cannot be unknown.
      if (!std::any_of(text.begin(), text.end(), IsText) ||
          (f <= static_cast<int>(Field::Meaning) && text == u"无")) {
        emit(Finding{i, FindingKind::EmptyOfText, text, f});
      }
    }
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

Result<StrictCounts> Check(const IdiomTable& table, const FindingSink& onFinding) {
  StrictCounts counts{};
  auto deliver = [&](const Finding& f) {
    ++counts[static_cast<size_t>(f.kind)];
    onFinding(f);
  };
  const int32_t size = table.size();
  const bool large = size >= kRecordsForTwoThreads && std::thread::hardware_concurrency() >= 2;

  // The first record of every repeated idiom, found by two threads, each
  // for half of the idioms.
  std::vector<int32_t> firstOf(static_cast<size_t>(size), -1);
  std::thread other;
  const bool split = large && StartThread(other, [&] { FindDuplicates(table, 1, 2, firstOf); });
  FindDuplicates(table, 0, split ? 2 : 1, firstOf);
  if (other.joinable()) other.join();

  // One thread checks the first half of the records and hands on what it
  // finds at once; the other checks the second half into the queue.
  const int32_t half = large ? size / 2 : size;
  FindingQueue queue;
  bool failed = false;
  const bool twoHalves = half < size && StartThread(other, [&] {
    try {
      std::vector<Finding> batch;
      CheckRange(table, firstOf, half, size, [&](const Finding& f) {
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
    CheckRange(table, firstOf, 0, twoHalves ? half : size, deliver);
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
    case FindingKind::Initials: return "首字母与拼音不符";
    case FindingKind::NotPinyin: return "不是汉语拼音音节";
    case FindingKind::ToneMark: return "声调符号位置不对";
    case FindingKind::Syllables: return "音节数与字数不同";
    case FindingKind::Duplicate: return "成语重复";
    case FindingKind::EmptyOfText: return "字段没有内容";
  }
  return "";
}

std::string Describe(const Finding& finding, const IdiomTable& table) {
  std::string out;
  switch (finding.kind) {
    case FindingKind::Initials:
      out = "首字母 ";
      AppendUtf8(out, finding.text);
      out += "，按拼音应为 ";
      AppendUtf8(out, InitialsFromPinyin(table.field(finding.record, Field::Pinyin)));
      break;
    case FindingKind::NotPinyin:
    case FindingKind::ToneMark:
      out = "音节“";
      AppendUtf8(out, finding.text);
      out += "”";
      if (finding.kind == FindingKind::NotPinyin &&
          !std::all_of(finding.text.begin(), finding.text.end(), IsStandardLetter)) {
        out += "用了拼音以外的字母";
      }
      break;
    case FindingKind::Syllables:
      out = std::to_string(Syllables(table.field(finding.record, Field::Pinyin)).size()) + " 个音节，" +
            std::to_string(Characters(table.IdiomChars(finding.record))) + " 个字";
      break;
    case FindingKind::Duplicate:
      out = "与第 " + std::to_string(finding.other + 1) + " 行相同";
      break;
    case FindingKind::EmptyOfText:
      out = FieldName(finding.other);
      if (finding.text == u"无") {
        out += "字段只有占位的“无”";
      } else {
        out += "字段只有标点“";
        AppendUtf8(out, finding.text);
        out += "”";
      }
      break;
  }
  return out;
}

void AppendReportLine(std::string& out, const Finding& finding, const IdiomTable& table) {
  out += "第 ";
  out += std::to_string(finding.record + 1);
  out += " 行 ";
  AppendUtf8(out, table.field(finding.record, Field::Idiom));
  out += "：";
  out += FindingName(finding.kind);
  out += "：";
  out += Describe(finding, table);
  out += '\n';
}

Result<StrictCounts> CheckRecords(const IdiomTable& table, const FindingSink& onFinding) {
  try {
    return Check(table, onFinding);
  } catch (const std::bad_alloc&) {
    return MakeError(ErrorKind::OutOfMemory, "内存不足");
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
