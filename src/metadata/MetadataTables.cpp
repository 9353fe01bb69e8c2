#include "metadata/MetadataTables.h"

#include <utility>

namespace velmarith::detail {
namespace {

const QString kWindows = QStringLiteral("系统窗体表");
const QString kDisplay = QStringLiteral("系统显示项目表");
const QString kRelations = QStringLiteral("系统约束关联表");
const QString kDictionary = QStringLiteral("系统数据字典表");

QString createStatement(const QString &table, const QStringList &columns)
{
    return QStringLiteral("create table if not exists %1(%2 text)").arg(table, columns.join(QStringLiteral(" text, ")));
}

struct Entry {
    const char16_t *value;
    const char16_t *meaning;
};

// One field's enumeration: its relation row and its dictionary rows.
struct Enumeration {
    const QString &table;
    const char16_t *field;
    std::vector<Entry> entries;
};

const std::vector<Enumeration> &enumerations()
{
    static const std::vector<Enumeration> all{
        {kRelations,
         u"关联类型",
         {{u"0", u"隐藏"}, {u"1", u"预设"}, {u"2", u"自增"}, {u"3", u"枚举"}, {u"4", u"绑定"}, {u"5", u"等同到"},
          {u"6", u"译形到"}, {u"7", u"唯一"}, {u"8", u"非空"}}},
        {kDisplay, u"显示方式", {{u"Left", u"左对齐"}, {u"Right", u"右对齐"}, {u"Center", u"居中"}}},
        {kDisplay, u"是否显示", {{u"1", u"显示"}, {u"0", u"不显示"}}},
    };
    return all;
}

// The fields that name a row of each table, which an entry cannot do without.
const std::vector<std::pair<const QString &, QStringList>> &requiredFields()
{
    static const std::vector<std::pair<const QString &, QStringList>> all{
        {kWindows, {QStringLiteral("窗体名称"), QStringLiteral("识别码")}},
        {kDisplay, {QStringLiteral("窗体名称"), QStringLiteral("显示区域名称"), QStringLiteral("识别码"), QStringLiteral("序号"),
                    QStringLiteral("项目名称")}},
        {kRelations, {QStringLiteral("表名"), QStringLiteral("项目")}},
        {kDictionary, {QStringLiteral("表名"), QStringLiteral("项目"), QStringLiteral("内容")}},
    };
    return all;
}

} // namespace

QStringList metadataTableNames()
{
    return {kWindows, kDisplay, kRelations, kDictionary};
}

const QStringList &windowColumns()
{
    static const QStringList columns{QStringLiteral("窗体名称"), QStringLiteral("识别码"), QStringLiteral("窗体位置"),
                                     QStringLiteral("窗体样式"), QStringLiteral("窗体宽度"), QStringLiteral("窗体高度"),
                                     QStringLiteral("列表高度")};
    return columns;
}

const QStringList &displayColumns()
{
    static const QStringList columns{QStringLiteral("窗体名称"), QStringLiteral("显示区域名称"), QStringLiteral("识别码"),
                                     QStringLiteral("是否显示"), QStringLiteral("显示顺序"), QStringLiteral("序号"),
                                     QStringLiteral("显示名称"), QStringLiteral("显示宽度"), QStringLiteral("显示方式"),
                                     QStringLiteral("项目名称")};
    return columns;
}

const QStringList &relationColumns()
{
    static const QStringList columns{QStringLiteral("表名"),     QStringLiteral("项目"),     QStringLiteral("关联类型"),
                                     QStringLiteral("关联表名"), QStringLiteral("关联项目"), QStringLiteral("关联说明")};
    return columns;
}

const QStringList &dictionaryColumns()
{
    static const QStringList columns{QStringLiteral("表名"), QStringLiteral("项目"), QStringLiteral("内容"), QStringLiteral("说明")};
    return columns;
}

QStringList metadataTableStatements()
{
    return {createStatement(kWindows, windowColumns()), createStatement(kDisplay, displayColumns()),
            createStatement(kRelations, relationColumns()), createStatement(kDictionary, dictionaryColumns())};
}

std::vector<QStringList> ownRelationsOf(const QString &metadataTable)
{
    std::vector<QStringList> relations;
    for (const auto &[table, fields] : requiredFields()) {
        for (const QString &field : table == metadataTable ? fields : QStringList())
            relations.push_back({table, field, QStringLiteral("8"), QString(), QString(), QString()});
    }
    for (const Enumeration &enumeration : enumerations()) {
        if (enumeration.table == metadataTable)
            relations.push_back({enumeration.table, QString::fromUtf16(enumeration.field), QStringLiteral("3"), QString(), QString(), QString()});
    }
    return relations;
}

std::vector<QStringList> ownDictionaryOf(const QString &metadataTable)
{
    std::vector<QStringList> dictionary;
    for (const Enumeration &enumeration : enumerations()) {
        for (const Entry &entry : enumeration.table == metadataTable ? enumeration.entries : std::vector<Entry>())
            dictionary.push_back({enumeration.table, QString::fromUtf16(enumeration.field), QString::fromUtf16(entry.value),
                                  QString::fromUtf16(entry.meaning)});
    }
    return dictionary;
}

} // namespace velmarith::detail
