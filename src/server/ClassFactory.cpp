// The in-process server's entry points for making objects: one class factory per class, and
// the count of what keeps the library loaded.
#include "server/ClassBindings.h"
#include "server/ComObject.h"
#include "server/Guid.h"
#include "server/ServerObject.h"
#include "server/TypeInfo.h"
#include "server/TypeInformation.h"

#include <algorithm>
#include <array>

namespace velmarith::server {
namespace {

// What LockServer holds.
HostCount gServerLocks;

// A factory lives as long as the library; a reference to it, like LockServer, holds the library.
struct ClassFactory {
    InterfaceSlot<ClassFactory> slot;
    const ClassInfo *coclass = nullptr;
    const ClassBinding *binding = nullptr;
    HostCount references;
};

ClassFactory &self(IClassFactory *This)
{
    return ownerOf<ClassFactory>(This);
}

const IClassFactoryVtbl kFactoryVtable = {
    .QueryInterface = [](IClassFactory *This, REFIID riid, void **object) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_IClassFactory))
            return E_NOINTERFACE;
        This->lpVtbl->AddRef(This);
        *object = This;
        return S_OK;
    },
    .AddRef = [](IClassFactory *This) -> ULONG { return self(This).references.up(); },
    .Release = [](IClassFactory *This) -> ULONG { return self(This).references.down(); },
    .CreateInstance = [](IClassFactory *This, IUnknown *outer, REFIID riid, void **object) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return ServerObject::create(*self(This).coclass, *self(This).binding, riid, object);
    },
    .LockServer = [](IClassFactory *, int32_t lock) {
        lock ? gServerLocks.up() : gServerLocks.down();
        return S_OK;
    },
};

std::array<ClassFactory, 4> &factories()
{
    static std::array<ClassFactory, 4> made{};
    static const bool filled = [] {
        const auto &classes = TypeLibrary::instance().classes;
        for (size_t i = 0; i < made.size() && i < classes.size(); ++i) {
            made[i].slot = {&kFactoryVtable, &made[i]};
            made[i].coclass = &classes[i];
            made[i].binding = bindingFor(classes[i].name);
        }
        return true;
    }();
    (void)filled;
    return made;
}

bool factoryHeld()
{
    const auto &all = factories();
    return std::any_of(all.begin(), all.end(), [](const ClassFactory &factory) { return factory.references.held(); });
}

ClassFactory *factoryFor(const GUID &clsid)
{
    for (ClassFactory &factory : factories()) {
        if (factory.coclass && factory.binding && sameGuid(factory.coclass->clsid, clsid))
            return &factory;
    }
    return nullptr;
}

} // namespace
} // namespace velmarith::server

extern "C" {

HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void **object)
{
    using namespace velmarith::server;
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!clsid)
        return E_INVALIDARG;
    ClassFactory *factory = factoryFor(*clsid);
    if (!factory)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto *interface = reinterpret_cast<IClassFactory *>(&factory->slot);
    return interface->lpVtbl->QueryInterface(interface, riid, object);
}

HRESULT DllCanUnloadNow(void)
{
    using namespace velmarith::server;
    return module::inUse() || gServerLocks.held() || factoryHeld() || typeInformationHeld() ? S_FALSE : S_OK;
}

}
