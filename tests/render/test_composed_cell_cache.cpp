// Pictures of cells with items: kept from the second time a cell is asked for, told apart
// by land, ids and their order, never more than the budget holds, never reused while the
// row being drawn shows them, and a picture found again outlasting one seen once.
#include "render/ComposedCellCache.h"

#include <QtTest>

#include <vector>

using tbrender::ComposedCellCache;

class ComposedCellCacheTest : public QObject {
    Q_OBJECT

private slots:
    void keptFromTheSecondSightWithinTheBudget() {
        constexpr std::size_t kPicture = (4 * 4 + 8) * sizeof(QRgb);
        ComposedCellCache cache(3 * kPicture);
        cache.setSize(4, 4, 8);
        QCOMPARE(cache.capacity(), std::size_t(3));
        const QRgb lands[2] = {};
        auto items = [](std::vector<std::uint16_t> ids) {
            std::vector<tb::StaticRecord> records(ids.size());
            for (std::size_t i = 0; i < ids.size(); ++i)
                records[i].id = ids[i];
            return records;
        };
        // The same items in another order, and the same item on another land, are others.
        const std::vector<tb::StaticRecord> sets[4] = {items({1}), items({1, 2}), items({2, 1}),
                                                       items({1})};
        auto find = [&](int n) { return cache.find(&lands[n == 3 ? 1 : 0], sets[n]); };

        cache.beginRow();
        for (int n = 0; n < 4; ++n)
            QVERIFY(!find(n).pixels);
        cache.beginRow();
        QRgb* pictures[3] = {};
        for (int n = 0; n < 3; ++n) {
            const ComposedCellCache::Picture picture = find(n);
            QVERIFY(picture.pixels && !picture.composed);
            pictures[n] = picture.pixels;
        }
        QVERIFY(pictures[0] != pictures[1] && pictures[1] != pictures[2]);
        // Full, and every picture is shown by this row: the fourth gets none.
        QVERIFY(!find(3).pixels);
        QCOMPARE(find(0).pixels, pictures[0]);
        QCOMPARE(cache.kept(), std::size_t(3));

        cache.beginRow();
        QVERIFY(find(0).composed);
        cache.beginRow();
        const ComposedCellCache::Picture fourth = find(3);
        QVERIFY(fourth.pixels && !fourth.composed);
        QVERIFY(fourth.pixels != pictures[0]);
        QCOMPARE(cache.kept(), std::size_t(3));
        cache.beginRow();
        QVERIFY(find(0).composed);

        // Another size drops them all.
        cache.setSize(5, 5, 8);
        QCOMPARE(cache.kept(), std::size_t(0));
        cache.beginRow();
        QVERIFY(!find(0).pixels);
    }
};

QTEST_GUILESS_MAIN(ComposedCellCacheTest)
#include "test_composed_cell_cache.moc"
