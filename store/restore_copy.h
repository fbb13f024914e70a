// The steps of a restore that write: the backup's projects copied into the
// store, the damaged store kept aside and overwritten, and the values of an
// older backup that today's outputs could not carry mended as stated in
// store/value_rules.h. Each returns what it mended, as a sentence for the
// user ("" when nothing was mended).
#pragma once

#include <filesystem>
#include <string>

#include "store/record_set.h"

namespace zorbix::store {

// Replaces every project by those of the backup `copy` in one transaction
// and logs the change; throws Failure and changes nothing when that fails.
// A pending change of the current record has been written before.
std::string CopyBackupIn(RecordSet& records, const std::filesystem::path& copy);

// Copies the damaged database file (and its write-ahead journal) to
// DamagedStoreName beside it; returns that name. The file itself stays in
// use until it is overwritten.
std::filesystem::path KeepDamagedStoreAside(Database& db);

// Writes the backup `copy` over every page of the damaged store through
// SQLite's backup API (which never reads the damaged pages), then logs the
// restore in the history.
std::string OverwriteDamagedStore(RecordSet& records, const std::filesystem::path& copy);

// Logs a restore that replaced the whole database file, whose projects are
// now the backup's: their values mended, one history line per project and
// the backup's place in the order of making cleared, in one transaction.
std::string LogReplacedStore(RecordSet& records);

// Mends, in the open transaction, every value of the project table that a
// way into the store would refuse today; logs nothing.
std::string MendRestoredValues(Database& db);

}  // namespace zorbix::store
