#include "toolkit/ListView.h"

#include "toolkit/ListCellDelegate.h"
#include "toolkit/ListRowsModel.h"
#include "toolkit/UniformRowHeader.h"

#include <velmarith/Error.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QTableView>

#include <algorithm>
#include <functional>

namespace velmarith::toolkit {

QString ListItem::Text() const
{
    return mView->itemValue(mIndex, 0);
}

QString ListItem::SubItems(int n) const
{
    return mView->itemValue(mIndex, n);
}

namespace {

// Qt makes the first row current, unselected, when the list gets the focus; the first arrow key
// then starts from it, so in a list of one row nothing could ever be selected by keyboard.
// Without a selected row the list keeps no current row, and the first arrow selects one.
// A table view, not a tree: its rows are laid out by a header of fixed-height sections, so an
// added or removed row costs the same in a list of a million rows as in one of a thousand.
class RowListView final : public QTableView
{
public:
    using QTableView::QTableView;

    /// Called with the 0-based row a key selected (an arrow, Home, End, a page key, a letter), or
    /// assistive technology.
    std::function<void(int row)> onRowChosen;
    /// Called before End goes to the last row, so that the last row is there.
    std::function<void()> onWholeListNeeded;

    void setStatusLine(const QString &text)
    {
        if (!mStatusLine) {
            mStatusLine = new QLabel(this);
            mStatusLine->setAutoFillBackground(true);
            mStatusLine->setFrameShape(QFrame::StyledPanel);
            mStatusLine->setMargin(2);
        }
        mStatusLine->setText(text);
        mStatusLine->setAccessibleName(text);
        mStatusLine->setVisible(!text.isEmpty());
        placeStatusLine();
    }
    [[nodiscard]] QString statusLine() const { return mStatusLine && !mStatusLine->isHidden() ? mStatusLine->text() : QString(); }

protected:
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override
    {
        QTableView::selectionChanged(selected, deselected);
        // Assistive technology selects a row without making it current. The check waits until a
        // selection that comes with its current row (a click, a key, the program) is complete.
        if (!selected.isEmpty())
            QMetaObject::invokeMethod(this, [this] { chooseRowSelectedElsewhere(); }, Qt::QueuedConnection);
    }

    void focusInEvent(QFocusEvent *event) override
    {
        QTableView::focusInEvent(event);
        if (selectionModel() && !selectionModel()->hasSelection())
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QTableView::resizeEvent(event);
        placeStatusLine();
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_End && onWholeListNeeded)
            onWholeListNeeded();
        // Without a current row Qt moves every cursor key to the first row, End included.
        const bool toAnEnd = event->key() == Qt::Key_End || event->key() == Qt::Key_Home;
        if (toAnEnd && !currentIndex().isValid() && model()->rowCount() > 0) {
            const int row = event->key() == Qt::Key_End ? model()->rowCount() - 1 : 0;
            setCurrentIndex(model()->index(row, 0));
            onRowChosen(row);
            return;
        }
        const QPersistentModelIndex before = currentIndex();
        QTableView::keyPressEvent(event);
        const QModelIndex after = currentIndex();
        if (after.isValid() && after != before && selectionModel()->isRowSelected(after.row(), after.parent()))
            onRowChosen(after.row());
    }

    // Home and End go to the first and last row, as in any list, not to the row's first and
    // last column.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        if (action == MoveHome || action == MoveEnd)
            modifiers |= Qt::ControlModifier;
        return QTableView::moveCursor(action, modifiers);
    }

private:
    // In the lower right corner of the rows, clear of the scroll bars.
    void placeStatusLine()
    {
        if (!mStatusLine || mStatusLine->isHidden())
            return;
        mStatusLine->adjustSize();
        const QRect rows = viewport()->geometry();
        mStatusLine->move(rows.right() - mStatusLine->width() - 2, rows.bottom() - mStatusLine->height() - 2);
        mStatusLine->raise();
    }

    void chooseRowSelectedElsewhere()
    {
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (rows.size() != 1 || rows.first().row() == currentIndex().row())
            return;
        selectionModel()->setCurrentIndex(rows.first(), QItemSelectionModel::NoUpdate);
        onRowChosen(rows.first().row());
    }

    QLabel *mStatusLine = nullptr; // owned by the view
};

RowListView &rowView(QTableView *view)
{
    return *static_cast<RowListView *>(view);
}

} // namespace

