// The in-process server's entry points for making objects: one class factory per class, and
// the count of what keeps the library loaded.
#include "server/ClassBindings.h"
#include "server/ComObject.h"
#include "server/Guid.h"
#include "server/ServerObject.h"
#include "server/TypeInfo.h"

#include <array>

namespace velmarith::server {
namespace {

// A factory lives as long as the library; a reference to it, like LockServer, holds the library.
struct ClassFactory {
    InterfaceSlot<ClassFactory> slot;
    const ClassInfo *coclass = nullptr;
    const ClassBinding *binding = nullptr;
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
    .AddRef = [](IClassFactory *) -> ULONG {
        module::lock();
        return 2;
    },
    .Release = [](IClassFactory *) -> ULONG {
        module::unlock();
        return 1;
    },
    .CreateInstance = [](IClassFactory *This, IUnknown *outer, REFIID riid, void **object) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return ServerObject::create(*self(This).coclass, *self(This).binding, riid, object);
    },
    .LockServer = [](IClassFactory *, int32_t lock) {
        lock ? module::lock() : module::unlock();
        return S_OK;
    },
};

ClassFactory *factoryFor(const GUID &clsid)
{
    static std::array<ClassFactory, 4> factories{};
    static const bool filled = [] {
        const auto &classes = TypeLibrary::instance().classes;
        for (size_t i = 0; i < factories.size() && i < classes.size(); ++i)
            factories[i] = {{&kFactoryVtable, &factories[i]}, &classes[i], bindingFor(classes[i].name)};
        return true;
    }();
    (void)filled;
    for (ClassFactory &factory : factories) {
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
    return velmarith::server::module::inUse() ? S_FALSE : S_OK;
}

}
