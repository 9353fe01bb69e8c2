#pragma once

#include "server/TypeInfo.h"

#include <velmarith/server.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

namespace velmarith::server {

/// A list of at most a few items kept inline: a call on the server allocates nothing for its
/// arguments (no member takes more than four).
template <class T>
class InlineList
{
public:
    static constexpr size_t kCapacity = 8;

    InlineList() = default;
    InlineList(std::initializer_list<T> items)
    {
        for (const T &item : items)
            push_back(item);
    }
    void assign(size_t count, const T &value)
    {
        mCount = std::min(count, kCapacity);
        std::fill(begin(), end(), value);
    }
    void push_back(const T &value)
    {
        if (mCount < kCapacity)
            mItems[mCount++] = value;
    }
    [[nodiscard]] size_t size() const { return mCount; }
    [[nodiscard]] bool empty() const { return mCount == 0; }
    [[nodiscard]] T &operator[](size_t index) { return mItems[index]; }
    [[nodiscard]] const T &operator[](size_t index) const { return mItems[index]; }
    [[nodiscard]] const T &front() const { return mItems[0]; }
    [[nodiscard]] T *begin() { return mItems.data(); }
    [[nodiscard]] T *end() { return mItems.data() + mCount; }
    [[nodiscard]] const T *begin() const { return mItems.data(); }
    [[nodiscard]] const T *end() const { return mItems.data() + mCount; }

private:
    std::array<T, kCapacity> mItems{};
    size_t mCount = 0;
};

/// A call's arguments in declared order: null where an optional one is missing (not passed, or
/// passed as VT_ERROR DISP_E_PARAMNOTFOUND), with each one's place in DISPPARAMS for puArgErr.
struct Arguments {
    InlineList<const VARIANT *> values;
    InlineList<UINT> places;

    /// Sets the caller's puArgErr to the argument's place, and passes the status through.
    HRESULT fail(HRESULT status, size_t index, UINT *argError) const;
};

/// Puts an Invoke's arguments, the last first and the named ones ahead, in declared order.
/// A property put takes its one value (named DISPID_PROPERTYPUT or not); a method takes
/// positional arguments followed by named ones (named by position, as GetIDsOfNames gives).
HRESULT argumentsInOrder(const DISPPARAMS *params, WORD flags, size_t declared, Arguments &out, UINT *argError);

/// Wraps the arguments of a call through a vtable slot, all of them given.
[[nodiscard]] Arguments slotArguments(std::initializer_list<const VARIANT *> values);

/// GetIDsOfNames over an interface's members: the first name is a member (any letter case),
/// the others its parameters, numbered from 0. Unknown names get DISPID_UNKNOWN.
HRESULT idsOfNames(const std::vector<MemberInfo> &members, OLECHAR **names, UINT count, DISPID *ids);

/// True for a missing optional argument as the component model passes it.
[[nodiscard]] bool isMissing(const VARIANT &value);

} // namespace velmarith::server
