// The failure that the core raises inside a subsystem. Its text is the
// message for the user, in the program's Chinese; operations that reach the
// user catch it and show it.
#pragma once

#include <stdexcept>
#include <string>

namespace zorbix::base {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zorbix::base
