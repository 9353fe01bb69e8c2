// The four classes through the C interface: every member by dispatch id and through its vtable
// slot, the conversions the component model checks, optional arguments and raised errors.
#include "ServerTesting.h"

#include "support/ScriptedDesktop.h"
#include "support/TempDatabase.h"

#include <velmarith/Error.h>
#include <velmarith/server.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace velmarith;
using namespace velmarith::test;
using namespace Qt::StringLiterals;
using velmarith::testing::FormDriver;

namespace {

QJsonObject typeLibrary()
{
    QFile resource(u":/TYPELIB/1"_s);
    EXPECT_TRUE(resource.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(resource.readAll()).object();
}

QJsonArray membersOf(const QJsonObject &library, const QString &interface)
{
    for (const QJsonValue &entry : library[u"interfaces"_s].toArray()) {
        if (entry[u"name"_s].toString() == interface)
            return entry[u"members"_s].toArray();
    }
    return {};
}

int slotOf(const QJsonArray &members, const QString &name, const QString &kind)
{
    for (const QJsonValue &member : members) {
        if (member[u"name"_s].toString() == name && member[u"kind"_s].toString() == kind)
            return member[u"slot"_s].toInt();
    }
    return -1;
}

template <class Function>
Function slotFunction(void *object, int slot)
{
    const auto *vtable = *static_cast<void *const *const *>(object);
    return reinterpret_cast<Function>(vtable[slot]);
}

// Reads a property through its get slot into a VARIANT, whatever its type.
HRESULT getThroughSlot(void *object, int slot, const QString &type, Value &out)
{
    VARIANT &raw = out.raw();
    if (type == u"BSTR") {
        raw.vt = VT_BSTR;
        return slotFunction<HRESULT (*)(void *, BSTR *)>(object, slot)(object, &raw.bstrVal);
    }
    if (type == u"I2") {
        raw.vt = VT_I2;
        return slotFunction<HRESULT (*)(void *, int16_t *)>(object, slot)(object, &raw.iVal);
    }
    if (type == u"I4") {
        raw.vt = VT_I4;
        return slotFunction<HRESULT (*)(void *, int32_t *)>(object, slot)(object, &raw.lVal);
    }
    raw.vt = VT_DISPATCH;
    return slotFunction<HRESULT (*)(void *, VelmarithCollection **)>(object, slot)(
        object, reinterpret_cast<VelmarithCollection **>(&raw.pdispVal));
}

HRESULT putThroughSlot(void *object, int slot, const Value &value)
{
    const VARIANT &raw = value.raw();
    switch (raw.vt) {
    case VT_BSTR: return slotFunction<HRESULT (*)(void *, BSTR)>(object, slot)(object, raw.bstrVal);
    case VT_I2: return slotFunction<HRESULT (*)(void *, int16_t)>(object, slot)(object, raw.iVal);
    case VT_I4: return slotFunction<HRESULT (*)(void *, int32_t)>(object, slot)(object, raw.lVal);
    default: return slotFunction<HRESULT (*)(void *, IDispatch *)>(object, slot)(object, raw.pdispVal);
    }
}

// Two distinct values of a property's type, told apart by `which`.
Value sampleOf(const QString &type, const QString &name, int which)
{
    if (type == u"BSTR")
        return Value::text(u"%1 值%2"_s.arg(name).arg(which));
    if (type == u"I2")
        return Value::i2(static_cast<int16_t>(-100 * which));
    if (type == u"I4")
        return Value::i4(100000 * which);
    VelmarithCollection *collection = nullptr;
    EXPECT_EQ(VelmarithCreateCollection(&collection), S_OK);
    Value mark = Value::text(u"样本%1"_s.arg(which));
    EXPECT_EQ(collection->lpVtbl->Add(collection, &mark.raw(), nullptr, nullptr, nullptr), S_OK);
    Value value = Value::object(collection);
    collection->lpVtbl->Release(collection);
    return value;
}

// A sample collection's mark: its first item.
QString markOf(IDispatch *object)
{
    auto *collection = reinterpret_cast<VelmarithCollection *>(object);
    Value first = Value::i4(1);
    Value item;
    if (!collection || collection->lpVtbl->Item(collection, &first.raw(), &item.raw()) != S_OK)
        return {};
    return item.asText();
}

bool sameValue(const Value &a, const Value &b)
{
    if (a.raw().vt != b.raw().vt)
        return false;
    switch (a.raw().vt) {
    case VT_BSTR: return a.asText() == b.asText();
    case VT_I2: return a.raw().iVal == b.raw().iVal;
    case VT_I4: return a.raw().lVal == b.raw().lVal;
    default: return markOf(a.raw().pdispVal) == markOf(b.raw().pdispVal);
    }
}

extern "C" HRESULT velmarith_c_caption_round_trip(const OLECHAR *caption, BSTR *read);

class ServerDispatch : public ::testing::Test
{
protected:
    ComRef<IDispatch> search = createObject(CLSID_WinSearch);
};

} // namespace

TEST(ServerProperties, everyPropertyReadsBackByDispatchIdAndThroughItsVtableSlot)
{
    const QJsonObject library = typeLibrary();
    for (const QJsonValue &coclass : library[u"classes"_s].toArray()) {
        const auto clsid = parseGuid(coclass[u"clsid"_s].toString());
        ASSERT_TRUE(clsid);
        ComRef<IDispatch> object = createObject(*clsid);
        const QJsonArray members = membersOf(library, coclass[u"default"_s].toString());
        for (const QJsonValue &member : members) {
            const QString kind = member[u"kind"_s].toString();
            if (kind != u"let" && kind != u"set")
                continue;
            const QString name = member[u"name"_s].toString();
            const QString type = member[u"type"_s].toString();
            const DISPID id = static_cast<DISPID>(member[u"dispid"_s].toString().toUInt(nullptr, 16));
            const WORD put = kind == u"let" ? DISPATCH_PROPERTYPUT : DISPATCH_PROPERTYPUTREF;
            const std::string where = name.toStdString();

            const Value first = sampleOf(type, name, 1);
            ASSERT_EQ(invoke(object.get(), id, put, {&first}), S_OK) << where;
            Value read;
            ASSERT_EQ(getThroughSlot(object.get(), slotOf(members, name, u"get"_s), type, read), S_OK) << where;
            EXPECT_TRUE(sameValue(read, first)) << where << ": put by dispatch id, read through the slot";

            const Value second = sampleOf(type, name, 2);
            ASSERT_EQ(putThroughSlot(object.get(), member[u"slot"_s].toInt(), second), S_OK) << where;
            Value again;
            ASSERT_EQ(invoke(object.get(), id, DISPATCH_PROPERTYGET, {}, &again), S_OK) << where;
            EXPECT_TRUE(sameValue(again, second)) << where << ": put through the slot, read by dispatch id";
        }
    }
}

TEST(ServerStrings, bstrsKeepTheirLengthAndAHostInCReachesTheSlots)
{
    const OLECHAR withZero[] = {u'a', 0, u'b'};
    BSTR text = SysAllocStringLen(withZero, 3);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(textOf(text), QString(u"a\0b"_s));
    SysFreeString(text);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(textOf(nullptr), u"") << "a NULL BSTR is the empty string";

    const std::u16string caption = u"查找客户";
    BSTR read = nullptr;
    ASSERT_EQ(velmarith_c_caption_round_trip(reinterpret_cast<const OLECHAR *>(caption.c_str()), &read), S_OK);
    EXPECT_EQ(textOf(read), u"查找客户");
    SysFreeString(read);
}

TEST_F(ServerDispatch, namesLeadToTheTypeLibrarysDispatchIds)
{
    const QString names[] = {u"searchcaption"_s, u"SearchAny"_s, u"NoSuchMember"_s};
    for (const auto &[name, expected, status] : {std::tuple{names[0], property(0), S_OK}, std::tuple{names[1], kMethod, S_OK},
                                                 std::tuple{names[2], DISPID(DISPID_UNKNOWN), DISP_E_UNKNOWNNAME}}) {
        std::u16string units = name.toStdU16String();
        OLECHAR *text = reinterpret_cast<OLECHAR *>(units.data());
        DISPID id = 0;
        EXPECT_EQ(search.get()->lpVtbl->GetIDsOfNames(search.get(), nullptr, &text, 1, 0, &id), status);
        EXPECT_EQ(id, expected) << name.toStdString();
    }

    ComRef<IDispatch> input = createObject(CLSID_WinInput);
    std::u16string member = u"InputAny", parameter = u"InDefColl";
    OLECHAR *both[] = {reinterpret_cast<OLECHAR *>(member.data()), reinterpret_cast<OLECHAR *>(parameter.data())};
    DISPID ids[2] = {};
    EXPECT_EQ(input.get()->lpVtbl->GetIDsOfNames(input.get(), nullptr, both, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], kMethod);
    EXPECT_EQ(ids[1], 3) << "parameters are numbered from 0";
}

TEST_F(ServerDispatch, conversionsAreCheckedAndAFailedPutChangesNothing)
{
    const Value width = Value::i4(4000);
    ASSERT_EQ(invoke(search.get(), property(1), DISPATCH_PROPERTYPUT, {&width}), S_OK);
    const Value mode = Value::i2(1);
    ASSERT_EQ(invoke(search.get(), property(3), DISPATCH_PROPERTYPUT, {&mode}), S_OK);

    const Value tooBig = Value::i4(70000);
    EXPECT_EQ(invoke(search.get(), property(3), DISPATCH_PROPERTYPUT, {&tooBig}), DISP_E_OVERFLOW);
    const Value notANumber = Value::text(u"12abc"_s);
    UINT argError = 99;
    EXPECT_EQ(invoke(search.get(), property(1), DISPATCH_PROPERTYPUT, {&notANumber}, nullptr, nullptr, &argError),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 0u);
    const Value objectForText = sampleOf(u"Collection"_s, {}, 0);
    EXPECT_EQ(invoke(search.get(), property(0), DISPATCH_PROPERTYPUT, {&objectForText}), DISP_E_TYPEMISMATCH);
    Value read;
    ASSERT_EQ(invoke(search.get(), property(3), DISPATCH_PROPERTYGET, {}, &read), S_OK);
    EXPECT_EQ(read.raw().iVal, 1) << "the refused 70000 left the value alone";
    ASSERT_EQ(invoke(search.get(), property(1), DISPATCH_PROPERTYGET, {}, &read), S_OK);
    EXPECT_EQ(read.raw().lVal, 4000);

    // Text that is a whole number converts, rounding halves to even, as automation does.
    const Value numberText = Value::text(u" 2.5 "_s);
    ASSERT_EQ(invoke(search.get(), property(3), DISPATCH_PROPERTYPUT, {&numberText}), S_OK);
    ASSERT_EQ(invoke(search.get(), property(3), DISPATCH_PROPERTYGET, {}, &read), S_OK);
    EXPECT_EQ(read.raw().vt, VT_I2);
    EXPECT_EQ(read.raw().iVal, 2);

    // SearchDataColl is get and put-by-reference only; a plain put is not a member.
    EXPECT_EQ(invoke(search.get(), property(5), DISPATCH_PROPERTYPUT, {&objectForText}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(search.get(), property(5), DISPATCH_PROPERTYPUTREF, {&objectForText}), S_OK);
    EXPECT_EQ(invoke(search.get(), 0x40030042, DISPATCH_PROPERTYGET, {}, &read), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(search.get(), property(0), DISPATCH_PROPERTYGET, {&width}, &read), DISP_E_BADPARAMCOUNT);

    // References: one VARIANT reference is followed, a chain (even one leading back to itself)
    // is a type mismatch, a null reference a null pointer; nothing changes.
    VARIANT eight{};
    eight.vt = VT_I2;
    eight.iVal = 8;
    VARIANT toEight{};
    toEight.vt = VT_BYREF | VT_VARIANT;
    toEight.pvarVal = &eight;
    const auto putMode = [&](VARIANT *given, UINT *argError) {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{given, &named, 1, 1};
        return search.get()->lpVtbl->Invoke(search.get(), property(3), nullptr, 0, DISPATCH_PROPERTYPUT, &params,
                                            nullptr, nullptr, argError);
    };
    EXPECT_EQ(putMode(&toEight, nullptr), S_OK);
    VARIANT selfReference{};
    selfReference.vt = VT_BYREF | VT_VARIANT;
    selfReference.pvarVal = &selfReference;
    VARIANT chain{};
    chain.vt = VT_BYREF | VT_VARIANT;
    chain.pvarVal = &toEight;
    VARIANT nullVariant{};
    nullVariant.vt = VT_BYREF | VT_VARIANT;
    VARIANT nullNumber{};
    nullNumber.vt = VT_BYREF | VT_I2;
    VARIANT nullText{};
    nullText.vt = VT_BYREF | VT_BSTR;
    for (auto [given, expected] : {std::pair{&selfReference, DISP_E_TYPEMISMATCH}, std::pair{&chain, DISP_E_TYPEMISMATCH},
                                   std::pair{&nullVariant, E_POINTER}, std::pair{&nullNumber, E_POINTER},
                                   std::pair{&nullText, E_POINTER}}) {
        UINT where = 99;
        EXPECT_EQ(putMode(given, &where), expected);
        EXPECT_EQ(where, 0u);
    }
    ASSERT_EQ(invoke(search.get(), property(3), DISPATCH_PROPERTYGET, {}, &read), S_OK);
    EXPECT_EQ(read.raw().iVal, 8);

    // The unassigned slot 18 sits between get and putref of SearchDataColl.
    auto *dual = reinterpret_cast<WinSearchInterface *>(search.get());
    EXPECT_EQ(dual->lpVtbl->unassigned18(dual), E_NOTIMPL);
}

TEST_F(ServerDispatch, aCollectionComesBackAsTheVeryObjectAndInvokeRunsOnlyForIidNull)
{
    VelmarithCollection *mine = nullptr;
    ASSERT_EQ(VelmarithCreateCollection(&mine), S_OK);
    const Value given = Value::object(mine);
    ASSERT_EQ(invoke(search.get(), property(5), DISPATCH_PROPERTYPUTREF, {&given}), S_OK);
    Value first, second;
    ASSERT_EQ(invoke(search.get(), property(5), DISPATCH_PROPERTYGET, {}, &first), S_OK);
    ASSERT_EQ(invoke(search.get(), property(5), DISPATCH_PROPERTYGET, {}, &second), S_OK);
    EXPECT_EQ(identityOf(first.raw().pdispVal), identityOf(mine)) << "the object itself, not a copy";
    EXPECT_EQ(first.raw().pdispVal, second.raw().pdispVal);
    mine->lpVtbl->Release(mine);

    IDispatch *dispatch = search.get();
    DISPID named = DISPID_PROPERTYPUT;
    Value caption = Value::text(u"别的"_s);
    DISPPARAMS put{&caption.raw(), &named, 1, 1};
    EXPECT_EQ(dispatch->lpVtbl->Invoke(dispatch, property(0), &IID_IDispatch, 0, DISPATCH_PROPERTYPUT, &put, nullptr,
                                       nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    Value read;
    ASSERT_EQ(invoke(search.get(), property(0), DISPATCH_PROPERTYGET, {}, &read), S_OK);
    EXPECT_EQ(read.asText(), u"") << "nothing ran";
    EXPECT_EQ(dispatch->lpVtbl->Invoke(dispatch, property(0), &IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr,
                                       nullptr, nullptr),
              S_OK);
    OLECHAR name[] = {u'S', u'e', u'a', u'r', u'c', u'h', u'A', u'n', u'y', 0};
    OLECHAR *names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(dispatch->lpVtbl->GetIDsOfNames(dispatch, &IID_Collection, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(dispatch->lpVtbl->GetIDsOfNames(dispatch, &IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, kMethod);
}

TEST(ServerCollections, aCollectionPutByReferenceIsHeldUntilReplacedOrItsHolderGoes)
{
    VelmarithCollection *mine = nullptr;
    ASSERT_EQ(VelmarithCreateCollection(&mine), S_OK);
    {
        ComRef<IDispatch> search = createObject(CLSID_WinSearch);
        {
            const Value given = Value::object(mine);
            ASSERT_EQ(invoke(search.get(), property(5), DISPATCH_PROPERTYPUTREF, {&given}), S_OK);
        }
        mine->lpVtbl->AddRef(mine);
        EXPECT_EQ(mine->lpVtbl->Release(mine), 2u) << "the host's reference and the object's";
        Value read;
        ASSERT_EQ(invoke(search.get(), property(5), DISPATCH_PROPERTYGET, {}, &read), S_OK);
        EXPECT_EQ(identityOf(read.raw().pdispVal), identityOf(mine)) << "the very object";

        ComRef<IDispatch> other = createObject(CLSID_WinSearch);
        const Value given = Value::object(mine);
        ASSERT_EQ(invoke(other.get(), property(5), DISPATCH_PROPERTYPUTREF, {&given}), S_OK);
        const Value nothing = Value::object(nullptr);
        ASSERT_EQ(invoke(other.get(), property(5), DISPATCH_PROPERTYPUTREF, {&nothing}), S_OK);
        mine->lpVtbl->AddRef(mine);
        EXPECT_EQ(mine->lpVtbl->Release(mine), 4u) << "replaced: the other object holds it no longer";
    } // the holder goes
    EXPECT_EQ(mine->lpVtbl->Release(mine), 0u) << "the host's own was the last reference";
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ServerMethods, inputAnyTakesItsDefaultsAndChecksItsArguments)
{
    ComRef<IDispatch> input = createObject(CLSID_WinInput);
    const Value prompt = Value::text(u"请输入名称"_s), title = Value::text(u"名称"_s);
    {
        ScriptedDesktop desktop;
        desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
            EXPECT_TRUE(user.isVisible(u"txt内容"_s)) << "the mode left off is Input";
            EXPECT_EQ(user.text(u"txt内容"_s), u"") << "no default collection";
            user.setText(u"txt内容"_s, u"张三"_s);
            user.click(u"cmd确定"_s);
        });
        Value result;
        ASSERT_EQ(invoke(input.get(), kMethod, DISPATCH_METHOD, {&prompt, &title}, &result), S_OK);
        EXPECT_EQ(result.asText(), u"张三");
    }
    {
        // Through the slot, with the entries of a collection the host made.
        VelmarithCollection *entries = nullptr;
        ASSERT_EQ(VelmarithCreateCollection(&entries), S_OK);
        ComRef<VelmarithCollection> held(entries);
        for (const QString &entry : {u"甲"_s, u"乙"_s}) {
            Value item = Value::text(entry), none = Value::missing();
            ASSERT_EQ(entries->lpVtbl->Add(entries, &item.raw(), &none.raw(), &none.raw(), &none.raw()), S_OK);
        }
        ScriptedDesktop desktop;
        desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
            EXPECT_EQ(user.items(u"cbo内容"_s), (QStringList{u"甲"_s, u"乙"_s}));
            user.pick(u"cbo内容"_s, u"乙"_s);
            user.click(u"cmd确定"_s);
        });
        auto *dual = reinterpret_cast<WinInputInterface *>(input.get());
        const Value mode = Value::text(u"Select"_s);
        BSTR chosen = nullptr;
        ASSERT_EQ(dual->lpVtbl->InputAny(dual, prompt.raw().bstrVal, title.raw().bstrVal, mode.raw().bstrVal, &entries,
                                          &chosen),
                  S_OK);
        EXPECT_EQ(textOf(chosen), u"乙");
        SysFreeString(chosen);
        EXPECT_EQ(entries, held.get()) << "the collection passed by reference is not replaced";
    }
    UINT argError = 99;
    EXPECT_EQ(invoke(input.get(), kMethod, DISPATCH_METHOD, {&prompt}), DISP_E_PARAMNOTOPTIONAL);
    const Value missing = Value::missing();
    EXPECT_EQ(invoke(input.get(), kMethod, DISPATCH_METHOD, {&prompt, &missing}), DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(invoke(input.get(), kMethod, DISPATCH_METHOD, {&prompt, &title, &title, &title, &title}), DISP_E_BADPARAMCOUNT);
    const Value notACollection = Value::i2(3);
    EXPECT_EQ(invoke(input.get(), kMethod, DISPATCH_METHOD, {&prompt, &title, &missing, &notACollection}, nullptr, nullptr,
                     &argError),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 0u) << "the fourth argument is the first in DISPPARAMS";
}

TEST(ServerMethods, aLibraryErrorBecomesAnExceptionWithItsNumberAndText)
{
    TempDatabase db; // no metadata tables: the start-up refuses
    ComRef<IDispatch> manage = createObject(CLSID_WinMagnge);
    const Value table = Value::text(u"客户"_s);
    Exception exception;
    ASSERT_EQ(invoke(manage.get(), kMethod, DISPATCH_METHOD, {&table}, nullptr, &exception), DISP_E_EXCEPTION)
        << "ListCol left off is taken as 0, and the window's start-up runs";
    EXPECT_EQ(exception.wCode, ErrorNumber::Database);
    EXPECT_EQ(exception.scode, S_OK) << "wCode and scode are never both set";
    EXPECT_EQ(textOf(exception.bstrSource), u"Velmarith.WinMagnge");
    EXPECT_FALSE(textOf(exception.bstrDescription).isEmpty());

    // A slot call has no EXCEPINFO: the thread keeps the report.
    auto *dual = reinterpret_cast<WinMagngeInterface *>(manage.get());
    ASSERT_EQ(dual->lpVtbl->ManageTable(dual, table.raw().bstrVal, 0), DISP_E_EXCEPTION);
    Exception kept;
    ASSERT_EQ(VelmarithGetLastException(&kept), S_OK);
    EXPECT_EQ(kept.wCode, ErrorNumber::Database);
    EXPECT_EQ(textOf(kept.bstrDescription), textOf(exception.bstrDescription));
    Exception none;
    EXPECT_EQ(VelmarithGetLastException(&none), S_FALSE) << "a report is handed out once";
}
