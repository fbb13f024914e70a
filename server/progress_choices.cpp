#include "server/progress_choices.h"

#include "store/code_lists.h"

namespace zorbix::server {
namespace {

Json PickerChoices(store::Picker picker, std::string (*value_of)(const std::string&)) {
    Json choices = Json::array();
    for (const std::string& item : store::PickerItems(picker))
        choices.push_back({{"value", value_of(store::PickedValue(picker, item))}, {"text", item}});
    return choices;
}

std::string Unchanged(const std::string& value) { return value; }

}  // namespace

std::string RegionPrefix(const std::string& code) {
    std::string prefix = code;
    while (prefix.size() >= 2 && prefix.ends_with("00")) prefix.resize(prefix.size() - 2);
    return prefix;
}

Json ProgressChoices(const std::set<std::string>& units) {
    Json names = Json::array();
    for (const std::string& unit : units)
        if (!unit.empty()) names.push_back(unit);
    return {{"units", names},
            {"regions", PickerChoices(store::Picker::JB22, RegionPrefix)},
            {"categories", PickerChoices(store::Picker::JB61, Unchanged)}};
}

}  // namespace zorbix::server
