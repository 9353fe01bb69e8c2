#include "maintenance/ListLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cstdio>
#include <optional>

namespace velmarith {

namespace {

void note(const QString &text)
{
    std::fprintf(stderr, "velmarith: %s\n", qUtf8Printable(text));
}

// The whole file: databases, each holding its tables' layouts. Missing is empty, unreadable nothing.
std::optional<QJsonObject> layoutsIn(const QString &file)
{
    QFile stored(file);
    if (!stored.exists())
        return QJsonObject();
    if (!stored.open(QIODevice::ReadOnly)) {
        note(QStringLiteral("无法读取列表布局文件 %1：%2，使用默认布局").arg(file, stored.errorString()));
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(stored.readAll(), &error);
    if (!document.isObject()) {
        note(QStringLiteral("列表布局文件 %1 已损坏（%2），使用默认布局").arg(file, error.errorString()));
        return std::nullopt;
    }
    return document.object();
}

} // namespace

ListLayout readListLayout(const QString &file, const QString &database, const QString &table)
{
    ListLayout layout;
    const std::optional<QJsonObject> layouts = layoutsIn(file);
    if (!layouts)
        return layout;
    const QJsonObject saved = layouts->value(database).toObject().value(table).toObject();
    const QJsonObject columns = saved.value(QStringLiteral("columns")).toObject();
    for (auto column = columns.begin(); column != columns.end(); ++column) {
        const QJsonObject values = column.value().toObject();
        layout.columns[column.key()] = {values.value(QStringLiteral("width")).toInt(), values.value(QStringLiteral("position")).toInt()};
    }
    const QJsonObject sort = saved.value(QStringLiteral("sort")).toObject();
    layout.sortField = sort.value(QStringLiteral("field")).toString();
    layout.descending = sort.value(QStringLiteral("descending")).toBool();
    return layout;
}

void writeListLayout(const QString &file, const QString &database, const QString &table, const ListLayout &layout)
{
    std::optional<QJsonObject> layouts = layoutsIn(file);
    if (!layouts)
        layouts = QJsonObject(); // a damaged file gives way to what the person just left
    QJsonObject columns;
    for (const auto &[field, column] : layout.columns)
        columns.insert(field, QJsonObject{{QStringLiteral("width"), column.width}, {QStringLiteral("position"), column.position}});
    QJsonObject saved{{QStringLiteral("columns"), columns}};
    if (!layout.sortField.isEmpty())
        saved.insert(QStringLiteral("sort"), QJsonObject{{QStringLiteral("field"), layout.sortField},
                                                         {QStringLiteral("descending"), layout.descending}});
    QJsonObject tables = layouts->value(database).toObject();
    tables.insert(table, saved);
    layouts->insert(database, tables);

    QSaveFile target(file);
    const bool written = QDir().mkpath(QFileInfo(file).absolutePath()) && target.open(QIODevice::WriteOnly) &&
                         target.write(QJsonDocument(*layouts).toJson()) >= 0 && target.commit();
    if (!written)
        note(QStringLiteral("无法保存列表布局到 %1：%2").arg(file, target.errorString()));
}

} // namespace velmarith
