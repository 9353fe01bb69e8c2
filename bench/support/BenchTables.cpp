#include "support/BenchTables.h"

#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <stdexcept>

namespace velmarith::bench {
namespace {

void exec(sqlite3 *db, const std::string &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string error = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error(error + " in: " + sql);
    }
}

std::string columnsDeclaration()
{
    std::string columns;
    auto add = [&](int first, int last, const char *type) {
        for (int c = first; c <= last; ++c) {
            char name[8];
            std::snprintf(name, sizeof name, "c%02d", c);
            columns += (columns.empty() ? "" : ", ") + std::string(name) + " " + type;
        }
    };
    add(1, 10, "varchar(20)");
    add(11, 15, "char(1)");
    add(16, 20, "integer");
    add(21, 25, "numeric(10,2)");
    add(26, 30, "text");
    return columns;
}

void fill(sqlite3 *db, int rows)
{
    exec(db, "create table big(" + columnsDeclaration() + ")");
    exec(db, "begin");
    sqlite3_stmt *insert = nullptr;
    std::string placeholders = "?";
    for (int c = 2; c <= 30; ++c)
        placeholders += ",?";
    sqlite3_prepare_v2(db, ("insert into big values(" + placeholders + ")").c_str(), -1, &insert, nullptr);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> number(0, 999999);
    for (int r = 0; r < rows; ++r) {
        char text[64];
        for (int c = 1; c <= 10; ++c) {
            std::snprintf(text, sizeof text, c == 1 ? "K%07d" : "名称%06d", c == 1 ? r : number(random));
            sqlite3_bind_text(insert, c, text, -1, SQLITE_TRANSIENT);
        }
        for (int c = 11; c <= 15; ++c)
            sqlite3_bind_text(insert, c, number(random) % 2 ? "1" : "0", 1, SQLITE_STATIC);
        for (int c = 16; c <= 20; ++c)
            sqlite3_bind_int(insert, c, number(random));
        for (int c = 21; c <= 25; ++c)
            sqlite3_bind_double(insert, c, number(random) / 100.0);
        for (int c = 26; c <= 30; ++c) {
            std::snprintf(text, sizeof text, "备注文字 %06d，用于测试的较长文本", number(random));
            sqlite3_bind_text(insert, c, text, -1, SQLITE_TRANSIENT);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "commit");
    exec(db, "create index big_c01 on big(c01)");
}

} // namespace

std::string wideTableDatabase(int rows)
{
    const std::filesystem::path folder = VELMARITH_BENCH_DATA_DIR;
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / ("wide-" + std::to_string(rows) + ".sqlite");
    if (std::filesystem::exists(path))
        return path.string();
    const std::filesystem::path partial = path.string() + ".part";
    std::filesystem::remove(partial);
    sqlite3 *db = nullptr;
    if (sqlite3_open(partial.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create " + partial.string());
    try {
        fill(db, rows);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    std::filesystem::rename(partial, path);
    return path.string();
}

} // namespace velmarith::bench
