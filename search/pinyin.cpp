// Pinyin syllables, the syllable inventory and the tone-mark rule.
#include "pinyin.h"

#include <array>

#include "pinyin_reader.h"

namespace tessaly {
namespace {

// Every syllable of Hanyu Pinyin (ü written v), with the interjections m,
// n, ng, hm and hng.
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

// The codes of all syllables in an open-addressed table of 1,024 slots,
// less than half full: one or two probes find a syllable or its absence.
class SyllableCodes {
 public:
  SyllableCodes() {
    for (std::string_view s : kSyllables) {
      const uint32_t code = SyllableCode(s);
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
  std::array<uint32_t, kSlots> m_slots{};
};

// Syllables() as a sink of the reader.
struct SyllableList {
  std::u16string_view pinyin;
  std::vector<Syllable> out;
  size_t begin = 0;

  void start(size_t at) {
    out.emplace_back();
    begin = at;
  }
  void letter(char letter, int tone, size_t at) {
    Syllable& s = out.back();
    s.text = pinyin.substr(begin, at + 1 - begin);
    s.letters.push_back(letter);
    if (tone != 0) marked(tone);
  }
  void mark(int tone, size_t at) {
    out.back().text = pinyin.substr(begin, at + 1 - begin);
    marked(tone);
  }
  void diaeresis(size_t at) {
    Syllable& s = out.back();
    s.text = pinyin.substr(begin, at + 1 - begin);
    if (s.letters.back() == 'u') s.letters.back() = 'v';
  }
  void end(size_t) {}
  void marked(int tone) {
    Syllable& s = out.back();
    if (s.marks++ == 0) {
      s.tone = tone;
      s.markedLetter = static_cast<int>(s.letters.size()) - 1;
    }
  }
};

// InitialsFromPinyin as a sink of the reader.
struct FirstLetters {
  std::u16string out;
  bool first = false;
  void start(size_t) { first = true; }
  void letter(char letter, int, size_t) {
    if (first) out.push_back(static_cast<char16_t>(letter));
    first = false;
  }
  void mark(int, size_t) {}
  void diaeresis(size_t) {}
  void end(size_t) {}
};

}  // namespace

bool IsSyllableCode(uint32_t code) {
  static const SyllableCodes codes;
  return codes.contains(code);
}

int ToneMarkLetter(std::string_view letters) {
  int e = -1, ou = -1, vowel = -1, nasal = -1;
  for (int i = 0; i < static_cast<int>(letters.size()); ++i) {
    const char c = letters[static_cast<size_t>(i)];
    if (c == 'a') return i;
    if (c == 'e' && e < 0) e = i;
    if (c == 'o' && ou < 0 && i + 1 < static_cast<int>(letters.size()) && letters[static_cast<size_t>(i) + 1] == 'u') {
      ou = i;
    }
    if (IsVowel(c)) vowel = i;
    if (c == 'm' || c == 'n') nasal = i;
  }
  return e >= 0 ? e : ou >= 0 ? ou : vowel >= 0 ? vowel : nasal;
}

std::u16string MarkedSyllable(std::string_view letters, int tone) {
  static constexpr std::u16string_view kMarked[] = {u"āáǎà", u"ēéěè", u"īíǐì", u"ōóǒò", u"ūúǔù", u"ǖǘǚǜ"};
  static constexpr std::string_view kVowels = "aeiouv";
  const int marked = tone >= 1 && tone <= 4 ? ToneMarkLetter(letters) : -1;
  std::u16string out;
  for (int i = 0; i < static_cast<int>(letters.size()); ++i) {
    const char c = letters[static_cast<size_t>(i)];
    const size_t vowel = kVowels.find(c);
    if (i == marked && vowel != std::string_view::npos) {
      out.push_back(kMarked[vowel][static_cast<size_t>(tone - 1)]);
    } else if (i == marked && c == 'n' && tone >= 2) {
      out.push_back(u"ńňǹ"[tone - 2]);
    } else if (i == marked && c == 'm' && tone == 2) {
      out.push_back(u'ḿ');
    } else {
      out.push_back(c == 'v' ? u'ü' : static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string SyllableLetters(uint32_t code) {
  std::string letters;
  for (; code != 0; code >>= 5) letters.insert(letters.begin(), static_cast<char>('a' + (code & 31) - 1));
  return letters;
}

std::vector<Syllable> Syllables(std::u16string_view pinyin) {
  SyllableList list{pinyin, {}, 0};
  ReadPinyin(pinyin, list);
  return std::move(list.out);
}

std::u16string InitialsFromPinyin(std::u16string_view pinyin) {
  FirstLetters initials;
  ReadPinyin(pinyin, initials);
  return std::move(initials.out);
}

}  // namespace tessaly
