// Running a command line for a test or a benchmark and taking what it writes.
#pragma once

#include <string>

namespace test_support {

// Runs `command` through the shell and returns its standard output, whole; empty when the
// command cannot be started. Its standard error goes where the command line sends it.
std::string run_command(const std::string& command);

} // namespace test_support
