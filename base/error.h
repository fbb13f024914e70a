// The one rule for errors, in every folder:
//
// - Inside a folder a failure is thrown as base::Failure, or a subclass of
//   it where a caller must tell one failure from another (GbkError,
//   SqliteError, office::XmlStreamError). Its text is the message for the
//   user, in the program's Chinese.
// - At the edge of an operation (what a button of the window or a command
//   of the batch tool calls) the failure is caught, shown through the
//   Prompter, and becomes the one base::Outcome (base/outcome.h); nothing
//   past that edge throws for the user's sake.
// - A check that answers with a message instead of acting returns
//   std::optional<std::string>, nullopt when all is well, under a name that
//   says so: ...Problem (ProjectFileNameProblem, OutputProblem,
//   ProjectNumberProblem), never a name like an action.
//
// Programming errors (an unknown column name in code) may stay
// std::logic_error or std::out_of_range: no user can cause them.
#pragma once

#include <stdexcept>
#include <string>

namespace zorbix::base {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zorbix::base
