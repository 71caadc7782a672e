// Fuzz target: the importer's JSON reading and field cleaning. Whatever the
// input, what the importer would write must load as a table of exactly the
// records it took, and every cleaned field must be one non-empty cy.dat
// field.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "idiom_file.h"
#include "importer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tessaly::Importer importer;
  if (!importer.addJson(bytes, "fuzz.json").ok()) return 0;
  const tessaly::Result<tessaly::IdiomTable> loaded = tessaly::ParseIdiomText(importer.fileBytes());
  if (!loaded.ok() || static_cast<size_t>(loaded->size()) != importer.lineCount()) std::abort();

  // The raw input as one field's text, read as UTF-16 code units.
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i + 1 < size; i += 2) text[i / 2] = static_cast<char16_t>(data[i] | data[i + 1] << 8);
  const std::u16string field = tessaly::FieldText(text);
  if (field.empty() || field.find_first_of(u"#\r\n") != std::u16string::npos) std::abort();
  return 0;
}
