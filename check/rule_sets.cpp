#include "check/rule_sets.h"

namespace zorbix::check {

void CheckTableOne(const store::RecordSet& records, CheckResult& result) {
    CheckTableOne(records.Current(), result);
}

void CheckTableTwo(const store::RecordSet& records, CheckResult& result) {
    CheckTableTwo(records.Current(), result);
}

void CheckTableThree(const store::RecordSet& records, CheckResult& result) {
    CheckTableThree(records.Current(), result);
}

void CheckTableFour(const store::RecordSet& records, CheckResult& result) {
    CheckTableFour(records.Current(), result);
}

void CheckAllTables(const store::Record& record, CheckResult& result) {
    CheckTableOne(record, result);
    CheckTableTwo(record, result);
    CheckTableThree(record, result);
    CheckTableFour(record, result);
}

bool CheckPage(store::Page page, const store::Record& record, CheckResult& result) {
    switch (page) {
        case store::Page::TableOne: CheckTableOne(record, result); return true;
        case store::Page::TableTwo: CheckTableTwo(record, result); return true;
        case store::Page::TableThree: CheckTableThree(record, result); return true;
        case store::Page::TableFour: CheckTableFour(record, result); return true;
        default: return false;
    }
}

}  // namespace zorbix::check
