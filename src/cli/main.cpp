#include "Commands.h"

#include "shell/TemporaryFiles.h"

#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    using namespace tbcli;
    // A write past a file size limit fails with a message naming the file, and an
    // interrupted write leaves no temporary file behind.
    tb::ignoreFileSizeLimitSignal();
    tb::removeTemporaryFilesOnInterrupt();
    auto printUsage = [] {
        std::cerr << "usage:\n";
        for (const Command& c : commands())
            std::cerr << "  tbmap " << c.name << ' ' << c.usage << '\n';
    };
    if (argc < 2) {
        printUsage();
        return 2;
    }
    const std::string name = argv[1];
    for (const Command& c : commands()) {
        if (name != c.name)
            continue;
        try {
            return c.run(Args(argv + 2, argv + argc));
        } catch (const std::exception& e) {
            return failure(e.what());
        }
    }
    printUsage();
    return 2;
}
