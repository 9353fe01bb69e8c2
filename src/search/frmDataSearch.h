#pragma once

#include "search/KeywordRows.h"
#include "toolkit/Form.h"

#include <velmarith/Collection.h>

#include <QStringList>

#include <cstdint>
#include <memory>

class QTimer;

namespace velmarith {

namespace toolkit {
class CommandButton;
class ImageList;
class Label;
class ListView;
class TabControl;
class TextBox;
class TreeView;
} // namespace toolkit

/// The lookup window: a keyword list filled from a like-query as the person types (work mode
/// 0), or a tree from a host collection or one or two statements (work mode 1). A choice is
/// stored in SearchSelect and raised as SelectSuccess before the window closes.
class frmDataSearch final : public toolkit::Form
{
    Q_OBJECT

public:
    frmDataSearch();
    ~frmDataSearch() override;

    // Set by the caller before the window is shown; showing it loads the window from them.
    QString SearchCaption;
    /// When positive, the opening size in twips (never below the window's minimum).
    int32_t SearchWidth = 0;
    int32_t SearchHeight = 0;
    /// 0 keyword list, 1 tree, 2 the third tab; any other value chooses no tab.
    int16_t SearchWorkMode = 0;
    /// Source of the tree: 0 SearchDataColl, 1 the statements SearchMainData and SearchSubData.
    int16_t SearchDataType = 0;
    /// Rows keyed "根节点", "键值" and "内容", each after the row of its parent.
    std::shared_ptr<Collection> SearchDataColl;
    /// A select without a where clause (the keyword list), or the tree's first level.
    QString SearchMainData;
    /// The tree's second level: rows of parent key, key and text.
    QString SearchSubData;
    /// The column or expression the keyword is matched against.
    QString SearchQueryTerm;
    /// "0" filters at every change of the keyword, "1" when Enter is pressed in it.
    QString SearchQueryKey;
    /// How the keyword finds rows.
    KeywordMatch Matching = WinSearch::defaultKeywordMatch();
    /// Whether Instant and Pinyin read their kept rows between keystrokes, the like query
    /// answering until every row is in; false reads them all at the first keystroke. The
    /// desktop's choice.
    bool ReadsWhileShown;
    /// Whether the kept rows are in and answer the keystrokes.
    [[nodiscard]] bool keepsRows() const { return mKeptRows.has_value(); }
    /// The chosen text; empty until a choice.
    QString SearchSelect;
    /// The database's reasons for the keyword queries it refused, each once, in order; each was
    /// shown to the person when it first happened.
    QStringList QueryFailures;

    /// The window's minimum size in twips.
    static constexpr int kMinimumWidth = 2700;
    static constexpr int kMinimumHeight = 3600;

signals:
    void SelectSuccess(const QString &SelectText);

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_KeyDown(int16_t &keyCode, int16_t shift) override;
    void Form_KeyPress(int16_t &keyAscii) override;
    void Form_Unload() override;

private:
    void LoadSearchData();
    void loadTreeFromCollection();
    void loadTreeFromStatements();
    void RunKeywordFilter();
    /// The rows of the keyword list, found as Matching says; nullopt after a refusal.
    [[nodiscard]] std::optional<ResultRows> keywordRows(const QString &keyword, Collection &names);
    void reportRefusal(const QString &reason);
    /// Reads parts of the kept rows until a slice of time is used up; once every row is in,
    /// they answer the keyword shown and the keystrokes from then on.
    void readKeptRowsWhileIdle();
    void stopReadingKeptRows();

    void txtQuery_Change();
    void txtQuery_KeyPress(int16_t &keyAscii);
    void tvwQuery_DblClick();
    void lvwQuery_DblClick();
    void cmdOK_Click();
    void choose(const QString &text);
    [[nodiscard]] bool filtersKeyword() const;

    toolkit::ImageList *imgQuery;
    toolkit::CommandButton *cmdOK;
    toolkit::TabControl *stbQuery;
    toolkit::Label *lblSearch;
    toolkit::TextBox *txtQuery;
    toolkit::ListView *lvwQuery;
    toolkit::TreeView *tvwQuery;
    toolkit::ListView *lvwList;
    /// The rows read once for Instant and Pinyin.
    std::optional<search::KeywordRows> mKeptRows;
    /// The kept rows while they are read between keystrokes, which the like query answers meanwhile.
    std::unique_ptr<search::KeywordRows::Reader> mKeptRowsReader;
    QTimer *mReadTimer;
};

} // namespace velmarith
