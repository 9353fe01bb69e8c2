#include "search/frmDataSearch.h"

#include "common/Int16.h"
#include "data/KeywordCondition.h"
#include "data/SqlDialect.h"
#include "maintenance/data/ListFiller.h"
#include "maintenance/data/TreeFiller.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Desktop.h"
#include "toolkit/Fonts.h"
#include "toolkit/ImageList.h"
#include "toolkit/KeyCodes.h"
#include "toolkit/Label.h"
#include "toolkit/ListView.h"
#include "toolkit/TabControl.h"
#include "toolkit/TextBox.h"
#include "toolkit/TreeView.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QStyle>
#include <QTimer>

#include <cmath>

namespace velmarith {

using namespace toolkit;

namespace {

constexpr int kKeywordTab = 0;
constexpr int kTreeTab = 1;
constexpr int kIconTab = 2;
constexpr int kMeasuredRows = 100; // the rows whose values the columns are widened to show
// How long the kept rows are read at a time before the keystrokes go through.
constexpr qint64 kReadSliceMilliseconds = 8;
// After a keystroke's answer, reading waits this long, so the answer is painted first.
constexpr int kAnswerShownMilliseconds = 16;

// A size computed in single precision, as a whole number of twips.
int twips(float value)
{
    return int(std::lround(value));
}

// The caller's select with the condition appended: a trailing ";" and blanks go first, and a
// comment the select ends in is closed, so it cannot swallow the condition.
QString keywordStatement(const QString &select, const QString &condition)
{
    qsizetype end = select.size();
    while (end > 0 && (select[end - 1].isSpace() || select[end - 1] == u';'))
        --end;
    return withTrailingCommentClosed(select.left(end)) + QStringLiteral(" where ") + condition;
}

} // namespace

frmDataSearch::frmDataSearch()
    : Form(QStringLiteral("frmDataSearch")), ReadsWhileShown(Desktop::current().readsWhileShown()), mReadTimer(new QTimer(this))
{
    connect(mReadTimer, &QTimer::timeout, this, [this] { dispatch([this] { readKeptRowsWhileIdle(); }); });
    designCaption(QStringLiteral("查找"));
    designClientSize(4215, 5775);
    setKeyPreview(true);

    imgQuery = &addControl<ImageList>(QStringLiteral("imgQuery"), {});
    const QStyle *style = QApplication::style();
    imgQuery->add(QStringLiteral("SpKey"), style->standardIcon(QStyle::SP_DirClosedIcon).pixmap(16, 16));
    imgQuery->add(QStringLiteral("MiKey"), style->standardIcon(QStyle::SP_DirOpenIcon).pixmap(16, 16));

    cmdOK = &addControl<CommandButton>(QStringLiteral("cmdOK"), {2745, 4335, 900, 300});
    cmdOK->setCaption(QStringLiteral("确定"));
    cmdOK->setTabIndex(5);

    stbQuery = &addControl<TabControl>(QStringLiteral("stbQuery"), {-15, -15, 3780, 4785});
    stbQuery->setTabs({QStringLiteral("索引"), QStringLiteral("目录"), QStringLiteral("图标"), QStringLiteral("列表")});
    stbQuery->setFont(songTi(), 9);
    stbQuery->setTabIndex(2);
    cmdOK->ZOrder(); // the button lies over the lower right of the tab control

    lblSearch = &addControlIn<Label>(*stbQuery, QStringLiteral("lblSearch"), {90, 435, 1620, 180});
    lblSearch->setCaption(QStringLiteral("键入要查找的关键字"));
    lblSearch->setTabIndex(3);
    txtQuery = &addControlIn<TextBox>(*stbQuery, QStringLiteral("txtQuery"), {90, 690, 2700, 300});
    txtQuery->setTabIndex(0);
    lvwQuery = &addControlIn<ListView>(*stbQuery, QStringLiteral("lvwQuery"), {75, 1035, 2730, 2760});
    lvwQuery->setTabIndex(1);
    lblSearch->setBuddy(*txtQuery);
    for (Control *onKeywordTab : std::initializer_list<Control *>{lblSearch, txtQuery, lvwQuery})
        onKeywordTab->setTabPage(kKeywordTab);
    tvwQuery = &addControlIn<TreeView>(*stbQuery, QStringLiteral("tvwQuery"), {90, 420, 2700, 3000});
    tvwQuery->setTabIndex(4);
    tvwQuery->setTabPage(kTreeTab);
    lvwList = &addControlIn<ListView>(*stbQuery, QStringLiteral("lvwList"), {90, 420, 2700, 3000});
    lvwList->setTabIndex(6);
    lvwList->setTabPage(kIconTab);
    // One of the three shows the results, by the work mode.
    for (Control *results : std::initializer_list<Control *>{lvwQuery, tvwQuery, lvwList})
        results->setAccessibleName(QStringLiteral("查找结果"));
    stbQuery->setTab(kKeywordTab);

    on(txtQuery, &TextBox::Change, this, &frmDataSearch::txtQuery_Change);
    on(tvwQuery, &TreeView::DblClick, this, &frmDataSearch::tvwQuery_DblClick);
    on(lvwQuery, &ListView::DblClick, this, &frmDataSearch::lvwQuery_DblClick);
    on(cmdOK, &CommandButton::Click, this, &frmDataSearch::cmdOK_Click);
}

frmDataSearch::~frmDataSearch() = default;

void frmDataSearch::Form_Load()
{
    if (SearchWidth > 0)
        setWidth(std::max(SearchWidth, kMinimumWidth));
    if (SearchHeight > 0)
        setHeight(std::max(SearchHeight, kMinimumHeight));
    centreOnScreen();
    LoadSearchData();
}

void frmDataSearch::Form_Resize()
{
    // Setting a size below the minimum resizes again, nested; the outer run then lays out the
    // same size once more.
    if (float(Width()) < float(kMinimumWidth))
        setWidth(kMinimumWidth);
    if (float(Height()) < float(kMinimumHeight))
        setHeight(kMinimumHeight);
    const float tabsWidth = float(Width()) - 75.0f;
    const float tabsHeight = float(ScaleHeight()) + 45.0f;
    stbQuery->setWidth(twips(tabsWidth));
    stbQuery->setHeight(twips(tabsHeight));
    txtQuery->setWidth(twips(tabsWidth - 180.0f));
    lvwQuery->setWidth(twips(tabsWidth - 150.0f));
    lvwQuery->setHeight(twips(tabsHeight - 1500.0f));
    tvwQuery->setWidth(twips(tabsWidth - 180.0f));
    tvwQuery->setHeight(twips(tabsHeight - 900.0f));
    lvwList->setWidth(twips(tabsWidth - 180.0f));
    lvwList->setHeight(twips(tabsHeight - 900.0f));
    cmdOK->setLeft(twips(tabsWidth - 990.0f));
    cmdOK->setTop(twips(float(lvwQuery->Top()) + float(lvwQuery->Height()) + 60.0f));
}

void frmDataSearch::LoadSearchData()
{
    setCaption(SearchCaption);
    switch (SearchWorkMode) {
    case 0:
        stbQuery->setTab(kKeywordTab);
        break;
    case 2:
        stbQuery->setTab(kIconTab);
        break;
    case 1:
        stbQuery->setTab(kTreeTab);
        tvwQuery->SetFocus(); // the person starts in the tree, not on the tab headers
        if (SearchDataType == 0)
            loadTreeFromCollection();
        else if (SearchDataType == 1)
            loadTreeFromStatements();
        break;
    default:
        break;
    }
}

void frmDataSearch::loadTreeFromCollection()
{
    tvwQuery->clearNodes();
    if (!SearchDataColl)
        throw Error(ErrorNumber::ObjectNotSet, QStringLiteral("没有给出树的数据：SearchDataColl 未设置"));
    const Int16 count = Int16::checked(SearchDataColl->Count());
    for (Int16 i(1); i <= count; ++i) {
        const Variant::Object row = SearchDataColl->Item(i).toObject();
        const QString parent = row->Item(QStringLiteral("根节点")).toString();
        const QString key = row->Item(QStringLiteral("键值")).toString();
        const QString text = row->Item(QStringLiteral("内容")).toString();
        tvwQuery->addNode(parent, key, text);
        if (parent.isEmpty())
            tvwQuery->setExpanded(key, true);
    }
}

void frmDataSearch::loadTreeFromStatements()
{
    ResultRows top;
    ResultRows sub;
    {
        DataBridge bridge;
        bridge.Open();
        if (!SearchMainData.isEmpty())
            bridge.Query(SearchMainData, &top);
        if (!SearchSubData.isEmpty())
            bridge.Query(SearchSubData, &sub);
        bridge.Close();
    }
    if (SearchMainData.isEmpty())
        return;
    TreeFiller filler;
    filler.BindTree(*tvwQuery);
    const Variant none{QString()};
    if (SearchSubData.isEmpty()) {
        filler.FillTree(top, QStringLiteral("K"), int16_t(1), int16_t(2), QStringLiteral("0"), nullptr, QString(), none,
                        none, none, QString(), QString(), QString(), QStringLiteral("Yes"));
    } else {
        filler.FillTree(top, QStringLiteral("K"), int16_t(1), int16_t(2), QStringLiteral("1"), &sub, QStringLiteral("F"),
                        int16_t(1), int16_t(2), int16_t(3), QStringLiteral("MiKey"), QStringLiteral("SpKey"), QString(),
                        QStringLiteral("Yes"));
    }
}

void frmDataSearch::RunKeywordFilter()
{
    // Blanks are spaces only: a tab or the ideographic space U+3000 is part of the keyword.
    const QString text = txtQuery->Text();
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == u' ')
        ++first;
    while (end > first && text[end - 1] == u' ')
        --end;
    Collection names;
    const std::optional<ResultRows> rows = keywordRows(text.mid(first, end - first), names);
    ListFiller filler;
    filler.BindList(*lvwQuery);
    filler.FillHeads(names, QStringLiteral("Yes"));
    filler.FillRows(rows.value_or(ResultRows()), nullptr, QStringLiteral("Yes"), QStringLiteral("No"));
    // Headers are shorter than their values (名称 over 重庆银行办公用品部).
    lvwQuery->widenColumnsToValues(kMeasuredRows);
}

