#pragma once

#include "common/Int16.h"
#include "maintenance/FieldRelations.h"
#include "maintenance/ListExport.h"
#include "toolkit/Form.h"

#include <velmarith/Collection.h>
#include <velmarith/ResultRows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace velmarith {

namespace toolkit {
class CommandButton;
class ListItem;
class ListView;
class PictureBox;
class Shape;
} // namespace toolkit

class DataBridge;
class frmDataSearch;
struct Editor;

/// The table-maintenance window: lists the rows of a table and edits them through one editor
/// per field, all generated from the metadata tables of the host's database.
///
/// Its work is split by concern: start-up (frmManage_startup.cpp), metadata and list
/// (frmManage_list.cpp), editor generation and layout (frmManage_editors.cpp), editor
/// values (frmManage_values.cpp), statements, commands and keys (frmManage_keys.cpp), another
/// user's change (frmManage_conflicts.cpp), undo (frmManage_undo.cpp), the remembered layout
/// (frmManage_layout.cpp) and export (frmManage_export.cpp).
class frmManage final : public toolkit::Form
{
    Q_OBJECT

public:
    using ItemList = std::shared_ptr<Collection>;

    frmManage();
    ~frmManage() override;

    /// Runs the whole start-up for a table; the window is not shown. Raises the Error of any
    /// step (a refused statement, a missing metadata column, an overflow). `ListCol` is not read.
    void ManageTable(const QString &TableName, int16_t ListCol = 0);

    /// Reads the whole list again: the rows of the list statement, the loaded row highlighted.
    void FrmGetList();
    /// Clears every editor.
    int16_t FrmItemRest();
    /// Appends one item pair per editor ("All") or per editor of a unique field ("Only").
    int16_t FrmItemValue(Collection &ItemProperty, const QString &ItemType);
    /// Selects the whole text of the editor the focus has just reached, once per editor.
    int16_t FrmItemSelect(QString &AnyText, QString &AnySelText);

    /// Builds the insert statement of the editors' values into `SqlString`. Non-empty `InsStr`
    /// and `ValStr` are appended as extra columns and values; empty ones receive the lists.
    int16_t FrmToInsert(const QString &TableName, const Collection &FieldList, const Collection &TypeList,
                        QString &SqlString, QString &InsStr, QString &ValStr);
    /// Builds the update statement of the editors' values, without its where clause.
    int16_t FrmToUpdata(const QString &TableName, const Collection &FieldList, const Collection &TypeList,
                        QString &SqlString);

    /// The four commands behind the buttons.
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    void cmdCancel_Click();
    /// Undoes the latest 增加, 修改 or 删除 not undone yet (Ctrl+Z, 撤销 in the list's menu) by
    /// its inverse statement, once the row is found as the command left it; asks otherwise.
    void undoLastCommand();
    /// How many commands Ctrl+Z can still undo.
    [[nodiscard]] size_t undoableCommands() const { return mUndoSteps.size(); }
    /// The list as the person sees it, for an export: shown columns, captions, rows in order.
    [[nodiscard]] ShownList shownList();
    /// Asks for a .csv, .xlsx or .pdf file in the file window and writes the list to it
    /// (Ctrl+E, 导出… in the list's menu).
    void exportShownList();
    /// Shows the list's printed pages in the print preview (Ctrl+P, 打印… in the list's menu).
    void printShownList();

    /// Whether every row of the list statement is in the list.
    [[nodiscard]] bool listComplete() const { return !mListRead; }
    /// Reads the next part of the list's rows into the list; false when it was complete.
    /// Raises the read's Error, after which the list stays as far as it got.
    bool readMoreOfList();
    /// Reads the rest of the list's rows, for what needs all of them: a command, a sort, End,
    /// an export.
    void waitForWholeList();

