#include "check.h"

#include <cstdarg>
#include <cstdio>

namespace winhost {

namespace {

struct Tally {
    int checks = 0;
    int failed = 0;
};

Tally g_case;
int g_cases_passed = 0;
int g_cases_failed = 0;

// Only the file's own name: the build folder's path says nothing about the failure.
const char* base_name(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}

} // namespace

void run_case(const char* name, void (*body)()) {
    g_case = Tally{};
    std::printf("[ RUN      ] %s\n", name);
    std::fflush(stdout);
    body();
    // A case that made no check proves nothing and counts as failed.
    bool passed = g_case.checks > 0 && g_case.failed == 0;
    if (g_case.checks == 0) std::printf("    made no check\n");
    std::printf("[ %s ] %s (%d checks, %d failed)\n", passed ? "      OK" : " FAILED ", name,
                g_case.checks, g_case.failed);
    std::fflush(stdout);
    (passed ? g_cases_passed : g_cases_failed)++;
}

int finish_cases() {
    std::printf("%d passed, %d failed\n", g_cases_passed, g_cases_failed);
    std::fflush(stdout);
    return g_cases_failed == 0 && g_cases_passed > 0 ? 0 : 1;
}

bool record_check(bool passed, const char* file, int line, const std::string& what,
                  const std::string& expected, const std::string& actual) {
    ++g_case.checks;
    if (passed) {
        std::printf("    ok: %s\n", what.c_str());
    } else {
        ++g_case.failed;
        std::printf("    FAILED at %s:%d: %s: expected %s, got %s\n", base_name(file), line,
                    what.c_str(), expected.c_str(), actual.c_str());
    }
    std::fflush(stdout);
    return passed;
}

void note(const char* format, ...) {
    std::printf("    note: ");
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::printf("\n");
    std::fflush(stdout);
}

std::string describe(const std::string& value) {
    std::string text = "\"";
    for (char c : value) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte > 126) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

std::string describe(const char* value) {
    return value ? describe(std::string(value)) : std::string("null");
}

std::string describe(int64_t value) {
    return std::to_string(value);
}

std::string describe_hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

} // namespace winhost