ListView::ListView(const ControlSite &site)
    : Control(site, new RowListView(site.parentWidget)),
      mView(static_cast<QTableView *>(widget())),
      mModel(std::make_unique<ListRowsModel>())
{
    mView->setModel(mModel.get());
    mView->setVerticalHeader(new UniformRowHeader(*mModel, mView->fontMetrics().height() + 4, mView));
    mView->setItemDelegate(new ListCellDelegate(mView));
    mView->setShowGrid(false);
    mView->setWordWrap(false);
    mView->setTabKeyNavigation(false); // Tab leaves the list for the next control
    mView->setSelectionMode(QAbstractItemView::SingleSelection);
    mView->setSelectionBehavior(QAbstractItemView::SelectRows);
    mView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView &columns = *mView->horizontalHeader();
    columns.setSectionsClickable(true);
    columns.setSectionsMovable(true);
    columns.setStretchLastSection(false);
    columns.setHighlightSections(false);
    columns.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Left unset, the header works its minimum out from the style and font again at every
    // column width set; a list of 30 columns spent more on that than on reading its rows.
    columns.setMinimumSectionSize(columns.minimumSectionSize());
    QPalette palette = mView->palette();
    // The selection stays visible while the focus is elsewhere (on 确定, say).
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    mView->setPalette(palette);
    connect(mView, &QTableView::clicked, this, [this](const QModelIndex &index) { clickItem(index.row() + 1); });
    // A row chosen by keyboard is clicked, as the platform's list view raises its item click.
    rowView(mView).onRowChosen = [this](int row) { clickItem(row + 1); };
    connect(mView, &QTableView::doubleClicked, this, [this](const QModelIndex &) { emit DblClick(); });
    connect(&columns, &QHeaderView::sectionClicked, this, [this](int section) { clickColumn(section + 1); });
}

ListView::~ListView()
{
    mView->setModel(nullptr);
}

void ListView::addColumn(const ColumnHeader &header)
{
    mModel->addColumn(header);
    const int section = columnCount() - 1;
    mView->setColumnWidth(section, toPixels(header.width));
    mView->setColumnHidden(section, header.hidden);
}

void ListView::clearColumns()
{
    mModel->clearColumns();
}

int ListView::columnCount() const
{
    return int(mModel->columns().size());
}

const ColumnHeader &ListView::column(int index) const
{
    if (index < 1 || index > columnCount())
        throw Error(ErrorNumber::IndexOutOfBounds, QStringLiteral("列表 %1 没有第 %2 列").arg(Name()).arg(index));
    return mModel->columns()[size_t(index - 1)];
}

void ListView::widenColumnsToValues(int sampleRows)
{
    constexpr int kCellPaddingPixels = 16;
    constexpr int kMeasuredCharacters = 200; // more is wider than the cap anyway
    const QFontMetrics metrics(mView->font());
    const int widest = std::max(mView->viewport()->width(), toPixels(Width())) / 2;
    const int rowsToMeasure = std::min(sampleRows, itemCount());
    for (int column = 0; column < columnCount(); ++column) {
        int pixels = mView->columnWidth(column);
        for (int row = 0; row < rowsToMeasure; ++row) {
            const QString shown = mModel->value(row, column).left(kMeasuredCharacters);
            pixels = std::max(pixels, std::min(widest, metrics.horizontalAdvance(shown) + kCellPaddingPixels));
        }
        mView->setColumnWidth(column, pixels);
        mModel->setColumnWidth(column, toTwips(pixels));
    }
}

void ListView::setRows(ResultRows rows)
{
    mModel->setRows(std::move(rows));
}

void ListView::setStatusLine(const QString &text)
{
    rowView(mView).setStatusLine(text);
}

QString ListView::statusLine() const
{
    return rowView(mView).statusLine();
}

void ListView::setBeforeWholeListNeeded(std::function<void()> complete)
{
    rowView(mView).onWholeListNeeded = std::move(complete);
}

void ListView::insertListRows(int listRow, const ResultRows &rows)
{
    mModel->insertListRows(listRow, rows);
}

void ListView::removeListRow(int listRow)
{
    mModel->removeListRow(listRow);
}

int ListView::shownWidth(int column) const
{
    (void)this->column(column); // a column that does not exist is refused
    return toTwips(mView->columnWidth(column - 1));
}

void ListView::setShownWidth(int column, int twips)
{
    (void)this->column(column); // a column that does not exist is refused
    mView->setColumnWidth(column - 1, toPixels(twips));
}

