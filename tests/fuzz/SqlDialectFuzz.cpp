// The rewrite changes nothing but some "+" into "||" and is idempotent; MariaDB's CONCAT(…)
// form touches the same texts and keeps the statements; a text that SQLite reads as two
// statements is never taken for one.
#include "Property.h"

#include "data/SqlDialect.h"

#include <sqlite3.h>

#include <cstdint>

using namespace velmarith;

namespace {

// Whether `rewritten` is `original` with some "+" signs spelled "||".
bool onlyPlusSignsChanged(const QString &original, const QString &rewritten)
{
    qsizetype j = 0;
    for (qsizetype i = 0; i < original.size(); ++i) {
        if (j < rewritten.size() && rewritten[j] == original[i]) {
            ++j;
        } else if (original[i] == u'+' && QStringView(rewritten).mid(j, 2) == u"||") {
            j += 2;
        } else {
            return false;
        }
    }
    return j == rewritten.size();
}

// How many statements SQLite prepares from the text before it stops.
int statementsSqliteReads(const QString &text)
{
    static sqlite3 *db = [] {
        sqlite3 *opened = nullptr;
        sqlite3_open(":memory:", &opened);
        sqlite3_exec(opened, "create table t(a, b)", nullptr, nullptr, nullptr);
        return opened;
    }();
    const QByteArray utf8 = text.toUtf8();
    const char *rest = utf8.constData();
    const char *end = rest + utf8.size();
    int count = 0;
    while (rest < end) {
        sqlite3_stmt *statement = nullptr;
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, rest, int(end - rest), &statement, &tail) != SQLITE_OK)
            break;
        if (!statement)
            break;
        sqlite3_finalize(statement);
        ++count;
        rest = tail;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzz::textOf(data, size);
    const QString once = rewriteConcatenation(text);
    fuzz::require(onlyPlusSignsChanged(text, once), "the rewrite changes only + into ||", text);
    fuzz::require(rewriteConcatenation(once) == once, "the rewrite is idempotent", text);
    fuzz::require(isSingleStatement(once) == isSingleStatement(text), "the rewrite keeps the statements", text);
    const QString call = rewriteConcatenationAsCall(text);
    fuzz::require((call == text) == (once == text), "both rewrites see the same concatenations", text);
    fuzz::require(isSingleStatement(call) == isSingleStatement(text), "CONCAT keeps the statements", text);
    (void)nameMariaDbRefuses(call);
    // SQLite separates statements only at a semicolon, so only such texts need asking.
    if (text.contains(u';') && isSingleStatement(text))
        fuzz::require(statementsSqliteReads(text) <= 1, "SQLite finds no second statement", text);
    return 0;
}
