#include "server/Arguments.h"

#include "server/Strings.h"

namespace velmarith::server {

bool isMissing(const VARIANT &value)
{
    return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

HRESULT Arguments::fail(HRESULT status, size_t index, UINT *argError) const
{
    if (argError && index < places.size())
        *argError = places[index];
    return status;
}

HRESULT argumentsInOrder(const DISPPARAMS *params, WORD flags, size_t declared, Arguments &out, UINT *argError)
{
    static const DISPPARAMS none{};
    if (!params)
        params = &none;
    if (params->cArgs > 0 && !params->rgvarg)
        return E_INVALIDARG;
    if (params->cNamedArgs > params->cArgs || (params->cNamedArgs > 0 && !params->rgdispidNamedArgs))
        return E_INVALIDARG;
    if (params->cArgs > declared)
        return DISP_E_BADPARAMCOUNT;
    out.values.assign(declared, nullptr);
    out.places.assign(declared, 0);
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    const UINT positional = params->cArgs - params->cNamedArgs;
    for (UINT i = 0; i < positional; ++i) {
        const UINT place = params->cArgs - 1 - i;
        out.values[i] = &params->rgvarg[place];
        out.places[i] = place;
    }
    for (UINT k = 0; k < params->cNamedArgs; ++k) {
        const DISPID id = params->rgdispidNamedArgs[k];
        const DISPID index = put && id == DISPID_PROPERTYPUT ? 0 : id;
        if (index < 0 || static_cast<size_t>(index) >= declared || out.values[index] || (put && id != DISPID_PROPERTYPUT)) {
            if (argError)
                *argError = k;
            return DISP_E_PARAMNOTFOUND;
        }
        out.values[index] = &params->rgvarg[k];
        out.places[index] = k;
    }
    for (const VARIANT *&value : out.values) {
        if (value && isMissing(*value))
            value = nullptr;
    }
    return S_OK;
}

Arguments slotArguments(std::initializer_list<const VARIANT *> values)
{
    Arguments arguments{values, {}};
    for (UINT i = 0; i < arguments.values.size(); ++i)
        arguments.places.push_back(i);
    return arguments;
}

HRESULT idsOfNames(const std::vector<MemberInfo> &members, OLECHAR **names, UINT count, DISPID *ids)
{
    if (count == 0)
        return S_OK;
    if (!names || !ids)
        return E_POINTER;
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    const QString name = textOfTerminated(names[0]);
    const MemberInfo *found = nullptr;
    for (const MemberInfo &member : members) {
        if (member.name.compare(name, Qt::CaseInsensitive) == 0 && (!found || member.kind == MemberKind::Method))
            found = &member;
    }
    if (!found)
        return DISP_E_UNKNOWNNAME;
    ids[0] = found->dispid;
    HRESULT status = S_OK;
    for (UINT n = 1; n < count; ++n) {
        const QString parameter = textOfTerminated(names[n]);
        for (size_t p = 0; p < found->parameters.size(); ++p) {
            if (found->parameters[p].name.compare(parameter, Qt::CaseInsensitive) == 0)
                ids[n] = static_cast<DISPID>(p);
        }
        if (ids[n] == DISPID_UNKNOWN)
            status = DISP_E_UNKNOWNNAME;
    }
    return status;
}

} // namespace velmarith::server
