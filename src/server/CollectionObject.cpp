// The automation Collection for hosts: Item (dispatch id 0, the default member), Add (1),
// Count (2) and Remove (3), over the library's own Collection, which the dialogs read.
#include "server/CollectionObject.h"

#include "server/Arguments.h"
#include "server/ComObject.h"
#include "server/Guid.h"
#include "server/Values.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace velmarith::server {
namespace {

const QString kSource = QStringLiteral("Velmarith.Collection");

const std::vector<MemberInfo> &collectionMembers()
{
    static const std::vector<MemberInfo> members{
        {QStringLiteral("Item"), MemberKind::Method, 0, ValueType::Void, {{QStringLiteral("Index"), ValueType::Void, false, {}}}},
        {QStringLiteral("Add"), MemberKind::Method, 1, ValueType::Void,
         {{QStringLiteral("Item"), ValueType::Void, false, {}}, {QStringLiteral("Key"), ValueType::Text, true, {}},
          {QStringLiteral("Before"), ValueType::Void, true, {}}, {QStringLiteral("After"), ValueType::Void, true, {}}}},
        {QStringLiteral("Count"), MemberKind::Get, 2, ValueType::Int32, {}},
        {QStringLiteral("Remove"), MemberKind::Method, 3, ValueType::Void, {{QStringLiteral("Index"), ValueType::Void, false, {}}}},
        {QStringLiteral("_NewEnum"), MemberKind::Method, -4, ValueType::Void, {}},
    };
    return members;
}

class CollectionObject;

// The live automation object of each collection, so a collection handed on comes back as the
// very object at each get (the host's own, when the host made it) while that object lives.
class LiveObjects
{
public:
    static LiveObjects &instance()
    {
        static LiveObjects objects;
        return objects;
    }
    std::mutex mutex;
    std::unordered_map<const Collection *, CollectionObject *> byCollection;
};

class CollectionObject
{
public:
    explicit CollectionObject(std::shared_ptr<Collection> collection);
    ~CollectionObject() { module::unlock(); }
    CollectionObject(const CollectionObject &) = delete;
    CollectionObject &operator=(const CollectionObject &) = delete;

    [[nodiscard]] VelmarithCollection *interface() { return reinterpret_cast<VelmarithCollection *>(&mSlot); }
    [[nodiscard]] const std::shared_ptr<Collection> &collection() const { return mCollection; }
    [[nodiscard]] bool onItsThread() const { return mApartment.isCurrent(); }

    HRESULT queryInterface(REFIID riid, void **object);
    ULONG addRef() { return ++mRefs; }
    /// A reference for a caller that found the object among the live ones; false when its last
    /// reference went meanwhile.
    bool addRefIfAlive()
    {
        for (ULONG refs = mRefs.load(); refs > 0;) {
            if (mRefs.compare_exchange_weak(refs, refs + 1))
                return true;
        }
        return false;
    }
    ULONG release();
    HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS *params, VARIANT *result, EXCEPINFO *exception, UINT *argError);

    HRESULT item(const VARIANT *index, VARIANT *result, EXCEPINFO *exception);
    HRESULT add(const VARIANT *item, const VARIANT *key, const VARIANT *before, const VARIANT *after, EXCEPINFO *exception);
    HRESULT remove(const VARIANT *index, EXCEPINFO *exception);

    static const VelmarithCollectionVtbl kVtable;

private:
    InterfaceSlot<CollectionObject> mSlot{&kVtable, this};
    std::atomic<ULONG> mRefs{1};
    Apartment mApartment;
    std::shared_ptr<Collection> mCollection;
};

CollectionObject::CollectionObject(std::shared_ptr<Collection> collection) : mCollection(std::move(collection))
{
    module::lock();
}

HRESULT CollectionObject::queryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_IDispatch) && !sameGuid(riid, IID_Collection))
        return E_NOINTERFACE;
    addRef();
    *object = interface();
    return S_OK;
}

ULONG CollectionObject::release()
{
    const ULONG left = --mRefs;
    if (left != 0)
        return left;
    {
        LiveObjects &live = LiveObjects::instance();
        const std::lock_guard guard(live.mutex);
        if (const auto found = live.byCollection.find(mCollection.get()); found != live.byCollection.end() && found->second == this)
            live.byCollection.erase(found);
    }
    delete this;
    return 0;
}

// Applies an index as Item and Remove read it: a number is a position from 1, text a key.
template <class Action>
HRESULT byIndex(const VARIANT *index, Action &&action)
{
    if (!index)
        return DISP_E_PARAMNOTOPTIONAL;
    Variant value;
    if (const HRESULT status = itemValue(*index, value); status != S_OK)
        return status;
    if (value.isText())
        return action(value.toString());
    QVariant position;
    if (const HRESULT status = argumentValue(*index, ValueType::Int32, position); status != S_OK)
        return status;
    return action(position.toInt());
}

HRESULT CollectionObject::item(const VARIANT *index, VARIANT *result, EXCEPINFO *exception)
{
    if (!result)
        return E_POINTER;
    return guarded(kSource, exception, [&] {
        return byIndex(index, [&](const auto &at) {
            putItem(mCollection->Item(at), *result);
            return S_OK;
        });
    });
}

