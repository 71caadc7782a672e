// What the searches derive from an idiom table, kept beside it: the pinyin
// of every record read as syllables (the pinyin search and the idiom
// chain) and the idioms in simplified characters (简繁通查). The caller owns
// the views and builds each before the first search that reads it
// (PrepareViews, search_engine.h); the searches only read them, so a
// prepared table and its views may be searched from several threads.
//
//   IdiomViews views;
//   if (Error e = PrepareViews(views, table, SearchMode::Folded); !e.ok()) report(e);
//   RunSearch(table, views, keywords, SearchMode::Folded);
#pragma once

#include <cstddef>
#include <memory>

#include "error.h"
#include "idiom_table.h"

namespace tessaly {

class FoldedIdioms;
class SyllableIndex;

class IdiomViews {
 public:
  IdiomViews();
  ~IdiomViews();
  IdiomViews(IdiomViews&&) noexcept;
  IdiomViews& operator=(IdiomViews&&) noexcept;
  IdiomViews(const IdiomViews&) = delete;             // views are large: move them
  IdiomViews& operator=(const IdiomViews&) = delete;  // views are large: move them

  // buildSyllables reads the pinyin of every record of `table` (27 ms for
  // 300,000 records, about 31 bytes a record); buildFolded converts every
  // idiom to simplified characters (about 100 bytes a record), a
  // MissingData error without OpenCC's data. Each does nothing when its
  // view is there already.
  void buildSyllables(const IdiomTable& table);
  Error buildFolded(const IdiomTable& table);

  // adopt takes the views `other` holds and this one lacks: a view built
  // apart (on a worker thread, into views of its own, from the same table)
  // joins the others.
  void adopt(IdiomViews&& other);

  // The views, or null where not built.
  const SyllableIndex* syllables() const { return m_syllables.get(); }
  const FoldedIdioms* folded() const { return m_folded.get(); }

  size_t syllableBytes() const;
  size_t foldedBytes() const;

 private:
  std::unique_ptr<SyllableIndex> m_syllables;
  std::unique_ptr<FoldedIdioms> m_folded;
};

}  // namespace tessaly
