// Fuzzes the loader, the checker and the strict check with its report: any
// bytes as a data file. A load either fails with a reason and a sane line
// number or gives a table whose every record holds six non-empty fields;
// the checker finds a broken line exactly when the load fails; the strict
// check of a table that loads reports one line per finding it counts.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data_check.h"
#include "idiom_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const tessaly::Result<tessaly::IdiomTable> r = tessaly::ParseIdiomText(bytes);
  if (!r.ok()) {
    const tessaly::Error& e = r.error();
    if (e.reason.empty() || e.line < 0 || static_cast<size_t>(e.line) > size + 1) std::abort();
  } else {
    for (int32_t i = 0; i < r->size(); ++i) {
      const tessaly::IdiomRecord rec = r->record(i);
      if (rec.Fields.size() < 6 || rec.IdiomLast < 0) std::abort();
      for (int f = 0; f < 6; ++f) {
        if (rec.Fields[f].empty()) std::abort();
      }
    }
    int64_t lines = 0;
    const tessaly::Result<tessaly::StrictCounts> counts = tessaly::ReportRecords(*r, [&](std::string_view text) {
      lines += std::count(text.begin(), text.end(), '\n');
    });
    if (!counts.ok()) std::abort();
    int64_t total = 0;
    for (int64_t n : *counts) total += n;
    if (total != lines) std::abort();
  }
  int64_t first = 0;
  const int64_t problems = tessaly::CheckIdiomText(bytes, [&](const tessaly::LineProblem& p) {
    if (first == 0) first = p.error.line;
    if (p.error.line < first || p.error.reason.empty()) std::abort();
  });
  if ((problems == 0) != r.ok()) std::abort();
  return 0;
}