HRESULT CollectionObject::add(const VARIANT *item, const VARIANT *key, const VARIANT *before, const VARIANT *after,
                              EXCEPINFO *exception)
{
    if (!item)
        return DISP_E_PARAMNOTOPTIONAL;
    if ((before && !isMissing(*before)) || (after && !isMissing(*after)))
        return E_INVALIDARG;
    Variant value;
    if (const HRESULT status = itemValue(*item, value); status != S_OK)
        return status;
    QVariant keyText{QString()};
    if (key && !isMissing(*key)) {
        if (const HRESULT status = argumentValue(*key, ValueType::Text, keyText); status != S_OK)
            return status;
    }
    return guarded(kSource, exception, [&] {
        mCollection->Add(std::move(value), keyText.toString());
        return S_OK;
    });
}

HRESULT CollectionObject::remove(const VARIANT *index, EXCEPINFO *exception)
{
    return guarded(kSource, exception, [&] {
        return byIndex(index, [&](const auto &at) {
            mCollection->Remove(at);
            return S_OK;
        });
    });
}

HRESULT CollectionObject::invoke(DISPID member, WORD flags, const DISPPARAMS *params, VARIANT *result,
                                 EXCEPINFO *exception, UINT *argError)
{
    const MemberInfo *found = nullptr;
    for (const MemberInfo &candidate : collectionMembers()) {
        if (candidate.dispid == member)
            found = &candidate;
    }
    if (!found || found->dispid < 0 || (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)))
        return DISP_E_MEMBERNOTFOUND;
    Arguments arguments;
    if (const HRESULT status = argumentsInOrder(params, flags, found->parameters.size(), arguments, argError); status != S_OK)
        return status;
    const auto &given = arguments.values;
    switch (member) {
    case 0: {
        VARIANT discarded{};
        const HRESULT status = item(given[0], result ? result : &discarded, exception);
        VariantClear(&discarded);
        return status;
    }
    case 1: return add(given[0], given[1], given[2], given[3], exception);
    case 2:
        if (result) {
            result->vt = VT_I4;
            result->lVal = mCollection->Count();
        }
        return S_OK;
    default: return remove(given[0], exception);
    }
}

template <class Self>
CollectionObject &self(Self *This)
{
    return ownerOf<CollectionObject>(This);
}

const VelmarithCollectionVtbl CollectionObject::kVtable = {
    .QueryInterface = [](VelmarithCollection *This, REFIID riid, void **object) {
        return onThreadOf(self(This), [&] { return self(This).queryInterface(riid, object); });
    },
    .AddRef = [](VelmarithCollection *This) { return self(This).addRef(); },
    .Release = [](VelmarithCollection *This) { return self(This).release(); },
    .GetTypeInfoCount = [](VelmarithCollection *, UINT *count) {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    },
    .GetTypeInfo = [](VelmarithCollection *, UINT, LCID, ITypeInfo **typeInfo) {
        if (typeInfo)
            *typeInfo = nullptr;
        return DISP_E_BADINDEX; // the platform's Collection is not described here
    },
    .GetIDsOfNames = [](VelmarithCollection *This, REFIID riid, OLECHAR **names, UINT count, LCID, DISPID *ids) {
        if (!isNullIid(riid))
            return DISP_E_UNKNOWNINTERFACE;
        return onThreadOf(self(This), [&] { return idsOfNames(collectionMembers(), names, count, ids); });
    },
    .Invoke = [](VelmarithCollection *This, DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS *params,
                 VARIANT *result, EXCEPINFO *exception, UINT *argError) {
        if (!isNullIid(riid))
            return DISP_E_UNKNOWNINTERFACE;
        return onThreadOf(self(This), [&] { return self(This).invoke(member, flags, params, result, exception, argError); });
    },
    .Item = [](VelmarithCollection *This, VARIANT *index, VARIANT *item) {
        return onThreadOf(self(This), [&] { return self(This).item(index, item, nullptr); });
    },
    .Add = [](VelmarithCollection *This, VARIANT *item, VARIANT *key, VARIANT *before, VARIANT *after) {
        return onThreadOf(self(This), [&] { return self(This).add(item, key, before, after, nullptr); });
    },
    .Count = [](VelmarithCollection *This, int32_t *count) {
        if (!count)
            return E_POINTER;
        return onThreadOf(self(This), [&] {
            *count = self(This).collection()->Count();
            return S_OK;
        });
    },
    .Remove = [](VelmarithCollection *This, VARIANT *index) {
        return onThreadOf(self(This), [&] { return self(This).remove(index, nullptr); });
    },
    .NewEnum = [](VelmarithCollection *, IUnknown **) { return E_NOTIMPL; },
};

} // namespace

VelmarithCollection *collectionObject(std::shared_ptr<Collection> collection)
{
    LiveObjects &live = LiveObjects::instance();
    const std::lock_guard guard(live.mutex);
    CollectionObject *&object = live.byCollection[collection.get()];
    if (!object || !object->addRefIfAlive())
        object = new CollectionObject(std::move(collection));
    return object->interface();
}

std::optional<std::shared_ptr<Collection>> collectionBehind(IDispatch *object)
{
    if (!object)
        return std::shared_ptr<Collection>();
    if (object->lpVtbl != reinterpret_cast<const IDispatchVtbl *>(&CollectionObject::kVtable))
        return std::nullopt;
    return ownerOf<CollectionObject>(object).collection();
}

} // namespace velmarith::server

extern "C" HRESULT VelmarithCreateCollection(VelmarithCollection **collection)
{
    if (!collection)
        return E_POINTER;
    *collection = velmarith::server::collectionObject(std::make_shared<velmarith::Collection>());
    return S_OK;
}
