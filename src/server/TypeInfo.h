#pragma once

#include <velmarith/server.h>

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace velmarith::server {

enum class ValueType { Void, Text, Int16, Int32, Collection };
enum class MemberKind { Get, Let, Set, Method };

struct ParameterInfo {
    QString name;
    ValueType type = ValueType::Void;
    bool optional = false;
    QJsonValue fallback; ///< the default of an optional parameter; null for no object
    bool byReference = false; ///< in and out, as a collection handed on
};

struct MemberInfo {
    QString name;
    MemberKind kind = MemberKind::Method;
    DISPID dispid = 0;
    ValueType type = ValueType::Void; ///< the property's type, or the method's result
    std::vector<ParameterInfo> parameters;
    int slot = 0; ///< its vtable slot in a dual interface; 0 in a dispatch interface
};

struct InterfaceInfo {
    QString name;
    GUID iid{};
    bool dual = false;   ///< a dual interface, else a dispatch interface (the events)
    QStringList flags;   ///< hidden, nonextensible, dual, oleautomation
    std::vector<MemberInfo> members; ///< in slot order; the unassigned slot is left out
};

struct ClassInfo {
    QString name;
    GUID clsid{};
    QString progid;
    const InterfaceInfo *dual = nullptr;
    const InterfaceInfo *events = nullptr; ///< null for a class without events
};

/// One entry of the type library: an interface or a class.
struct EntryInfo {
    const InterfaceInfo *interface = nullptr;
    const ClassInfo *coclass = nullptr;
    [[nodiscard]] const QString &name() const { return interface ? interface->name : coclass->name; }
};

/// The type library kept inside the library file, read once.
struct TypeLibrary {
    QString name;
    GUID libid{};
    QString version;
    std::deque<InterfaceInfo> interfaces;
    std::deque<ClassInfo> classes;
    std::vector<EntryInfo> entries; ///< in the type library's order

    [[nodiscard]] static const TypeLibrary &instance();
    [[nodiscard]] const ClassInfo *classOf(const GUID &clsid) const;
    [[nodiscard]] const ClassInfo *classWithProgid(const QString &progid) const;
};

} // namespace velmarith::server
