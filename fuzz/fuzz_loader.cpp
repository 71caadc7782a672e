// Fuzzes the loader: any bytes as a data file. A load either fails with a
// reason and a sane line number or gives a table whose every record holds
// six non-empty fields.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "idiom_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const tessaly::LoadResult r = tessaly::ParseIdiomText(bytes);
  if (!r.ok()) {
    if (r.error.reason.empty() || r.error.line < 0 || r.table.size() != 0) std::abort();
    if (static_cast<size_t>(r.error.line) > size + 1) std::abort();
  } else {
    for (int32_t i = 0; i < r.table.size(); ++i) {
      const tessaly::IdiomRecord rec = r.table.record(i);
      if (rec.Fields.size() < 6 || rec.IdiomLast < 0) std::abort();
      for (int f = 0; f < 6; ++f) {
        if (rec.Fields[f].empty()) std::abort();
      }
    }
  }
  const std::vector<tessaly::LineProblem> problems = tessaly::CheckIdiomText(bytes);
  if (problems.empty() != r.ok()) std::abort();
  return 0;
}
