// The type library inside the library file describes the four classes exactly as they are:
// every property, method and event, in order, with its types, parameter names and defaults.
#include <velmarith/WinFile.h>
#include <velmarith/WinInput.h>
#include <velmarith/WinMagnge.h>
#include <velmarith/WinSearch.h>

#include "ServerTesting.h"
#include "support/QtPrinting.h"

#include <velmarith/server.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QMetaProperty>

#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace velmarith;
using namespace velmarith::test;
using namespace Qt::StringLiterals;

namespace {

QJsonObject typeLibrary()
{
    QFile resource(u":/TYPELIB/1"_s);
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(resource.readAll()).object();
}

QJsonObject entryNamed(const QJsonArray &entries, const QString &name)
{
    for (const QJsonValue &entry : entries) {
        if (entry.toObject()[u"name"_s].toString() == name)
            return entry.toObject();
    }
    return {};
}

// The automation type of a C++ type as the classes declare it.
QString automationType(const QByteArray &cppType)
{
    if (cppType == "QString")
        return u"BSTR"_s;
    if (cppType == "short" || cppType == "int16_t")
        return u"I2"_s;
    if (cppType == "int" || cppType == "int32_t")
        return u"I4"_s;
    if (cppType.contains("Collection"))
        return u"Collection"_s;
    if (cppType == "void")
        return u"void"_s;
    return QString::fromLatin1("unknown " + cppType);
}

// The methods and signals a class adds itself, by name; a method with defaults appears once
// with every parameter, and once more for each parameter left off.
std::vector<QMetaMethod> ownMethods(const QMetaObject &meta, QMetaMethod::MethodType kind)
{
    std::vector<QMetaMethod> methods;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() == kind && method.access() == QMetaMethod::Public)
            methods.push_back(method);
    }
    return methods;
}

void expectMethodMatches(const QJsonObject &member, const std::vector<QMetaMethod> &candidates, const std::string &where)
{
    const QString name = member[u"name"_s].toString();
    const QJsonArray params = member[u"params"_s].toArray();
    std::vector<QMetaMethod> overloads;
    for (const QMetaMethod &method : candidates) {
        if (QString::fromLatin1(method.name()) == name)
            overloads.push_back(method);
    }
    ASSERT_FALSE(overloads.empty()) << where << ": no method " << name.toStdString();
    const QMetaMethod &whole = *std::max_element(overloads.begin(), overloads.end(),
                                                 [](const QMetaMethod &a, const QMetaMethod &b) { return a.parameterCount() < b.parameterCount(); });
    ASSERT_EQ(whole.parameterCount(), params.size()) << where << " " << name.toStdString();
    int optional = 0;
    for (int p = 0; p < params.size(); ++p) {
        const QJsonObject param = params[p].toObject();
        EXPECT_EQ(QString::fromLatin1(whole.parameterNames()[p]), param[u"name"_s].toString()) << where;
        EXPECT_EQ(automationType(whole.parameterTypeName(p)), param[u"type"_s].toString()) << where << " " << name.toStdString();
        optional += param[u"optional"_s].toBool() ? 1 : 0;
    }
    EXPECT_EQ(int(overloads.size()), 1 + optional) << where << ": every optional parameter has a default in C++";
    EXPECT_EQ(automationType(whole.typeName()), member[u"result"_s].toString()) << where;
}