std::optional<ResultRows> frmDataSearch::keywordRows(const QString &keyword, Collection &names)
{
    try {
        if (Matching != KeywordMatch::Like && !mKeptRows && !mKeptRowsReader && !keyword.isEmpty()) {
            std::unique_ptr<search::KeywordRows::Reader> reader =
                search::KeywordRows::startReading(SearchMainData, SearchQueryTerm, Matching);
            if (!reader) {
                Matching = KeywordMatch::Like; // a statement the term cannot be added to
            } else if (ReadsWhileShown) {
                mKeptRowsReader = std::move(reader); // the like query answers until every row is in
            } else {
                mKeptRows = reader->readRest();
            }
        }
        // Only the database tells a null term, which even an empty keyword does not find.
        if (mKeptRows && !keyword.isEmpty()) {
            names = mKeptRows->names();
            return mKeptRows->matching(keyword);
        }
        // Reading goes on after the answer, also after a refused one.
        const auto readOn = qScopeGuard([this] {
            if (mKeptRowsReader)
                mReadTimer->start(kAnswerShownMilliseconds);
        });
        ResultRows rows;
        DataBridge bridge; // closed when it goes, also by an error
        bridge.Open();
        bridge.Query(keywordStatement(SearchMainData, detail::keywordCondition(DataBridge::defaultDatabase(), SearchQueryTerm, keyword)), &rows, &names);
        return rows;
    } catch (const Error &refused) {
        reportRefusal(refused.message());
        return std::nullopt;
    }
}

