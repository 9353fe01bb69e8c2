#include "search/KeywordRows.h"

#include "data/KeywordCondition.h"
#include "data/StreamedQuery.h"
#include "search/PinyinKeyword.h"

#include <velmarith/DataBridge.h>

#include <QRegularExpression>

#include <algorithm>

namespace velmarith::search {
namespace {

constexpr char16_t kSeparator = u'\0';
constexpr int kPartRows = 4096;

// The caller's select with the term's column in front, or nullopt when it does not start with
// select (and maybe distinct or all).
std::optional<QString> withTermColumn(const QString &select, const QString &term)
{
    static const QRegularExpression start(QStringLiteral("^\\s*select\\s+((distinct|all)\\s+)?"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch found = start.match(select);
    if (!found.hasMatch())
        return std::nullopt;
    return select.left(found.capturedEnd()) + QStringLiteral("(%1), ").arg(term) + select.mid(found.capturedEnd());
}

char16_t asciiLower(char16_t character)
{
    return character >= u'A' && character <= u'Z' ? char16_t(character - u'A' + u'a') : character;
}

// The text as the match compares it: the like rule's letter case, and for pinyin full width too.
void fold(QString &text, KeywordMatch match, bool ignoresAsciiCase)
{
    if (match == KeywordMatch::Pinyin)
        text = foldWidth(text);
    if (ignoresAsciiCase || match == KeywordMatch::Pinyin) {
        for (QChar &character : text)
            character = QChar(asciiLower(character.unicode()));
    }
}

QString folded(QString text, KeywordMatch match, bool ignoresAsciiCase)
{
    fold(text, match, ignoresAsciiCase);
    return text;
}

} // namespace

std::optional<KeywordRows> KeywordRows::read(const QString &select, const QString &term, KeywordMatch match)
{
    const std::unique_ptr<Reader> reader = startReading(select, term, match);
    if (!reader)
        return std::nullopt;
    return reader->readRest();
}

std::unique_ptr<KeywordRows::Reader> KeywordRows::startReading(const QString &select, const QString &term, KeywordMatch match)
{
    const std::optional<QString> statement = withTermColumn(select, term);
    return statement ? std::make_unique<Reader>(*statement, match) : nullptr;
}

KeywordRows::Reader::Reader(const QString &statement, KeywordMatch match)
    : mBridge(std::make_unique<DataBridge>()), mMatch(match)
{
    mBridge->Open();
    mQuery = std::make_unique<detail::StreamedQuery>(*mBridge, statement);
    Collection names;
    mQuery->describe(&names, nullptr, nullptr);
    QStringList shownColumns;
    for (int i = 2; i <= names.Count(); ++i) {
        mNames.Add(names.Item(i));
        shownColumns.append(names.Item(i).toString());
    }
    mShown = std::make_unique<ResultRows::Builder>(shownColumns);
}

KeywordRows::Reader::~Reader() = default;

// Each cell is copied once, out of a part of the rows that then goes.
bool KeywordRows::Reader::readPart()
{
    const ResultRows part = mQuery->next(kPartRows);
    for (int row = 0; row < part.Count(); ++row) {
        const std::string_view term = part.utf8(row, 0);
        // SQLite's like reads a text only up to a NUL it holds; the rest must not shift the rows.
        mTerms += term.substr(0, term.find(char(kSeparator)));
        mTerms += char(kSeparator);
        for (int column = 1; column < part.columnCount(); ++column)
            mShown->addCell(part.utf8(row, column));
    }
    return mQuery->atEnd();
}

KeywordRows KeywordRows::Reader::readRest()
{
    while (!readPart()) {
    }
    return finish();
}

KeywordRows KeywordRows::Reader::finish()
{
    mQuery.reset();
    mBridge.reset();
    KeywordRows rows;
    rows.mMatch = mMatch;
    rows.mIgnoresAsciiCase = detail::keywordIgnoresAsciiCase(DataBridge::defaultDatabase());
    rows.mNames = mNames;
    rows.mRows = mShown->finish();
    rows.mTerms = QString::fromUtf8(mTerms);
    mTerms = {};
    fold(rows.mTerms, mMatch, rows.mIgnoresAsciiCase);
    // fromUtf8 makes room for one UTF-16 unit per byte, three times what hanzi need.
    rows.mTerms.squeeze();
    rows.mTermEnds.reserve(size_t(rows.mRows.Count()));
    for (qsizetype at = rows.mTerms.indexOf(QChar(kSeparator)); at >= 0; at = rows.mTerms.indexOf(QChar(kSeparator), at + 1))
        rows.mTermEnds.push_back(uint32_t(at));
    return rows;
}

qsizetype KeywordRows::termStart(size_t row) const
{
    return row == 0 ? 0 : qsizetype(mTermEnds[row - 1]) + 1;
}

QStringView KeywordRows::term(size_t row) const
{
    return QStringView(mTerms).mid(termStart(row), mTermEnds[row] - termStart(row));
}

std::vector<size_t> KeywordRows::rowsHolding(const QString &needle) const
{
    std::vector<size_t> found;
    if (needle.contains(kSeparator))
        return found;
    const QStringView terms(mTerms);
    size_t row = 0;
    for (qsizetype at = terms.indexOf(needle); at >= 0; at = terms.indexOf(needle, at)) {
        row = size_t(std::upper_bound(mTermEnds.begin() + qsizetype(row), mTermEnds.end(), uint32_t(at)) - mTermEnds.begin());
        found.push_back(row);
        at = mTermEnds[row] + 1; // the next row's term
    }
    return found;
}

// One pass over every term, reading on only from the characters that can begin the keyword.
std::vector<size_t> KeywordRows::rowsReading(const PinyinKeyword &reading, const std::vector<size_t> &holding) const
{
    std::vector<size_t> found;
    if (!reading.usable())
        return found;
    const QStringView terms(mTerms);
    auto held = holding.begin();
    size_t row = 0;
    for (qsizetype at = 0; at < terms.size(); ++at) {
        if (!reading.canBegin(terms[at].unicode()))
            continue;
        while (mTermEnds[row] < at)
            ++row;
        while (held != holding.end() && *held < row)
            ++held;
        const bool listedAlready = held != holding.end() && *held == row;
        if (listedAlready || reading.matchesFrom(term(row), at - termStart(row))) {
            if (!listedAlready)
                found.push_back(row);
            at = mTermEnds[row]; // the row is decided: on to the next
        }
    }
    return found;
}

ResultRows KeywordRows::matching(const QString &keyword) const
{
    std::vector<size_t> found = rowsHolding(folded(keyword, mMatch, mIgnoresAsciiCase));
    if (mMatch == KeywordMatch::Pinyin) {
        const std::vector<size_t> foundByPinyin = rowsReading(PinyinKeyword(keyword), found);
        found.insert(found.end(), foundByPinyin.begin(), foundByPinyin.end());
    }
    ResultRows::Builder shown(mRows.columnNames());
    for (const size_t row : found) {
        for (int column = 0; column < mRows.columnCount(); ++column)
            shown.addCell(mRows.utf8(int(row), column));
    }
    return shown.finish();
}

} // namespace velmarith::search
