// ITypeInfo and ITypeLib over the type library kept inside the library file: the very data that
// drives dispatch, in the component model's shapes, for hosts that build their wrappers from
// type information.
#include "server/TypeInformation.h"

#include "server/Arguments.h"
#include "server/ClassBindings.h"
#include "server/ComObject.h"
#include "server/Guid.h"
#include "server/ServerObject.h"
#include "server/Strings.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <type_traits>

namespace velmarith::server {
namespace {

// The base IDispatch every interface derives from; it is described by the platform's own
// library, so here it has a bare entry of its own.
constexpr HREFTYPE kDispatchReference = 0xFFFF;
constexpr WORD kPointerSize = sizeof(void *);
constexpr WORD kDispatchSlots = 7;

class TypeInfoObject
{
public:
    explicit TypeInfoObject(const EntryInfo *entry, UINT index) : mEntry(entry), mIndex(index) {}
    TypeInfoObject(const TypeInfoObject &) = delete;
    TypeInfoObject &operator=(const TypeInfoObject &) = delete;

    [[nodiscard]] ITypeInfo *handOut()
    {
        mReferences.up();
        return reinterpret_cast<ITypeInfo *>(&mSlot);
    }
    [[nodiscard]] HostCount &references() { return mReferences; }
    [[nodiscard]] const InterfaceInfo *interface() const { return mEntry ? mEntry->interface : nullptr; }
    [[nodiscard]] const ClassInfo *coclass() const { return mEntry ? mEntry->coclass : nullptr; }
    [[nodiscard]] const EntryInfo *entry() const { return mEntry; }
    [[nodiscard]] UINT index() const { return mIndex; }

    static const ITypeInfoVtbl kVtable;

private:
    InterfaceSlot<TypeInfoObject> mSlot{&kVtable, this};
    const EntryInfo *mEntry; ///< null for the base IDispatch
    UINT mIndex;
    HostCount mReferences;
};

class TypeLibObject
{
public:
    [[nodiscard]] ITypeLib *handOut()
    {
        mReferences.up();
        return reinterpret_cast<ITypeLib *>(&mSlot);
    }
    [[nodiscard]] HostCount &references() { return mReferences; }

    static const ITypeLibVtbl kVtable;

private:
    InterfaceSlot<TypeLibObject> mSlot{&kVtable, this};
    HostCount mReferences;
};

// Made once, in the type library's entry order, and never moved: hosts hold their addresses.
struct Objects {
    std::deque<TypeInfoObject> entries;
    TypeInfoObject dispatch{nullptr, 0};
    TypeLibObject library;

