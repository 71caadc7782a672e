// The idiom table: columns, records, and the contains-search over a column.
#include "idiom_table.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "table_writer.h"
#include "messages.h"

namespace tessaly {
namespace {

// Grow reallocates `block` to `count` elements. The table's boundary (the
// loader) turns the bad_alloc into an error.
template <typename T>
T* Grow(T* block, size_t count) {
  void* grown = std::realloc(block, count * sizeof(T));
  if (grown == nullptr) throw std::bad_alloc();
  return static_cast<T*>(grown);
}

}  // namespace

const char* FieldName(int field) {
  static const char* const kNames[] = {N_("idiom"),   N_("initials"), N_("pinyin"),
                                       N_("meaning"), N_("source"),   N_("example"),
                                       N_("variants"), N_("near"),    N_("opposite")};
  return field >= 0 && field < static_cast<int>(std::size(kNames)) ? TR(kNames[field]) : "";
}

TextColumn::~TextColumn() {
  std::free(m_text);
  std::free(m_starts);
}

TextColumn::TextColumn(TextColumn&& other) noexcept
    : m_text(std::exchange(other.m_text, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_starts(std::exchange(other.m_starts, nullptr)),
      m_count(std::exchange(other.m_count, 0)),
      m_startsCapacity(std::exchange(other.m_startsCapacity, 0)) {}

TextColumn& TextColumn::operator=(TextColumn&& other) noexcept {
  if (this != &other) {
    std::free(m_text);
    std::free(m_starts);
    m_text = std::exchange(other.m_text, nullptr);
    m_size = std::exchange(other.m_size, 0);
    m_capacity = std::exchange(other.m_capacity, 0);
    m_starts = std::exchange(other.m_starts, nullptr);
    m_count = std::exchange(other.m_count, 0);
    m_startsCapacity = std::exchange(other.m_startsCapacity, 0);
  }
  return *this;
}

void TextColumn::grow(size_t units) {
  // From 128 KiB on, glibc maps a block of its own, which realloc then
  // moves by remapping its pages instead of copying them.
  m_capacity = std::max({m_capacity * 2, m_size + units, size_t{1} << 16});
  m_text = Grow(m_text, m_capacity);
}

void TextColumn::growStarts() {
  const bool first = m_starts == nullptr;
  m_startsCapacity = std::max(m_startsCapacity * 2, size_t{1} << 15);  // 128 KiB: see grow()
  m_starts = Grow(m_starts, m_startsCapacity);
  if (first) m_starts[0] = 0;
}

void TextColumn::truncate(size_t records) {
  if (records > m_count) return;
  m_count = records;
  m_size = m_starts != nullptr ? m_starts[records] : 0;
}

void TextColumn::append(const TextColumn& tail) {
  if (tail.m_count == 0) return;
  room(tail.m_size);
  if (m_startsCapacity < m_count + tail.m_count + 1) {
    const bool first = m_starts == nullptr;
    m_startsCapacity = m_count + tail.m_count + 1;
    m_starts = Grow(m_starts, m_startsCapacity);
    if (first) m_starts[0] = 0;
  }
  if (tail.m_size > 0) std::memcpy(m_text + m_size, tail.m_text, tail.m_size * sizeof(char16_t));
  const auto base = static_cast<uint32_t>(m_size);
  for (size_t k = 1; k <= tail.m_count; ++k) m_starts[m_count + k] = base + tail.m_starts[k];
  m_size += tail.m_size;
  m_count += tail.m_count;
}

void TextColumn::fit() {
  // realloc shrinks in place: nothing is copied.
  if (m_capacity > m_size && m_size > 0) {
    m_text = Grow(m_text, m_size);
    m_capacity = m_size;
  } else if (m_size == 0) {
    std::free(m_text);
    m_text = nullptr;
    m_capacity = 0;
  }
  if (m_starts != nullptr && m_startsCapacity > m_count + 1) {
    m_starts = Grow(m_starts, m_count + 1);
    m_startsCapacity = m_count + 1;
  }
}

IdiomTable::IdiomTable(IdiomTable&& other) noexcept
    : m_columns(std::move(other.m_columns)), m_size(std::exchange(other.m_size, 0)) {}

IdiomTable& IdiomTable::operator=(IdiomTable&& other) noexcept {
  if (this != &other) {
    m_columns = std::move(other.m_columns);
    m_size = std::exchange(other.m_size, 0);
  }
  return *this;
}

std::u16string_view IdiomTable::extra(int32_t i, int number) const {
  std::u16string_view rest = this->rest().at(i);
  for (int f = kFieldCount; !rest.empty(); ++f) {
    rest.remove_prefix(1);  // the "#" before the field
    const size_t hash = rest.find(kFieldSeparator);
    if (f == number) return rest.substr(0, hash);
    if (hash == std::u16string_view::npos) break;
    rest.remove_prefix(hash);
  }
  return {};
}

IdiomRecord IdiomTable::record(int32_t i, const HitMarks* marks) const {
  IdiomRecord r;
  r.Fields.reserve(kFieldCount);
  for (int f = 0; f < kFieldCount; ++f) r.Fields.push_back(m_columns[static_cast<size_t>(f)].at(i));
  std::u16string_view rest = this->rest().at(i);
  if (!rest.empty()) {
    rest.remove_prefix(1);
    for (;;) {
      const size_t hash = rest.find(kFieldSeparator);
      r.Fields.push_back(rest.substr(0, hash));
      if (hash == std::u16string_view::npos) break;
      rest.remove_prefix(hash + 1);
    }
  }
  r.IdiomChars = IdiomChars(i);
  r.IdiomLast = IdiomLast(i);
  r.Matched = marks != nullptr && static_cast<size_t>(i) < marks->size() && (*marks)[i] != 0;
  return r;
}

size_t IdiomTable::memoryBytes() const {
  size_t bytes = 0;
  for (const TextColumn& c : m_columns) bytes += c.bytes();
  return bytes;
}

bool TableWriter::commit() {
  if (m_reserved > 0) --m_reserved;
  TextColumn& idiom = column(0);
  TextColumn& chars = m_table.m_columns[IdiomTable::kChars];
  const std::u16string_view text = idiom.at(m_table.m_size);
  chars.room(text.size());
  char16_t* const start = chars.end();
  char16_t* out = start;
  for (char16_t u : text) {
    *out = u;
    out += u != kIdiomComma;
  }
  if (out == start) return false;
  chars.close(out);
  ++m_table.m_size;
  return true;
}

void TableWriter::drop() {
  for (TextColumn& c : m_table.m_columns) c.truncate(static_cast<size_t>(m_table.m_size));
}

void TableWriter::append(IdiomTable&& tail) {
  for (size_t c = 0; c < m_table.m_columns.size(); ++c) {
    m_table.m_columns[c].append(tail.m_columns[c]);
    tail.m_columns[c] = TextColumn();  // given back at once: the peak stays low
  }
  m_table.m_size += std::exchange(tail.m_size, 0);
}

void TableWriter::finish() {
  for (TextColumn& c : m_table.m_columns) c.fit();
}

}  // namespace tessaly
