// Registration of the four classes and creation by name, with the component model's layout
// (CLSID, ProgID and TypeLib entries) kept in the registry file.
#include "server/ComObject.h"
#include "server/Guid.h"
#include "server/Registry.h"
#include "server/Strings.h"
#include "server/TypeInfo.h"
#include "server/TypeInformation.h"

#include "common/LibraryFile.h"

#include <velmarith/Error.h>
#include <velmarith/FileNames.h>

#include <QFileInfo>
#include <QJsonObject>
#include <QVersionNumber>

#include <dlfcn.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace velmarith::server {
namespace {

const QString kClsidSection = QStringLiteral("CLSID");
const QString kProgidSection = QStringLiteral("ProgID");
const QString kTypeLibSection = QStringLiteral("TypeLib");
const QString kSource = QStringLiteral("Velmarith");

// Answers `status`, keeping the reason for VelmarithGetLastException.
HRESULT failWith(HRESULT status, const QString &reason)
{
    raiseException(kSource, 0, reason, nullptr);
    return status;
}

HRESULT changeRegistry(const std::function<void(QJsonObject &)> &change)
{
    try {
        updateRegistry(change);
        return S_OK;
    } catch (const Error &error) {
        return failWith(SELFREG_E_CLASS, error.message());
    }
}

void setEntry(QJsonObject &registry, const QString &section, const QString &key, const QJsonValue &value)
{
    QJsonObject entries = registry[section].toObject();
    if (value.isUndefined())
        entries.remove(key);
    else
        entries[key] = value;
    if (entries.isEmpty())
        registry.remove(section);
    else
        registry[section] = entries;
}

QJsonObject typeLibVersions(const QJsonObject &registry, const TypeLibrary &library)
{
    return registry[kTypeLibSection].toObject()[guidText(library.libid)].toObject();
}

// What a name leads to: the CLSID given, or the one its ProgID is registered under.
std::optional<GUID> clsidNamed(const QJsonObject &registry, const QString &name)
{
    if (auto clsid = parseGuid(name))
        return clsid;
    const QJsonObject progids = registry[kProgidSection].toObject();
    for (auto entry = progids.begin(); entry != progids.end(); ++entry) {
        if (entry.key().compare(name, Qt::CaseInsensitive) == 0)
            return parseGuid(entry.value().toObject()[kClsidSection].toString());
    }
    return std::nullopt;
}

// Libraries loaded to create objects stay loaded while the process runs, as the objects may.
class LoadedServers
{
public:
    ~LoadedServers()
    {
        for (void *handle : mHandles)
            dlclose(handle);
    }

    void *load(const QString &path)
    {
        void *handle = dlopen(encodeFileName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (handle) {
            const std::lock_guard guard(mMutex);
            mHandles.push_back(handle);
        }
        return handle;
    }

private:
    std::mutex mMutex;
    std::vector<void *> mHandles;
};

using GetClassObject = HRESULT (*)(REFCLSID, REFIID, void **);
using LoadTypeLib = HRESULT (*)(const char *, ITypeLib **);

LoadedServers &loadedServers()
{
    static LoadedServers servers;
    return servers;
}

// The path the registry gives for a type library, the highest version registered.
std::optional<QString> registeredTypeLibPath(const QJsonObject &registry, const GUID &libid)
{
    const QJsonObject versions = registry[kTypeLibSection].toObject()[guidText(libid)].toObject();
    QStringList numbers = versions.keys();
    if (numbers.isEmpty())
        return std::nullopt;
    std::sort(numbers.begin(), numbers.end(), [](const QString &a, const QString &b) {
        return QVersionNumber::fromString(a) < QVersionNumber::fromString(b);
    });
    const QString path = versions[numbers.last()].toObject()[QStringLiteral("path")].toString();
    return path.isEmpty() ? std::nullopt : std::optional(path);
}

} // namespace
} // namespace velmarith::server

