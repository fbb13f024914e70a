// The report template "2013模板.docx": the survey form on A4 (cover, tables
// one to four) with captions from the column catalogue and an empty bookmark
// wherever a value of the project belongs.
#include "templates/report_template.h"

#include <set>
#include <stdexcept>

#include "report/report_placements.h"
#include "store/catalogue.h"
#include "store/code_lists.h"
#include "templates/report_docx_xml.h"

namespace zorbix::templates {
namespace {

using store::Page;

const Font kCaptionFont{20};
const Font kValueFont{21};
const Font kSmallFont{18};
const Font kBoldCaption{20, true};
constexpr int kRow = 380;  // minimum row height, twips

std::string_view CaptionOf(std::string_view column) { return store::ColumnNamed(column).caption; }

// The form being laid out: hands out bookmark ids and remembers what was
// placed, so the result can be checked against the report's placements.
class Form {
public:
    std::string Mark(std::string_view bookmark) {
        if (!placed_.insert(std::string(bookmark)).second)
            throw std::logic_error("bookmark placed twice: " + std::string(bookmark));
        return Bookmark(bookmark, next_id_++);
    }

    Cell Caption(std::string_view text, int span = 1, Align align = Align::Left,
                 const Font& font = kCaptionFont) {
        return {Paragraph(Run(text, font), {align, font}), span, true};
    }
    Cell ColumnCaption(std::string_view column, int span = 1, Align align = Align::Left) {
        return Caption(CaptionOf(column), span, align);
    }
    Cell Value(std::string_view bookmark, int span = 1, Align align = Align::Center,
               const Font& font = kValueFont) {
        return {Paragraph(Mark(bookmark), {align, font}), span};
    }
    // Values with words between them: "[year] 年 [month] 月".
    Cell Parts(const std::vector<std::pair<std::string_view, std::string_view>>& parts,
               Align align = Align::Center) {
        std::string content;
        for (const auto& [bookmark, word] : parts)
            content += Mark(bookmark) + Run(word, kValueFont);
        return {Paragraph(content, {align, kValueFont})};
    }

