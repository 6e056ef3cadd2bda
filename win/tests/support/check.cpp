#include "win/tests/support/check.h"

#include <cstdio>
#include <exception>

namespace vamu::wine_test {
namespace {

int casesPassed = 0;
int casesFailed = 0;

void print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool matches(const char* name, const std::vector<std::string>& words) {
    if (words.empty()) return true;
    for (const std::string& word : words) {
        if (std::string(name).find(word) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

int& passes() {
    static int count = 0;
    return count;
}

int& failures() {
    static int count = 0;
    return count;
}

void fail(const char* file, int line, const std::string& what) {
    ++failures();
    print("  check failed: " + what + " (" + file + ":" + std::to_string(line) + ")");
}

bool runCase(const std::string& name, const std::function<void()>& body) {
    const int before = failures();
    bool threw = false;
    try {
        body();
    } catch (const RuntimeError& e) {
        print("  run-time error " + std::to_string(e.number()));
        threw = true;
    } catch (const std::exception& e) {
        print(std::string("  exception: ") + e.what());
        threw = true;
    } catch (...) {
        print("  unknown exception");
        threw = true;
    }
    const bool ok = !threw && failures() == before;
    print((ok ? "[ok]     " : "[FAILED] ") + name);
    ++(ok ? casesPassed : casesFailed);
    return ok;
}

int report(const std::string& label) {
    print(label + ": " + std::to_string(casesPassed) + " passed, " + std::to_string(casesFailed) +
          " failed (" + std::to_string(passes() + failures()) + " checks, " + std::to_string(failures()) +
          " failed)");
    return casesFailed == 0 && failures() == 0 ? 0 : 1;
}

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

int runRegisteredCases(const std::string& label, const std::vector<std::string>& words) {
    int run = 0;
    for (const Case& c : cases()) {
        if (!matches(c.name, words)) continue;
        runCase(c.name, c.body);
        ++run;
    }
    if (run == 0) {
        print(label + ": no case matches");
        return 2;
    }
    return report(label);
}

int errorOf(const std::function<void()>& statement) {
    try {
        statement();
    } catch (const RuntimeError& e) {
        return e.number();
    } catch (...) {
        return -1;
    }
    return 0;
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::string hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

}  // namespace vamu::wine_test
