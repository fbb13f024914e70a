// The survey's fixed code lists, one per code picker, with their item texts
// exactly as the survey form writes them.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zorbix::store {

enum class Picker {
    None,
    JB22,
    JB25_JB52_JB54,
    JB26,
    JB27,
    JB61,
    JB62,
    JB64,
    JB65,
    JB71,
    JB72,
    JB81,
    JB83,
    JGCSCD,
    Sex,
    EducationalBackground,
    Degree,
    Title,
    Type,
};

inline constexpr int kPickerCount = 18;

// The 18 pickers in the order in which hiding them all walks them.
std::span<const Picker> AllPickers();

// Control name of the picker ("ComboJB22", "ComboEducational_Background").
std::string_view PickerName(Picker picker);

// The item texts of a picker in display order.
std::span<const std::string> PickerItems(Picker picker);

// The text a pick writes into the field: the whole item, or for the
// region picker only its six-digit code.
std::string PickedValue(Picker picker, std::string_view item);

// Pickers that serve several fields, one per row (PickerRow decides).
bool IsSharedPicker(Picker picker);

}  // namespace zorbix::store
