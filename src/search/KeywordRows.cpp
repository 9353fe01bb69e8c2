#include "search/KeywordRows.h"

#include "search/PinyinKeyword.h"

#include <velmarith/DataBridge.h>

#include <QRegularExpression>

namespace velmarith::search {
namespace {

// Columns added in front of the caller's: whether the term is null, and the term.
constexpr int kTermColumns = 2;

// The caller's select with the term's columns in front, or nullopt when it does not start
// with select (and maybe distinct or all).
std::optional<QString> withTermColumns(const QString &select, const QString &term)
{
    static const QRegularExpression start(QStringLiteral("^\\s*select\\s+((distinct|all)\\s+)?"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch found = start.match(select);
    if (!found.hasMatch())
        return std::nullopt;
    const QString columns = QStringLiteral("((%1) is null), (%1), ").arg(term);
    return select.left(found.capturedEnd()) + columns + select.mid(found.capturedEnd());
}

char16_t asciiLower(char16_t character)
{
    return character >= u'A' && character <= u'Z' ? char16_t(character - u'A' + u'a') : character;
}

char16_t exact(char16_t character)
{
    return character;
}

char16_t widthAndAsciiCaseFolded(char16_t character)
{
    return asciiLower(foldWidth(QStringView(&character, 1)).front().unicode());
}

// Whether `text`, each character folded, holds `needle` (folded already).
template<class Fold>
bool holds(QStringView text, const QString &needle, Fold fold)
{
    for (qsizetype start = 0; start + needle.size() <= text.size(); ++start) {
        qsizetype i = 0;
        while (i < needle.size() && fold(text[start + i].unicode()) == needle[i].unicode())
            ++i;
        if (i == needle.size())
            return true;
    }
    return false;
}

template<class Fold>
QString folded(const QString &text, Fold fold)
{
    QString result = text;
    for (QChar &character : result)
        character = QChar(fold(character.unicode()));
    return result;
}

} // namespace

std::optional<KeywordRows> KeywordRows::read(const QString &select, const QString &term)
{
    const std::optional<QString> statement = withTermColumns(select, term);
    if (!statement)
        return std::nullopt;
    ResultRows all;
    Collection names;
    {
        DataBridge bridge; // closed when it goes, also by an error
        bridge.Open();
        bridge.Query(*statement, &all, &names);
    }

    KeywordRows rows;
    rows.mIgnoresAsciiCase = !DataBridge::isServerDatabase(DataBridge::defaultDatabase());
    for (int i = kTermColumns + 1; i <= names.Count(); ++i)
        rows.mNames.Add(names.Item(i));
    ResultRows::Builder shown(all.columnNames().mid(kTermColumns));
    for (int row = 0; row < all.Count(); ++row) {
        const std::string_view isNull = all.utf8(row, 0);
        rows.mTermIsNull.push_back(isNull == "1" || isNull == "t" || isNull == "true");
        rows.mTerms += all.text(row, 1);
        rows.mTermEnds.push_back(uint32_t(rows.mTerms.size()));
        for (int column = kTermColumns; column < all.columnCount(); ++column)
            shown.addCell(all.utf8(row, column));
    }
    rows.mRows = shown.finish();
    return rows;
}

QStringView KeywordRows::term(int row) const
{
    const uint32_t begin = row == 0 ? 0 : mTermEnds[size_t(row) - 1];
    return QStringView(mTerms).mid(begin, mTermEnds[size_t(row)] - begin);
}

ResultRows KeywordRows::matching(const QString &keyword, KeywordMatch match) const
{
    std::vector<int> found;
    std::vector<int> foundByPinyin;
    const bool pinyin = match == KeywordMatch::Pinyin;
    const QString needle = pinyin ? folded(keyword, widthAndAsciiCaseFolded)
                                  : mIgnoresAsciiCase ? folded(keyword, asciiLower) : keyword;
    const PinyinKeyword reading(pinyin ? keyword : QString());
    for (int row = 0; row < int(mTermEnds.size()); ++row) {
        if (mTermIsNull[size_t(row)])
            continue;
        const QStringView text = term(row);
        const bool holdsKeyword = pinyin              ? holds(text, needle, widthAndAsciiCaseFolded)
                                  : mIgnoresAsciiCase ? holds(text, needle, asciiLower)
                                                      : holds(text, needle, exact);
        if (holdsKeyword)
            found.push_back(row);
        else if (reading.matches(text))
            foundByPinyin.push_back(row);
    }
    found.insert(found.end(), foundByPinyin.begin(), foundByPinyin.end());
    ResultRows::Builder shown(mRows.columnNames());
    for (const int row : found) {
        for (int column = 0; column < mRows.columnCount(); ++column)
            shown.addCell(mRows.utf8(row, column));
    }
    return shown.finish();
}

} // namespace velmarith::search
