#include "rtf/reader.h"
#include "rtf/tablelayout.h"
#include "rtf/tablemetrics.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QTest>

#include <deque>
#include <numeric>
#include <set>

using namespace rtf;

namespace {

// Rows written as their cells' right edges: "^" before an edge marks a cell that carries
// on the cell above (\clvmrg), "+" one that carries on the cell before it (\clmrg).
class Rows
{
public:
    Rows &add(const QString &edges, std::size_t cells = 0)
    {
        RowFormat &format = m_formats.emplace_back();
        for (QString edge : edges.split(u' ', Qt::SkipEmptyParts)) {
            std::uint8_t merge = 0;
            for (; edge.startsWith(u'^') || edge.startsWith(u'+'); edge.remove(0, 1))
                merge |= edge.startsWith(u'^') ? MergeUp : MergeLeft;
            format.cellRight.push_back(edge.toInt());
            format.merges.push_back(merge);
        }
        m_shapes.push_back(RowShape{&format, cells ? cells : format.cellRight.size()});
        return *this;
    }
    std::span<const RowShape> shapes() const { return m_shapes; }

private:
    std::deque<RowFormat> m_formats; // stays put as rows are added
    std::vector<RowShape> m_shapes;
};

QString groupsOf(const Rows &rows)
{
    QStringList out;
    for (const RowGroup &group : groupRows(rows.shapes())) {
        QStringList grid;
        for (int edge : group.grid)
            grid << QString::number(edge);
        out << QStringLiteral("%1-%2").arg(group.first).arg(group.end) + (grid.isEmpty() ? "" : " [" + grid.join(',') + ']');
    }
    return out.join(u'|');
}

// Each region as "row,column rowsxcolumns", one per line, for the one table `rows` makes.
QString regionsOf(const Rows &rows, MergeBudget budget = MergeBudget())
{
    const auto groups = groupRows(rows.shapes());
    if (groups.size() != 1)
        return QStringLiteral("%1 tables").arg(groups.size());
    const int columns = int(columnWidths(rows.shapes().front(), groups[0].grid, PageTextWidthTwips).size());
    QStringList out;
    for (const Region &region : planRegions(rows.shapes(), groups[0].grid, columns, budget))
        out << QStringLiteral("%1,%2 %3x%4").arg(region.row).arg(region.column).arg(region.rows).arg(region.columns);
    return out.join(u' ');
}

} // namespace

class TestRtfTableLayout : public QObject
{
    Q_OBJECT

private slots:
    void rowsJoinWhileTheyShareColumns_data();
    void rowsJoinWhileTheyShareColumns();
    void widthsKeepTheTableWide();
    void mergesBecomeOneRegion();
    void spentBudgetKeepsEveryCell();
    void regionsTileEveryTable();
    void foldedTextKeepsItsOrder();
};

void TestRtfTableLayout::rowsJoinWhileTheyShareColumns_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("groups");
    // Without a grid the rows' cells are the first row's columns, whatever their edges.
    QTest::newRow("as many cells") << QStringList{"1000 2000", "1500 2500"} << "0-2";
    QTest::newRow("a wider cell, as Word merges across") << QStringList{"1000 2000 3000", "2000 3000"}
                                                           << "0-2 [0,1000,2000,3000]";
    QTest::newRow("a merge down holds rows of other edges together")
        << QStringList{"1500 4500", "^1500 3000 6000"} << "0-2 [0,1500,3000,4500,6000]";
    QTest::newRow("rows of other edges share one table") << QStringList{"1500 4500", "1500 3000 6000"}
                                                         << "0-2 [0,1500,3000,4500,6000]";
    QTest::newRow("edges within a cell gap are one column") << QStringList{"1500 3000", "^1510 2250 3000"}
                                                              << "0-2 [0,1500,2250,3000]";
    QTest::newRow("edges between the table's add columns")
        << QStringList{"1000 2000", "1000 2000", "500 900 3000", "500 900 3000"} << "0-4 [0,500,1000,2000,3000]";
    QTest::newRow("a row without edges starts the next table") << QStringList{"1000 2000", "", "1000 2000"}
                                                               << "0-1|1-2|2-3";
}

