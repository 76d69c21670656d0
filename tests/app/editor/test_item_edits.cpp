// Items edited in the main window's document: undo and redo from the Edit menu, the modified
// mark, and Save writing the statics beside the map so that Load reads the edits back, the
// blocks nobody touched byte for byte and the damaged block as it was.
#include "MainWindowFixture.h"
#include "StaticsFixtures.h"

#include "core/StaticsMap.h"

#include <QAction>

namespace {

// Block 0: a tree on cell (3, 2); block 1: damaged (a length that is no multiple of 7);
// block 2: a rock on cell (2, 17), never edited.
tbtest::StaticsPair startingPair() {
    const tb::MapVariant& v = tbtest::ilshenar();
    tbtest::StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
    pair.setBlock(0, {{0x0CCA, 3, 2, 4}});
    pair.setBlock(2, {{0x1363, 2, 1, -5, 0x10}});
    pair.setEntry(1, 0, 8);
    return pair;
}

std::vector<unsigned char> entry(const std::vector<unsigned char>& index, std::size_t b) {
    return {index.begin() + std::ptrdiff_t(b * 12), index.begin() + std::ptrdiff_t(b * 12 + 12)};
}

} // namespace

class ItemEditsTest : public QObject {
    Q_OBJECT

private slots:
    void editsUndoRedoAndSaveRoundTrip() {
        tbtest::MainWindowFixture f;
        const tbtest::StaticsPair start = startingPair();
        const std::filesystem::path index = f.mapPath.parent_path() / "staidx2.mul";
        const std::filesystem::path data = f.mapPath.parent_path() / "statics2.mul";
        tbtest::writeBytes(index, start.index);
        tbtest::writeBytes(data, start.data);
        tbapp::MapEditorWindow& form = f.openLoaded();
        tbtest::ui<QAction>(form, "ShowStatics1")->trigger();
        tbtest::waitForJobs();
        tb::MapDocument& doc = form.document();
        QVERIFY(doc.statics());
        QCOMPARE(f.messages.size(), 1); // the damaged index, said once
        QVERIFY(!form.isWindowModified());

        {
            tb::MapDocument::Edit edit(doc);
            edit.addItem({3, 2, 0x0FAE, 4, 0});                 // over the tree
            edit.changeItem(3, 2, 0, {5, 6, 0x0CCA, 10, 0x21}); // the tree moved and raised
        }
        QVERIFY(form.isWindowModified());
        const std::vector<tb::StaticRecord> edited{{0x0FAE, 3, 2, 4, 0}, {0x0CCA, 5, 6, 10, 0x21}};
        QCOMPARE(doc.statics()->records(0), edited);

        tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QCOMPARE(doc.statics()->records(0), (std::vector<tb::StaticRecord>{{0x0CCA, 3, 2, 4, 0}}));
        tbtest::ui<QAction>(form, "TlRedo")->trigger();
        QCOMPARE(doc.statics()->records(0), edited);
        QCOMPARE(doc.statics()->count(5, 6), 1u);

        tbtest::ui<QPushButton>(form, "btnSave")->click();
        tbtest::waitForJobs();
        QVERIFY(!form.isWindowModified());
        QCOMPARE(f.messages.size(), 1);

        // On disk: the old records stay where they were, the edited block's come after them;
        // only block 0's index entry changed.
        const std::vector<unsigned char> savedIndex = tbtest::readBytes(index);
        const std::vector<unsigned char> savedData = tbtest::readBytes(data);
        QCOMPARE(savedIndex.size(), start.index.size());
        for (std::size_t b = 1; b < start.index.size() / 12; ++b)
            if (entry(savedIndex, b) != entry(start.index, b))
                QFAIL(qPrintable(QString("index entry %1 changed").arg(b)));
        QCOMPARE(savedData.size(), start.data.size() + 2 * 7);
        QVERIFY(std::equal(start.data.begin(), start.data.end(), savedData.begin()));

        // Load reads the edits back; the damaged block is still damaged, the rock unchanged.
        f.load();
        tbtest::waitForJobs();
        QVERIFY(doc.statics());
        QCOMPARE(doc.statics()->records(0), edited);
        QVERIFY(!doc.statics()->isEditable(1));
        QCOMPARE(doc.statics()->records(2),
                 (std::vector<tb::StaticRecord>{{0x1363, 2, 1, -5, 0x10}}));
        QVERIFY(!form.isWindowModified());
    }

