// The store operations the list page and the title strip start: locating,
// adding, deleting, initialising and ending editing. Each ends with its
// result or with the survey's message for its failure.
#pragma once

#include <string>
#include <string_view>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::store {

// The navigator caption before the first move.
inline constexpr std::string_view kNoPositionCaption = "0000/0000";

// The navigator caption after a move: "position/count"; with no record
// current (an empty store, past the end) the caption stays as it was.
std::string PositionCaption(const RecordSet& records, std::string_view previous);

// Makes the first project that `wanted` finds current (LocateKey: by value
// within 0.1, or as text for a text without a digit). Done when found, Refused when nothing
// matched, Failed when the store could not be read.
base::Outcome LocateProject(RecordSet& records, base::Prompter& prompter, std::string_view wanted);

// Asks for a 12-character number, refuses a stored one, adds an empty record
// holding that number and makes it current. Cancelled without an answer,
// Refused for a wrong or stored number, Failed when the store failed.
// Opening the cover is the screen's part.
base::Outcome AddProject(RecordSet& records, base::Prompter& prompter);

// Asks, then deletes the current project. Done when deleted.
base::Outcome DeleteProject(RecordSet& records, base::Prompter& prompter);

// Asks, then deletes every project. Done when the store was emptied.
base::Outcome InitialiseStore(RecordSet& records, base::Prompter& prompter);

// Moves to the first record (writing a pending change) and writes it back.
// Collapsing the list page is the screen's part.
base::Outcome EndEditing(RecordSet& records, base::Prompter& prompter);

}  // namespace zorbix::store