void TestRtfTableLayout::rowsJoinWhileTheyShareColumns()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, groups);
    Rows table;
    for (const QString &row : rows)
        table.add(row);
    QCOMPARE(groupsOf(table), groups);
}

void TestRtfTableLayout::widthsKeepTheTableWide()
{
    const auto total = [](const std::vector<int> &widths) { return std::accumulate(widths.begin(), widths.end(), 0); };
    Rows rows;
    rows.add("1000 2000 3000").add("2000 3000");
    const auto groups = groupRows(rows.shapes());
    QCOMPARE(columnWidths(rows.shapes()[0], groups[0].grid, PageTextWidthTwips), (std::vector<int>{1000, 1000, 1000}));

    // Word 97 gives a merged cell all the width and the cell merged into it none.
    Rows word97;
    word97.add("3000 +3000 4500");
    QCOMPARE(columnWidths(word97.shapes()[0], {}, PageTextWidthTwips), (std::vector<int>{1500, 1500, 1500}));

    // An edge that goes back still leaves its column a width; rows without edges share
    // the room they have.
    Rows backwards;
    backwards.add("2000 1000");
    const std::vector<int> widths = columnWidths(backwards.shapes()[0], {}, PageTextWidthTwips);
    QCOMPARE(widths.size(), std::size_t(2));
    QVERIFY(widths[0] == 2000 && widths[1] > 0);
    Rows unsized;
    unsized.add("", 4);
    QCOMPARE(total(columnWidths(unsized.shapes()[0], {}, 4000)), 4000);
}

void TestRtfTableLayout::mergesBecomeOneRegion()
{
    // Down over three rows, next to cells that stay apart.
    QCOMPARE(regionsOf(Rows().add("1000 2000").add("^1000 2000").add("^1000 2000")),
             QStringLiteral("0,0 3x1 0,1 1x1 1,1 1x1 2,1 1x1"));
    // Across and down at once.
    QCOMPARE(regionsOf(Rows().add("1000 +2000 3000").add("^1000 +2000 3000")), QStringLiteral("0,0 2x2 0,2 1x1 1,2 1x1"));
    // A cell below that covers other columns than the one above cannot merge with it.
    QCOMPARE(regionsOf(Rows().add("1000 +2000 3000").add("^1000 2000 3000")),
             QStringLiteral("0,0 1x2 0,2 1x1 1,0 1x1 1,1 1x1 1,2 1x1"));
    // A wider cell covers the columns between its edges.
    QCOMPARE(regionsOf(Rows().add("1000 2000 3000").add("2000 3000")),
             QStringLiteral("0,0 1x1 0,1 1x1 0,2 1x1 1,0 1x2 1,2 1x1"));
}

void TestRtfTableLayout::spentBudgetKeepsEveryCell()
{
    // Past the budget nothing merges, but every cell is still a place for its text.
    Rows rows;
    rows.add("1000 +2000").add("^1000 +2000");
    QCOMPARE(regionsOf(rows, MergeBudget(0)), QStringLiteral("0,0 1x1 0,1 1x1 1,0 1x1 1,1 1x1"));
    MergeBudget budget(10);
    QVERIFY(budget.afford(10));
    QVERIFY(!budget.afford(1));
}

