#pragma once
// The editor window with a loaded Ilshenar test map, an application folder holding a
// texture list, and a random engine seeded with a fixed value after the first show
// (EditorWindowFixture.h).

#include "EditorWindowFixture.h"

#include "app/shell/DrawGrid.h"

namespace tbtest {

struct PaintFixture : EditorWindowFixture {
    PaintFixture()
        : EditorWindowFixture("textureid=$0002\r\ntextureid=$0010\r\ntextureid=$0003\r\n") {}

    // Creates and shows the window; with `loaded` the map and art are loaded too.
    tbapp::MapEditorWindow& open(bool loaded = true) {
        create();
        random.seed(1234); // the first show seeded it from the clock
        if (loaded)
            load();
        return *form;
    }

    // The loaded map's document; tests set cells through it as any change goes.
    tb::MapDocument& map() { return form->document(); }
    tb::MapCell cell(int x, int y) { return form->loadedMap()->cell(x, y); }
    // A left click on map cell (x, y): the grid's selection event.
    void click(int x, int y) {
        tbtest::ui<tbapp::DrawGrid>(*form, "MainDrawGrid")->selectCell(x, y);
    }
};

} // namespace tbtest