    const std::set<std::string>& placed() const { return placed_; }

private:
    int next_id_ = 0;
    std::set<std::string> placed_;
};

std::string Heading(std::string_view text, bool new_page) {
    const Font font{30, true, true};
    ParaStyle style{Align::Center, font, 0, 240};
    style.page_break_before = new_page;
    return Paragraph(Run(text, font), style);
}

std::string Gap(int twips = 60) { return Paragraph("", {Align::Left, Font{8}, 0, twips}); }

std::string Cover(Form& form) {
    const Font title{44, true, true};
    std::string xml = Paragraph("", {Align::Left, kValueFont, 1800});
    xml += Paragraph(Run("Qorvath省科技计划项目执行情况年度调查表", title),
                     {Align::Center, title, 0, 240});
    xml += Paragraph(Run("（2013年度）", Font{32}), {Align::Center, Font{32}, 0, 1400});
    Table table({3000, 5200}, false);
    for (std::string_view column :
         {"JB02", "JB01", "ZGDW", "XMCDDW", "JB03", "JB04", "JB05", "JB06"}) {
        Cell caption = form.ColumnCaption(column, 1, Align::Right);
        caption.shaded = false;
        Cell value = form.Value(column, 1, Align::Left);
        value.rule = true;
        table.Row({caption, value}, 560);
    }
    Cell caption = form.ColumnCaption("TBSJ", 1, Align::Right);
    caption.shaded = false;
    Cell date =
        form.Parts({{"TBSJ_1", " 年 "}, {"TBSJ_2", " 月 "}, {"TBSJ_3", " 日"}}, Align::Left);
    date.rule = true;
    table.Row({caption, date}, 560);
    xml += table.Xml();
    xml += Paragraph(Run("Qorvath省科学技术厅制", Font{28}), {Align::Center, Font{28}, 2400});
    return xml;
}

std::string UnitBlock(Form& f) {
    Table t({2100, 2719, 2100, 2719});
    t.Row({f.ColumnCaption("JB21"), f.Value("JB21", 3, Align::Left)}, kRow);
    t.Row({f.ColumnCaption("JB22"), f.Value("JB22"), f.ColumnCaption("JB24"), f.Value("JB24")},
          kRow);
    t.Row({f.ColumnCaption("JB23"), f.Value("JB23", 3, Align::Left)}, kRow);
    t.Row({f.ColumnCaption("JB25"), f.Value("JB25"), f.ColumnCaption("JB26"), f.Value("JB26")},
          kRow);
    t.Row({f.ColumnCaption("JB27"), f.Value("JB27", 3)}, kRow);
    return t.Xml();
}

// A narrow caption beside a block, its characters running down.
Cell Side(std::string_view text, Cell::Merge merge) {
    Cell c{merge == Cell::Merge::Start
               ? Paragraph(Run(text, kBoldCaption), {Align::Center, kBoldCaption})
               : "",
           1, true};
    c.merge = merge;
    return c;
}

std::string Participants(Form& f) {
    constexpr std::array<std::string_view, 8> kStems = {"JB41", "JB42", "JB43", "JB44",
                                                        "JB45", "JB46", "JB47", "JB48"};
    Table t({460, 1150, 700, 780, 1150, 1000, 1150, 1748, 1500});
    std::vector<Cell> head = {Side("项目参加人员", Cell::Merge::Start)};
    for (auto stem : kStems)
        head.push_back(f.Caption(CaptionOf(std::string(stem) + "1"), 1, Align::Center, kSmallFont));
    t.Row(head, kRow);
    for (int person = 1; person <= 3; ++person) {
        std::vector<Cell> row = {Side("", Cell::Merge::Continue)};
        for (auto stem : kStems)
            row.push_back(
                f.Value(std::string(stem) + std::to_string(person), 1, Align::Center, kSmallFont));
        t.Row(row, kRow);
    }
    return t.Xml();
}

std::string Partners(Form& f) {
    Table t({460, 1800, 3400, 1800, 2178});
    t.Row(
        {Side("协作单位", Cell::Merge::Start), f.ColumnCaption("JB51"),
         f.Value("JB51", 1, Align::Left), f.ColumnCaption("JB52"), f.Value("JB52", 1, Align::Left)},
        kRow + 100);
    t.Row(
        {Side("", Cell::Merge::Continue), f.ColumnCaption("JB53"), f.Value("JB53", 1, Align::Left),
         f.ColumnCaption("JB54"), f.Value("JB54", 1, Align::Left)},
        kRow + 100);
    return t.Xml();
}

std::string Plan(Form& f) {
    Table t({2100, 2719, 2100, 2719});
    t.Row({f.ColumnCaption("JB61"), f.Value("JB61"), f.ColumnCaption("JB62"), f.Value("JB62")},
          kRow);
    t.Row({f.ColumnCaption("JB63_1"), f.Value("JB63_1"), f.ColumnCaption("JB63_2"),
           f.Value("JB63_2")},
          kRow);
    t.Row({f.ColumnCaption("JB64"), f.Value("JB64"), f.ColumnCaption("JB65"), f.Value("JB65")},
          kRow);
    return t.Xml();
}

std::string Progress(Form& f) {
    Table t({460, 1550, 1646, 1550, 1646, 1550, 1236});
    t.Row(
        {Side("项目进展情况", Cell::Merge::Start), f.ColumnCaption("JB71"), f.Value("JB71"),
         f.Caption("项目进展情况为3、4、5的请选填主要原因(最多三项)", 4, Align::Left, kSmallFont)},
        kRow);
    std::vector<Cell> reasons = {Side("", Cell::Merge::Continue)};
    for (std::string_view r : {"JB72_01", "JB72_02", "JB72_03"}) {
        reasons.push_back(f.ColumnCaption(r));
        reasons.push_back(f.Value(r));
    }
    t.Row(reasons, kRow);
    return t.Xml();
}

std::string Appraisal(Form& f) {
    Table t({1500, 1100, 2200, 1838, 1900, 1100});
    t.Row({f.ColumnCaption("JB81"), f.Value("JB81"), f.ColumnCaption("JB82"),
           f.Parts({{"JB82_1", " 年 "}, {"JB82_2", " 月"}}), f.ColumnCaption("JB83"),
           f.Value("JB83")},
          kRow + 200);
    return t.Xml();
}

// The code lists behind the coded values, which the report shows as codes.
std::string CodeNotes() {
    const Font font{14};
    std::string xml = Paragraph(Run("代码说明：", Font{14, true}), {Align::Left, font, 100, 20});
    for (std::string_view column :
         {"JB25", "JB27", "JB61", "JB62", "JB64", "JB65", "JB71", "JB72_01", "JB81", "JB83"}) {
        const auto& c = store::ColumnNamed(column);
        std::string text = c.caption + "：";
        for (const auto& item : store::PickerItems(c.picker)) text += item + "  ";
        xml += Paragraph(Run(text, font), {Align::Both, font});
    }
    return xml;
}

std::string TableOne(Form& f) {
    return Heading(store::PageCaption(Page::TableOne), true) + UnitBlock(f) + Gap() +
           Participants(f) + Gap() + Partners(f) + Gap() + Plan(f) + Gap() + Progress(f) + Gap() +
           Appraisal(f) + CodeNotes();
}

// Main items of a table ("一、…", "二、…") stand out in bold.
bool IsMainItem(const store::Column& c) {
    for (std::string_view number : {"一、", "二、", "三、"})
        if (std::string_view(c.caption).starts_with(number)) return true;
    return false;
}

Cell Indented(const store::Column& c) {
    const bool bold = IsMainItem(c);
    const Font font{20, bold};
    ParaStyle style{Align::Left, font};
    style.indent = c.indent * 100;
    return {Paragraph(Run(c.caption, font), style), 1, true};
}

std::string TableTwo(Form& f) {
    std::string xml = Heading(store::PageCaption(Page::TableTwo), true);
    xml += Paragraph(Run("单位：千元", kCaptionFont), {Align::Right, kCaptionFont, 0, 60});
    Table t({4838, 2400, 2400});
    t.Row({f.Caption("项   目   款   项", 1, Align::Center, kBoldCaption),
           f.Caption("累计数", 1, Align::Center, kBoldCaption),
           f.Caption("当年数", 1, Align::Center, kBoldCaption)},
          kRow);
    for (const store::Column* c : store::PageColumns(Page::TableTwo)) {
        if (c->name.back() != '1') continue;
        const std::string item = c->name.substr(0, c->name.size() - 1);
        t.Row({Indented(*c), f.Value(item + "1", 1, Align::Right),
               f.Value(item + "2", 1, Align::Right)},
              kRow + 60);
    }
    return xml + t.Xml();
}

std::string ListTable(Form& f, Page page, std::string_view value_heading) {
    Table t({6638, 3000});
    t.Row({f.Caption("项      目", 1, Align::Center, kBoldCaption),
           f.Caption(value_heading, 1, Align::Center, kBoldCaption)},
          kRow);
    for (const store::Column* c : store::PageColumns(page)) {
        if (c->name == "JDCG") continue;
        t.Row({Indented(*c), f.Value(c->name, 1, Align::Right)}, kRow);
    }
    return t.Xml();
}

std::string Results(Form& f) {
    Table t({kTextWidth});
    t.Row({f.ColumnCaption("JDCG")}, kRow);
    Cell text = f.Value("JDCG", 1, Align::Left);
    text.top = true;
    t.Row({text}, 2800);
    return t.Xml();
}

}  // namespace

std::string ReportTemplateBody() {
    Form form;
    std::string body = Cover(form) + TableOne(form) + TableTwo(form);
    body += Heading(store::PageCaption(Page::TableThree), true) +
            ListTable(form, Page::TableThree, "数  量");
    body += Heading(store::PageCaption(Page::TableFour), true) +
            ListTable(form, Page::TableFour, "数  量") + Gap(200) + Results(form);
    // Every placement of the report must find its bookmark, and no other.
    std::set<std::string> wanted;
    for (const auto& p : report::Placements()) wanted.insert(std::string(p.bookmark));
    if (wanted != form.placed())
        throw std::logic_error("the template's bookmarks differ from the placements");
    return body;
}

}  // namespace zorbix::templates
