// Builds the reading table of the strict check from Unihan: every Mandarin
// reading of every character in kHanyuPinyin, kXHC1983, kMandarin and
// kTGHZ2013, with the readings of data/readings-beyond-unihan.txt added,
// the words of data/heteronyms.txt, the neutral-tone words of
// data/neutral-tone.txt with their readings and the idioms of
// data/reordered-pairs.txt, as a C++ source of sorted arrays. Run by the
// build; the program never reads Unihan or data/ itself.
//
//   make_readings Unihan_Readings.txt readings-beyond-unihan.txt heteronyms.txt
//       neutral-tone.txt reordered-pairs.txt out.cpp
//
// A Unihan file of "-" gives an empty table (the check then says it cannot
// check readings).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pinyin_reader.h"

namespace {

// UTF-8 to code points; bytes that are not UTF-8 end the text.
std::u32string Decode(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
    if (i + static_cast<size_t>(n) > s.size()) break;
    for (int k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0x3F);
    out.push_back(c);
    i += static_cast<size_t>(n);
  }
  return out;
}

// One syllable written with its tone mark ("lǜ") as the check packs it:
// SyllableCode(letters) << 3 | tone (5 for none); 0 when it is not one
// syllable of letters.
uint32_t Pack(const std::string& utf8) {
  std::u16string text;
  for (char32_t c : Decode(utf8)) {
    if (c > 0xFFFF) return 0;
    text.push_back(static_cast<char16_t>(c));
  }
  struct Sink {
    std::string letters;
    int tone = 5;
    int syllables = 0;
    void start(size_t) { ++syllables; }
    void letter(char l, int t, size_t) {
      letters.push_back(l);
      if (t != 0 && tone == 5) tone = t;
    }
    void mark(int t, size_t) {
      if (tone == 5) tone = t;
    }
    void diaeresis(size_t) {
      if (!letters.empty() && letters.back() == 'u') letters.back() = 'v';
    }
    void end(size_t) {}
  } sink;
  tessaly::ReadPinyin(text, sink);
  const uint32_t code = tessaly::SyllableCode(sink.letters);
  if (sink.syllables != 1 || code == 0) return 0;
  return code << 3 | static_cast<uint32_t>(sink.tone);
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  for (std::string f; std::getline(in, f, '\t');) out.push_back(f);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::cerr << "usage: make_readings UNIHAN_READINGS BEYOND_UNIHAN HETERONYMS NEUTRAL_TONE REORDERED OUT.cpp\n";
    return 2;
  }
  std::map<char32_t, std::set<uint32_t>> readings;
  if (std::string(argv[1]) != "-") {
    std::ifstream unihan(argv[1]);
    if (!unihan) {
      std::cerr << "make_readings: cannot read " << argv[1] << "\n";
      return 2;
    }
    for (std::string line; std::getline(unihan, line);) {
      if (line.empty() || line[0] == '#') continue;
      const std::vector<std::string> f = Fields(line);
      if (f.size() < 3 || f[0].rfind("U+", 0) != 0) continue;
      if (f[1] != "kHanyuPinyin" && f[1] != "kXHC1983" && f[1] != "kMandarin" && f[1] != "kTGHZ2013") continue;
      const auto c = static_cast<char32_t>(std::stoul(f[0].substr(2), nullptr, 16));
      // Values are separated by spaces; a value may carry "location:" and
      // several readings separated by commas.
      std::stringstream values(f[2]);
      for (std::string value; values >> value;) {
        const size_t colon = value.find(':');
        if (colon != std::string::npos) value = value.substr(colon + 1);
        std::stringstream each(value);
        for (std::string r; std::getline(each, r, ',');) {
          if (const uint32_t packed = Pack(r)) readings[c].insert(packed);
        }
      }
    }
  }
  // The reviewed readings the dictionaries give and Unihan lacks:
  // character, syllable, idiom, why.
  std::ifstream beyond(argv[2]);
  for (std::string line; std::getline(beyond, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = Fields(line);
    const std::u32string c = f.empty() ? std::u32string() : Decode(f[0]);
    const uint32_t packed = f.size() >= 2 ? Pack(f[1]) : 0;
    if (c.size() != 1 || packed == 0) {
      std::cerr << "make_readings: " << argv[2] << ": bad line: " << line << "\n";
      return 2;
    }
    readings[c[0]].insert(packed);
  }
  // The reviewed heteronyms: two characters read differently in different
  // idioms, each rightly.
  std::set<uint64_t> heteronyms;
  std::ifstream words(argv[3]);
  for (std::string line; std::getline(words, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = Fields(line);
    const std::u32string w = f.empty() ? std::u32string() : Decode(f[0]);
    if (w.size() != 2) {
      std::cerr << "make_readings: " << argv[3] << ": bad line: " << line << "\n";
      return 2;
    }
    heteronyms.insert(static_cast<uint64_t>(w[0]) << 32 | w[1]);
  }

  // The reviewed neutral-tone words: the word and its two syllables.
  std::map<uint64_t, uint64_t> neutral;
  std::ifstream neutralFile(argv[4]);
  for (std::string line; std::getline(neutralFile, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = Fields(line);
    const std::u32string w = f.empty() ? std::u32string() : Decode(f[0]);
    const size_t space = f.size() >= 2 ? f[1].find(' ') : std::string::npos;
    const uint32_t first = space != std::string::npos ? Pack(f[1].substr(0, space)) : 0;
    const uint32_t second = space != std::string::npos ? Pack(f[1].substr(space + 1)) : 0;
    if (w.size() != 2 || first == 0 || second == 0) {
      std::cerr << "make_readings: " << argv[4] << ": bad line: " << line << "\n";
      return 2;
    }
    neutral[static_cast<uint64_t>(w[0]) << 32 | w[1]] = static_cast<uint64_t>(first) << 32 | second;
  }
  // The reviewed pairs of idioms whose characters are another's reordered.
  std::vector<std::string> reordered;
  std::ifstream pairs(argv[5]);
  for (std::string line; std::getline(pairs, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = Fields(line);
    if (f.size() < 2 || f[0].empty() || f[1].empty() || f[0].find('"') != std::string::npos ||
        f[1].find('"') != std::string::npos) {
      std::cerr << "make_readings: " << argv[5] << ": bad line: " << line << "\n";
      return 2;
    }
    reordered.push_back(f[0]);
    reordered.push_back(f[1]);
  }

  std::ofstream out(argv[6]);
  out << "// Generated by tools/make_readings.cpp from Unihan and data/; do not edit.\n"
         "#include <cstddef>\n#include <cstdint>\n\nnamespace tessaly::reading_data {\n\n";
  out << "extern const size_t kCharCount = " << readings.size() << ";\n";
  out << "extern const uint32_t kChars[] = {0";
  for (const auto& [c, r] : readings) out << "," << static_cast<uint32_t>(c);
  out << "};\nextern const uint32_t kStarts[] = {0";
  size_t at = 0;
  for (const auto& [c, r] : readings) out << "," << (at += r.size());
  out << "};\nextern const uint32_t kReadings[] = {0";
  for (const auto& [c, r] : readings) {
    for (uint32_t packed : r) out << "," << packed;
  }
  out << "};\nextern const size_t kHeteronymCount = " << heteronyms.size() << ";\n";
  out << "extern const uint64_t kHeteronyms[] = {0";
  for (uint64_t w : heteronyms) out << "," << w << "ull";
  out << "};\nextern const size_t kNeutralCount = " << neutral.size() << ";\n";
  out << "extern const uint64_t kNeutralWords[] = {0";
  for (const auto& [w, r] : neutral) out << "," << w << "ull";
  out << "};\nextern const uint64_t kNeutralReadings[] = {0";
  for (const auto& [w, r] : neutral) out << "," << r << "ull";
  out << "};\nextern const size_t kReorderedCount = " << reordered.size() / 2 << ";\n";
  out << "extern const char16_t* const kReordered[] = {nullptr";
  for (const std::string& idiom : reordered) out << ",u\"" << idiom << "\"";
  out << "};\n\n}  // namespace tessaly::reading_data\n";
  out.close();
  if (!out) {
    std::cerr << "make_readings: cannot write " << argv[6] << "\n";
    return 2;
  }
  return 0;
}
