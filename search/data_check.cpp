// The strict check of an idiom table.
#include "data_check.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <functional>
#include <thread>

#include "pinyin.h"
#include "text.h"

namespace tessaly {
namespace {

// Every syllable of Hanyu Pinyin (ü written v), with the interjections m,
// n, ng and hm.
constexpr std::string_view kSyllables[] = {
    "a", "ai", "an", "ang", "ao", "ba", "bai", "ban", "bang", "bao", "bei", "ben", "beng", "bi", "bian", "biao",
    "bie", "bin", "bing", "bo", "bu", "ca", "cai", "can", "cang", "cao", "ce", "cen", "ceng", "cha", "chai", "chan",
    "chang", "chao", "che", "chen", "cheng", "chi", "chong", "chou", "chu", "chua", "chuai", "chuan", "chuang",
    "chui", "chun", "chuo", "ci", "cong", "cou", "cu", "cuan", "cui", "cun", "cuo", "da", "dai", "dan", "dang",
    "dao", "de", "dei", "den", "deng", "di", "dia", "dian", "diao", "die", "ding", "diu", "dong", "dou", "du",
    "duan", "dui", "dun", "duo", "e", "ei", "en", "eng", "er", "fa", "fan", "fang", "fei", "fen", "feng", "fo",
    "fou", "fu", "ga", "gai", "gan", "gang", "gao", "ge", "gei", "gen", "geng", "gong", "gou", "gu", "gua", "guai",
    "guan", "guang", "gui", "gun", "guo", "ha", "hai", "han", "hang", "hao", "he", "hei", "hen", "heng", "hm",
    "hng", "hong", "hou", "hu", "hua", "huai", "huan", "huang", "hui", "hun", "huo", "ji", "jia", "jian", "jiang",
    "jiao", "jie", "jin", "jing", "jiong", "jiu", "ju", "juan", "jue", "jun", "ka", "kai", "kan", "kang", "kao",
    "ke", "kei", "ken", "keng", "kong", "kou", "ku", "kua", "kuai", "kuan", "kuang", "kui", "kun", "kuo", "la",
    "lai", "lan", "lang", "lao", "le", "lei", "leng", "li", "lia", "lian", "liang", "liao", "lie", "lin", "ling",
    "liu", "lo", "long", "lou", "lu", "luan", "lun", "luo", "lv", "lve", "m", "ma", "mai", "man", "mang", "mao",
    "me", "mei", "men", "meng", "mi", "mian", "miao", "mie", "min", "ming", "miu", "mo", "mou", "mu", "n", "na",
    "nai", "nan", "nang", "nao", "ne", "nei", "nen", "neng", "ng", "ni", "nian", "niang", "niao", "nie", "nin",
    "ning", "niu", "nong", "nou", "nu", "nuan", "nun", "nuo", "nv", "nve", "o", "ou", "pa", "pai", "pan", "pang",
    "pao", "pei", "pen", "peng", "pi", "pian", "piao", "pie", "pin", "ping", "po", "pou", "pu", "qi", "qia", "qian",
    "qiang", "qiao", "qie", "qin", "qing", "qiong", "qiu", "qu", "quan", "que", "qun", "ran", "rang", "rao", "re",
    "ren", "reng", "ri", "rong", "rou", "ru", "rua", "ruan", "rui", "run", "ruo", "sa", "sai", "san", "sang", "sao",
    "se", "sen", "seng", "sha", "shai", "shan", "shang", "shao", "she", "shei", "shen", "sheng", "shi", "shou",
    "shu", "shua", "shuai", "shuan", "shuang", "shui", "shun", "shuo", "si", "song", "sou", "su", "suan", "sui",
    "sun", "suo", "ta", "tai", "tan", "tang", "tao", "te", "teng", "ti", "tian", "tiao", "tie", "ting", "tong",
    "tou", "tu", "tuan", "tui", "tun", "tuo", "wa", "wai", "wan", "wang", "wei", "wen", "weng", "wo", "wu", "xi",
    "xia", "xian", "xiang", "xiao", "xie", "xin", "xing", "xiong", "xiu", "xu", "xuan", "xue", "xun", "ya", "yan",
    "yang", "yao", "ye", "yi", "yin", "ying", "yo", "yong", "you", "yu", "yuan", "yue", "yun", "za", "zai", "zan",
    "zang", "zao", "ze", "zei", "zen", "zeng", "zha", "zhai", "zhan", "zhang", "zhao", "zhe", "zhei", "zhen",
    "zheng", "zhi", "zhong", "zhou", "zhu", "zhua", "zhuai", "zhuan", "zhuang", "zhui", "zhun", "zhuo", "zi",
    "zong", "zou", "zu", "zuan", "zui", "zun", "zuo"};

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'v'; }

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

char* WriteUtf8(char* p, std::u16string_view text);

std::string Utf8(std::u16string_view text) {
  std::string out(text.size() * 3, '\0');
  out.resize(static_cast<size_t>(WriteUtf8(out.data(), text) - out.data()));
  return out;
}

// A syllable of up to six letters as a number, five bits a letter: the
// check looks syllables up without making strings. Longer is no syllable.
uint32_t Code(std::string_view letters) {
  if (letters.size() > 6) return 0;
  uint32_t code = 0;
  for (char c : letters) code = code << 5 | static_cast<uint32_t>(c - 'a' + 1);
  return code;
}

// The codes of all syllables in an open-addressed table of 1,024 slots,
// less than half full: one or two probes find a syllable or its absence.
class SyllableCodes {
 public:
  SyllableCodes() {
    for (std::string_view s : kSyllables) {
      const uint32_t code = Code(s);
      size_t at = Slot(code);
      while (m_slots[at] != 0) at = (at + 1) & (kSlots - 1);
      m_slots[at] = code;
    }
  }
  bool contains(uint32_t code) const {
    if (code == 0) return false;
    for (size_t at = Slot(code);; at = (at + 1) & (kSlots - 1)) {
      if (m_slots[at] == code) return true;
      if (m_slots[at] == 0) return false;
    }
  }

