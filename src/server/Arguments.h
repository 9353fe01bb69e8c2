#pragma once

#include "server/TypeInfo.h"

#include <velmarith/server.h>

#include <vector>

namespace velmarith::server {

/// A call's arguments in declared order: null where an optional one is missing (not passed, or
/// passed as VT_ERROR DISP_E_PARAMNOTFOUND), with each one's place in DISPPARAMS for puArgErr.
struct Arguments {
    std::vector<const VARIANT *> values;
    std::vector<UINT> places;

    /// Sets the caller's puArgErr to the argument's place, and passes the status through.
    HRESULT fail(HRESULT status, size_t index, UINT *argError) const;
};

/// Puts an Invoke's arguments, the last first and the named ones ahead, in declared order.
/// A property put takes its one value (named DISPID_PROPERTYPUT or not); a method takes
/// positional arguments followed by named ones (named by position, as GetIDsOfNames gives).
HRESULT argumentsInOrder(const DISPPARAMS *params, WORD flags, size_t declared, Arguments &out, UINT *argError);

/// Wraps the arguments of a call through a vtable slot, all of them given.
[[nodiscard]] Arguments slotArguments(std::vector<const VARIANT *> values);

/// GetIDsOfNames over an interface's members: the first name is a member (any letter case),
/// the others its parameters, numbered from 0. Unknown names get DISPID_UNKNOWN.
HRESULT idsOfNames(const std::vector<MemberInfo> &members, OLECHAR **names, UINT count, DISPID *ids);

/// True for a missing optional argument as the component model passes it.
[[nodiscard]] bool isMissing(const VARIANT &value);

} // namespace velmarith::server