    Objects()
    {
        const TypeLibrary &typeLibrary = TypeLibrary::instance();
        for (UINT i = 0; i < typeLibrary.entries.size(); ++i)
            entries.emplace_back(&typeLibrary.entries[i], i);
    }
};

Objects &objects()
{
    static Objects made;
    return made;
}

template <class Match>
TypeInfoObject *entryWhere(Match &&match)
{
    for (TypeInfoObject &object : objects().entries) {
        if (match(*object.entry()))
            return &object;
    }
    return nullptr;
}

TypeInfoObject &self(ITypeInfo *This)
{
    return ownerOf<TypeInfoObject>(This);
}

VARTYPE variantTypeOf(ValueType type)
{
    switch (type) {
    case ValueType::Text: return VT_BSTR;
    case ValueType::Int16: return VT_I2;
    case ValueType::Int32: return VT_I4;
    case ValueType::Collection: return VT_DISPATCH;
    case ValueType::Void: break;
    }
    return VT_VOID;
}

WORD typeFlagsOf(const QStringList &flags)
{
    WORD bits = 0;
    const std::pair<const char16_t *, WORD> known[] = {{u"hidden", TYPEFLAG_FHIDDEN},
                                                      {u"nonextensible", TYPEFLAG_FNONEXTENSIBLE},
                                                      {u"dual", TYPEFLAG_FDUAL},
                                                      {u"oleautomation", TYPEFLAG_FOLEAUTOMATION}};
    for (const auto &[name, bit] : known) {
        if (flags.contains(QString::fromUtf16(name)))
            bits |= bit;
    }
    return bits;
}

INVOKEKIND invokeKindOf(MemberKind kind)
{
    switch (kind) {
    case MemberKind::Get: return INVOKE_PROPERTYGET;
    case MemberKind::Let: return INVOKE_PROPERTYPUT;
    case MemberKind::Set: return INVOKE_PROPERTYPUTREF;
    case MemberKind::Method: break;
    }
    return INVOKE_FUNC;
}

// A FUNCDESC and what it points at, in one allocation freed by ReleaseFuncDesc. Plain arrays
// keep the block standard-layout, so the FUNCDESC handed out leads back to it.
struct FuncDescBlock {
    static constexpr size_t kMostParameters = 8;
    FUNCDESC description;
    ELEMDESC parameters[kMostParameters];
    PARAMDESCEX defaults[kMostParameters];
};
static_assert(std::is_standard_layout_v<FuncDescBlock>);

void describeDefault(const ParameterInfo &parameter, PARAMDESCEX &out)
{
    out.cBytes = sizeof(PARAMDESCEX);
    VARIANT &value = out.varDefaultValue;
    if (parameter.fallback.isString()) {
        value.vt = VT_BSTR;
        value.bstrVal = newBstr(parameter.fallback.toString());
    } else if (parameter.fallback.isDouble()) {
        value.vt = variantTypeOf(parameter.type);
        if (value.vt == VT_I2)
            value.iVal = int16_t(parameter.fallback.toInt());
        else
            value.lVal = parameter.fallback.toInt();
    } else {
        value.vt = VT_DISPATCH; // no object
        value.pdispVal = nullptr;
    }
}

FUNCDESC *describe(const InterfaceInfo &interface, const MemberInfo &member)
{
    auto *block = new FuncDescBlock{};
    FUNCDESC &description = block->description;
    description.memid = member.dispid;
    description.funckind = interface.dual ? FUNC_PUREVIRTUAL : FUNC_DISPATCH;
    description.invkind = invokeKindOf(member.kind);
    description.callconv = CC_CDECL;
    description.oVft = interface.dual ? int16_t(member.slot * kPointerSize) : 0;
    description.elemdescFunc.tdesc.vt =
        member.kind == MemberKind::Let || member.kind == MemberKind::Set ? VARTYPE(VT_VOID) : variantTypeOf(member.type);
    description.lprgelemdescParam = block->parameters;
    if (member.kind == MemberKind::Let || member.kind == MemberKind::Set) {
        // The value put, unnamed as the type library has it.
        block->parameters[0].tdesc.vt = variantTypeOf(member.type);
        block->parameters[0].paramdesc.wParamFlags = PARAMFLAG_FIN;
        description.cParams = 1;
        return &description;
    }
    const size_t count = std::min(member.parameters.size(), FuncDescBlock::kMostParameters);
    for (size_t i = 0; i < count; ++i) {
        const ParameterInfo &parameter = member.parameters[i];
        ELEMDESC &element = block->parameters[i];
        element.tdesc.vt = variantTypeOf(parameter.type);
        element.paramdesc.wParamFlags = PARAMFLAG_FIN | (parameter.byReference ? PARAMFLAG_FOUT : 0);
        if (parameter.optional) {
            element.paramdesc.wParamFlags |= PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT;
            describeDefault(parameter, block->defaults[i]);
            element.paramdesc.pparamdescex = &block->defaults[i];
            ++description.cParamsOpt;
        }
    }
    description.cParams = int16_t(count);
    return &description;
}

void release(FUNCDESC *description)
{
    if (!description)
        return;
    auto *block = reinterpret_cast<FuncDescBlock *>(description);
    for (PARAMDESCEX &fallback : block->defaults)
        VariantClear(&fallback.varDefaultValue);
    delete block;
}

TYPEATTR *attributesOf(const TypeInfoObject &object)
{
    auto *attributes = new TYPEATTR{};
    attributes->memidConstructor = MEMBERID_NIL;
    attributes->memidDestructor = MEMBERID_NIL;
    attributes->cbAlignment = kPointerSize;
    attributes->wMajorVerNum = 1;
    attributes->tdescAlias.vt = VT_EMPTY;
    if (const InterfaceInfo *interface = object.interface()) {
        attributes->guid = interface->iid;
        attributes->typekind = interface->dual ? TKIND_INTERFACE : TKIND_DISPATCH;
        attributes->cFuncs = WORD(interface->members.size());
        attributes->cImplTypes = 1;
        int slotCount = kDispatchSlots;
        for (const MemberInfo &member : interface->members)
            slotCount = std::max(slotCount, member.slot + 1);
        attributes->cbSizeVft = WORD((interface->dual ? slotCount : kDispatchSlots) * kPointerSize);
        attributes->wTypeFlags = typeFlagsOf(interface->flags);
    } else if (const ClassInfo *coclass = object.coclass()) {
        attributes->guid = coclass->clsid;
        attributes->typekind = TKIND_COCLASS;
        attributes->cImplTypes = coclass->events ? 2 : 1;
        attributes->wTypeFlags = TYPEFLAG_FCANCREATE;
    } else {
        attributes->guid = IID_IDispatch;
        attributes->typekind = TKIND_INTERFACE;
        attributes->cbSizeVft = kDispatchSlots * kPointerSize;
    }
    return attributes;
}

// The first member of that id: a property's get, which precedes its put, or the method.
const MemberInfo *memberWithId(const InterfaceInfo *interface, MEMBERID id)
{
    if (!interface)
        return nullptr;
    const auto found = std::find_if(interface->members.begin(), interface->members.end(),
                                    [id](const MemberInfo &member) { return member.dispid == id; });
    return found == interface->members.end() ? nullptr : &*found;
}

// The entry an implemented type refers to: a class's default and source interfaces, in that
// order, and every interface's base IDispatch.
std::optional<HREFTYPE> referenceOf(const TypeInfoObject &object, UINT index)
{
    if (object.interface())
        return index == 0 ? std::optional(kDispatchReference) : std::nullopt;
    const ClassInfo *coclass = object.coclass();
    if (!coclass)
        return std::nullopt;
    const InterfaceInfo *implemented = index == 0 ? coclass->dual : index == 1 ? coclass->events : nullptr;
    TypeInfoObject *target = entryWhere([&](const EntryInfo &entry) { return implemented && entry.interface == implemented; });
    return target ? std::optional(HREFTYPE(target->index())) : std::nullopt;
}

// The instance must be an object of the interface this type describes: dispatch ids repeat
// across the classes, so another class's object would run its own member of that id. Its
// Invoke sits in IDispatch's slot.
VELMARITH_CALLS_THROUGH_BASE_INTERFACE HRESULT invokeThroughDispatch(const InterfaceInfo &interface, IDispatch *dispatch,
                                                                     MEMBERID id, WORD flags, DISPPARAMS *params,
                                                                     VARIANT *result, EXCEPINFO *exception, UINT *argError)
{
    IDispatch *implemented = nullptr;
    if (dispatch->lpVtbl->QueryInterface(dispatch, &interface.iid, reinterpret_cast<void **>(&implemented)) != S_OK || !implemented)
        return E_INVALIDARG;
    implemented->lpVtbl->Release(implemented);
    return dispatch->lpVtbl->Invoke(dispatch, id, &IID_NULL, 0, flags, params, result, exception, argError);
}

HRESULT documentation(const QString &name, BSTR *out, BSTR *doc, DWORD *helpContext, BSTR *helpFile)
{
    if (out)
        *out = newBstr(name);
    if (doc)
        *doc = nullptr;
    if (helpContext)
        *helpContext = 0;
    if (helpFile)
        *helpFile = nullptr;
    return S_OK;
}

const ITypeInfoVtbl TypeInfoObject::kVtable = {
    .QueryInterface = [](ITypeInfo *This, REFIID riid, void **object) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_ITypeInfo))
            return E_NOINTERFACE;
        *object = self(This).handOut();
        return S_OK;
    },
    .AddRef = [](ITypeInfo *This) { return self(This).references().up(); },
    .Release = [](ITypeInfo *This) { return self(This).references().down(); },
    .GetTypeAttr = [](ITypeInfo *This, TYPEATTR **attributes) {
        if (!attributes)
            return E_POINTER;
        *attributes = attributesOf(self(This));
        return S_OK;
    },
    .GetTypeComp = [](ITypeInfo *, void **) { return E_NOTIMPL; },
    .GetFuncDesc = [](ITypeInfo *This, UINT index, FUNCDESC **description) {
        if (!description)
            return E_POINTER;
        *description = nullptr;
        const InterfaceInfo *interface = self(This).interface();
        if (!interface || index >= interface->members.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *description = describe(*interface, interface->members[index]);
        return S_OK;
    },
    .GetVarDesc = [](ITypeInfo *, UINT, void **) { return E_NOTIMPL; },
    .GetNames = [](ITypeInfo *This, MEMBERID id, BSTR *names, UINT maxNames, UINT *count) {
        if (!names || !count)
            return E_POINTER;
        *count = 0;
        const MemberInfo *member = memberWithId(self(This).interface(), id);
        if (!member)
            return TYPE_E_ELEMENTNOTFOUND;
        QStringList all{member->name};
        for (const ParameterInfo &parameter : member->parameters)
            all.append(parameter.name);
        for (; *count < maxNames && *count < UINT(all.size()); ++*count)
            names[*count] = newBstr(all[*count]);
        return S_OK;
    },
    .GetRefTypeOfImplType = [](ITypeInfo *This, UINT index, HREFTYPE *reference) {
        if (!reference)
            return E_POINTER;
        const std::optional<HREFTYPE> found = referenceOf(self(This), index);
        *reference = found.value_or(0);
        return found ? S_OK : TYPE_E_ELEMENTNOTFOUND;
    },
    .GetImplTypeFlags = [](ITypeInfo *This, UINT index, int32_t *flags) {
        if (!flags)
            return E_POINTER;
        *flags = 0;
        if (!referenceOf(self(This), index))
            return TYPE_E_ELEMENTNOTFOUND;
        if (self(This).coclass())
            *flags = IMPLTYPEFLAG_FDEFAULT | (index == 1 ? IMPLTYPEFLAG_FSOURCE : 0);
        return S_OK;
    },
    .GetIDsOfNames = [](ITypeInfo *This, OLECHAR **names, UINT count, MEMBERID *ids) {
        const InterfaceInfo *interface = self(This).interface();
        return interface ? idsOfNames(interface->members, names, count, ids) : DISP_E_UNKNOWNNAME;
    },
    .Invoke = [](ITypeInfo *This, void *instance, MEMBERID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                 EXCEPINFO *exception, UINT *argError) {
        const InterfaceInfo *interface = self(This).interface();
        if (!interface)
            return TYPE_E_BADMODULEKIND;
        if (!instance)
            return E_INVALIDARG;
        return invokeThroughDispatch(*interface, static_cast<IDispatch *>(instance), id, flags, params, result,
                                     exception, argError);
    },
    .GetDocumentation = [](ITypeInfo *This, MEMBERID id, BSTR *name, BSTR *doc, DWORD *helpContext, BSTR *helpFile) {
        const TypeInfoObject &object = self(This);
        if (id == MEMBERID_NIL)
            return documentation(object.entry() ? object.entry()->name() : QStringLiteral("IDispatch"), name, doc,
                                 helpContext, helpFile);
        const MemberInfo *member = memberWithId(object.interface(), id);
        return member ? documentation(member->name, name, doc, helpContext, helpFile) : TYPE_E_ELEMENTNOTFOUND;
    },
    .GetDllEntry = [](ITypeInfo *, MEMBERID, INVOKEKIND, BSTR *, BSTR *, WORD *) { return E_NOTIMPL; },
    .GetRefTypeInfo = [](ITypeInfo *, HREFTYPE reference, ITypeInfo **typeInfo) {
        if (!typeInfo)
            return E_POINTER;
        *typeInfo = nullptr;
        Objects &all = objects();
        if (reference == kDispatchReference)
            *typeInfo = all.dispatch.handOut();
        else if (reference < all.entries.size())
            *typeInfo = all.entries[reference].handOut();
        return *typeInfo ? S_OK : TYPE_E_ELEMENTNOTFOUND;
    },
    .AddressOfMember = [](ITypeInfo *, MEMBERID, INVOKEKIND, void **) { return E_NOTIMPL; },
    .CreateInstance = [](ITypeInfo *This, IUnknown *outer, REFIID riid, void **object) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        const ClassInfo *coclass = self(This).coclass();
        if (!coclass)
            return TYPE_E_BADMODULEKIND;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        const ClassBinding *binding = bindingFor(coclass->name);
        return binding ? ServerObject::create(*coclass, *binding, riid, object) : CLASS_E_CLASSNOTAVAILABLE;
    },
    .GetMops = [](ITypeInfo *, MEMBERID, BSTR *) { return E_NOTIMPL; },
    .GetContainingTypeLib = [](ITypeInfo *This, ITypeLib **library, UINT *index) {
        if (!library)
            return E_POINTER;
        *library = nullptr;
        if (!self(This).entry())
            return TYPE_E_ELEMENTNOTFOUND; // IDispatch belongs to the platform's library
        *library = objects().library.handOut();
        if (index)
            *index = self(This).index();
        return S_OK;
    },
    .ReleaseTypeAttr = [](ITypeInfo *, TYPEATTR *attributes) { delete attributes; },
    .ReleaseFuncDesc = [](ITypeInfo *, FUNCDESC *description) { release(description); },
    .ReleaseVarDesc = [](ITypeInfo *, void *) {},
};

