// The idiom table: columns, records, and the contains-search over a column.
#include "idiom_table.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "folding.h"
#include "line_check.h"
#include "syllable_index.h"

namespace tessaly {
namespace {

constexpr char16_t kFieldSeparator = u'#';
constexpr char16_t kFullWidthComma = u'\uFF0C';

template <typename T>
T* Grow(T* block, size_t count) {
  void* grown = std::realloc(block, count * sizeof(T));
  if (grown == nullptr) throw std::bad_alloc();
  return static_cast<T*>(grown);
}

}  // namespace

IdiomTable::Column::~Column() {
  std::free(m_text);
  std::free(m_starts);
}

IdiomTable::Column::Column(Column&& other) noexcept
    : m_text(std::exchange(other.m_text, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_starts(std::exchange(other.m_starts, nullptr)),
      m_count(std::exchange(other.m_count, 0)),
      m_startsCapacity(std::exchange(other.m_startsCapacity, 0)) {}

IdiomTable::Column& IdiomTable::Column::operator=(Column&& other) noexcept {
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

void IdiomTable::Column::room(size_t units, size_t records) {
  if (m_capacity - m_size < units) {
    m_capacity = std::max({m_capacity * 2, m_size + units, size_t{4096}});
    m_text = Grow(m_text, m_capacity);
  }
  if (m_startsCapacity < m_count + 1 + records) {
    const bool first = m_starts == nullptr;
    m_startsCapacity = std::max({m_startsCapacity * 2, m_count + 1 + records, size_t{1024}});
    m_starts = Grow(m_starts, m_startsCapacity);
    if (first) m_starts[0] = 0;
  }
}

void IdiomTable::Column::truncate(size_t records) {
  if (records >= m_count) return;
  m_count = records;
  m_size = m_starts[records];
}

void IdiomTable::Column::append(const Column& tail) {
  if (tail.m_count == 0) return;
  room(tail.m_size, tail.m_count);
  std::memcpy(m_text + m_size, tail.m_text, tail.m_size * sizeof(char16_t));
  const auto base = static_cast<uint32_t>(m_size);
  for (size_t k = 1; k <= tail.m_count; ++k) m_starts[m_count + k] = base + tail.m_starts[k];
  m_size += tail.m_size;
  m_count += tail.m_count;
}

void IdiomTable::Column::fit() {
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

IdiomTable::IdiomTable() = default;
IdiomTable::~IdiomTable() = default;

IdiomTable::IdiomTable(IdiomTable&& other) noexcept
    : m_columns(std::move(other.m_columns)),
      m_size(std::exchange(other.m_size, 0)),
      m_syllables(std::move(other.m_syllables)),
      m_folded(std::move(other.m_folded)) {}

IdiomTable& IdiomTable::operator=(IdiomTable&& other) noexcept {
  if (this != &other) {
    m_columns = std::move(other.m_columns);
    m_size = std::exchange(other.m_size, 0);
    m_syllables = std::move(other.m_syllables);
    m_folded = std::move(other.m_folded);
  }
  return *this;
}

const SyllableIndex& IdiomTable::syllables() const {
  if (!m_syllables) m_syllables = std::make_unique<SyllableIndex>(*this);
  return *m_syllables;
}

const IdiomTable& IdiomTable::folded() const {
  if (!m_folded) m_folded = std::make_unique<IdiomTable>(FoldIdioms(*this));
  return *m_folded;
}

IdiomRecord IdiomTable::record(int32_t i, const HitMarks* marks) const {
  IdiomRecord r;
  r.Fields.reserve(kFieldCount);
  for (int f = 0; f < kFieldCount; ++f) r.Fields.push_back(column(f).at(i));
  std::u16string_view rest = column(kRest).at(i);
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

void IdiomTable::markContaining(Field f, std::u16string_view needle, HitMarks& marks,
                                int32_t& hits) const {
  if (m_size == 0 || needle.empty()) return;
  const Column& c = column(static_cast<int>(f));
  const std::u16string_view text = c.text();
  const uint32_t* starts = c.starts();
  const uint32_t* const startsEnd = starts + m_size + 1;
  const uint32_t* record = starts;
  size_t pos = 0;
  while ((pos = text.find(needle, pos)) != std::u16string_view::npos) {
    record = std::upper_bound(record, startsEnd, pos) - 1;
    const size_t r = static_cast<size_t>(record - starts);
    const size_t end = *(record + 1);
    if (pos + needle.size() <= end) {
      if (!marks[r]) {
        marks[r] = 1;
        ++hits;
      }
      // After a hit the search goes on at the next record.
      pos = end;
    } else {
      ++pos;
    }
  }
}

bool IdiomTable::appendLine(std::u16string_view line) {
  if (CheckLine(line, 0).kind != LoadErrorKind::None) return false;
  m_syllables.reset();
  m_folded.reset();
  Appender appender(*this);
  appender.room(line.size() + 1, 1);
  size_t pos = 0;
  for (int f = 0; f < kFieldCount; ++f) {
    const size_t hash = std::min(line.find(kFieldSeparator, pos), line.size());
    const std::u16string_view text = line.substr(pos, hash - pos);
    char16_t* out = appender.out(f);
    std::copy(text.begin(), text.end(), out);
    appender.end(f, out + text.size());
    pos = hash + 1;
  }
  char16_t* out = appender.out(kRest);
  const std::u16string_view rest = pos <= line.size() ? line.substr(pos - 1) : std::u16string_view();
  std::copy(rest.begin(), rest.end(), out);
  appender.end(kRest, out + rest.size());
  appender.commit();
  return true;
}

void IdiomTable::append(IdiomTable&& tail) {
  for (size_t c = 0; c < m_columns.size(); ++c) {
    m_columns[c].append(tail.m_columns[c]);
    tail.m_columns[c] = Column();  // given back at once: the peak stays low
  }
  m_size += std::exchange(tail.m_size, 0);
  m_syllables.reset();
  m_folded.reset();
}

size_t IdiomTable::memoryBytes() const {
  size_t bytes = 0;
  for (const Column& c : m_columns) bytes += c.bytes();
  return bytes;
}

IdiomTable::Appender::Appender(IdiomTable& table) : m_table(table) {}

void IdiomTable::Appender::room(size_t units, size_t records) {
  for (Column& c : m_table.m_columns) c.room(units, records);
}

bool IdiomTable::Appender::commit() {
  Column& idiom = m_table.m_columns[0];
  Column& chars = m_table.m_columns[kChars];
  const std::u16string_view text = idiom.at(m_table.m_size);
  char16_t* const start = chars.end();
  char16_t* out = start;
  for (char16_t u : text) {
    *out = u;
    out += u != kFullWidthComma;
  }
  if (out == start) return false;
  chars.close(out);
  ++m_table.m_size;
  return true;
}

void IdiomTable::Appender::drop() {
  for (Column& c : m_table.m_columns) c.truncate(static_cast<size_t>(m_table.m_size));
}

void IdiomTable::Appender::finish() {
  for (Column& c : m_table.m_columns) c.fit();
}

}  // namespace tessaly
