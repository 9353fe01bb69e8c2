#include "maintenance/ListRead.h"

#include "common/Feedback.h"
#include "maintenance/data/ListFiller.h"
#include "toolkit/ListView.h"

#include <velmarith/Error.h>

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTimer>

namespace velmarith {

namespace {

// Enough for a screenful on any screen, and for the column widths measured from the values.
constexpr int kFirstPartRows = 200;
// A part is a few milliseconds of reading; the person's input goes through between slices.
constexpr int kPartRows = 1024;
// How often a wait for the whole list shows how far it has got.
constexpr qint64 kProgressMilliseconds = 100;

} // namespace

void frmManage::startListRead(std::unique_ptr<DataBridge> bridge, const QString &statement,
                              const std::function<void()> &whileTheStatementRuns)
{
    stopListRead();
    mListCutShort = false;
    mListRead = std::make_unique<ListRead>(std::move(bridge), statement);
    if (whileTheStatementRuns)
        whileTheStatementRuns();
    mTypeList = Collection();
    mSizeList = Collection();
    mListRead->query.describe(nullptr, &mTypeList, &mSizeList);
    ListFiller filler;
    filler.BindList(*lvwAny);
    // The highlight marks the loaded row, the one 修改 and 删除 act on, and no row when none is
    // loaded; after an add that is still the row loaded before, not the new one.
    filler.FillRows(mListRead->query.next(kFirstPartRows), mItemKey, QStringLiteral("Yes"), QStringLiteral("No"));
    if (!lvwAny->SelectedItem())
        mListRead->keyLookedFor = mItemKey;
    if (mListRead->query.atEnd()) {
        stopListRead();
        return;
    }
    if (!ReadsWhileShown) {
        waitForWholeList();
        return;
    }
    // A list read within the first slice shows whole, without a word of reading.
    if (ReadSliceMilliseconds > 0)
        readListWhileIdle();
    if (mListRead) {
        showReadProgress();
        mReadTimer->start();
    }
}

bool frmManage::readMoreOfList()
{
    if (!mListRead)
        return false;
    ResultRows part;
    try {
        part = mListRead->query.next(kPartRows);
    } catch (const Error &) {
        stopListRead();
        mListCutShort = true;
        throw;
    }
    ListFiller filler;
    filler.BindList(*lvwAny);
    // Until the person loads a row, the loaded row is highlighted where its part comes in.
    const ItemList lookedFor = mListRead->keyLookedFor == mItemKey ? mItemKey : nullptr;
    if (filler.AppendRows(part, lookedFor, QStringLiteral("Yes"), QStringLiteral("No")))
        mListRead->keyLookedFor = nullptr;
    if (mListRead->query.atEnd())
        stopListRead();
    return true;
}

void frmManage::waitForWholeList()
{
    if (!mListRead)
        return;
    if (!ReadsWhileShown) {
        while (readMoreOfList()) {
        }
        return;
    }
    // The person waits for what they asked (End, a command): the wait cursor, and the count
    // still running.
    mReadTimer->stop();
    Feedback::current().waiting(true);
    const auto waited = qScopeGuard([] { Feedback::current().waiting(false); });
    QElapsedTimer sinceShown;
    sinceShown.start();
    while (readMoreOfList()) {
        if (mListRead && sinceShown.elapsed() >= kProgressMilliseconds) {
            showReadProgress();
            lvwAny->widget()->repaint();
            sinceShown.restart();
        }
    }
}

void frmManage::readListWhileIdle()
{
    QElapsedTimer slice;
    slice.start();
    do {
        readMoreOfList();
    } while (mListRead && slice.elapsed() < ReadSliceMilliseconds);
    if (mListRead)
        showReadProgress();
}

void frmManage::stopListRead()
{
    mReadTimer->stop();
    mListRead.reset();
    lvwAny->setStatusLine({});
}

void frmManage::showReadProgress()
{
    lvwAny->setStatusLine(QStringLiteral("正在读取… 已读 %1 行").arg(lvwAny->itemCount()));
}

} // namespace velmarith
