// The searches in the meaning and in the source: the field contains the
// keyword.
#include "matcher.h"
#include "messages.h"

namespace tessaly {
namespace {

template <Field kField>
Error MatchIn(const SearchContext& on, std::u16string_view key, SearchOutcome& out) {
  on.table.column(kField).markContaining(key, out.Matched, out.hitCount);
  return {};
}

}  // namespace

extern const SearchKind kMeaningSearch{
    .mode = SearchMode::Meaning,
    .name = "meaning",
    .help = N_("the meaning holds the keyword                          塌下来"),
    .example = u"塌下来",
    .match = MatchIn<Field::Meaning>,
};

extern const SearchKind kSourceSearch{
    .mode = SearchMode::Source,
    .name = "source",
    .help = N_("the source holds the keyword                           岳阳楼记"),
    .example = u"岳阳楼记",
    .match = MatchIn<Field::Source>,
};

}  // namespace tessaly