 private:
  static constexpr size_t kSlots = 1024;
  static size_t Slot(uint32_t code) { return (code * 2654435761u) >> 22; }
  uint32_t m_slots[kSlots] = {};
};

const SyllableCodes& Codes() {
  static const SyllableCodes codes;
  return codes;
}

// One syllable as the check reads it, made without strings.
struct SyllableFacts {
  uint32_t code = 0;      // 0: not a syllable (or longer than any)
  char letters[8] = {};   // the plain letters, for the tone-mark rule
  int length = 0;
  int marks = 0;
  int markedLetter = -1;
  bool standard = true;   // no IPA look-alike letters
  std::u16string_view text;
};

// ReadSyllables reads the syllables of `pinyin` into `out` (reusing it) and
// returns their number.
size_t ReadSyllables(std::u16string_view pinyin, std::vector<SyllableFacts>& out) {
  size_t n = 0;
  bool inSyllable = false;
  size_t begin = 0;
  for (size_t at = 0; at < pinyin.size(); ++at) {
    const char16_t u = pinyin[at];
    int tone = 0;
    const char letter = PinyinLetter(u, tone);
    const int mark = letter == 0 ? CombiningMark(u) : 0;
    if (letter == 0 && mark == 0) {
      inSyllable = false;
      continue;
    }
    if (!inSyllable) {
      if (letter == 0) continue;  // a combining mark with no letter before it
      if (out.size() <= n) out.emplace_back();
      // Field by field: a whole new struct copied in stalls on its stores.
      SyllableFacts& fresh = out[n++];
      fresh.code = 0;
      fresh.length = 0;
      fresh.marks = 0;
      fresh.markedLetter = -1;
      fresh.standard = true;
      begin = at;
      inSyllable = true;
    }
    SyllableFacts& s = out[n - 1];
    s.text = pinyin.substr(begin, at + 1 - begin);
    if (letter != 0) {
      s.standard = s.standard && u != u'ɑ' && u != u'ɡ';
      if (s.length < 7) s.letters[s.length] = letter;
      s.code = s.length < 6 ? (s.code << 5 | static_cast<uint32_t>(letter - 'a' + 1)) : 0;
      ++s.length;
      if (tone != 0 && s.marks++ == 0) s.markedLetter = s.length - 1;
    } else if (mark == 6) {
      if (s.length > 0 && s.length < 7 && s.letters[s.length - 1] == 'u') {
        s.letters[s.length - 1] = 'v';
        s.code += 'v' - 'u';
      }
    } else if (s.marks++ == 0) {
      s.markedLetter = s.length - 1;
    }
  }
  return n;
}

// The records of a range seen so far by their idiom, in a flat open-
// addressed table: a check of 300,000 records makes no allocation per
// record.
class FirstSeen {
 public:
  FirstSeen(const IdiomTable& table, int32_t records) : m_table(table), m_slots(Capacity(records), -1) {}

