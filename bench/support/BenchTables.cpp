#include "support/BenchTables.h"

#include <velmarith/Metadata.h>

#include <sqlite3.h>

#include <chrono>
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

// An insert of one row of 30 values into `table`, to bind and step for each generated row.
sqlite3_stmt *prepareInsert(sqlite3 *db, const std::string &table)
{
    std::string placeholders = "?";
    for (int c = 2; c <= 30; ++c)
        placeholders += ",?";
    sqlite3_stmt *insert = nullptr;
    if (sqlite3_prepare_v2(db, ("insert into " + table + " values(" + placeholders + ")").c_str(), -1, &insert, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    return insert;
}

void fill(sqlite3 *db, int rows)
{
    exec(db, "create table big(" + columnsDeclaration() + ")");
    exec(db, "begin");
    sqlite3_stmt *insert = prepareInsert(db, "big");
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

void describeForMaintenance(sqlite3 *db)
{
    for (const std::string &statement : maintenanceDescription())
        exec(db, statement);
}

void fillMaintenanceTable(sqlite3 *db, int rows)
{
    for (int l = 1; l <= 4; ++l) {
        exec(db, "create table L" + std::to_string(l) + "(代码 varchar(10), 名称 varchar(20))");
        for (int r = 1; r <= 20; ++r)
            exec(db, "insert into L" + std::to_string(l) + " values('C" + std::to_string(r) + "','名称" + std::to_string(r) + "')");
    }
    std::string columns;
    for (int f = 1; f <= 30; ++f) {
        const char *type = f <= 18 ? "varchar(20)" : f <= 22 ? "char(1)" : f <= 26 ? "integer" : "numeric(10,2)";
        columns += (f == 1 ? "" : ", ") + field(f) + " " + type;
    }
    exec(db, "create table 宽表(" + columns + ")");
    exec(db, "begin");
    sqlite3_stmt *insert = prepareInsert(db, "宽表");
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> number(0, 999999);
    for (int r = 0; r < rows; ++r) {
        char text[64];
        std::snprintf(text, sizeof text, "%07d", r + 1);
        sqlite3_bind_text(insert, 1, text, -1, SQLITE_TRANSIENT);
        for (int c = 2; c <= 10; ++c) {
            std::snprintf(text, sizeof text, "名称%06d", number(random));
            sqlite3_bind_text(insert, c, text, -1, SQLITE_TRANSIENT);
        }
        for (int c = 11; c <= 14; ++c) {
            std::snprintf(text, sizeof text, "C%d", 1 + number(random) % 20);
            sqlite3_bind_text(insert, c, text, -1, SQLITE_TRANSIENT);
        }
        for (int c = 15; c <= 18; ++c) {
            std::snprintf(text, sizeof text, "%d", 1 + number(random) % 5);
            sqlite3_bind_text(insert, c, text, -1, SQLITE_TRANSIENT);
        }
        for (int c = 19; c <= 22; ++c)
            sqlite3_bind_text(insert, c, number(random) % 2 ? "1" : "0", 1, SQLITE_STATIC);
        for (int c = 23; c <= 26; ++c)
            sqlite3_bind_int(insert, c, number(random));
        for (int c = 27; c <= 30; ++c)
            sqlite3_bind_double(insert, c, number(random) / 100.0);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "commit");
    exec(db, "create index 宽表_f01 on 宽表(f01)");
    describeForMaintenance(db);
}

// A database file made once by `fill` and kept in the build folder.
template<class Fill>
std::string cachedDatabase(const std::string &name, Fill &&fill)
{
    const std::filesystem::path folder = VELMARITH_BENCH_DATA_DIR;
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / (name + ".sqlite");
    if (std::filesystem::exists(path))
        return path.string();
    const std::filesystem::path partial = path.string() + ".part";
    std::filesystem::remove(partial);
    sqlite3 *db = nullptr;
    if (sqlite3_open(partial.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create " + partial.string());
    try {
        fill(db);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    std::filesystem::rename(partial, path);
    // As a host's database is, not one written a moment ago: connections to a file written
    // within two seconds are not pooled, which would make only the first run slower.
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - std::chrono::hours(1));
    return path.string();
}

// Names of two or three characters drawn from common surnames and given-name characters.
void fillNames(sqlite3 *db, int rows)
{
    static const char *const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴",
                                            "徐", "孙", "胡", "朱", "高", "林", "何", "郭", "马", "罗"};
    static const char *const kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳",
                                         "杰", "娟", "涛", "明", "超", "秀", "霞", "平", "刚", "桂", "英", "华"};
    exec(db, "create table 人员(编号 varchar(8), 姓名 varchar(20), 部门 varchar(10))");
    exec(db, "begin");
    sqlite3_stmt *insert = nullptr;
    if (sqlite3_prepare_v2(db, "insert into 人员 values(?,?,?)", -1, &insert, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    std::mt19937 random(20261209);
    std::uniform_int_distribution<size_t> surname(0, std::size(kSurnames) - 1);
    std::uniform_int_distribution<size_t> given(0, std::size(kGiven) - 1);
    for (int r = 0; r < rows; ++r) {
        char code[16];
        std::snprintf(code, sizeof code, "P%07d", r);
        std::string name = kSurnames[surname(random)];
        name += kGiven[given(random)];
        if (random() % 2)
            name += kGiven[given(random)];
        sqlite3_bind_text(insert, 1, code, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, r % 7 ? "D01" : "D02", -1, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "commit");
}

} // namespace

std::string field(int number)
{
    char name[8];
    std::snprintf(name, sizeof name, "f%02d", number);
    return name;
}

std::vector<std::string> maintenanceDescription()
{
    std::vector<std::string> statements;
    for (const QString &statement : Metadata::createStatements())
        statements.push_back(statement.toStdString());
    statements.push_back("insert into 系统窗体表 values('frmManage','宽表','0','0','16000','0','4000')");
    for (int f = 1; f <= 30; ++f) {
        const std::string n = std::to_string(f);
        statements.push_back("insert into 系统显示项目表 values('frmManage','lvwAny','宽表','1','" + (f < 10 ? "0" + n : n) +
                             "','" + n + "','" + field(f) + "','900','Left','" + field(f) + "')");
    }
    for (const char *type : {"2", "7", "8"})
        statements.push_back(std::string("insert into 系统约束关联表 values('宽表','f01','") + type + "','','','')");
    for (int f = 11; f <= 14; ++f)
        statements.push_back("insert into 系统约束关联表 values('宽表','" + field(f) + "','4','L" + std::to_string(f - 10) +
                             "','代码','名称')");
    for (int f = 15; f <= 18; ++f) {
        statements.push_back("insert into 系统约束关联表 values('宽表','" + field(f) + "','3','','','')");
        for (int e = 1; e <= 5; ++e)
            statements.push_back("insert into 系统数据字典表 values('宽表','" + field(f) + "','" + std::to_string(e) +
                                 "','选项" + std::to_string(e) + "')");
    }
    return statements;
}

std::string namesDatabase(int rows)
{
    return cachedDatabase("names-" + std::to_string(rows), [rows](sqlite3 *db) { fillNames(db, rows); });
}

std::string wideTableDatabase(int rows)
{
    return cachedDatabase("wide-" + std::to_string(rows), [rows](sqlite3 *db) { fill(db, rows); });
}

std::string maintenanceDatabase(int rows)
{
    return cachedDatabase("manage-" + std::to_string(rows), [rows](sqlite3 *db) { fillMaintenanceTable(db, rows); });
}

} // namespace velmarith::bench
