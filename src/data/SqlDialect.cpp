#include "data/SqlDialect.h"

#include "data/SqlTokens.h"

#include <QStringList>

#include <array>
#include <vector>

namespace velmarith {
namespace {

// Words after which an operand begins rather than ends: "select +'5'" is a unary plus.
bool introducesOperand(QStringView word)
{
    static constexpr std::array<const char16_t *, 36> kWords{
        u"SELECT", u"WHERE", u"AND",    u"OR",     u"NOT",    u"LIKE",   u"GLOB",     u"REGEXP", u"MATCH",
        u"IN",     u"IS",    u"BETWEEN", u"WHEN",  u"THEN",   u"ELSE",   u"CASE",     u"ON",     u"BY",
        u"HAVING", u"SET",   u"VALUES", u"DISTINCT", u"ALL",  u"AS",     u"ESCAPE",   u"FROM",   u"RETURNING",
        u"LIMIT",  u"OFFSET", u"EXISTS", u"UNION", u"EXCEPT", u"INTERSECT", u"RETURN", u"ANY",   u"SOME"};
    for (const char16_t *candidate : kWords) {
        if (word.compare(QStringView(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class Statement
{
public:
    explicit Statement(const QString &text) : mText(text), mTokens(tokenize(text)) {}

    [[nodiscard]] const std::vector<Token> &tokens() const { return mTokens; }
    [[nodiscard]] QStringView textOf(const Token &token) const
    {
        return QStringView(mText).mid(token.begin, token.end - token.begin);
    }

    // A "+" joins text when it stands between two operands and one of them is a string literal.
    [[nodiscard]] bool isConcatenation(size_t plus) const
    {
        const Token *before = neighbour(plus, -1);
        const Token *after = neighbour(plus, +1);
        if (!before || !after || !endsOperand(*before) || !beginsOperand(*after))
            return false;
        return before->kind == TokenKind::Literal || after->kind == TokenKind::Literal;
    }

    /// The tokens of the operands a concatenating "+" joins: from the first token of the one
    /// before it to the last of the one after it, a call, a parenthesis or a case expression whole.
    [[nodiscard]] std::pair<size_t, size_t> operandBefore(size_t plus) const
    {
        const size_t last = nonBlank(plus, -1);
        size_t first = last;
        if (mTokens[last].kind == TokenKind::Close) {
            first = matching(last, TokenKind::Close, TokenKind::Open, -1);
            // A name before the parenthesis makes it a call; nonBlank gives size() before the start.
            const size_t name = nonBlank(first, -1);
            if (name < mTokens.size() && mTokens[name].kind == TokenKind::Word && !introducesOperand(textOf(mTokens[name])))
                first = name;
        } else if (isWord(last, u"END")) {
            first = matchingWord(last, u"END", u"CASE", -1);
        }
        while (first < last && (mTokens[first].kind == TokenKind::Blank || mTokens[first].kind == TokenKind::Semicolon))
            ++first;
        return {first, last};
    }
    [[nodiscard]] std::pair<size_t, size_t> operandAfter(size_t plus) const
    {
        const size_t first = nonBlank(plus, +1);
        size_t last = first;
        if (mTokens[first].kind == TokenKind::Open) {
            last = matching(first, TokenKind::Open, TokenKind::Close, +1);
        } else if (isWord(first, u"CASE")) {
            last = matchingWord(first, u"CASE", u"END", +1);
        } else if (mTokens[first].kind == TokenKind::Word) {
            const size_t next = nonBlank(first, +1);
            if (next < mTokens.size() && mTokens[next].kind == TokenKind::Open)
                last = matching(next, TokenKind::Open, TokenKind::Close, +1);
        }
        // One left open runs to the text's end, whose semicolon must stay outside a call around it.
        while (last > first && (mTokens[last].kind == TokenKind::Blank || mTokens[last].kind == TokenKind::Semicolon))
            --last;
        return {first, last};
    }
    [[nodiscard]] QStringView textOf(size_t first, size_t last) const
    {
        return QStringView(mText).mid(mTokens[first].begin, mTokens[last].end - mTokens[first].begin);
    }

private:
    // The index of the next token that is not blank that way, or one beyond the ends.
    [[nodiscard]] size_t nonBlank(size_t from, int direction) const
    {
        ptrdiff_t i = ptrdiff_t(from) + direction;
        while (i >= 0 && i < ptrdiff_t(mTokens.size()) && mTokens[size_t(i)].kind == TokenKind::Blank)
            i += direction;
        return i < 0 ? mTokens.size() : size_t(i);
    }
    [[nodiscard]] bool isWord(size_t at, QStringView word) const
    {
        return at < mTokens.size() && mTokens[at].kind == TokenKind::Word && textOf(mTokens[at]).compare(word, Qt::CaseInsensitive) == 0;
    }
    // The token that closes (or opens) the one at `from`, counting nested pairs; the text's end
    // when it is never closed.
    [[nodiscard]] size_t matching(size_t from, TokenKind same, TokenKind other, int direction) const
    {
        int depth = 0;
        for (ptrdiff_t i = ptrdiff_t(from); i >= 0 && i < ptrdiff_t(mTokens.size()); i += direction) {
            depth += mTokens[size_t(i)].kind == same ? 1 : mTokens[size_t(i)].kind == other ? -1 : 0;
            if (depth == 0)
                return size_t(i);
        }
        return direction > 0 ? mTokens.size() - 1 : 0;
    }
    [[nodiscard]] size_t matchingWord(size_t from, QStringView same, QStringView other, int direction) const
    {
        int depth = 0;
        for (ptrdiff_t i = ptrdiff_t(from); i >= 0 && i < ptrdiff_t(mTokens.size()); i += direction) {
            depth += isWord(size_t(i), same) ? 1 : isWord(size_t(i), other) ? -1 : 0;
            if (depth == 0)
                return size_t(i);
        }
        return direction > 0 ? mTokens.size() - 1 : 0;
    }
    [[nodiscard]] const Token *neighbour(size_t from, int direction) const
    {
        for (ptrdiff_t i = ptrdiff_t(from) + direction; i >= 0 && i < ptrdiff_t(mTokens.size()); i += direction) {
            if (mTokens[size_t(i)].kind != TokenKind::Blank)
                return &mTokens[size_t(i)];
        }
        return nullptr;
    }
    [[nodiscard]] bool endsOperand(const Token &token) const
    {
        switch (token.kind) {
        case TokenKind::Literal:
        case TokenKind::QuotedName:
        case TokenKind::Close:
            return true;
        case TokenKind::Word:
            return !introducesOperand(textOf(token));
        default:
            return false;
        }
    }
    [[nodiscard]] static bool beginsOperand(const Token &token)
    {
        return token.kind == TokenKind::Literal || token.kind == TokenKind::QuotedName ||
               token.kind == TokenKind::Word || token.kind == TokenKind::Open;
    }

    const QString &mText;
    std::vector<Token> mTokens;
};

bool startsName(QChar c)
{
    return c.isLetter() || c == u'_' || c.unicode() >= 0x80;
}

bool continuesName(QChar c)
{
    return startsName(c) || c.isDigit() || c == u'$';
}

} // namespace

QString rewriteConcatenation(const QString &statement)
{
    if (!statement.contains(u'+'))
        return statement;
    const Statement parsed(statement);
    QString rewritten;
    rewritten.reserve(statement.size() + 16);
    const std::vector<Token> &tokens = parsed.tokens();
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == TokenKind::Plus && parsed.isConcatenation(i))
            rewritten += QStringLiteral("||");
        else
            rewritten += parsed.textOf(tokens[i]);
    }
    return rewritten;
}

QString rewriteConcatenationAsCall(const QString &statement)
{
    if (!statement.contains(u'+'))
        return statement;
    const Statement parsed(statement);
    const std::vector<Token> &tokens = parsed.tokens();
    // Each chain of operands joined by concatenating "+" signs, as token spans.
    std::vector<std::vector<std::pair<size_t, size_t>>> chains;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != TokenKind::Plus || !parsed.isConcatenation(i))
            continue;
        const auto before = parsed.operandBefore(i);
        if (chains.empty() || chains.back().back() != before)
            chains.push_back({before});
        chains.back().push_back(parsed.operandAfter(i));
    }
    QString rewritten;
    rewritten.reserve(statement.size() + 16 * qsizetype(chains.size()));
    auto chain = chains.begin();
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (chain != chains.end() && chain->front().first == i) {
            QStringList operands;
            for (const auto &[first, last] : *chain)
                operands.append(rewriteConcatenationAsCall(parsed.textOf(first, last).toString()));
            rewritten += QStringLiteral("CONCAT(") + operands.join(QStringLiteral(", ")) + u')';
            i = chain->back().second;
            ++chain;
            continue;
        }
        while (chain != chains.end() && chain->front().first < i)
            ++chain; // a chain inside an operand, rewritten with it
        rewritten += parsed.textOf(tokens[i]);
    }
    return rewritten;
}

bool isSingleStatement(const QString &statement)
{
    bool ended = false;
    for (const Token &token : tokenize(statement)) {
        if (token.kind == TokenKind::Semicolon)
            ended = true;
        else if (token.kind != TokenKind::Blank && ended)
            return false;
    }
    return true;
}

QString withTrailingCommentClosed(const QString &statement)
{
    const std::vector<Token> tokens = tokenize(statement);
    if (tokens.empty())
        return statement;
    const Token &last = tokens.back();
    const QStringView lastText = QStringView(statement).mid(last.begin, last.end - last.begin);
    if (lastText.startsWith(u"/*") && (lastText.size() < 4 || !lastText.endsWith(u"*/")))
        return statement + QStringLiteral("*/");
    if (lastText.startsWith(u"--"))
        return statement + u'\n';
    // MariaDB reads "#" to the end of the line as a comment; elsewhere a line break after it is a blank.
    for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
        const QStringView text = QStringView(statement).mid(token->begin, token->end - token->begin);
        if (token->kind == TokenKind::Blank && text.contains(u'\n'))
            break;
        if (token->kind == TokenKind::Other && text == u"#")
            return statement + u'\n';
    }
    return statement;
}

} // namespace velmarith

