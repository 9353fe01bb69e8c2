#include "server/ConnectionPoint.h"

#include "server/Guid.h"
#include "server/ServerObject.h"
#include "server/Values.h"

namespace velmarith::server {
namespace {

ConnectionPoint &self(IConnectionPoint *This)
{
    return ownerOf<ConnectionPoint>(This);
}

// The point shares its object's lifetime; its own identity answers only for itself.
const IConnectionPointVtbl kVtable = {
    .QueryInterface = [](IConnectionPoint *This, REFIID riid, void **object) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_IConnectionPoint))
            return E_NOINTERFACE;
        self(This).owner().addRef();
        *object = This;
        return S_OK;
    },
    .AddRef = [](IConnectionPoint *This) { return self(This).owner().addRef(); },
    .Release = [](IConnectionPoint *This) { return self(This).owner().release(); },
    .GetConnectionInterface = [](IConnectionPoint *This, IID *iid) {
        if (!iid)
            return E_POINTER;
        *iid = self(This).iid();
        return S_OK;
    },
    .GetConnectionPointContainer = [](IConnectionPoint *This, IConnectionPointContainer **container) {
        return onThreadOf(self(This).owner(), [&] {
            return self(This).owner().queryInterface(&IID_IConnectionPointContainer, reinterpret_cast<void **>(container));
        });
    },
    .Advise = [](IConnectionPoint *This, IUnknown *sink, DWORD *cookie) {
        return onThreadOf(self(This).owner(), [&] { return self(This).advise(sink, cookie); });
    },
    .Unadvise = [](IConnectionPoint *This, DWORD cookie) {
        return onThreadOf(self(This).owner(), [&] { return self(This).unadvise(cookie); });
    },
    .EnumConnections = [](IConnectionPoint *, void **) { return E_NOTIMPL; },
};

const GUID kNullIid{};

} // namespace

ConnectionPoint::ConnectionPoint(ServerObject &owner, const InterfaceInfo &events)
    : mSlot{&kVtable, this}, mOwner(owner), mEvents(events)
{
}

VELMARITH_CALLS_THROUGH_BASE_INTERFACE HRESULT ConnectionPoint::advise(IUnknown *sink, DWORD *cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    ComRef<IDispatch> events;
    if (sink->lpVtbl->QueryInterface(sink, &mEvents.iid, reinterpret_cast<void **>(events.receive())) != S_OK &&
        sink->lpVtbl->QueryInterface(sink, &IID_IDispatch, reinterpret_cast<void **>(events.receive())) != S_OK)
        return CONNECT_E_CANNOTCONNECT;
    if (!events.get())
        return CONNECT_E_CANNOTCONNECT;
    *cookie = mNextCookie++;
    mConnections.push_back({*cookie, std::move(events)});
    return S_OK;
}

HRESULT ConnectionPoint::unadvise(DWORD cookie)
{
    const auto found = std::find_if(mConnections.begin(), mConnections.end(),
                                    [cookie](const Connection &connection) { return connection.cookie == cookie; });
    if (found == mConnections.end())
        return CONNECT_E_NOCONNECTION;
    mConnections.erase(found);
    return S_OK;
}

void ConnectionPoint::fire(const std::vector<QVariant> &arguments)
{
    const MemberInfo &event = mEvents.members.front();
    std::vector<VARIANT> values(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) // the last argument first, as Invoke expects
        putResult(arguments[i], event.parameters.at(i).type, values[arguments.size() - 1 - i]);
    DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    // A sink may unadvise while it is called: each one called holds its own reference.
    const std::vector<Connection> connections = mConnections;
    for (const Connection &connection : connections) {
        IDispatch *sink = connection.sink.get();
        sink->lpVtbl->Invoke(sink, event.dispid, &kNullIid, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
    for (VARIANT &value : values)
        VariantClear(&value);
}

} // namespace velmarith::server
