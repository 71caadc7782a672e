// Fuzzes the query check and every search of the list (searches.h) on a small table: any text as typed into the query box. Checks what must hold whatever the query.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "idiom_file.h"
#include "query.h"
#include "result_filler.h"
#include "search_engine.h"
#include "searches.h"

namespace {

const tessaly::IdiomTable& Table() {
  static const tessaly::IdiomTable table = [] {
    tessaly::IdiomTable t;
    for (const char16_t* line :
         {u"一生一世#ysys#yī shēng yī shì#一辈子#无#例", u"一心一意#yxyy#yī xīn yī yì#心思专一#无#例",
          u"三心二意#sxey#p#拿不定主意#元·关汉卿《救风尘》#例",
          u"做一天和尚，撞一天钟#zythszytz#p#得过且过#无#例", u"天地良心#tdlx#p#m*#s?#e",
          u"a*b#ab#p#m#s#e", u"\U00020BB7一#xy#p#m#s#e#extra", u"愛不釋手#abss#ài bù shì shǒu#m#s#e",
          u"萝卜#lb#luó bo#m#s#e", u"女中#nz#Nǚ a\u0304#m#s#e"}) {
      tessaly::AppendLine(t, line);
    }
    return t;
  }();
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string typed(size / 2, u'\0');
  for (size_t i = 0; i < typed.size(); ++i) typed[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  const tessaly::Result<tessaly::Query> q = tessaly::CheckQuery(typed);
  if (!q.ok()) return 0;
  if (q->keywords.empty()) std::abort();
  for (const std::u16string& k : q->keywords) {
    if (k.empty() || k.find(u' ') != std::u16string::npos) std::abort();
  }
  const tessaly::IdiomTable& table = Table();
  for (const tessaly::SearchKind* kind : tessaly::Searches()) {
    const tessaly::SearchMode mode = kind->mode;
    static tessaly::IdiomViews views;
    if (!tessaly::PrepareViews(views, table, mode).ok()) continue;  // 简繁通查 without OpenCC's data
    const tessaly::Result<tessaly::SearchOutcome> searched = tessaly::RunSearch(table, views, q->keywords, mode);
    if (!searched.ok()) std::abort();
    const tessaly::SearchOutcome& o = *searched;
    int32_t marked = 0;
    for (uint8_t m : o.Matched) marked += m;
    if (marked != o.hitCount || o.Matched.size() != static_cast<size_t>(table.size())) std::abort();
    tessaly::ResultFiller filler;
    tessaly::ResultRows rows;
    filler.start(o.FillBatch);
    while (filler.active()) filler.step(o.Matched, rows);
    if (rows.size() != static_cast<size_t>(o.hitCount)) std::abort();
  }
  return 0;
}