namespace velmarith {
namespace {

constexpr qsizetype kLongestMariaDbName = 64;    // characters, for any name
constexpr qsizetype kLongestMariaDbFileName = 251; // bytes a table's file name may take before its suffix

// How long MariaDB's file for a table of this name is called: letters, digits and "_" of
// ASCII stand for themselves, any other character is written as @ and four hex digits.
qsizetype fileNameLength(const QString &name)
{
    qsizetype length = 0;
    for (const char32_t c : name.toUcs4())
        length += (c < 0x80 && (QChar::isLetterOrNumber(c) || c == U'_')) ? 1 : 5;
    return length;
}

QString mariaDbRefusal(const QString &name, bool namesFile)
{
    if (name.toUcs4().size() > kLongestMariaDbName)
        return QStringLiteral("名称超过 %1 个字符，数据库不能使用它：%2").arg(kLongestMariaDbName).arg(name);
    if (namesFile && fileNameLength(name) > kLongestMariaDbFileName)
        return QStringLiteral("表名太长，数据库不能用它作文件名（最多 50 个汉字）：%1").arg(name);
    return {};
}

// Words after which a name is a table's (or a database's), which MariaDB keeps as a file.
bool namesFileNext(QStringView word)
{
    return word.compare(u"table", Qt::CaseInsensitive) == 0 || word.compare(u"exists", Qt::CaseInsensitive) == 0 ||
           word.compare(u"to", Qt::CaseInsensitive) == 0 || word.compare(u"database", Qt::CaseInsensitive) == 0;
}

} // namespace

QString nameMariaDbRefuses(const QString &statement)
{
    bool namesFile = false;
    for (const Token &token : tokenize(statement)) {
        const QString text = statement.mid(token.begin, token.end - token.begin);
        if (token.kind == TokenKind::Blank)
            continue;
        if (token.kind == TokenKind::QuotedName) {
            const QChar quote = text.front();
            const QString name = text.mid(1, text.size() - 2).replace(QString(2, quote), QString(quote));
            if (const QString refusal = mariaDbRefusal(name, namesFile); !refusal.isEmpty())
                return refusal;
            continue; // "db"."table": what follows the dot is named as the first part was
        } else if (token.kind == TokenKind::Word) {
            // db.table: every part is named as the first is.
            for (const QString &part : text.split(u'.')) {
                if (const QString refusal = mariaDbRefusal(part, namesFile); !refusal.isEmpty())
                    return refusal;
            }
            namesFile = namesFileNext(text);
            continue;
        }
        if (token.kind != TokenKind::Other || text != u".")
            namesFile = false;
    }
    return {};
}

QString overlongName(const QString &statement)
{
    const qsizetype n = statement.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = statement[i];
        if (c == u'\'' || c == u'"') { // a literal, or a quoted name; doubled quotes stay inside
            qsizetype end = i + 1;
            while (end < n && !(statement[end] == c && (end + 1 >= n || statement[end + 1] != c)))
                end += statement[end] == c ? 2 : 1;
            const QString inside = statement.mid(i + 1, end - i - 1);
            if (c == u'"' && inside.toUtf8().size() > kLongestPostgresName)
                return inside;
            i = end + 1;
        } else if (statement.mid(i, 2) == u"--") {
            const qsizetype end = statement.indexOf(u'\n', i);
            i = end < 0 ? n : end + 1;
        } else if (statement.mid(i, 2) == u"/*") {
            const qsizetype end = statement.indexOf(u"*/", i + 2);
            i = end < 0 ? n : end + 2;
        } else if (startsName(c)) {
            qsizetype end = i + 1;
            while (end < n && continuesName(statement[end]))
                ++end;
            const QString name = statement.mid(i, end - i);
            if (name.toUtf8().size() > kLongestPostgresName)
                return name;
            i = end;
        } else {
            ++i;
        }
    }
    return {};
}

} // namespace velmarith
