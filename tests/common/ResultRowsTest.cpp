#include <velmarith/Error.h>
#include <velmarith/ResultRows.h>

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velmarith;

TEST(ResultRows, keepsEveryCellIntactAcrossPageBoundariesAndOversizedCells)
{
    constexpr size_t page = 1u << 20;
    // Sizes chosen to end exactly at, just before and just past page ends, with empty cells
    // at the boundaries and cells larger than a page, aligned and not.
    const std::vector<size_t> sizes{0, 17, page - 17, 0, 5, page - 10, 6, 0, page + 3, 1, 3 * page, 0, 2, page, 7, 0};
    std::vector<std::string> cells;
    ResultRows::Builder builder({QStringLiteral("a"), QStringLiteral("b")});
    for (size_t i = 0; i < sizes.size(); ++i) {
        cells.emplace_back(sizes[i], char('a' + i % 26));
        builder.addCell(cells.back());
    }
    const ResultRows rows = builder.finish();

    ASSERT_EQ(rows.Count(), int(sizes.size() / 2));
    for (size_t i = 0; i < cells.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string_view stored = rows.utf8(int(i / 2), int(i % 2));
        ASSERT_EQ(stored.size(), cells[i].size());
        EXPECT_EQ(stored, cells[i]);
    }
}

TEST(ResultRows, readsValuesByPositionAndCaseInsensitiveNameAsText)
{
    ResultRows::Builder builder({QStringLiteral("编号"), QStringLiteral("Name")});
    for (const char *cell : {"0001", "张伟", "0002", ""})
        builder.addCell(cell);
    const ResultRows rows = builder.finish();

    EXPECT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.Item(1).Item(2), u"张伟");
    EXPECT_EQ(rows.Item(1).Item(QStringLiteral("NAME")), u"张伟");
    EXPECT_EQ(rows.Item(2).Item(QStringLiteral("编号")), u"0002");
    EXPECT_EQ(rows.Item(2).Item(2), u"");
    EXPECT_EQ(rows.columnIndex(QStringLiteral("name")), 1);
    EXPECT_EQ(rows.columnIndex(QStringLiteral("nope")), -1);
    EXPECT_THROW((void)rows.Item(0), Error);
    EXPECT_THROW((void)rows.Item(1).Item(0), Error);
    EXPECT_EQ(ResultRows().Count(), 0);
}
