#pragma once
// The commands of tbmap. Each takes the words after its name and returns the exit code:
// 0 done, 1 failed (one line on stderr), 2 wrong call (usage printed).

#include <string>
#include <vector>

namespace tbcli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage; // the words after the name
    int (*run)(const Args& args);
};

// Every command, in the order the usage lists them.
const std::vector<Command>& commands();

// Prints "usage: tbmap <name> <usage>" on stderr and returns 2.
int usageError(const Command& command);
int usageError(const char* name);

// Prints "tbmap: <message>" on stderr and returns 1.
int failure(const std::string& message);

int runInfo(const Args& args);
int runCell(const Args& args);
int runEnlarge(const Args& args);
int runCopy(const Args& args);
int runTile(const Args& args);
int runTexture(const Args& args);
int runPatch(const Args& args);
int runDemo(const Args& args);
int runDiff(const Args& args);
int runOverview(const Args& args);
int runRadar(const Args& args);
int runRender(const Args& args);
int runHeightmap(const Args& args);
int runConvert(const Args& args);
int runStatics(const Args& args);
int runItem(const Args& args);
int runTileData(const Args& args);
int runShare(const Args& args);
int runTerrain(const Args& args);
int runTileImage(const Args& args);
int runGenerate(const Args& args);

} // namespace tbcli
