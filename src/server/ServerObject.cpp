#include "server/ServerObject.h"

#include "server/CollectionObject.h"
#include "server/Guid.h"
#include "server/TypeInformation.h"
#include "server/Values.h"

#include <QCoreApplication>
#include <QThread>

#include <map>
#include <type_traits>
#include <mutex>

namespace velmarith::server {
namespace {

ServerObject &self(IConnectionPointContainer *This)
{
    return ownerOf<ServerObject>(This);
}

const IConnectionPointContainerVtbl kContainerVtable = {
    .QueryInterface = [](IConnectionPointContainer *This, REFIID riid, void **object) {
        return self(This).queryInterface(riid, object);
    },
    .AddRef = [](IConnectionPointContainer *This) { return self(This).addRef(); },
    .Release = [](IConnectionPointContainer *This) { return self(This).release(); },
    .EnumConnectionPoints = [](IConnectionPointContainer *, void **) { return E_NOTIMPL; },
    .FindConnectionPoint = [](IConnectionPointContainer *This, REFIID riid, IConnectionPoint **point) {
        return onThreadOf(self(This), [&] { return self(This).findConnectionPoint(riid, point); });
    },
};

ServerObject &self(IProvideClassInfo *This)
{
    return ownerOf<ServerObject>(This);
}

const IProvideClassInfoVtbl kClassInfoVtable = {
    .QueryInterface = [](IProvideClassInfo *This, REFIID riid, void **object) {
        return onThreadOf(self(This), [&] { return self(This).queryInterface(riid, object); });
    },
    .AddRef = [](IProvideClassInfo *This) { return self(This).addRef(); },
    .Release = [](IProvideClassInfo *This) { return self(This).release(); },
    .GetClassInfo = [](IProvideClassInfo *This, ITypeInfo **typeInfo) {
        if (!typeInfo)
            return E_POINTER;
        *typeInfo = typeInfoOf(self(This).classInfo());
        return S_OK;
    },
};

QVariant defaultOf(const ParameterInfo &parameter)
{
    switch (parameter.type) {
    case ValueType::Text: return parameter.fallback.toString();
    case ValueType::Int16: return QVariant::fromValue(static_cast<int16_t>(parameter.fallback.toInt()));
    case ValueType::Int32: return QVariant::fromValue(static_cast<int32_t>(parameter.fallback.toInt()));
    case ValueType::Collection: return QVariant::fromValue(std::shared_ptr<Collection>());
    case ValueType::Void: break;
    }
    return {};
}

// Each member's property index in the class's meta-object, looked up by name once per class,
// so a call reaches its property directly; -1 for the method.
const std::vector<int> &propertyIndexes(const ClassInfo &coclass, const QMetaObject &meta)
{
    static std::mutex mutex;
    static std::map<const ClassInfo *, std::vector<int>> resolved;
    const std::lock_guard guard(mutex);
    auto [entry, made] = resolved.try_emplace(&coclass);
    if (made) {
        for (const MemberInfo &member : coclass.dual->members)
            entry->second.push_back(member.kind == MemberKind::Method ? -1
                                                                      : meta.indexOfProperty(member.name.toLatin1().constData()));
    }
    return entry->second;
}

// A property through the meta-object's own call, by its index and with a value of its own type:
// no QMetaProperty made afresh, no QVariant.
template <class T>
void readProperty(QObject &object, int property, T &value)
{
    void *argv[] = {&value};
    QMetaObject::metacall(&object, QMetaObject::ReadProperty, property, argv);
}

template <class T>
void writeProperty(QObject &object, int property, T &value)
{
    void *argv[] = {&value};
    QMetaObject::metacall(&object, QMetaObject::WriteProperty, property, argv);
}

} // namespace

ServerObject::ServerObject(const ClassInfo &coclass, const ClassBinding &binding)
    : mDual{binding.dualVtable, this},
      mContainer{&kContainerVtable, this},
      mClassInfo{&kClassInfoVtable, this},
      mClass(coclass),
      mBinding(binding),
      mObject(binding.create()),
      mPropertyIndexes(propertyIndexes(coclass, *mObject->metaObject()))
{
    module::lock();
    if (coclass.events && binding.connectEvent) {
        mEvents = std::make_unique<ConnectionPoint>(*this, *coclass.events);
        binding.connectEvent(*mObject, [this](const std::vector<QVariant> &arguments) { mEvents->fire(arguments); });
    }
}

ServerObject::~ServerObject()
{
    module::unlock();
}

HRESULT ServerObject::create(const ClassInfo &coclass, const ClassBinding &binding, REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (const QCoreApplication *application = QCoreApplication::instance();
        application && application->thread() != QThread::currentThread())
        return RPC_E_WRONG_THREAD;
    auto *made = new ServerObject(coclass, binding); // owned by its reference count from here
    const HRESULT status = made->queryInterface(riid, object);
    made->release();
    return status;
}

ULONG ServerObject::release()
{
    const ULONG left = --mRefs;
    if (left != 0)
        return left;
    if (mApartment.isCurrent())
        delete this;
    else // the widgets go on their own thread, when its event loop next runs
        QMetaObject::invokeMethod(mObject.get(), [this] { delete this; }, Qt::QueuedConnection);
    return 0;
}

ServerObject *ServerObject::behind(IDispatch *dispatch)
{
    for (const QString &name : {QStringLiteral("WinFile"), QStringLiteral("WinInput"), QStringLiteral("WinSearch"),
                                QStringLiteral("WinMagnge")}) {
        const ClassBinding *binding = bindingFor(name);
        if (binding && dispatch->lpVtbl == binding->dualVtable)
            return &ownerOf<ServerObject>(dispatch);
    }
    return nullptr;
}

HRESULT ServerObject::queryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (sameGuid(riid, IID_IUnknown) || sameGuid(riid, IID_IDispatch) || sameGuid(riid, mClass.dual->iid))
        *object = &mDual;
    else if (mEvents && sameGuid(riid, IID_IConnectionPointContainer))
        *object = &mContainer;
    else if (sameGuid(riid, IID_IProvideClassInfo))
        *object = &mClassInfo;
    else
        return E_NOINTERFACE;
    addRef();
    return S_OK;
}

