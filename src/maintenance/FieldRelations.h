#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace velmarith {

/// What 系统约束关联表 (and 系统数据字典表) say of one field of a table.
struct FieldRelations {
    std::array<bool, 9> present{};
    QString constraintText;
    QString presetText;  // type '1': 关联项目
    QStringList entries; // types '3' and '4': the combo box list
    [[nodiscard]] std::optional<int> deciding() const
    {
        for (int type = 8; type >= 0; --type) {
            if (present[size_t(type)])
                return type;
        }
        return std::nullopt;
    }
    void add(int type, const QString &word)
    {
        present[size_t(type)] = true;
        if (word.isEmpty())
            return;
        constraintText += (constraintText.isEmpty() ? QString() : QStringLiteral("/")) + word;
    }
};

/// Reads every relation of a field, one statement per type; a failing statement counts as none.
[[nodiscard]] FieldRelations readFieldRelations(const QString &table, const QString &field);

} // namespace velmarith
