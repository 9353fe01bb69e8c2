#pragma once

#include <velmarith/Collection.h>

#include <QString>

#include <memory>

namespace velmarith::ItemPair {

/// A field name and an editor's value as text, keyed "项目名称" and "项目内容".
[[nodiscard]] std::shared_ptr<Collection> make(const QString &field, const QString &value);
[[nodiscard]] QString field(const Collection &pair);
[[nodiscard]] QString value(const Collection &pair);

} // namespace velmarith::ItemPair