    /// Whether the window shows its list once the first rows are in and reads the rest while the
    /// person works; false reads every row before the window shows. The desktop's choice.
    bool ReadsWhileShown;
    /// How long the window reads at a time before the person's input goes through; 0 reads one
    /// part at a time, and nothing beyond the first rows before the window shows.
    int ReadSliceMilliseconds = 8;
    /// The work mode: "Edit" offers only 修改 and 取消.
    QString WorkMode;
    /// Whether 修改 and 删除 first check that the row still holds what the list showed when it
    /// was loaded, and ask before writing over another person's change.
    bool CheckWriteConflicts = true;
    /// The file that keeps the list's column widths, order and sort from one opening to the
    /// next; empty: the list opens as its metadata says every time.
    QString LayoutFile;
    QString mTableName;

    // What the start-up read and built; tests and the record operations read them.
    int16_t mFormPlace = 0;
    int16_t mFormStyle = 0;
    int16_t mFormWidth = 0;
    int16_t mFormHeight = 0;
    Collection mFieldList;
    Collection mTypeList;
    Collection mSizeList;
    int16_t mItemWidth = 0;
    int16_t mItemTop = 0;
    int16_t mLastTop = 0;
    QString mLeftX;
    QString mRightX;
    /// The editors' values when the row was loaded (or after the last command); null: none.
    ItemList mItemSnap;
    /// The pairs that identify the loaded row; null while no row is loaded.
    ItemList mItemKey;

    [[nodiscard]] toolkit::ListView &list() const { return *lvwAny; }

    /// The lookup window of the latest Alt+Enter, null before the first.
    std::unique_ptr<frmDataSearch> MyDataSearch;

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void Form_KeyDown(int16_t &keyCode, int16_t shift) override;
    void Form_KeyPress(int16_t &keyAscii) override;
    void Form_KeyUp(int16_t &keyCode, int16_t shift) override;

private:
    // start-up
    void FrmPrepare();
    void FrmSetButtons();
    void warnWhenTallerThanScreen();
    void sizeAroundEditors();

    // layout memory
    void applyRememberedLayout();
    void rememberLayout();

    // keys
    void lookUpFocusedField();
    void MyDataSearch_SelectSuccess(const QString &SelectText);

    // reading the list
    struct ListRead;
    /// FrmGetList, running `whileTheStatementRuns` between sending the list statement and
    /// taking its first rows.
    void getList(const std::function<void()> &whileTheStatementRuns);
    /// Takes the first rows of the list statement from `bridge` into the list; the rest follow
    /// between the person's keystrokes, or at once where the window does not read while shown.
    void startListRead(std::unique_ptr<DataBridge> bridge, const QString &statement,
                       const std::function<void()> &whileTheStatementRuns);
    /// Reads parts until a slice of time is used up, then lets the person's input through.
    void readListWhileIdle();
    /// Stops a read not finished; the statement ends on the server.
    void stopListRead();
    void showReadProgress();

    // metadata and list
    /// The list statement in its parts: a command reads again only the rows it touched.
    struct ListStatement {
        QString select;
        QString from;
        QStringList joins;
        QString order;
        std::vector<bool> bound; // per listed field: shown with its description
        QString firstColumn; ///< the first listed field, as the statement names it ("a.编号")
        [[nodiscard]] QString whole() const;
        /// Without the order, and with `condition` beside the joins.
        [[nodiscard]] QString restrictedTo(const QString &condition) const;
    };
    void FrmGetWindow();
    QString FrmListSql(const QString &TableName, const Collection &FieldList);
    ListStatement listStatementOf(const QString &TableName, const Collection &FieldList);
    void lvwAny_ItemClick(const toolkit::ListItem &Item);
    void lvwAny_ColumnClick(int ColumnHeader);
    void FrmItemShow(const QString &FieldName, const QString &Value);

    // editors
    /// Reads the relations of every listed field for the editors to come.
    void readRelationsAhead();
    /// A field's relations: those read ahead, else read now.
    [[nodiscard]] FieldRelations relationsOf(const QString &field);
    void FrmMakeItems(const Collection &FieldList, const Collection &TypeList, const Collection &SizeList);
    int16_t FrmMakeItem(const QString &FieldName, const QString &FieldType, const QString &FieldSize, QString &LabName,
                        QString &ItemName, int16_t FieldNo);

