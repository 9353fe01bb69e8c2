#pragma once

#include <velmarith/Export.h>
#include <velmarith/Collection.h>

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace velmarith {

/// How the keyword list finds its rows as the keyword changes.
enum class KeywordMatch {
    Like,    ///< a like-query on SearchMainData at each change (the default)
    Instant, ///< SearchMainData read once, at the first change, then filtered in memory exactly
             ///< as the database's like would filter it
    Pinyin,  ///< as Instant, and the keyword also read as pinyin (张三 is found by zs and
             ///< zhangsan, 重庆 by cq and zq); full-width letters and digits count as half-width
};

/// The lookup window for hosts: the person picks one value, from a keyword-filtered list of a
/// query's rows in the database DataBridge opens (SQLite, PostgreSQL, MariaDB or MySQL)
/// (SearchWorkMode 0) or from a tree (1) built from SearchDataColl
/// (SearchDataType 0) or from the statements SearchMainData and SearchSubData (1).
/// SearchAny reports the choice through SelectSuccess.
class VELMARITH_EXPORT WinSearch : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString SearchCaption READ SearchCaption WRITE setSearchCaption)
    Q_PROPERTY(int32_t SearchWidth READ SearchWidth WRITE setSearchWidth)
    Q_PROPERTY(int32_t SearchHeight READ SearchHeight WRITE setSearchHeight)
    Q_PROPERTY(int16_t SearchWorkMode READ SearchWorkMode WRITE setSearchWorkMode)
    Q_PROPERTY(int16_t SearchDataType READ SearchDataType WRITE setSearchDataType)
    Q_PROPERTY(std::shared_ptr<velmarith::Collection> SearchDataColl READ SearchDataColl WRITE setSearchDataColl)
    Q_PROPERTY(QString SearchMainData READ SearchMainData WRITE setSearchMainData)
    Q_PROPERTY(QString SearchSubData READ SearchSubData WRITE setSearchSubData)
    Q_PROPERTY(QString SearchSearchSubData READ SearchSearchSubData WRITE setSearchSearchSubData)
    Q_PROPERTY(QString SearchQueryKey READ SearchQueryKey WRITE setSearchQueryKey)

public:
    explicit WinSearch(QObject *parent = nullptr);
    ~WinSearch() override;

    /// The window's caption.
    [[nodiscard]] QString SearchCaption() const;
    void setSearchCaption(const QString &caption);
    /// When positive, the window's opening size in twips (at least 2700 × 3600); 0 keeps the
    /// designed size.
    [[nodiscard]] int32_t SearchWidth() const;
    void setSearchWidth(int32_t width);
    [[nodiscard]] int32_t SearchHeight() const;
    void setSearchHeight(int32_t height);
    /// 0 keyword list, 1 tree, 2 the third tab (empty); other values choose no tab.
    [[nodiscard]] int16_t SearchWorkMode() const;
    void setSearchWorkMode(int16_t mode);
    /// Where the tree comes from: 0 SearchDataColl, 1 SearchMainData and SearchSubData.
    [[nodiscard]] int16_t SearchDataType() const;
    void setSearchDataType(int16_t type);
    /// The tree's rows, each a collection keyed "根节点" (parent key, empty at the top), "键值"
    /// (unique key) and "内容" (text), after its parent. The object itself is handed on.
    [[nodiscard]] std::shared_ptr<Collection> SearchDataColl() const;
    void setSearchDataColl(std::shared_ptr<Collection> rows);
    /// A select without a where clause for the keyword list, or the tree's first level (key,
    /// text).
    [[nodiscard]] QString SearchMainData() const;
    void setSearchMainData(const QString &statement);
    /// The tree's second level (parent key, key, text).
    [[nodiscard]] QString SearchSubData() const;
    void setSearchSubData(const QString &statement);
    /// The column or expression the keyword is matched against.
    [[nodiscard]] QString SearchSearchSubData() const;
    void setSearchSearchSubData(const QString &term);
    /// "0" filters the keyword list at every change of the keyword, "1" when Enter is pressed;
    /// anything else never filters.
    [[nodiscard]] QString SearchQueryKey() const;
    void setSearchQueryKey(const QString &key);

    /// Shows the lookup window modally; after it has closed, raises SelectSuccess once with the
    /// chosen text (empty when the person cancelled). Raises velmarith::Error, and no event,
    /// when the window cannot be loaded (a refused statement, a tree row before its parent or
    /// with a repeated key, SearchDataColl missing in the tree mode, more than 32767 rows).
    Q_INVOKABLE void SearchAny();
    /// The database's reasons for the keyword queries of the latest SearchAny that it refused
    /// (a statement with its own where clause, a keyword it cannot take), each once, as the
    /// window showed them.
    [[nodiscard]] QStringList queryFailures() const;

    /// How this window's keyword list matches; a new WinSearch takes defaultKeywordMatch().
    [[nodiscard]] KeywordMatch keywordMatch() const;
    void setKeywordMatch(KeywordMatch match);
    /// The match of every lookup window made from now on, the maintenance window's lookups
    /// included; Like until a host chooses otherwise.
    [[nodiscard]] static KeywordMatch defaultKeywordMatch();
    static void setDefaultKeywordMatch(KeywordMatch match);

signals:
    /// Raised once by SearchAny after the window has closed, with the chosen text (empty when
    /// the person cancelled).
    void SelectSuccess(const QString &SelectText);

private:
    class Private;
    std::unique_ptr<Private> const d;
};

} // namespace velmarith
