// The floor of loading a data file, as a program of its own so that it is
// timed cold like the real programs: one read of the whole file and a
// table-driven GBK decode of all its bytes into fresh memory, nothing else.
// Prints the number of UTF-16 code units.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "file_io.h"
#include "gbk.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: load_floor FILE\n");
    return 2;
  }
  const tessaly::Result<tessaly::OpenedFile> file = tessaly::OpenedFile::open(argv[1]);
  if (!file.ok()) return 2;
  const size_t size = file->size();
  auto* bytes = static_cast<unsigned char*>(std::malloc(size + 1));
  size_t have = 0;
  for (;;) {
    const tessaly::Result<size_t> n = file->read(reinterpret_cast<char*>(bytes) + have, size + 1 - have);
    if (!n.ok() || *n == 0) break;
    have += *n;
  }
  auto* text = static_cast<char16_t*>(std::malloc(have * sizeof(char16_t) + 2));
  const char16_t* pairs = tessaly::GbkPairs();
  char16_t* out = text;
  for (size_t i = 0; i < have;) {
    const unsigned char b = bytes[i];
    if (b < 0x80) {
      *out++ = b;
      ++i;
    } else {
      *out++ = i + 1 < have ? pairs[b << 8 | bytes[i + 1]] : u'\0';
      i += 2;
    }
  }
  std::printf("%zu\n", static_cast<size_t>(out - text));
  std::free(text);
  std::free(bytes);
  return 0;
}