extern "C" {

HRESULT DllRegisterServer(void)
{
    using namespace velmarith::server;
    const QString path = velmarith::libraryFilePath();
    if (path.isEmpty())
        return failWith(SELFREG_E_CLASS, QStringLiteral("不知道库文件的位置"));
    const TypeLibrary &library = TypeLibrary::instance();
    return changeRegistry([&](QJsonObject &registry) {
        const QString libid = guidText(library.libid);
        for (const ClassInfo &coclass : library.classes) {
            const QString clsid = guidText(coclass.clsid);
            setEntry(registry, kClsidSection, clsid,
                     QJsonObject{{QStringLiteral("name"), coclass.name},
                                 {QStringLiteral("InprocServer32"), path},
                                 {QStringLiteral("ThreadingModel"), QStringLiteral("Apartment")},
                                 {kProgidSection, coclass.progid},
                                 {kTypeLibSection, libid},
                                 {QStringLiteral("Version"), library.version}});
            setEntry(registry, kProgidSection, coclass.progid, QJsonObject{{kClsidSection, clsid}});
        }
        QJsonObject versions = typeLibVersions(registry, library);
        versions[library.version] = QJsonObject{{QStringLiteral("name"), library.name},
                                                {QStringLiteral("locale"), QStringLiteral("0")},
                                                {QStringLiteral("path"), path}};
        setEntry(registry, kTypeLibSection, libid, versions);
    });
}

HRESULT DllUnregisterServer(void)
{
    using namespace velmarith::server;
    const TypeLibrary &library = TypeLibrary::instance();
    return changeRegistry([&](QJsonObject &registry) {
        for (const ClassInfo &coclass : library.classes) {
            setEntry(registry, kClsidSection, guidText(coclass.clsid), QJsonValue::Undefined);
            setEntry(registry, kProgidSection, coclass.progid, QJsonValue::Undefined);
        }
        QJsonObject versions = typeLibVersions(registry, library);
        versions.remove(library.version);
        setEntry(registry, kTypeLibSection, guidText(library.libid),
                 versions.isEmpty() ? QJsonValue(QJsonValue::Undefined) : QJsonValue(versions));
    });
}

HRESULT VelmarithGetRegistryPath(BSTR *path)
{
    if (!path)
        return E_POINTER;
    *path = velmarith::server::newBstr(velmarith::server::registryPath());
    return S_OK;
}

HRESULT VelmarithCreateInstance(const char *name, REFIID riid, void **object)
{
    using namespace velmarith::server;
    if (!name || !object)
        return E_POINTER;
    *object = nullptr;
    QJsonObject registry;
    try {
        registry = readRegistry();
    } catch (const velmarith::Error &error) {
        return failWith(REGDB_E_CLASSNOTREG, error.message());
    }
    const std::optional<GUID> clsid = clsidNamed(registry, QString::fromUtf8(name));
    const QJsonObject entry = clsid ? registry[kClsidSection].toObject()[guidText(*clsid)].toObject() : QJsonObject();
    const QString path = entry[QStringLiteral("InprocServer32")].toString();
    if (path.isEmpty())
        return REGDB_E_CLASSNOTREG;
    void *library = loadedServers().load(path);
    if (!library)
        return failWith(CO_E_DLLNOTFOUND, QString::fromLocal8Bit(dlerror()));
    const auto getClassObject = reinterpret_cast<GetClassObject>(dlsym(library, "DllGetClassObject"));
    if (!getClassObject)
        return CO_E_ERRORINDLL;
    ComRef<IClassFactory> factory;
    if (const HRESULT status = getClassObject(&*clsid, &IID_IClassFactory, reinterpret_cast<void **>(factory.receive()));
        status != S_OK)
        return status;
    return factory.get()->lpVtbl->CreateInstance(factory.get(), nullptr, riid, object);
}

HRESULT VelmarithLoadTypeLib(const char *name, ITypeLib **library)
{
    using namespace velmarith::server;
    if (!name || !library)
        return E_POINTER;
    *library = nullptr;
    QString path = velmarith::decodeFileName(QByteArray(name));
    if (const std::optional<GUID> libid = parseGuid(path)) {
        std::optional<QString> registered;
        try {
            registered = registeredTypeLibPath(readRegistry(), *libid);
        } catch (const velmarith::Error &error) {
            return failWith(TYPE_E_LIBNOTREGISTERED, error.message());
        }
        if (!registered)
            return TYPE_E_LIBNOTREGISTERED;
        path = *registered;
    }
    const QString own = QFileInfo(velmarith::libraryFilePath()).canonicalFilePath();
    if (!own.isEmpty() && QFileInfo(path).canonicalFilePath() == own) {
        *library = typeLibrary();
        return S_OK;
    }
    // Another library file of this layout: it serves its own type library.
    void *other = loadedServers().load(path);
    if (!other)
        return failWith(TYPE_E_CANTLOADLIBRARY, QString::fromLocal8Bit(dlerror()));
    const auto load = reinterpret_cast<LoadTypeLib>(dlsym(other, "VelmarithLoadTypeLib"));
    if (!load)
        return TYPE_E_CANTLOADLIBRARY;
    if (load == &VelmarithLoadTypeLib) { // the same file under another name
        *library = typeLibrary();
        return S_OK;
    }
    return load(velmarith::encodeFileName(QFileInfo(path).canonicalFilePath()).constData(), library);
}

}
