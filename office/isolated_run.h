// Running a reader of untrusted files that we cannot mend ourselves (FreeXL,
// which reads past its own buffers and leaks on some damaged .xls files) in a
// child process: a fault in it ends the child and becomes a message, never a
// crash of the program. The platform calls live in isolated_run_posix.cpp; a
// build without processes may run the work directly instead.
#pragma once

#include <functional>
#include <string>

namespace zorbix::office {

// Runs `work` apart and returns the bytes it produced. Throws base::Failure
// with the message of a base::Failure that `work` threw, and with `crashed`
// when it ended any other way (a crash, another exception, a killed child).
std::string RunIsolated(const std::function<std::string()>& work, const std::string& crashed);

}  // namespace zorbix::office