    // statements and commands
    [[nodiscard]] QString literalOf(const Editor &editor, int32_t typeCode);
    /// What the person is told when a numeric column's editor holds something other than a
    /// number as typed (1,000, 12abc) or a number too large for any column; nothing when it fits.
    [[nodiscard]] std::optional<QString> numberRefusal(const Editor &editor) const;
    [[nodiscard]] std::optional<Editor> editorOfField(const QString &field);
    /// Checks every editor against its field's constraints; shows the first failure, puts the
    /// focus on its editor and returns false. `changedOnly` tests unique fields only when they
    /// differ from the loaded row.
    bool validate(DataBridge &bridge, bool changedOnly);
    [[nodiscard]] bool differsFromKey(const QString &field, const QString &text) const;
    /// Whether the editor is an empty text box of a field the database numbers itself (an
    /// identity, AUTO_INCREMENT, SQLite's integer primary key), which an insert leaves out.
    [[nodiscard]] bool leftToTheDatabase(const Editor &editor);
    void learnEnumerations();
    [[nodiscard]] QString whereOfKey(bool trimmed);
    void FrmDictAppend(const QString &table, const QString &field, const QString &value, const QString &description);
    void failOn(toolkit::Control &editor, const QString &message);
    /// Whether a row is loaded; shows `missingMessage` when none is.
    bool rowLoaded(const QString &missingMessage);
    /// After a successful edit (the loaded row now holds the editors' values) or delete of
    /// `changed` rows: no row is loaded and the editors are cleared.
    void forgetRow(int64_t changed, bool edited);
    /// After an edit or delete that matched no row (another person deleted it, say): the loaded
    /// row and the editors stay, and the list shows what the table now holds.
    void keepRowAfterMiss(const QString &message);

    // write conflicts
    enum class RowCommand { Edit, Delete };
    struct StoredRow;
    /// Runs the edit or delete of the loaded row once it is found unchanged since it was loaded,
    /// else asks the person; nothing when the person's answer was carried out in its place.
    /// `before` gets the row as stored just before the write.
    std::optional<int16_t> writeLoadedRow(DataBridge &bridge, const QString &statement, int64_t *changed,
                                          RowCommand command, const std::function<bool()> &stillValid,
                                          std::optional<StoredRow> &before);
    /// The first of `rows` that holds the loaded row's cells.
    [[nodiscard]] std::optional<int> loadedRowIn(const ResultRows &rows) const;
    /// One line per listed field whose stored value is no longer the loaded one.
    [[nodiscard]] QString changesSinceLoaded(const ResultRows &stored) const;
    /// Adds the editors' content as a new row, the loaded one having been deleted meanwhile.
    void addLoadedRowAgain(DataBridge &bridge);
    /// Inserts the editors' row (validated again should it need running once more), remembered
    /// for undo under `key` when it has fields; true when the row was written.
    [[nodiscard]] bool insertEditorsRow(DataBridge &bridge, const ItemList &key);
    /// Shows the loaded row as it is stored now, in the list and the editors.
    void showStoredRow(const ResultRows &stored);

    // undo
    /// A row as the table stores it: each column's text, and which columns are NULL.
    struct StoredRow {
        QStringList values;
        std::vector<bool> nulls;
        bool operator==(const StoredRow &) const = default;
    };
    /// A command the person may undo: the row it acted on, found by `key`, before and after.
    struct UndoStep {
        enum class Kind { Added, Edited, Deleted } kind;
        ItemList key;
        std::optional<StoredRow> before;
        std::optional<StoredRow> after;
    };
    /// The pairs that identify the row the editors hold: its unique fields, else every field.
    [[nodiscard]] ItemList editorsKey();
    [[nodiscard]] const QStringList &tableColumns(DataBridge &bridge);
    /// Every column of the table, then whether each is NULL, each name after `qualifier`.
    [[nodiscard]] QString storedColumns(DataBridge &bridge, const QString &qualifier);
    /// The query of every column of the rows of `key`, with the table aliased "a".
    [[nodiscard]] QString storedRowQuery(DataBridge &bridge, const Collection &key, bool trimmed);
    /// The one stored row of `key`; nothing when there is none or more than one.
    [[nodiscard]] std::optional<StoredRow> storedRowOf(DataBridge &bridge, const Collection &key, bool trimmed);
    /// The stored row in `row` of a result whose storedColumns begin at `firstColumn`.
    [[nodiscard]] static StoredRow storedRowIn(const ResultRows &rows, int row, int firstColumn = 0);
    void remember(UndoStep step);
    [[nodiscard]] QString inverseOf(DataBridge &bridge, const UndoStep &step);
    /// One line per column whose stored value is no longer what the undone command left.
    [[nodiscard]] QString changesSince(const StoredRow &left, const StoredRow &now) const;