void TestRtfTableLayout::regionsTileEveryTable()
{
    // Whatever rows a file gives, each table's regions cover no grid cell twice, stay inside
    // the table and take every cell read exactly once, so no text is lost or doubled.
    QRandomGenerator random(7);
    const int pool[] = {-200, 0, 500, 1000, 1050, 1500, 2000, 3000, 3100, 4500};
    for (int round = 0; round < 3000; ++round) {
        Rows rows;
        const int rowCount = random.bounded(1, 7);
        for (int r = 0; r < rowCount; ++r) {
            std::vector<int> rights;
            const int cells = random.bounded(1, 6);
            for (int k = 0; k < cells; ++k)
                rights.push_back(pool[random.bounded(int(std::size(pool)))]);
            if (random.bounded(3) != 0)
                std::sort(rights.begin(), rights.end()); // in order, as most files have them
            QStringList edges;
            for (int right : rights) {
                QString edge = QString::number(right);
                if (random.bounded(3) == 0)
                    edge.prepend(u'^');
                if (random.bounded(4) == 0)
                    edge.prepend(u'+');
                edges << edge;
            }
            rows.add(edges.join(u' '), random.bounded(4) == 0 ? std::size_t(random.bounded(1, 6)) : 0);
        }
        MergeBudget budget(random.bounded(2) ? MergeBudget::Limit : 40);
        const auto groups = groupRows(rows.shapes());
        std::size_t next = 0;
        for (const RowGroup &group : groups) {
            QCOMPARE(group.first, next);
            QVERIFY(group.end > group.first);
            next = group.end;
            const auto shapes = rows.shapes().subspan(group.first, group.end - group.first);
            const int columns = int(columnWidths(shapes.front(), group.grid, PageTextWidthTwips).size());
            QVERIFY(columns >= 1 && columns <= MaxTableColumns);
            std::vector<std::vector<bool>> covered(shapes.size(), std::vector<bool>(std::size_t(columns)));
            std::set<std::pair<std::size_t, std::size_t>> taken;
            for (const Region &region : planRegions(shapes, group.grid, columns, budget)) {
                QVERIFY(region.row >= 0 && region.rows >= 1 && region.row + region.rows <= int(shapes.size()));
                QVERIFY(region.column >= 0 && region.columns >= 1 && region.column + region.columns <= columns);
                QCOMPARE(region.cells.front().row, std::size_t(region.row));
                for (int r = region.row; r < region.row + region.rows; ++r) {
                    for (int c = region.column; c < region.column + region.columns; ++c) {
                        QVERIFY2(!covered[std::size_t(r)][std::size_t(c)], qPrintable(QStringLiteral("round %1").arg(round)));
                        covered[std::size_t(r)][std::size_t(c)] = true;
                    }
                }
                for (const CellRef &cell : region.cells) {
                    QVERIFY(cell.row < shapes.size() && cell.cell < shapes[cell.row].cells);
                    QVERIFY(taken.insert({cell.row, cell.cell}).second);
                }
            }
            std::size_t cells = 0;
            for (const RowShape &shape : shapes)
                cells += shape.cells;
            QCOMPARE(taken.size(), cells);
        }
        QCOMPARE(next, rows.shapes().size());
    }
}

void TestRtfTableLayout::foldedTextKeepsItsOrder()
{
    struct FakeCell {
        std::vector<QString> content;
    };
    std::vector<FakeCell> cells{{{"top"}}, {{""}}, {{"below", "more"}}, {{"apart"}}};
    const std::vector<Region> regions{Region{0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 0}}}, Region{0, 1, 1, 1, {{3, 0}}}};
    foldMergedCells(regions, [&](const CellRef &ref) -> FakeCell & { return cells[ref.row]; },
                    [](const FakeCell &cell) { return cell.content != std::vector<QString>{""}; });
    QCOMPARE(cells[0].content, (std::vector<QString>{"top", "below", "more"}));
    QCOMPARE(cells[1].content, std::vector<QString>{""}); // nothing in it to move
    QVERIFY(cells[2].content.empty());
    QCOMPARE(cells[3].content, std::vector<QString>{"apart"});
}

QTEST_MAIN(TestRtfTableLayout)
#include "tst_rtf_tablelayout.moc"