std::vector<int> ListView::shownColumns() const
{
    const QHeaderView &header = *mView->horizontalHeader();
    std::vector<int> columns;
    for (int position = 0; position < header.count(); ++position) {
        const int column = header.logicalIndex(position);
        if (!header.isSectionHidden(column))
            columns.push_back(column);
    }
    return columns;
}

int ListView::shownPosition(int column) const
{
    (void)this->column(column);
    return mView->horizontalHeader()->visualIndex(column - 1);
}

void ListView::moveColumnTo(int column, int position)
{
    QHeaderView &header = *mView->horizontalHeader();
    header.moveSection(shownPosition(column), std::clamp(position, 0, columnCount() - 1));
}

void ListView::addMenuEntry(const QString &text, const QKeySequence &shortcut, std::function<void()> triggered)
{
    auto *action = new QAction(text, mView);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this, [run = std::move(triggered)] { run(); });
    mView->addAction(action);
    if (mView->contextMenuPolicy() == Qt::ActionsContextMenu)
        return;
    mView->setContextMenuPolicy(Qt::ActionsContextMenu);
    // Beside the menu key, Shift+F10 opens it, as on the desktop most clerks learnt on; at the
    // current row, where the keyboard is.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), mView, nullptr, nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QRect row = mView->visualRect(mView->currentIndex());
        const QPoint at = mView->viewport()->mapTo(mView, row.isValid() ? row.bottomLeft() : QPoint());
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at, mView->mapToGlobal(at));
        QCoreApplication::sendEvent(mView, &event);
    });
}

QStringList ListView::menuEntries() const
{
    QStringList texts;
    for (const QAction *action : mView->actions())
        texts.append(action->text());
    return texts;
}

void ListView::pickMenuEntry(const QString &text)
{
    for (QAction *action : mView->actions()) {
        if (action->text() == text) {
            action->trigger();
            return;
        }
    }
    throw Error(ErrorNumber::NoSuchEntry, QStringLiteral("列表 %1 的菜单中没有“%2”").arg(Name(), text));
}

void ListView::replaceListRow(int listRow, const ResultRows &row)
{
    mModel->replaceListRow(listRow, row);
}

QString ListView::listValue(int listRow, int column) const
{
    return mModel->listValue(listRow, column);
}

int ListView::itemOfListRow(int listRow) const
{
    return mModel->displayRowOf(listRow) + 1;
}

void ListView::clearSelection()
{
    mView->selectionModel()->clear();
}

int ListView::itemCount() const
{
    return mModel->rowCount();
}

int ListView::rowOf(int index) const
{
    if (index < 1 || index > itemCount())
        throw Error(ErrorNumber::IndexOutOfBounds, QStringLiteral("列表 %1 没有第 %2 项").arg(Name()).arg(index));
    return index - 1;
}

ListItem ListView::item(int index) const
{
    return ListItem(*this, rowOf(index) + 1);
}

QString ListView::itemValue(int index, int column) const
{
    return mModel->value(rowOf(index), column);
}

std::optional<ListItem> ListView::SelectedItem() const
{
    const QModelIndexList selected = mView->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return std::nullopt;
    return ListItem(*this, selected.first().row() + 1);
}

void ListView::select(int index)
{
    const QModelIndex row = mModel->index(rowOf(index), 0);
    mView->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::ensureVisible(int index)
{
    mView->scrollTo(mModel->index(rowOf(index), 0));
}

std::optional<ListItem> ListView::findItem(const QString &prefix) const
{
    auto matches = [&](int row, int column) { return mModel->value(row, column).startsWith(prefix, Qt::CaseInsensitive); };
    for (int row = 0; row < itemCount(); ++row) {
        if (matches(row, 0))
            return ListItem(*this, row + 1);
    }
    for (int row = 0; row < itemCount(); ++row) {
        for (int column = 1; column < mModel->valueColumnCount(); ++column) {
            if (matches(row, column))
                return ListItem(*this, row + 1);
        }
    }
    return std::nullopt;
}

void ListView::sortByColumn(int column, Qt::SortOrder order)
{
    mModel->sortBy(column, order);
}

int ListView::sortedColumn() const
{
    return mModel->sortedColumn();
}

Qt::SortOrder ListView::sortOrder() const
{
    return mModel->sortOrder();
}

void ListView::clickItem(int index)
{
    select(index);
    emit ItemClick(ListItem(*this, index));
}

void ListView::doubleClickItem(int index)
{
    clickItem(index);
    emit DblClick();
}

void ListView::clickColumn(int index)
{
    emit ColumnClick(index);
}

} // namespace velmarith::toolkit
