#include "report/report_placements.h"

#include <array>

#include "base/utf8.h"
#include "store/catalogue.h"
#include "store/value_rules.h"

namespace zorbix::report {
namespace {

// The bookmarks in the order in which a report is filled; each takes the
// whole text of the column of its name unless kCuts says otherwise.
constexpr std::array<std::string_view, kPlacementCount> kOrder = {
    "JB01",    "JB02",    "ZGDW",   "XMCDDW", "JB03",   "JB04",   "JB05",   "JB06",   "TBSJ_1",
    "TBSJ_2",  "TBSJ_3",  "JB21",   "JB22",   "JB23",   "JB24",   "JB25",   "JB26",   "JB27",
    "JB411",   "JB412",   "JB413",  "JB421",  "JB422",  "JB423",  "JB431",  "JB432",  "JB433",
    "JB441",   "JB442",   "JB443",  "JB451",  "JB452",  "JB453",  "JB461",  "JB462",  "JB463",
    "JB471",   "JB472",   "JB473",  "JB481",  "JB482",  "JB483",  "JB51",   "JB52",   "JB53",
    "JB54",    "JB61",    "JB62",   "JB63_1", "JB63_2", "JB64",   "JB65",   "JB71",   "JB72_01",
    "JB72_02", "JB72_03", "JB81",   "JB82_1", "JB82_2", "JB83",   "JF1001", "JF1002", "JF1701",
    "JF1702",  "JF1101",  "JF1102", "JF1201", "JF1202", "JF1301", "JF1302", "JF1401", "JF1402",
    "JF1501",  "JF1502",  "JF1601", "JF1602", "JF2001", "JF2002", "JF3001", "JF3002", "JF3111",
    "JF3112",  "JF3121",  "JF3122", "JF3131", "JF3132", "JF3141", "JF3142", "JF4001", "JF4002",
    "JF4101",  "JF4102",  "JL100",  "JL110",  "JL111",  "JL430",  "JL440",  "JL120",  "JL121",
    "JL130",   "JL131",   "JL140",  "JL150",  "JL160",  "JL190",  "JL200",  "JL300",  "JL400",
    "JL410",   "JL420",   "JG131",  "JG102",  "JG302",  "JG402",  "JG160",  "JG170",  "JGCSCD",
    "JG512",   "JG522",   "JG532",  "JG542",  "JG702",  "JG710",  "JG711",  "JG720",  "JG802",
    "JG901",   "JG911",   "JG912",  "JG913",  "JG902",  "JG914",  "JG915",  "JG916",  "JG920",
    "JDCG",
};

// Bookmarks that show part of a text: the parts of the two dates, and the
// code (without its description) of coded items.
constexpr std::array<Placement, 18> kCuts = {{
    {"TBSJ_1", "TBSJ", Take::Chars, 1, 4},  // year
    {"TBSJ_2", "TBSJ", Take::Chars, 6, 2},  // month
    {"TBSJ_3", "TBSJ", Take::Last, 0, 2},   // day
    {"JB25", "JB25", Take::Chars, 1, 2},
    {"JB27", "JB27", Take::Chars, 1, 1},
    {"JB61", "JB61", Take::Chars, 1, 4},
    {"JB62", "JB62", Take::Chars, 1, 2},
    {"JB64", "JB64", Take::Chars, 1, 1},
    {"JB65", "JB65", Take::Chars, 1, 2},
    {"JB71", "JB71", Take::Chars, 1, 1},
    {"JB72_01", "JB72_01", Take::Chars, 1, 2},
    {"JB72_02", "JB72_02", Take::Chars, 1, 2},
    {"JB72_03", "JB72_03", Take::Chars, 1, 2},
    {"JB81", "JB81", Take::Chars, 1, 1},
    {"JB82_1", "JB82", Take::Chars, 1, 4},  // year
    {"JB82_2", "JB82", Take::Last, 0, 2},   // month
    {"JB83", "JB83", Take::Chars, 1, 1},
    {"JGCSCD", "JGCSCD", Take::Chars, 1, 1},
}};

std::array<Placement, kPlacementCount> BuildPlacements() {
    std::array<Placement, kPlacementCount> all{};
    for (std::size_t i = 0; i < kOrder.size(); ++i) {
        all[i] = Placement{kOrder[i], kOrder[i]};
        for (const Placement& cut : kCuts)
            if (cut.bookmark == kOrder[i]) all[i] = cut;
    }
    return all;
}

// Byte offsets of the character starts of a UTF-8 text, plus its end.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!base::IsContinuationByte(static_cast<unsigned char>(text[i]))) starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

// A value that is only the exchange files' placeholder for an empty field
// (records get it after distribute and append) is empty on paper; the store
// keeps the dot.
std::string_view PrintedValue(std::string_view stored) { return stored == "." ? "" : stored; }

}  // namespace

std::span<const Placement> Placements() {
    static const auto placements = BuildPlacements();
    return placements;
}

std::string CutText(std::string_view text, Take take, int first, int count) {
    if (take == Take::Whole) return std::string(text);
    const auto starts = CharacterStarts(text);
    const int length = static_cast<int>(starts.size()) - 1;
    int from = take == Take::Last ? length - count : first - 1;
    if (from < 0) from = 0;
    if (from >= length || count <= 0) return {};
    const int to = std::min(length, from + count);
    return std::string(text.substr(starts[from], starts[to] - starts[from]));
}

namespace {

// A value that a store of an older version may hold although no way in
// takes it any more (bytes that are no UTF-8, a control character) would
// make the document unreadable; it is printed as the store's rule mends it.
std::string_view Writable(int column, std::string_view value, std::string& mended) {
    const store::Column& c = store::Columns()[column];
    if (!store::ValueFault(c, value)) return value;
    mended = store::MendValue(c, value).value;
    return mended;
}

}  // namespace

std::vector<office::BookmarkText> ReportTexts(const store::Record& record) {
    static const auto columns = [] {
        std::vector<int> indices;
        for (const Placement& p : Placements()) indices.push_back(store::ColumnIndex(p.column));
        return indices;
    }();
    std::vector<office::BookmarkText> texts;
    texts.reserve(kPlacementCount);
    const auto placements = Placements();
    for (std::size_t i = 0; i < placements.size(); ++i) {
        const Placement& p = placements[i];
        std::string mended;
        const std::string_view value = Writable(columns[i], record[columns[i]], mended);
        texts.push_back(
            {std::string(p.bookmark), CutText(PrintedValue(value), p.take, p.first, p.count)});
    }
    return texts;
}

}  // namespace zorbix::report
