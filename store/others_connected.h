// The operations that replace every project (initialisation, restoring a
// backup) wait until nobody else works on the store: on a store several
// people share, they are refused while another is connected.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/database.h"

namespace zorbix::store {

// nullopt when nobody else is connected; else the message naming them,
// "…不能进行" after `what`.
std::optional<std::string> OthersConnectedProblem(Database& db, std::string_view what);

}  // namespace zorbix::store