    // values
    [[nodiscard]] std::vector<Editor> editors();
    /// An editor's value as it goes into the item lists and statements: a text, or a check
    /// box's 0 or 1, or the stored value it could not show while the person leaves it as shown.
    [[nodiscard]] QString editorValue(const Editor &editor) const;
    /// Whether a check box still stands for a stored value it cannot show, which an update
    /// then leaves as it is.
    [[nodiscard]] bool keepsUnshownValue(const Editor &editor) const;
    ItemList snapshot(const QString &ItemType);

    // list updates after a command
    /// Shows what a reload would: takes out the rows of `removed` (expecting `removedCount`)
    /// and puts in the rows of `added`, each at its place, or reads the whole list again where
    /// those rows cannot be told exactly.
    void updateList(const ItemList &removed, int64_t removedCount, const ItemList &added);
    [[nodiscard]] bool canUpdateListInPlace();
    [[nodiscard]] bool updateListInPlace(const ItemList &removed, int64_t removedCount, const ItemList &added);
    void removeListRows(const std::vector<int> &listRows);
    [[nodiscard]] bool insertListRow(const ResultRows &row);
    /// The list statement's row of `key`; nullopt unless there is exactly one.
    [[nodiscard]] std::optional<ResultRows> listRowOfKey(const Collection &key);
    [[nodiscard]] std::vector<int> listRowsHolding(const Collection &key) const;
    [[nodiscard]] std::optional<int> searchFirstColumn(const QString &firstValue, bool &found) const;
    [[nodiscard]] std::optional<int> listPositionOf(const QString &firstValue);
    [[nodiscard]] std::optional<int> positionAfterPredecessor(const QString &firstValue);
    [[nodiscard]] std::optional<int> listRowOf(const QString &firstValue) const;
    [[nodiscard]] int listColumnOf(const QString &field) const;
    /// Highlights the loaded row, or none.
    void showLoadedRow();
    [[nodiscard]] QString conditionsOf(const Collection &pairs, bool trimmed, const QString &qualifier);

    /// A loaded value a check box cannot show exactly, and whether the box showed it ticked.
    struct UnshownValue {
        QString stored;
        bool ticked;
    };
    std::map<QString, UnshownValue> mUnshownValues; ///< by field
    /// The fields the database numbers itself, asked of its catalog when first needed.
    std::optional<QStringList> mAssignedFields;

    std::optional<ListStatement> mListStatement;
    /// The loaded row's cells as the list showed them.
    QStringList mLoadedCells;
    std::vector<UndoStep> mUndoSteps;
    QStringList mTableColumns; ///< the table's columns, read at the first command that needs them
    /// Whether the database orders the first column as the list can compare its values.
    std::optional<bool> mFirstColumnOrderedAsShown;
    /// Whether the list is known to be in the order of its unique first column's values.
    bool mInPlaceOrder = false;
    /// The list statement being read, while rows are still to come.
    std::unique_ptr<ListRead> mListRead;
    std::map<QString, FieldRelations> mRelationsAhead;
    QTimer *mReadTimer;
    /// A read that failed left the list short of the statement's rows.
    bool mListCutShort = false;

    toolkit::Shape *shp1;
    toolkit::Shape *shp2;
    toolkit::ListView *lvwAny;
    toolkit::PictureBox *picCort;
    toolkit::CommandButton *cmdAdd;
    toolkit::CommandButton *cmdDelete;
    toolkit::CommandButton *cmdEdit;
    toolkit::CommandButton *cmdCancel;
};

} // namespace velmarith
