#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace velmarith::detail {

/// The window, list, relation and dictionary tables' names and the statements that create them.
[[nodiscard]] QStringList metadataTableNames();
[[nodiscard]] QStringList metadataTableStatements();

/// The columns of each metadata table, in the order its rows give their values.
[[nodiscard]] const QStringList &windowColumns();
[[nodiscard]] const QStringList &displayColumns();
[[nodiscard]] const QStringList &relationColumns();
[[nodiscard]] const QStringList &dictionaryColumns();

/// The relations and dictionary entries of the metadata tables' own fields: the enumerations
/// 关联类型, 显示方式 and 是否显示 with their meanings, the fields that name a row required.
[[nodiscard]] std::vector<QStringList> ownRelationsOf(const QString &metadataTable);
[[nodiscard]] std::vector<QStringList> ownDictionaryOf(const QString &metadataTable);

} // namespace velmarith::detail
