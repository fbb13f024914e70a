#include "reconcile/reconciliation.h"

#include <algorithm>
#include <cmath>

#include "base/numeric_value.h"
#include "store/catalogue.h"
#include "store/record_set.h"

namespace zorbix::reconcile {
namespace {

using base::NumericValue;

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kTitle = "项目上报情况核对结果";
constexpr const char* kTotals = "项目总数：";
constexpr const char* kReportedCount = "，上报项目数：";
constexpr const char* kHeading = "以下是漏报或错报项目";
constexpr const char* kRule = "===========================================";
constexpr const char* kMissing = " 漏报 ";
constexpr const char* kWronglyReported = " 错报";
constexpr const char* kAmountError = " 金额错误";

// Largest difference, in ten thousand yuan, that still counts as agreeing.
constexpr double kAmountTolerance = 0.01;
// Decimal amounts are not exact in binary: 123.41 against 1234 differs by
// 0.010000000000005 in double. Such rounding noise must not turn a
// difference of exactly one hundred yuan into a finding.
constexpr double kRoundingNoise = 1e-9;

struct Numbered {
    double number;
    std::size_t index;
};

template <typename Item, typename Value>
std::vector<Numbered> InValueOrder(const std::vector<Item>& items, Value value) {
    std::vector<Numbered> order;
    order.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) order.push_back({value(items[i]), i});
    std::stable_sort(order.begin(), order.end(),
                     [](const Numbered& a, const Numbered& b) { return a.number < b.number; });
    return order;
}

class Findings {
public:
    explicit Findings(std::string& text) : text_(text) {}

    void Missing(const PlannedProject& p) {
        Start() += kMissing;
        text_ += p.number_text + " " + p.details[0] + " " + p.details[1] + " " + p.details[2];
        End();
    }
    void WronglyReported(const ReportedProject& r) {
        Start() += kWronglyReported;
        text_ += " " + r.jb02 + " " + r.jb01 + " " + r.xmcddw + " " + r.zgdw;
        End();
    }
    void AmountError(const PlannedProject& p, const ReportedProject& r) {
        Start() += kAmountError;
        text_ += p.number_text + " " + r.jb01 + " " + r.xmcddw;
        End();
    }

private:
    std::string& Start() { return text_ += std::to_string(next_); }
    void End() {
        text_ += kLineEnd;
        ++next_;
    }

    std::string& text_;
    long next_ = 1;
};

}  // namespace

std::vector<ReportedProject> ReportedProjects(store::RecordSet& records) {
    std::vector<ReportedProject> reported;
    if (records.Count() == 0) return reported;
    records.MoveFirst();
    // One scan over the five columns the comparison needs: far cheaper than
    // a walk that loads all 137 columns of every record.
    static const int columns[] = {store::kNumberColumn, store::ColumnIndex("JB01"),
                                  store::ColumnIndex("XMCDDW"), store::ColumnIndex("ZGDW"),
                                  store::ColumnIndex("JF1102")};
    reported.reserve(static_cast<std::size_t>(records.Count()));
    records.VisitColumns(columns, [&](const store::Record& r) {
        reported.push_back({std::string(r[columns[0]]), std::string(r[columns[1]]),
                            std::string(r[columns[2]]), std::string(r[columns[3]]),
                            std::string(r[columns[4]])});
        return true;
    });
    // In the order of the numbers as the store compares them, byte by byte;
    // records added since the set opened stand after older ones of the
    // same number, as they came in.
    std::stable_sort(
        reported.begin(), reported.end(),
        [](const ReportedProject& a, const ReportedProject& b) { return a.jb02 < b.jb02; });
    return reported;
}

bool AmountDiffers(double planned, std::string_view jf1102) {
    return std::fabs(planned - base::NumericValue(jf1102) / 10) > kAmountTolerance + kRoundingNoise;
}

std::vector<ReconcileFinding> ReconciliationFindings(const std::vector<PlannedProject>& plan,
                                                     const std::vector<ReportedProject>& reported) {
    using K = ReconcileFinding::Kind;
    std::vector<ReconcileFinding> findings;
    const auto planned = InValueOrder(plan, [](const PlannedProject& p) { return p.number; });
    const auto stored =
        InValueOrder(reported, [](const ReportedProject& r) { return base::NumericValue(r.jb02); });
    std::size_t j = 0, s = 0;
    while (j < planned.size() || s < stored.size()) {
        // A list that has run out leaves every entry of the other one over.
        const bool plan_left = j < planned.size();
        const bool store_left = s < stored.size();
        if (plan_left && (!store_left || stored[s].number > planned[j].number)) {
            findings.push_back({K::Missing, &plan[planned[j++].index], nullptr});
        } else if (!plan_left || stored[s].number < planned[j].number) {
            findings.push_back({K::WronglyReported, nullptr, &reported[stored[s++].index]});
        } else {
            const PlannedProject& p = plan[planned[j++].index];
            const ReportedProject& r = reported[stored[s++].index];
            if (AmountDiffers(p.amount, r.jf1102)) findings.push_back({K::AmountError, &p, &r});
        }
    }
    return findings;
}

const char* KindName(ReconcileFinding::Kind kind) {
    switch (kind) {
        case ReconcileFinding::Kind::Missing: return "漏报";
        case ReconcileFinding::Kind::WronglyReported: return "错报";
        case ReconcileFinding::Kind::AmountError: return "金额错误";
    }
    return "";
}

std::string ReconciliationText(std::vector<PlannedProject> plan,
                               std::vector<ReportedProject> reported) {
    std::string text;
    text.reserve(64 * (plan.size() + reported.size()) + 256);
    text = std::string(kTitle) + kLineEnd;
    text += kTotals + std::to_string(plan.size()) + kReportedCount +
            std::to_string(reported.size()) + kLineEnd;
    text += std::string(kHeading) + kLineEnd + kRule + kLineEnd;
    Findings lines(text);
    for (const ReconcileFinding& f : ReconciliationFindings(plan, reported)) {
        switch (f.kind) {
            case ReconcileFinding::Kind::Missing: lines.Missing(*f.planned); break;
            case ReconcileFinding::Kind::WronglyReported: lines.WronglyReported(*f.reported); break;
            case ReconcileFinding::Kind::AmountError:
                lines.AmountError(*f.planned, *f.reported);
                break;
        }
    }
    return text;
}

}  // namespace zorbix::reconcile
