#include "summary/summary_catalogue.h"

#include <stdexcept>
#include <vector>

#include "store/catalogue.h"

namespace zorbix::summary {
namespace {

using P = Posting;

FieldColumn F(int column, std::string_view field, std::string_view heading) {
    return {.column = column, .field = store::ColumnIndex(field), .heading = heading};
}

std::vector<SummaryDefinition> Build() {
    return {
        {.name = "发表论文专著情况",
         .last_column = 10,
         .grid_columns = 22,
         .posting = P::Amounts,
         .fields = {F(2, "JG802", "出版科技著作(万字)"), F(3, "JG702", "发表科技论文(篇)"),
                    F(4, "JG720", "其中：国外发表论文(篇)"), F(5, "JG710", "国内发表论文(篇)"),
                    F(6, "JG711", "其中：国内核心期刊论文(篇)")}},
        {.name = "专利情况",
         .last_column = 10,
         .grid_columns = 22,
         .posting = P::Amounts,
         .fields = {F(2, "JG901", "专利申请数(件)"), F(3, "JG911", "其中：发明专利申请(件)"),
                    F(4, "JG912", "实用新型专利申请(件)"), F(5, "JG913", "外观设计专利申请(件)"),
                    F(6, "JG902", "专利授权数(件)"), F(7, "JG914", "其中：发明专利授权(件)"),
                    F(8, "JG915", "实用新型专利授权(件)"), F(9, "JG916", "外观设计专利授权(件)"),
                    F(10, "JG920", "其中：国外授权专利(件)")}},
        {.name = "人才培养情况",
         .last_column = 3,
         .grid_columns = 22,
         .posting = P::Amounts,
         .fields = {F(2, "JL410", "取得博士学位人数(人)"), F(3, "JL420", "取得硕士学位人数(人)")}},
        {.name = "资金来源情况",
         .last_column = 10,
         .grid_columns = 22,
         .posting = P::Amounts,
         .fields = {F(2, "JF1002", "项目资金收入合计(千元)"), F(3, "JF1702", "中央拨款(千元)"),
                    F(4, "JF1102", "省科技拨款(千元)"), F(5, "JF1202", "行业主管拨款(千元)"),
                    F(6, "JF1302", "地方拨款(千元)"), F(7, "JF1402", "自筹资金(千元)"),
                    F(8, "JF1502", "贷款(千元)"), F(9, "JF1602", "其他资金(千元)")}},
        {.name = "资金支出情况",
         .last_column = 10,
         .grid_columns = 22,
         .posting = P::Amounts,
         .fields = {F(2, "JF2002", "项目资金支出合计(千元)"),
                    F(3, "JF3002", "省科技拨款使用数(千元)"), F(4, "JF3112", "设备购置费(千元)"),
                    F(5, "JF3122", "能源材料费(千元)"), F(6, "JF3132", "试验外协费(千元)"),
                    F(7, "JF3142", "其它费用(千元)")}},
        {.name = "项目进展情况",
         .last_column = 10,
         .grid_columns = 22,
         .posting = P::Progress,
         .fields = {}},
        {.name = "项目未完成原因",
         .last_column = 12,
         .grid_columns = 22,
         .posting = P::Reason,
         .fields = {}},
        {.name = "项目负责人情况",
         .last_column = 20,
         .grid_columns = 22,
         .posting = P::Leader,
         .fields = {}},
        {.name = "项目参加人情况",
         .last_column = 20,
         .grid_columns = 22,
         .posting = P::Participants,
         .fields = {}},
        {.name = "省级资金各类计划分布汇总",
         .last_column = 27,
         .grid_columns = 31,
         .posting = P::PlanFunds,
         .fields = {F(0, "JF1102", "省科技拨款(千元)")}},
        {.name = "资金合计各类计划分布汇总",
         .last_column = 27,
         .grid_columns = 31,
         .posting = P::PlanFunds,
         .fields = {F(0, "JF1002", "资金合计(千元)")}},
        {.name = "项目参加人情况_表三",
         .last_column = 20,
         .grid_columns = 22,
         .posting = P::Amounts,
         .fields = {F(2, "JL100", "参加项目人员合计(人)"), F(3, "JL110", "科技活动人员(人)"),
                    F(4, "JL111", "研究与发展人员(人)"), F(5, "JL430", "生产经营人员(人)"),
                    F(6, "JL440", "其他人员(人)"), F(7, "JL120", "高级职称人员(人)"),
                    F(8, "JL121", "其中：高级职称女性(人)"), F(9, "JL130", "中级职称人员(人)"),
                    F(10, "JL131", "其中：中级职称女性(人)"), F(11, "JL140", "博士学位人员(人)"),
                    F(12, "JL150", "硕士学位人员(人)"), F(13, "JL160", "35岁以下人员(人)"),
                    F(14, "JL190", "留学归国人员(人)"), F(15, "JL200", "省外人员(人)"),
                    F(16, "JL300", "投入工作量(人月)"), F(17, "JL400", "培养人才数(人)"),
                    F(18, "JL410", "其中：取得博士学位(人)"),
                    F(19, "JL420", "其中：取得硕士学位(人)")}},
    };
}

// A table that feeds more fields than posting holds amounts for is a
// programming error, caught the first time the table is read.
std::vector<SummaryDefinition> Checked(std::vector<SummaryDefinition> summaries) {
    if (summaries.size() != kSummaryCount) throw std::logic_error("summary table: not twelve");
    for (const SummaryDefinition& s : summaries)
        if (s.fields.size() > kMaxSummaryFields)
            throw std::logic_error("summary table: too many fields in " + std::string(s.name));
    return summaries;
}

}  // namespace

std::span<const SummaryDefinition> Summaries() {
    static const std::vector<SummaryDefinition> summaries = Checked(Build());
    return summaries;
}

std::string TemplateFileName(const SummaryDefinition& summary) {
    return std::string(summary.name) + ".xlsx";
}

std::string OutputFileName(const SummaryDefinition& summary) {
    return std::string(summary.name) + "_2013.xlsx";
}

}  // namespace zorbix::summary