    // "Compact statics" waits for unsaved item edits to be saved, then rewrites the pair
    // without the records no entry uses and reads it again.
    void compactStaticsAfterSave() {
        tbtest::MainWindowFixture f;
        const tb::MapVariant& v = tbtest::ilshenar();
        tbtest::StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
        pair.setBlock(0, {{0x0CCA, 3, 2, 4}});
        pair.setBlock(0, {{0x0CCB, 3, 2, 4}}); // the first record is no longer used
        const std::filesystem::path index = f.mapPath.parent_path() / "staidx2.mul";
        const std::filesystem::path data = f.mapPath.parent_path() / "statics2.mul";
        tbtest::writeBytes(index, pair.index);
        tbtest::writeBytes(data, pair.data);
        tbapp::MapEditorWindow& form = f.openLoaded();
        tbtest::ui<QAction>(form, "ShowStatics1")->trigger();
        tbtest::waitForJobs();
        tb::MapDocument& doc = form.document();
        {
            tb::MapDocument::Edit edit(doc);
            edit.addItem({3, 2, 0x0FAE, 4, 0});
        }
        QAction& compact = *tbtest::ui<QAction>(form, "CompactStatics1");
        QVERIFY(compact.isEnabled());
        compact.trigger();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].contains("unsaved changes"), qPrintable(f.messages[0]));
        QCOMPARE(tbtest::readBytes(data), pair.data);

        tbtest::ui<QPushButton>(form, "btnSave")->click();
        tbtest::waitForJobs();
        QCOMPARE(tbtest::readBytes(data).size(), std::size_t(4 * 7));
        compact.trigger();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 2);
        QCOMPARE(
            f.messages[1],
            QString("statics2.mul compacted: 2 records kept, 28 bytes before, 14 bytes after."));
        const std::vector<tb::StaticRecord> kept{{0x0CCB, 3, 2, 4, 0}, {0x0FAE, 3, 2, 4, 0}};
        QCOMPARE(tb::readStaticRecords(tbtest::readBytes(data)), kept);
        QVERIFY(!std::filesystem::exists(data.string() + ".bak"));
        QVERIFY(!std::filesystem::exists(index.string() + ".bak"));
        // Read again from the new pair: further edits save against it.
        QVERIFY(doc.statics());
        QCOMPARE(doc.statics()->records(0), kept);
        QCOMPARE(doc.statics()->dataSize(), std::uint64_t(14));
        QVERIFY(!form.isWindowModified());
    }

    // A map without statics takes items all the same: Save makes the pair beside it, and
    // Compact statics, with no pair yet, says so instead of failing on missing files.
    void aMapWithoutStaticsGetsANewPair() {
        tbtest::MainWindowFixture f;
        const std::filesystem::path index = f.mapPath.parent_path() / "staidx2.mul";
        const std::filesystem::path data = f.mapPath.parent_path() / "statics2.mul";
        tbapp::MapEditorWindow& form = f.openLoaded();
        tbtest::ui<QAction>(form, "ShowStatics1")->trigger();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].contains("saved as a new pair"), qPrintable(f.messages[0]));
        tb::MapDocument& doc = form.document();
        QVERIFY(doc.statics());
        tbtest::ui<QAction>(form, "CompactStatics1")->trigger();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 2);
        QVERIFY2(f.messages[1].contains("no statics to compact"), qPrintable(f.messages[1]));

        {
            tb::MapDocument::Edit edit(doc);
            edit.addItem({20, 9, 0x0CCA, 4, 0});
        }
        tbtest::ui<QPushButton>(form, "btnSave")->click();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 2);
        QVERIFY(!form.isWindowModified());
        QCOMPARE(tb::readStaticRecords(tbtest::readBytes(data)),
                 (std::vector<tb::StaticRecord>{{0x0CCA, 4, 1, 4, 0}}));
        f.load();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 2); // the new pair is found, nothing to say
        QCOMPARE(doc.statics()->count(20, 9), 1u);
        QVERIFY(std::filesystem::exists(index));
    }
};

QTEST_MAIN(ItemEditsTest)
#include "test_item_edits.moc"