  // add returns the record of an earlier idiom equal to record i's, or -1
  // (and remembers i).
  int32_t add(int32_t i) { return probe(i, Hash(m_table.field(i, Field::Idiom))); }

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

  // probe is add for a record whose hash is known.
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

const char* const kFieldNames[] = {"成语", "拼音首字母", "拼音", "释义", "出处", "示例"};

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

bool IsPinyinSyllable(std::string_view letters) { return Codes().contains(Code(letters)); }

int ToneMarkLetter(std::string_view letters) {
  int e = -1, ou = -1, vowel = -1, nasal = -1;
  for (int i = 0; i < static_cast<int>(letters.size()); ++i) {
    const char c = letters[static_cast<size_t>(i)];
    if (c == 'a') return i;
    if (c == 'e' && e < 0) e = i;
    if (c == 'o' && ou < 0 && i + 1 < static_cast<int>(letters.size()) && letters[static_cast<size_t>(i) + 1] == 'u') ou = i;
    if (IsVowel(c)) vowel = i;
    if (c == 'm' || c == 'n') nasal = i;
  }
  return e >= 0 ? e : ou >= 0 ? ou : vowel >= 0 ? vowel : nasal;
}

namespace {

// Checks records [begin, end) for everything but duplicates.
void CheckRange(const IdiomTable& table, int32_t begin, int32_t end, std::vector<Finding>& findings) {
  auto add = [&](int32_t record, FindingKind kind, std::u16string_view text = {}, int32_t other = 0) {
    findings.push_back({record, kind, text, other});
  };
  const SyllableCodes& codes = Codes();
  std::vector<SyllableFacts> syllables;
  for (int32_t i = begin; i < end; ++i) {
    const size_t count = ReadSyllables(table.field(i, Field::Pinyin), syllables);
    const std::u16string_view initials = table.field(i, Field::Initials);
    bool initialsMatch = initials.size() == count;
    for (size_t k = 0; initialsMatch && k < count; ++k) {
      initialsMatch = initials[k] == static_cast<char16_t>(syllables[k].letters[0]);
    }
    if (!initialsMatch) add(i, FindingKind::Initials, initials);
    for (size_t k = 0; k < count; ++k) {
      const SyllableFacts& s = syllables[k];
      if (!codes.contains(s.code) || !s.standard) {
        add(i, FindingKind::NotPinyin, s.text);
      } else if (s.marks > 1 ||
                 (s.marks == 1 && s.markedLetter != ToneMarkLetter(std::string_view(s.letters, static_cast<size_t>(s.length))))) {
        add(i, FindingKind::ToneMark, s.text);
      }
    }
    const std::u16string_view chars = table.IdiomChars(i);
    const auto characters = chars.size() - static_cast<size_t>(std::count_if(
                                               chars.begin(), chars.end(), [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }));
    if (characters != count) add(i, FindingKind::Syllables);
    for (int f = 0; f < kFieldCount; ++f) {
      const std::u16string_view text = table.field(i, static_cast<Field>(f));
      // "无" stands for an unknown source or example; an idiom, its pinyin
      // or its meaning cannot be unknown.
      if (!std::any_of(text.begin(), text.end(), IsText) ||
          (f <= static_cast<int>(Field::Meaning) && text == u"无")) {
        add(i, FindingKind::EmptyOfText, text, f);
      }
    }
  }
}

// Finds the duplicates among the records whose idiom's hash falls into
// `part` of `parts`: every record is looked at in file order, so the first
// of an idiom is the first in the file, and the parts share nothing.
void FindDuplicates(const IdiomTable& table, size_t part, size_t parts, std::vector<Finding>& findings) {
  FirstSeen seen(table, static_cast<int32_t>(table.size() / static_cast<int32_t>(parts) + 1));
  for (int32_t i = 0; i < table.size(); ++i) {
    const size_t hash = FirstSeen::Hash(table.field(i, Field::Idiom));
    if (hash % parts != part) continue;
    if (const int32_t first = seen.probe(i, hash); first >= 0) findings.push_back({i, FindingKind::Duplicate, {}, first});
  }
}

// Below this many records a table is checked by one thread.
constexpr int32_t kRecordsForTwoThreads = 20000;

}  // namespace

std::vector<Finding> CheckRecords(const IdiomTable& table, std::array<int64_t, kFindingKinds>& counts) {
  const int32_t size = table.size();
  const bool two = size >= kRecordsForTwoThreads && std::thread::hardware_concurrency() >= 2;
  const int32_t half = two ? size / 2 : size;
  // One thread checks the first half of the records and the duplicates of
  // one half of the idioms, the other the rest.
  std::vector<Finding> first, second, firstDuplicates, secondDuplicates;
  std::thread other;
  if (two) {
    other = std::thread([&] {
      CheckRange(table, half, size, second);
      FindDuplicates(table, 1, 2, secondDuplicates);
    });
  }
  CheckRange(table, 0, half, first);
  FindDuplicates(table, 0, two ? 2 : 1, firstDuplicates);
  if (other.joinable()) other.join();

  // In record order, and in the order of the kinds within a record: the
  // duplicate comes before what is found of the fields. Four sorted lists
  // merge in one pass.
  std::vector<Finding> merged;
  merged.reserve(first.size() + second.size() + firstDuplicates.size() + secondDuplicates.size());
  auto before = [](const Finding& d, const Finding& f) {
    return d.record < f.record || (d.record == f.record && f.kind == FindingKind::EmptyOfText);
  };
  size_t d0 = 0, d1 = 0;
  auto takeDuplicatesBefore = [&](const Finding* f) {
    for (;;) {
      const Finding* a = d0 < firstDuplicates.size() ? &firstDuplicates[d0] : nullptr;
      const Finding* b = d1 < secondDuplicates.size() ? &secondDuplicates[d1] : nullptr;
      const Finding* next = a == nullptr ? b : b == nullptr ? a : a->record <= b->record ? a : b;
      if (next == nullptr || (f != nullptr && !before(*next, *f))) return;
      merged.push_back(*next);
      (next == a ? d0 : d1)++;
    }
  };
  for (const std::vector<Finding>* part : {&first, &second}) {
    for (const Finding& f : *part) {
      takeDuplicatesBefore(&f);
      merged.push_back(f);
    }
  }
  takeDuplicatesBefore(nullptr);
  counts.fill(0);
  for (const Finding& f : merged) ++counts[static_cast<size_t>(f.kind)];
  return merged;
}

std::string Describe(const Finding& finding, const IdiomTable& table) {
  switch (finding.kind) {
    case FindingKind::Initials:
      return "首字母 " + Utf8(finding.text) + "，按拼音应为 " +
             Utf8(InitialsFromPinyin(table.field(finding.record, Field::Pinyin)));
    case FindingKind::NotPinyin:
      return std::all_of(finding.text.begin(), finding.text.end(), IsStandardLetter)
                 ? "音节“" + Utf8(finding.text) + "”"
                 : "音节“" + Utf8(finding.text) + "”用了拼音以外的字母";
    case FindingKind::ToneMark:
      return "音节“" + Utf8(finding.text) + "”";
    case FindingKind::Syllables: {
      const std::u16string_view chars = table.IdiomChars(finding.record);
      const auto characters = chars.size() - static_cast<size_t>(std::count_if(
                                                 chars.begin(), chars.end(), [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }));
      return std::to_string(Syllables(table.field(finding.record, Field::Pinyin)).size()) + " 个音节，" +
             std::to_string(characters) + " 个字";
    }
    case FindingKind::Duplicate:
      return "与第 " + std::to_string(finding.other + 1) + " 行相同";
    case FindingKind::EmptyOfText:
      return std::string(kFieldNames[finding.other]) +
             (finding.text == u"无" ? "字段只有占位的“无”" : "字段只有标点“" + Utf8(finding.text) + "”");
  }
  return {};
}



namespace {


// Writes one line of the report at `p`, which has room for LineBound
// bytes, and returns the end.
size_t LineBound(const Finding& f, const IdiomTable& table) {
  return 128 + 3 * table.field(f.record, Field::Idiom).size() + 3 * f.text.size();
}

char* WriteText(char* p, std::string_view text) {
  std::memcpy(p, text.data(), text.size());
  return p + text.size();
}

char* WriteNumber(char* p, int64_t n) { return std::to_chars(p, p + 24, n).ptr; }

char* WriteUtf8(char* p, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c < 0x80) {
      *p++ = static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x800) {
      *p++ = static_cast<char>(0xC0 | c >> 6);
    } else if (c < 0x10000) {
      *p++ = static_cast<char>(0xE0 | c >> 12);
      *p++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    } else {
      *p++ = static_cast<char>(0xF0 | c >> 18);
      *p++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
      *p++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    }
    *p++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return p;
}

char* WriteLine(char* p, const Finding& f, const IdiomTable& table) {
  p = WriteText(p, "第 ");
  p = WriteNumber(p, f.record + 1);
  p = WriteText(p, " 行 ");
  p = WriteUtf8(p, table.field(f.record, Field::Idiom));
  p = WriteText(p, "：");
  p = WriteText(p, FindingName(f.kind));
  p = WriteText(p, "：");
  switch (f.kind) {
    case FindingKind::Duplicate:
      p = WriteText(p, "与第 ");
      p = WriteNumber(p, f.other + 1);
      p = WriteText(p, " 行相同");
      break;
    case FindingKind::ToneMark:
      p = WriteText(p, "音节“");
      p = WriteUtf8(p, f.text);
      p = WriteText(p, "”");
      break;
    default: {
      const std::string what = Describe(f, table);
      p = WriteText(p, what);
    }
  }
  *p++ = '\n';
  return p;
}

}  // namespace

void Report(const std::vector<Finding>& findings, const IdiomTable& table,
            const std::function<void(std::string_view)>& sink) {
  // Each half is written into a buffer of its own, sized for its lines.
  auto format = [&](size_t begin, size_t end, std::unique_ptr<char[]>& buffer, size_t& size) {
    size_t bound = 0;
    for (size_t k = begin; k < end; ++k) bound += LineBound(findings[k], table);
    buffer.reset(new char[bound + 1]);
    char* p = buffer.get();
    for (size_t k = begin; k < end; ++k) p = WriteLine(p, findings[k], table);
    size = static_cast<size_t>(p - buffer.get());
  };
  std::unique_ptr<char[]> first, second;
  size_t firstSize = 0, secondSize = 0;
  const size_t half = findings.size() >= static_cast<size_t>(kRecordsForTwoThreads) &&
                              std::thread::hardware_concurrency() >= 2
                          ? findings.size() / 2
                          : findings.size();
  std::thread other;
  if (half < findings.size()) other = std::thread([&] { format(half, findings.size(), second, secondSize); });
  format(0, half, first, firstSize);
  if (other.joinable()) other.join();
  if (firstSize > 0) sink(std::string_view(first.get(), firstSize));
  if (secondSize > 0) sink(std::string_view(second.get(), secondSize));
}

}  // namespace tessaly
