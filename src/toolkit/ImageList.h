#pragma once

#include "toolkit/Control.h"

#include <QHash>
#include <QPixmap>

namespace velmarith::toolkit {

/// Pictures kept by key for other controls to show; it has no face of its own.
class ImageList final : public Control
{
    Q_OBJECT

public:
    explicit ImageList(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("MSComctlLib.ImageList"); }
    [[nodiscard]] bool hasTabIndex() const override { return false; }

    /// Adds a picture; error 35602 when the key is taken.
    void add(const QString &key, const QPixmap &picture);
    /// Error 35601 when no picture has the key.
    [[nodiscard]] QPixmap image(const QString &key) const;
    [[nodiscard]] int count() const { return int(mImages.size()); }

private:
    QHash<QString, QPixmap> mImages;
};

} // namespace velmarith::toolkit