HRESULT ServerObject::getIDsOfNames(OLECHAR **names, UINT count, DISPID *ids) const
{
    return idsOfNames(mClass.dual->members, names, count, ids);
}

const MemberInfo *ServerObject::memberFor(DISPID id, WORD flags) const
{
    const auto find = [&](MemberKind kind) -> const MemberInfo * {
        for (const MemberInfo &member : mClass.dual->members) {
            if (member.dispid == id && member.kind == kind)
                return &member;
        }
        return nullptr;
    };
    if (flags & DISPATCH_PROPERTYPUTREF)
        return find(MemberKind::Set);
    if (flags & DISPATCH_PROPERTYPUT)
        return find(MemberKind::Let);
    const MemberInfo *method = (flags & DISPATCH_METHOD) ? find(MemberKind::Method) : nullptr;
    // Clients read a property with DISPATCH_METHOD | DISPATCH_PROPERTYGET, some with the method flag alone.
    return method ? method : (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) ? find(MemberKind::Get) : nullptr;
}

HRESULT ServerObject::invoke(DISPID id, WORD flags, const DISPPARAMS *params, VARIANT *result, EXCEPINFO *exception,
                             UINT *argError)
{
    const MemberInfo *member = memberFor(id, flags);
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    const size_t declared = member->kind == MemberKind::Method ? member->parameters.size()
                            : member->kind == MemberKind::Get  ? 0
                                                               : 1;
    Arguments arguments;
    if (const HRESULT status = argumentsInOrder(params, flags, declared, arguments, argError); status != S_OK)
        return status;
    return callMember(*member, arguments, result, exception, argError);
}

HRESULT ServerObject::call(DISPID id, WORD flags, const Arguments &arguments, VARIANT *result, EXCEPINFO *exception,
                           UINT *argError)
{
    const MemberInfo *member = memberFor(id, flags);
    return member ? callMember(*member, arguments, result, exception, argError) : DISP_E_MEMBERNOTFOUND;
}

HRESULT ServerObject::callMember(const MemberInfo &member, const Arguments &arguments, VARIANT *result,
                                 EXCEPINFO *exception, UINT *argError)
{
    if (member.kind == MemberKind::Method)
        return callMethod(member, arguments, result, exception, argError);
    const int property = mPropertyIndexes[size_t(&member - mClass.dual->members.data())];
    if (member.kind == MemberKind::Get) {
        if (!arguments.values.empty())
            return DISP_E_BADPARAMCOUNT;
        if (result) {
            withCppType(member.type, [&](auto value) {
                readProperty(*mObject, property, value);
                putValue(value, *result);
            });
        }
        return S_OK;
    }
    if (arguments.values.size() != 1 || !arguments.values.front())
        return DISP_E_PARAMNOTOPTIONAL;
    HRESULT status = S_OK;
    withCppType(member.type, [&](auto value) {
        status = argumentAs(*arguments.values.front(), value);
        if (status != S_OK)
            return;
        writeProperty(*mObject, property, value);
        // The very object the host put is held, so its own Release does not end it and the
        // next get hands it back, until another is put or this object goes.
        if constexpr (std::is_same_v<decltype(value), Variant::Object>) {
            if (value)
                mHeldCollections.insert_or_assign(property, ComRef<VelmarithCollection>(collectionObject(value)));
            else
                mHeldCollections.erase(property);
        }
    });
    return status == S_OK ? S_OK : arguments.fail(status, 0, argError);
}

HRESULT ServerObject::callMethod(const MemberInfo &member, const Arguments &arguments, VARIANT *result,
                                 EXCEPINFO *exception, UINT *argError)
{
    if (arguments.values.size() > member.parameters.size())
        return DISP_E_BADPARAMCOUNT;
    std::vector<QVariant> values;
    for (size_t i = 0; i < member.parameters.size(); ++i) {
        const ParameterInfo &parameter = member.parameters[i];
        const VARIANT *given = i < arguments.values.size() ? arguments.values[i] : nullptr;
        if (!given) {
            if (!parameter.optional)
                return DISP_E_PARAMNOTOPTIONAL;
            values.push_back(defaultOf(parameter));
            continue;
        }
        QVariant value;
        if (const HRESULT status = argumentValue(*given, parameter.type, value); status != S_OK)
            return arguments.fail(status, i, argError);
        values.push_back(std::move(value));
    }
    return guarded(mClass.progid, exception, [&] {
        const QVariant returned = mBinding.callMethod(*mObject, values);
        if (result)
            putResult(returned, member.type, *result);
        return S_OK;
    });
}

HRESULT ServerObject::findConnectionPoint(REFIID riid, IConnectionPoint **point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (!mEvents || !sameGuid(riid, mEvents->iid()))
        return CONNECT_E_NOCONNECTION;
    addRef();
    *point = mEvents->interface();
    return S_OK;
}

} // namespace velmarith::server