void expectClassMatches(const QJsonObject &library, const QString &className, const QMetaObject &meta)
{
    const QJsonObject coclass = entryNamed(library[u"classes"_s].toArray(), className);
    ASSERT_FALSE(coclass.isEmpty()) << className.toStdString();
    const QJsonObject dual = entryNamed(library[u"interfaces"_s].toArray(), coclass[u"default"_s].toString());
    const std::string where = className.toStdString();

    QStringList properties;
    int slot = 7;
    for (const QJsonValue &value : dual[u"members"_s].toArray()) {
        const QJsonObject member = value.toObject();
        EXPECT_EQ(member[u"slot"_s].toInt(), slot++) << where << ": slots follow on from 7";
        const QString kind = member[u"kind"_s].toString();
        if (kind == u"get")
            properties.append(member[u"name"_s].toString());
        if (kind == u"method")
            expectMethodMatches(member, ownMethods(meta, QMetaMethod::Method), where);
    }
    ASSERT_EQ(meta.propertyCount() - meta.propertyOffset(), properties.size()) << where;
    for (int i = 0; i < properties.size(); ++i) {
        const QMetaProperty property = meta.property(meta.propertyOffset() + i);
        EXPECT_EQ(QString::fromLatin1(property.name()), properties[i]) << where << ": properties in slot order";
        EXPECT_TRUE(property.isWritable()) << where;
        for (const QJsonValue &value : dual[u"members"_s].toArray()) {
            if (value.toObject()[u"name"_s].toString() == properties[i]) {
                EXPECT_EQ(automationType(property.typeName()), value.toObject()[u"type"_s].toString()) << where << " " << property.name();
            }
        }
    }

    const std::vector<QMetaMethod> signalList = ownMethods(meta, QMetaMethod::Signal);
    if (coclass[u"source"_s].isNull()) {
        EXPECT_TRUE(signalList.empty()) << where << " raises no event";
        return;
    }
    const QJsonObject events = entryNamed(library[u"interfaces"_s].toArray(), coclass[u"source"_s].toString());
    EXPECT_EQ(events[u"kind"_s].toString(), u"dispatch");
    for (const QJsonValue &value : events[u"members"_s].toArray()) {
        EXPECT_EQ(value.toObject()[u"dispid"_s].toInt(), 1);
        expectMethodMatches(value.toObject(), signalList, where + " event");
    }
}

} // namespace

TEST(TypeLibrary, isInsideTheLibraryAndDescribesTheFourClassesAsTheyAre)
{
    const QJsonObject library = typeLibrary();
    ASSERT_FALSE(library.isEmpty()) << "the resource :/TYPELIB/1 is missing or not JSON";
    EXPECT_EQ(library[u"libid"_s].toString(), u"{2E2BE76F-7A65-4062-9005-DC42269B785E}");
    EXPECT_EQ(library[u"version"_s].toString(), u"1.0");
    EXPECT_EQ(library[u"entries"_s].toArray().size(), 11);
    expectClassMatches(library, u"WinFile"_s, WinFile::staticMetaObject);
    expectClassMatches(library, u"WinInput"_s, WinInput::staticMetaObject);
    expectClassMatches(library, u"WinSearch"_s, WinSearch::staticMetaObject);
    expectClassMatches(library, u"WinMagnge"_s, WinMagnge::staticMetaObject);

    const QJsonArray search = entryNamed(library[u"interfaces"_s].toArray(), u"_WinSearch"_s)[u"members"_s].toArray();
    ASSERT_EQ(search.size(), 22) << "slots 7 to 28";
    EXPECT_TRUE(search[11].toObject()[u"unassigned"_s].toBool()) << "slot 18 is left unassigned";
    EXPECT_EQ(search[12].toObject()[u"kind"_s].toString(), u"set") << "SearchDataColl is put by reference, never let";
}

TEST(TypeLibrary, theIdentitiesInTheCHeaderAreTheTypeLibrarys)
{
    const QJsonObject library = typeLibrary();
    const auto guidOf = [](const QJsonValue &text) { return parseGuid(text.toString()).value_or(GUID{}); };
    EXPECT_TRUE(sameGuid(LIBID_Velmarith, guidOf(library[u"libid"_s])));
    const std::map<QString, std::tuple<const CLSID *, const IID *, const IID *>> exported{
        {u"WinFile"_s, {&CLSID_WinFile, &IID_WinFileInterface, &DIID_WinFileEvents}},
        {u"WinInput"_s, {&CLSID_WinInput, &IID_WinInputInterface, nullptr}},
        {u"WinSearch"_s, {&CLSID_WinSearch, &IID_WinSearchInterface, &DIID_WinSearchEvents}},
        {u"WinMagnge"_s, {&CLSID_WinMagnge, &IID_WinMagngeInterface, &DIID_WinMagngeEvents}},
    };
    const QJsonArray interfaces = library[u"interfaces"_s].toArray();
    for (const QJsonValue &value : library[u"classes"_s].toArray()) {
        const QJsonObject coclass = value.toObject();
        const auto &[clsid, dual, events] = exported.at(coclass[u"name"_s].toString());
        EXPECT_TRUE(sameGuid(*clsid, guidOf(coclass[u"clsid"_s])));
        EXPECT_TRUE(sameGuid(*dual, guidOf(entryNamed(interfaces, coclass[u"default"_s].toString())[u"iid"_s])));
        if (events) {
            EXPECT_TRUE(sameGuid(*events, guidOf(entryNamed(interfaces, coclass[u"source"_s].toString())[u"iid"_s])));
        }
    }
}
