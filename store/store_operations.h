// The store operations the list page and the title strip start: locating,
// adding, deleting, initialising and ending editing. Each ends with its
// result or with the survey's message for its failure.
#pragma once

#include <string>
#include <string_view>

#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::store {

// The navigator caption before the first move.
inline constexpr std::string_view kNoPositionCaption = "0000/0000";

// The navigator caption after a move: "position/count"; with no record
// current (an empty store, past the end) the caption stays as it was.
std::string PositionCaption(const RecordSet& records, std::string_view previous);

// Makes the project whose number has the NumericValue of `wanted` (within
// 0.1) current. True when found.
bool LocateProject(RecordSet& records, base::Prompter& prompter, std::string_view wanted);

enum class AddOutcome { Cancelled, Refused, Added };

// Asks for a 12-character number, refuses a stored one, adds an empty record
// holding that number and makes it current. Opening the cover is the
// screen's part.
AddOutcome AddProject(RecordSet& records, base::Prompter& prompter);

// Asks, then deletes the current project. True when deleted.
bool DeleteProject(RecordSet& records, base::Prompter& prompter);

// Asks, then deletes every project. True when the store was emptied.
bool InitialiseStore(RecordSet& records, base::Prompter& prompter);

// Moves to the first record (writing a pending change) and writes it back.
// Collapsing the list page is the screen's part.
bool EndEditing(RecordSet& records, base::Prompter& prompter);

}  // namespace zorbix::store
