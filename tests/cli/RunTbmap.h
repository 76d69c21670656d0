#pragma once
// Runs the built tbmap program and captures what it prints.

#include <string>
#include <vector>

namespace clitest {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The program under test: bin/tbmap of TB_BIN_DIR, else the one this test was built with.
std::string programPath();

// Runs the program with these arguments (each passed as one word, unexpanded).
RunResult runTbmap(const std::vector<std::string>& args);

} // namespace clitest
