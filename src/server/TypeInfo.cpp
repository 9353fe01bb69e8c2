#include "server/TypeInfo.h"

#include "server/Guid.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace velmarith::server {
namespace {

ValueType valueType(const QString &name)
{
    if (name == u"BSTR")
        return ValueType::Text;
    if (name == u"I2")
        return ValueType::Int16;
    if (name == u"I4")
        return ValueType::Int32;
    if (name == u"Collection")
        return ValueType::Collection;
    return ValueType::Void;
}

MemberKind memberKind(const QString &name)
{
    if (name == u"get")
        return MemberKind::Get;
    if (name == u"let")
        return MemberKind::Let;
    if (name == u"set")
        return MemberKind::Set;
    return MemberKind::Method;
}

MemberInfo memberOf(const QJsonObject &entry)
{
    MemberInfo member;
    member.name = entry[u"name"].toString();
    member.kind = memberKind(entry[u"kind"].toString());
    const QJsonValue dispid = entry[u"dispid"];
    member.dispid = dispid.isString() ? static_cast<DISPID>(dispid.toString().toUInt(nullptr, 16)) : dispid.toInt();
    member.type = valueType(entry[member.kind == MemberKind::Method ? u"result" : u"type"].toString());
    for (const QJsonValue &value : entry[u"params"].toArray()) {
        const QJsonObject parameter = value.toObject();
        member.parameters.push_back({parameter[u"name"].toString(), valueType(parameter[u"type"].toString()),
                                     parameter[u"optional"].toBool(), parameter[u"default"],
                                     parameter[u"direction"].toString() == u"inout"});
    }
    member.slot = entry[u"slot"].toInt();
    return member;
}

const InterfaceInfo *interfaceNamed(const std::deque<InterfaceInfo> &interfaces, const QString &name)
{
    for (const InterfaceInfo &interface : interfaces) {
        if (interface.name == name)
            return &interface;
    }
    return nullptr;
}

TypeLibrary readTypeLibrary()
{
    QFile resource(QStringLiteral(":/TYPELIB/1"));
    if (!resource.open(QIODevice::ReadOnly))
        qFatal("the type library :/TYPELIB/1 is missing from the library file");
    const QJsonObject json = QJsonDocument::fromJson(resource.readAll()).object();
    TypeLibrary library;
    library.name = json[u"name"].toString();
    library.libid = parseGuid(json[u"libid"].toString()).value_or(GUID{});
    library.version = json[u"version"].toString();
    for (const QJsonValue &value : json[u"interfaces"].toArray()) {
        const QJsonObject entry = value.toObject();
        QStringList flags;
        for (const QJsonValue &flag : entry[u"flags"].toArray())
            flags.append(flag.toString());
        InterfaceInfo interface{entry[u"name"].toString(), parseGuid(entry[u"iid"].toString()).value_or(GUID{}),
                                entry[u"kind"].toString() == u"dual", flags, {}};
        for (const QJsonValue &member : entry[u"members"].toArray()) {
            if (!member.toObject()[u"unassigned"].toBool())
                interface.members.push_back(memberOf(member.toObject()));
        }
        library.interfaces.push_back(std::move(interface));
    }
    for (const QJsonValue &value : json[u"classes"].toArray()) {
        const QJsonObject entry = value.toObject();
        library.classes.push_back({entry[u"name"].toString(), parseGuid(entry[u"clsid"].toString()).value_or(GUID{}),
                                   entry[u"progid"].toString(), interfaceNamed(library.interfaces, entry[u"default"].toString()),
                                   interfaceNamed(library.interfaces, entry[u"source"].toString())});
    }
    for (const QJsonValue &name : json[u"entries"].toArray()) {
        EntryInfo entry{interfaceNamed(library.interfaces, name.toString()), nullptr};
        for (const ClassInfo &coclass : library.classes) {
            if (coclass.name == name.toString())
                entry.coclass = &coclass;
        }
        library.entries.push_back(entry);
    }
    return library;
}

} // namespace

const TypeLibrary &TypeLibrary::instance()
{
    static const TypeLibrary library = readTypeLibrary();
    return library;
}

const ClassInfo *TypeLibrary::classOf(const GUID &clsid) const
{
    for (const ClassInfo &coclass : classes) {
        if (sameGuid(coclass.clsid, clsid))
            return &coclass;
    }
    return nullptr;
}

const ClassInfo *TypeLibrary::classWithProgid(const QString &progid) const
{
    for (const ClassInfo &coclass : classes) {
        if (coclass.progid.compare(progid, Qt::CaseInsensitive) == 0)
            return &coclass;
    }
    return nullptr;
}

} // namespace velmarith::server
