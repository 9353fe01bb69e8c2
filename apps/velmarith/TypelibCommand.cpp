#include "TypelibCommand.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace velmarith::app {
namespace {

QString parameterText(const QJsonObject &parameter)
{
    QString text = parameter[u"name"].toString() + QStringLiteral(" As ") + parameter[u"type"].toString();
    if (parameter[u"direction"].toString() == u"inout")
        text.prepend(QStringLiteral("ByRef "));
    if (parameter[u"optional"].toBool()) {
        const QJsonValue fallback = parameter[u"default"];
        const QString shown = fallback.isNull()   ? QStringLiteral("Nothing")
                              : fallback.isString() ? QStringLiteral("\"%1\"").arg(fallback.toString())
                                                    : QString::number(fallback.toInt());
        text = QStringLiteral("[Optional ") + text + QStringLiteral(" = ") + shown + QStringLiteral("]");
    }
    return text;
}

QString memberText(const QJsonObject &member)
{
    if (member[u"unassigned"].toBool())
        return QStringLiteral("(unassigned)");
    const QString kind = member[u"kind"].toString();
    const QString name = member[u"name"].toString();
    if (kind != u"method")
        return QStringLiteral("property %1 %2 As %3").arg(kind, name, member[u"type"].toString());
    QStringList parameters;
    for (const QJsonValue &parameter : member[u"params"].toArray())
        parameters.append(parameterText(parameter.toObject()));
    const QString result = member[u"result"].toString();
    return QStringLiteral("%1 %2(%3)%4")
        .arg(result == u"void" ? QStringLiteral("Sub") : QStringLiteral("Function"), name, parameters.join(QStringLiteral(", ")),
             result == u"void" ? QString() : QStringLiteral(" As ") + result);
}

void printInterface(const QJsonObject &interface, QTextStream &out)
{
    out << "\n" << interface[u"kind"].toString() << " interface " << interface[u"name"].toString() << " "
        << interface[u"iid"].toString() << " [" << interface[u"flags"].toVariant().toStringList().join(QStringLiteral(", "))
        << "]\n";
    for (const QJsonValue &member : interface[u"members"].toArray()) {
        const QJsonObject entry = member.toObject();
        const QString where = entry.contains(u"slot") ? QStringLiteral("slot %1").arg(entry[u"slot"].toInt(), 2)
                                                      : QStringLiteral("       ");
        const QJsonValue dispid = entry[u"dispid"];
        const QString id = dispid.isString() ? dispid.toString() : dispid.isDouble() ? QString::number(dispid.toInt()) : QString();
        out << "  " << where << "  " << id.leftJustified(10) << "  " << memberText(entry) << "\n";
    }
}

void printClass(const QJsonObject &coclass, QTextStream &out)
{
    out << "\nclass " << coclass[u"name"].toString() << " " << coclass[u"clsid"].toString() << " "
        << coclass[u"progid"].toString() << ": default " << coclass[u"default"].toString() << ", events "
        << (coclass[u"source"].isNull() ? QStringLiteral("none") : coclass[u"source"].toString()) << "\n";
}

QJsonObject named(const QJsonArray &entries, const QString &name)
{
    for (const QJsonValue &value : entries) {
        if (value[u"name"].toString() == name)
            return value.toObject();
    }
    return {};
}

// The entries in the type library's own order, each interface with its members, each class
// with its interfaces.
void print(const QJsonObject &library, QTextStream &out)
{
    out << "library " << library[u"name"].toString() << " " << library[u"libid"].toString() << " version "
        << library[u"version"].toString() << " locale " << library[u"lcid"].toString() << "\n";
    for (const QJsonValue &entry : library[u"entries"].toArray()) {
        const QString name = entry.toString();
        if (const QJsonObject interface = named(library[u"interfaces"].toArray(), name); !interface.isEmpty())
            printInterface(interface, out);
        else
            printClass(named(library[u"classes"].toArray(), name), out);
    }
}

} // namespace

Command typelibCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("typelib"),
                         QStringLiteral("显示库文件中的类型库 / Prints the type library kept inside the library file"));
    if (parser.parse(arguments))
        return parser.helpCommand();
    return {false, [](QTextStream &out) {
                QFile resource(QStringLiteral(":/TYPELIB/1"));
                if (!resource.open(QIODevice::ReadOnly))
                    throw CommandFailure(QStringLiteral("库文件中没有类型库 / the library file holds no type library"));
                print(QJsonDocument::fromJson(resource.readAll()).object(), out);
                return int(kConfirmed);
            }};
}

} // namespace velmarith::app
