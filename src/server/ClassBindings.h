#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace velmarith::server {

using EventSink = std::function<void(const std::vector<QVariant> &arguments)>;

/// What the server needs of one exported class beyond its properties, which it reaches
/// through the meta-object: its dual interface's vtable, making one, calling its method with
/// every argument in declared order, and hearing its event.
struct ClassBinding {
    const void *dualVtable;
    std::unique_ptr<QObject> (*create)();
    QVariant (*callMethod)(QObject &object, const std::vector<QVariant> &arguments);
    void (*connectEvent)(QObject &object, EventSink sink); ///< null for a class without events
};

/// The binding of a class of the type library; null for a class this build does not offer.
[[nodiscard]] const ClassBinding *bindingFor(const QString &className);

} // namespace velmarith::server
