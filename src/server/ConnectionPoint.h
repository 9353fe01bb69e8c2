#pragma once

#include "server/ComObject.h"
#include "server/TypeInfo.h"

#include <velmarith/server.h>

#include <QVariant>

#include <vector>

namespace velmarith::server {

class ServerObject;

/// The connection point of a class's event interface: the sinks hosts advised, each called
/// once per event through its Invoke with dispatch id 1.
class ConnectionPoint
{
public:
    ConnectionPoint(ServerObject &owner, const InterfaceInfo &events);
    ConnectionPoint(const ConnectionPoint &) = delete;
    ConnectionPoint &operator=(const ConnectionPoint &) = delete;

    [[nodiscard]] IConnectionPoint *interface() { return reinterpret_cast<IConnectionPoint *>(&mSlot); }
    [[nodiscard]] const GUID &iid() const { return mEvents.iid; }
    [[nodiscard]] ServerObject &owner() const { return mOwner; }

    HRESULT advise(IUnknown *sink, DWORD *cookie);
    HRESULT unadvise(DWORD cookie);
    /// Raises the event with its arguments in declared order.
    void fire(const std::vector<QVariant> &arguments);

private:
    struct Connection {
        DWORD cookie;
        ComRef<IDispatch> sink;
    };

    InterfaceSlot<ConnectionPoint> mSlot;
    ServerObject &mOwner;
    const InterfaceInfo &mEvents;
    std::vector<Connection> mConnections;
    DWORD mNextCookie = 1;
};

} // namespace velmarith::server