void frmDataSearch::readKeptRowsWhileIdle()
{
    mReadTimer->setInterval(0); // between keystrokes, whenever the person's input leaves time
    QElapsedTimer slice;
    slice.start();
    try {
        while (!mKeptRowsReader->readPart()) {
            if (slice.elapsed() >= kReadSliceMilliseconds)
                return;
        }
    } catch (const Error &refused) {
        stopReadingKeptRows(); // the next keystroke tries again
        reportRefusal(refused.message());
        return;
    }
    mReadTimer->stop();
    mKeptRows = mKeptRowsReader->finish();
    mKeptRowsReader.reset();
    // The keyword shown is found again as the kept rows find it, pinyin readings and all.
    if (filtersKeyword() && SearchQueryKey == u"0")
        RunKeywordFilter();
}

void frmDataSearch::stopReadingKeptRows()
{
    mReadTimer->stop();
    mKeptRowsReader.reset();
}

void frmDataSearch::Form_Unload()
{
    stopReadingKeptRows();
}

// An empty list alone would look like "nothing found"; each reason is told once, not at every
// keystroke.
void frmDataSearch::reportRefusal(const QString &reason)
{
    if (QueryFailures.contains(reason))
        return;
    QueryFailures.append(reason);
    Desktop::current().inform(reason);
}

bool frmDataSearch::filtersKeyword() const
{
    return SearchWorkMode == 0 && !txtQuery->Text().isEmpty();
}

void frmDataSearch::txtQuery_Change()
{
    if (filtersKeyword() && SearchQueryKey == u"0")
        RunKeywordFilter();
}

void frmDataSearch::txtQuery_KeyPress(int16_t &keyAscii)
{
    if (filtersKeyword() && SearchQueryKey == u"1" && keyAscii == 13)
        RunKeywordFilter();
}

void frmDataSearch::choose(const QString &text)
{
    SearchSelect = text;
    emit SelectSuccess(SearchSelect);
    Unload();
}

void frmDataSearch::tvwQuery_DblClick()
{
    if (tvwQuery->nodeCount() > 0)
        if (const std::optional<TreeNode> node = tvwQuery->SelectedItem())
            choose(node->text);
}

void frmDataSearch::lvwQuery_DblClick()
{
    if (lvwQuery->itemCount() > 0)
        if (const std::optional<ListItem> item = lvwQuery->SelectedItem())
            choose(item->Text());
}

void frmDataSearch::cmdOK_Click()
{
    if (SearchWorkMode == 0 && lvwQuery->itemCount() > 0) {
        if (const std::optional<ListItem> item = lvwQuery->SelectedItem())
            SearchSelect = item->Text();
    } else if (SearchWorkMode == 1 && tvwQuery->nodeCount() > 0) {
        if (const std::optional<TreeNode> node = tvwQuery->SelectedItem())
            SearchSelect = node->text;
    }
    choose(SearchSelect);
}

void frmDataSearch::Form_KeyDown(int16_t &keyCode, int16_t)
{
    if (keyCode == KeyCode::Escape) {
        Unload();
    } else if (keyCode == KeyCode::Return) {
        // The keyword box hears Enter before the window moves on, so filtering on Enter works.
        if (ActiveControl() == txtQuery) {
            int16_t enter = 13;
            txtQuery_KeyPress(enter);
        }
        sendTab();
    }
}

void frmDataSearch::Form_KeyPress(int16_t &keyAscii)
{
    if (keyAscii == 13)
        keyAscii = 0;
}

} // namespace velmarith
