#pragma once

#include <QString>

namespace velmarith::toolkit {

/// What a screen reader should say for a caption: "确定(&Y)" is "确定", "姓名：" is "姓名",
/// "&Open" is "Open" ("&&" stays one "&").
[[nodiscard]] QString spokenText(const QString &caption);

/// What is said for an empty cell or list entry, which would otherwise be a node without a name.
[[nodiscard]] inline QString spokenBlank()
{
    return QStringLiteral("空白");
}

} // namespace velmarith::toolkit
