#pragma once

#include <QStringList>

namespace velmarith::toolkit {

/// 宋体 (SimSun), the dialogs' design font, with the CJK fonts a Linux desktop has instead.
[[nodiscard]] inline QStringList songTi()
{
    return {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
            QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")};
}

} // namespace velmarith::toolkit
