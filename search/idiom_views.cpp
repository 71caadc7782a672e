// The views of an idiom table.
#include "idiom_views.h"

#include "folding.h"
#include "syllable_index.h"

namespace tessaly {

IdiomViews::IdiomViews() = default;
IdiomViews::~IdiomViews() = default;
IdiomViews::IdiomViews(IdiomViews&&) noexcept = default;
IdiomViews& IdiomViews::operator=(IdiomViews&&) noexcept = default;

void IdiomViews::buildSyllables(const IdiomTable& table) {
  if (!m_syllables) m_syllables = std::make_unique<SyllableIndex>(table);
}

Error IdiomViews::buildFolded(const IdiomTable& table) {
  if (m_folded) return {};
  Result<FoldedIdioms> folded = FoldedIdioms::Make(table);
  if (!folded.ok()) return folded.error();
  m_folded = std::make_unique<FoldedIdioms>(std::move(folded).value());
  return {};
}

void IdiomViews::adopt(IdiomViews&& other) {
  if (!m_syllables) m_syllables = std::move(other.m_syllables);
  if (!m_folded) m_folded = std::move(other.m_folded);
}

size_t IdiomViews::syllableBytes() const { return m_syllables ? m_syllables->memoryBytes() : 0; }
size_t IdiomViews::foldedBytes() const { return m_folded ? m_folded->memoryBytes() : 0; }

}  // namespace tessaly
