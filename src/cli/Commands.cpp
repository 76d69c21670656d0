#include "Commands.h"

#include <iostream>

namespace tbcli {

// New commands add one row here.
const std::vector<Command>& commands() {
    static const std::vector<Command> table{
        {"info", "MAP", runInfo},
        {"cell", "MAP X Y", runCell},
        {"enlarge", "SRC DEST", runEnlarge},
        {"copy", "SRC X1 Y1 X2 Y2 DEST DX DY", runCopy},
        {"tile", "GAMEDIR ID OUT.png", runTile},
        {"texture", "GAMEDIR ID OUT.png", runTexture},
        {"patch", "MAP PATCH.qvp", runPatch},
        {"demo", "DIR [--seed N]", runDemo},
        {"diff", "ORIG_DIR MOD_DIR OUT.qmz [--statics-only | --map-only]", runDiff},
        {"overview", "MAP GAMEDIR OUT.png", runOverview},
        {"radar", "MAP GAMEDIR OUT.png [--statics]", runRadar},
        {"render", "MAP GAMEDIR X1 Y1 X2 Y2 OUT.png [--cell N] [--iso] [--statics]", runRender},
        {"heightmap", "export MAP OUT.png | import MAP IN.png [--dry-run]", runHeightmap},
        {"tileimage", "export MAP OUT.png | import MAP IN.png", runTileImage},
        {"generate", "TERRAIN.png ALTITUDE.png TERRAINS.xml DEST [--seed S] [--statics]",
         runGenerate},
        {"convert", "SRC DEST [--facet N]", runConvert},
        {"statics",
         "list MAP X Y | add MAP X Y ID Z [--hue H] | remove MAP X Y [--id ID] | "
         "export MAP OUT.csv [X1 Y1 X2 Y2] | import MAP IN.csv | compact MAP",
         runStatics},
        {"item", "GAMEDIR ID OUT.png", runItem},
        {"tiledata", "GAMEDIR ID", runTileData},
        {"terrain",
         "paint MAP TERRAINS.xml NAME X Y [--size N] [--seed S] | "
         "check MAP TERRAINS.xml [X1 Y1 X2 Y2] | fix MAP TERRAINS.xml X1 Y1 X2 Y2 [--seed S]",
         runTerrain},
        {"share",
         "init --db URI | import DIR --db URI --facet N [--replace] | "
         "export --db URI --facet N DIR [--uop] | "
         "grant --db URI ROLE read|write [--facet N [--rect X1 Y1 X2 Y2]]",
         runShare},
    };
    return table;
}

int usageError(const Command& command) {
    std::cerr << "usage: tbmap " << command.name << ' ' << command.usage << '\n';
    return 2;
}

int usageError(const char* name) {
    for (const Command& c : commands())
        if (std::string(c.name) == name)
            return usageError(c);
    return 2;
}

int failure(const std::string& message) {
    std::cerr << "tbmap: " << message << '\n';
    return 1;
}

} // namespace tbcli