TypeLibObject &self(ITypeLib *This)
{
    return ownerOf<TypeLibObject>(This);
}

bool nameIs(const QString &name, const OLECHAR *wanted)
{
    return wanted && name.compare(textOfTerminated(wanted), Qt::CaseInsensitive) == 0;
}

const ITypeLibVtbl TypeLibObject::kVtable = {
    .QueryInterface = [](ITypeLib *This, REFIID riid, void **object) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_ITypeLib))
            return E_NOINTERFACE;
        *object = self(This).handOut();
        return S_OK;
    },
    .AddRef = [](ITypeLib *This) { return self(This).references().up(); },
    .Release = [](ITypeLib *This) { return self(This).references().down(); },
    .GetTypeInfoCount = [](ITypeLib *) { return UINT(objects().entries.size()); },
    .GetTypeInfo = [](ITypeLib *, UINT index, ITypeInfo **typeInfo) {
        if (!typeInfo)
            return E_POINTER;
        *typeInfo = index < objects().entries.size() ? objects().entries[index].handOut() : nullptr;
        return *typeInfo ? S_OK : TYPE_E_ELEMENTNOTFOUND;
    },
    .GetTypeInfoType = [](ITypeLib *, UINT index, TYPEKIND *kind) {
        if (!kind)
            return E_POINTER;
        if (index >= objects().entries.size())
            return TYPE_E_ELEMENTNOTFOUND;
        const TypeInfoObject &object = objects().entries[index];
        *kind = object.coclass() ? TKIND_COCLASS : object.interface()->dual ? TKIND_INTERFACE : TKIND_DISPATCH;
        return S_OK;
    },
    .GetTypeInfoOfGuid = [](ITypeLib *, REFIID guid, ITypeInfo **typeInfo) {
        if (!typeInfo || !guid)
            return E_POINTER;
        TypeInfoObject *found = entryWhere([&](const EntryInfo &entry) {
            return sameGuid(*guid, entry.interface ? entry.interface->iid : entry.coclass->clsid);
        });
        *typeInfo = found ? found->handOut() : nullptr;
        return found ? S_OK : TYPE_E_ELEMENTNOTFOUND;
    },
    .GetLibAttr = [](ITypeLib *, TLIBATTR **attributes) {
        if (!attributes)
            return E_POINTER;
        const TypeLibrary &library = TypeLibrary::instance();
        const QStringList version = library.version.split(u'.');
        *attributes = new TLIBATTR{library.libid, 0x409, SYS_WIN64, WORD(version.value(0).toUInt()),
                                   WORD(version.value(1).toUInt()), 0};
        return S_OK;
    },
    .GetTypeComp = [](ITypeLib *, void **) { return E_NOTIMPL; },
    .GetDocumentation = [](ITypeLib *, int32_t index, BSTR *name, BSTR *doc, DWORD *helpContext, BSTR *helpFile) {
        if (index == -1)
            return documentation(TypeLibrary::instance().name, name, doc, helpContext, helpFile);
        if (index < 0 || size_t(index) >= objects().entries.size())
            return TYPE_E_ELEMENTNOTFOUND;
        return documentation(objects().entries[size_t(index)].entry()->name(), name, doc, helpContext, helpFile);
    },
    .IsName = [](ITypeLib *, OLECHAR *name, ULONG, int32_t *found) {
        if (!found)
            return E_POINTER;
        *found = entryWhere([&](const EntryInfo &entry) {
                     if (nameIs(entry.name(), name))
                         return true;
                     return entry.interface && std::any_of(entry.interface->members.begin(), entry.interface->members.end(),
                                                           [&](const MemberInfo &member) { return nameIs(member.name, name); });
                 }) != nullptr;
        return S_OK;
    },
    .FindName = [](ITypeLib *, OLECHAR *name, ULONG, ITypeInfo **typeInfos, MEMBERID *members, uint16_t *found) {
        if (!typeInfos || !members || !found)
            return E_POINTER;
        const uint16_t room = *found;
        *found = 0;
        const auto add = [&](TypeInfoObject &object, MEMBERID id) {
            if (*found < room) {
                typeInfos[*found] = object.handOut();
                members[(*found)++] = id;
            }
        };
        for (TypeInfoObject &object : objects().entries) {
            if (nameIs(object.entry()->name(), name))
                add(object, MEMBERID_NIL);
            if (const InterfaceInfo *interface = object.interface()) {
                const auto named = std::find_if(interface->members.begin(), interface->members.end(),
                                                [&](const MemberInfo &member) { return nameIs(member.name, name); });
                if (named != interface->members.end())
                    add(object, named->dispid);
            }
        }
        return S_OK;
    },
    .ReleaseTLibAttr = [](ITypeLib *, TLIBATTR *attributes) { delete attributes; },
};

} // namespace

ITypeInfo *typeInfoOf(const InterfaceInfo &interface)
{
    TypeInfoObject *found = entryWhere([&](const EntryInfo &entry) { return entry.interface == &interface; });
    return found ? found->handOut() : nullptr;
}

ITypeInfo *typeInfoOf(const ClassInfo &coclass)
{
    TypeInfoObject *found = entryWhere([&](const EntryInfo &entry) { return entry.coclass == &coclass; });
    return found ? found->handOut() : nullptr;
}

ITypeLib *typeLibrary()
{
    return objects().library.handOut();
}

bool typeInformationHeld()
{
    Objects &all = objects();
    return all.library.references().held() || all.dispatch.references().held() ||
           std::any_of(all.entries.begin(), all.entries.end(), [](TypeInfoObject &object) { return object.references().held(); });
}

} // namespace velmarith::server
