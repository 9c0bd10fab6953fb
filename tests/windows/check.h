// The host's own checks: GoogleTest does not build for the Windows tool chain, so the cases
// report through this small helper. A failed check prints "expected X, got Y" with the place
// and what was checked, and the case goes on, so that one run shows every difference; the
// program's exit code is nonzero as soon as any check of any case failed.
#pragma once

#include <cstdint>
#include <string>

namespace winhost {

// Runs one named case and prints its outcome. Cases run one after the other; a case that
// returns early still counts the checks it made.
void run_case(const char* name, void (*body)());

// Prints the closing line "N passed, N failed" over all cases and gives the exit code.
int finish_cases();

// Records one check. `what` says what was looked at, in the words of a browser or a user.
bool record_check(bool passed, const char* file, int line, const std::string& what,
                  const std::string& expected, const std::string& actual);

// Prints a figure or an observation under the current case, without judging it.
void note(const char* format, ...);

// Text forms of the values the cases compare.
std::string describe(const std::string& value);
std::string describe(const char* value);
std::string describe(int64_t value);
std::string describe_hex(uint64_t value);

} // namespace winhost

// Each macro is true when the check passed, so a case can stop early when the rest of it
// depends on what was just checked.
#define CHECK_TRUE(condition, what)                                                                \
    ::winhost::record_check((condition), __FILE__, __LINE__, (what), "true", "false")

#define CHECK_EQ_INT(expected, actual, what)                                                       \
    [&]() {                                                                                        \
        int64_t expected_value = static_cast<int64_t>(expected);                                   \
        int64_t actual_value = static_cast<int64_t>(actual);                                       \
        return ::winhost::record_check(expected_value == actual_value, __FILE__, __LINE__, (what), \
                                       ::winhost::describe(expected_value),                        \
                                       ::winhost::describe(actual_value));                         \
    }()

#define CHECK_EQ_HEX(expected, actual, what)                                                       \
    [&]() {                                                                                        \
        uint64_t expected_value = static_cast<uint64_t>(expected);                                 \
        uint64_t actual_value = static_cast<uint64_t>(actual);                                     \
        return ::winhost::record_check(expected_value == actual_value, __FILE__, __LINE__, (what), \
                                       ::winhost::describe_hex(expected_value),                    \
                                       ::winhost::describe_hex(actual_value));                     \
    }()

#define CHECK_EQ_STR(expected, actual, what)                                                       \
    [&]() {                                                                                        \
        std::string expected_value = (expected);                                                   \
        std::string actual_value = (actual);                                                       \
        return ::winhost::record_check(expected_value == actual_value, __FILE__, __LINE__, (what), \
                                       ::winhost::describe(expected_value),                        \
                                       ::winhost::describe(actual_value));                         \
    }()
