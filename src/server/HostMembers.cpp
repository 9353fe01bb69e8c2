// The members of the four classes beyond their type library, for hosts of the C interface.
#include <velmarith/Collection.h>
#include <velmarith/WinFile.h>
#include <velmarith/WinInput.h>
#include <velmarith/WinMagnge.h>
#include <velmarith/WinSearch.h>
#include <velmarith/server.h>

#include "server/CollectionObject.h"
#include "server/ServerObject.h"
#include "server/Values.h"

#include <cstring>

namespace velmarith::server {
namespace {

void putFlag(bool flag, VARIANT &out)
{
    out.vt = VT_BOOL;
    out.boolVal = flag ? -1 : 0;
}

void putTexts(const QStringList &texts, VARIANT &out)
{
    auto list = std::make_shared<Collection>();
    for (const QString &text : texts)
        list->Add(text);
    out.vt = VT_DISPATCH;
    out.pdispVal = reinterpret_cast<IDispatch *>(collectionObject(std::move(list)));
}

HRESULT get(QObject &object, const char *name, VARIANT &out)
{
    const auto is = [name](const char *member) { return std::strcmp(name, member) == 0; };
    if (auto *input = qobject_cast<WinInput *>(&object); input && is("inputAccepted"))
        putFlag(input->inputAccepted(), out);
    else if (auto *file = qobject_cast<WinFile *>(&object); file && is("fileAccepted"))
        putFlag(file->fileAccepted(), out);
    else if (file && is("selectedFiles"))
        putTexts(file->selectedFiles(), out);
    else if (auto *search = qobject_cast<WinSearch *>(&object); search && is("queryFailures"))
        putTexts(search->queryFailures(), out);
    else if (search && is("keywordMatch"))
        putValue(int32_t(search->keywordMatch()), out);
    else if (auto *manage = qobject_cast<WinMagnge *>(&object); manage && is("checksWriteConflicts"))
        putFlag(manage->checksWriteConflicts(), out);
    else if (manage && is("remembersLayout"))
        putFlag(manage->remembersLayout(), out);
    else
        return DISP_E_MEMBERNOTFOUND;
    return S_OK;
}

HRESULT put(QObject &object, const char *name, const VARIANT &value)
{
    const auto is = [name](const char *member) { return std::strcmp(name, member) == 0; };
    int32_t number = 0;
    HRESULT converted = S_OK;
    if (value.vt == VT_BOOL)
        number = value.boolVal != 0;
    else
        converted = argumentAs(value, number);
    auto *search = qobject_cast<WinSearch *>(&object);
    auto *manage = qobject_cast<WinMagnge *>(&object);
    const bool known = (search && is("keywordMatch")) || (manage && (is("checksWriteConflicts") || is("remembersLayout")));
    if (!known)
        return DISP_E_MEMBERNOTFOUND;
    if (converted != S_OK)
        return converted;
    if (search) {
        if (number < int32_t(KeywordMatch::Like) || number > int32_t(KeywordMatch::Pinyin))
            return E_INVALIDARG;
        search->setKeywordMatch(KeywordMatch(number));
    } else if (is("checksWriteConflicts")) {
        manage->setChecksWriteConflicts(number != 0);
    } else {
        manage->setRemembersLayout(number != 0);
    }
    return S_OK;
}

// Runs `call` on the C++ object behind `object` on its thread, once every pointer is there and
// the object is one of this library's.
template <class Call>
HRESULT onObjectBehind(IDispatch *object, const char *name, const void *value, Call &&call)
{
    if (!object || !name || !value)
        return E_POINTER;
    ServerObject *owner = ServerObject::behind(object);
    if (!owner)
        return E_INVALIDARG;
    return onThreadOf(*owner, [&] { return call(owner->object()); });
}

} // namespace
} // namespace velmarith::server

HRESULT VelmarithGetMember(IDispatch *object, const char *name, VARIANT *value)
{
    return velmarith::server::onObjectBehind(object, name, value, [&](QObject &owner) {
        VariantInit(value);
        return velmarith::server::get(owner, name, *value);
    });
}

HRESULT VelmarithPutMember(IDispatch *object, const char *name, const VARIANT *value)
{
    return velmarith::server::onObjectBehind(object, name, value,
                                             [&](QObject &owner) { return velmarith::server::put(owner, name, *value); });
}
