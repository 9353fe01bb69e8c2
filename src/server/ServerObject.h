#pragma once

#include "server/Arguments.h"
#include "server/ClassBindings.h"
#include "server/ComObject.h"
#include "server/ConnectionPoint.h"
#include "server/TypeInfo.h"

#include <velmarith/server.h>

#include <atomic>
#include <map>
#include <memory>

namespace velmarith::server {

/// One object of an exported class as a host holds it: the dual interface and, for a class
/// with events, the connection point container, over the C++ object that does the work.
class ServerObject
{
public:
    /// Makes an object and hands out the interface asked for. RPC_E_WRONG_THREAD off the thread
    /// of the host's Qt application, whose widgets the dialogs would use.
    static HRESULT create(const ClassInfo &coclass, const ClassBinding &binding, REFIID riid, void **object);
    ~ServerObject();
    ServerObject(const ServerObject &) = delete;
    ServerObject &operator=(const ServerObject &) = delete;

    HRESULT queryInterface(REFIID riid, void **object);
    ULONG addRef() { return ++mRefs; }
    ULONG release();
    /// Whether its members may run here: its own thread, which is the application's.
    [[nodiscard]] bool onItsThread() const { return mApartment.mayShowWindows(); }
    [[nodiscard]] const ClassInfo &classInfo() const { return mClass; }
    /// The C++ object that does the work.
    [[nodiscard]] QObject &object() { return *mObject; }
    /// The object behind an interface pointer of one of ours; null for another's.
    [[nodiscard]] static ServerObject *behind(IDispatch *dispatch);

    HRESULT getIDsOfNames(OLECHAR **names, UINT count, DISPID *ids) const;
    HRESULT invoke(DISPID id, WORD flags, const DISPPARAMS *params, VARIANT *result, EXCEPINFO *exception, UINT *argError);
    /// The one path of every member, for Invoke and the vtable slots alike.
    HRESULT call(DISPID id, WORD flags, const Arguments &arguments, VARIANT *result, EXCEPINFO *exception, UINT *argError);
    HRESULT findConnectionPoint(REFIID riid, IConnectionPoint **point);

private:
    ServerObject(const ClassInfo &coclass, const ClassBinding &binding);
    [[nodiscard]] const MemberInfo *memberFor(DISPID id, WORD flags) const;
    HRESULT callMember(const MemberInfo &member, const Arguments &arguments, VARIANT *result, EXCEPINFO *exception,
                       UINT *argError);
    HRESULT callMethod(const MemberInfo &member, const Arguments &arguments, VARIANT *result, EXCEPINFO *exception,
                       UINT *argError);

    InterfaceSlot<ServerObject> mDual;
    InterfaceSlot<ServerObject> mContainer;
    InterfaceSlot<ServerObject> mClassInfo;
    std::atomic<ULONG> mRefs{1};
    Apartment mApartment;
    const ClassInfo &mClass;
    const ClassBinding &mBinding;
    std::unique_ptr<QObject> mObject;
    const std::vector<int> &mPropertyIndexes; ///< per member of the dual interface, in its order
    std::unique_ptr<ConnectionPoint> mEvents; ///< null for a class without events
    std::map<int, ComRef<VelmarithCollection>> mHeldCollections; ///< by property index: the objects put
};

} // namespace velmarith::server
