// Objects of the component server as hosts hold them: class factories, reference counts and
// unloading, events through connection points, and the apartment's one thread.
#include "ServerTesting.h"

#include "support/ScriptedDesktop.h"

#include <velmarith/server.h>

#include <QStringList>

#include <thread>

using namespace velmarith;
using namespace velmarith::test;
using namespace Qt::StringLiterals;
using velmarith::testing::FormDriver;

namespace {

// An event sink as a host writes one: IDispatch whose Invoke records what it is given.
struct RecordingSink {
    IDispatch dispatch{&kVtable};
    int references = 1;
    std::vector<DISPID> ids;
    std::vector<QStringList> calls;

    static RecordingSink &of(IDispatch *This) { return *reinterpret_cast<RecordingSink *>(This); }

    static const IDispatchVtbl kVtable;
};

const IDispatchVtbl RecordingSink::kVtable = {
    .QueryInterface = [](IDispatch *This, REFIID riid, void **object) {
        if (!sameGuid(riid, IID_IUnknown) && !sameGuid(riid, IID_IDispatch)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        ++of(This).references;
        *object = This;
        return S_OK;
    },
    .AddRef = [](IDispatch *This) -> ULONG { return ++of(This).references; },
    .Release = [](IDispatch *This) -> ULONG { return --of(This).references; },
    .GetTypeInfoCount = [](IDispatch *, UINT *) { return E_NOTIMPL; },
    .GetTypeInfo = [](IDispatch *, UINT, LCID, ITypeInfo **) { return E_NOTIMPL; },
    .GetIDsOfNames = [](IDispatch *, REFIID, OLECHAR **, UINT, LCID, DISPID *) { return E_NOTIMPL; },
    .Invoke = [](IDispatch *This, DISPID id, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *, EXCEPINFO *, UINT *) {
        QStringList arguments;
        for (UINT i = params->cArgs; i-- > 0;) {
            const VARIANT &value = params->rgvarg[i];
            arguments.append(value.vt == VT_BSTR ? textOf(value.bstrVal)
                             : value.vt == VT_I2 ? u"I2 %1"_s.arg(value.iVal)
                                                 : u"vt %1"_s.arg(value.vt));
        }
        of(This).ids.push_back(id);
        of(This).calls.push_back(arguments);
        return S_OK;
    },
};

ComRef<IConnectionPoint> eventPointOf(IDispatch *object, const IID &events)
{
    ComRef<IConnectionPointContainer> container;
    EXPECT_EQ(object->lpVtbl->QueryInterface(object, &IID_IConnectionPointContainer,
                                             reinterpret_cast<void **>(container.receive())),
              S_OK);
    ComRef<IConnectionPoint> point;
    if (container.get()) {
        EXPECT_EQ(container.get()->lpVtbl->FindConnectionPoint(container.get(), &events, point.receive()), S_OK);
    }
    return point;
}

} // namespace

TEST(ServerObjects, factoriesObjectsAndLocksKeepTheLibraryLoadedUntilTheLastGoes)
{
    ASSERT_EQ(DllCanUnloadNow(), S_OK);
    void *factory = nullptr;
    const CLSID unknown{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    EXPECT_EQ(DllGetClassObject(&unknown, &IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);

    ComRef<IClassFactory> inputs;
    ASSERT_EQ(DllGetClassObject(&CLSID_WinInput, &IID_IClassFactory, reinterpret_cast<void **>(inputs.receive())), S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "a held factory";
    IClassFactory *f = inputs.get();
    IUnknown outer{};
    void *object = nullptr;
    EXPECT_EQ(f->lpVtbl->CreateInstance(f, &outer, &IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(f->lpVtbl->CreateInstance(f, nullptr, &IID_IConnectionPointContainer, &object), E_NOINTERFACE)
        << "WinInput has no events";
    EXPECT_EQ(object, nullptr);

    ComRef<IUnknown> unknownOfInput;
    ASSERT_EQ(f->lpVtbl->CreateInstance(f, nullptr, &IID_IUnknown, reinterpret_cast<void **>(unknownOfInput.receive())), S_OK);
    f->lpVtbl->LockServer(f, 1);
    inputs = {};
    IUnknown *input = unknownOfInput.get();
    WinInputInterface *dual = nullptr;
    ASSERT_EQ(input->lpVtbl->QueryInterface(input, &IID_WinInputInterface, reinterpret_cast<void **>(&dual)), S_OK);
    EXPECT_EQ(static_cast<void *>(dual), static_cast<void *>(input)) << "one identity";
    EXPECT_EQ(dual->lpVtbl->AddRef(dual), 3u);
    EXPECT_EQ(dual->lpVtbl->Release(dual), 2u);
    EXPECT_EQ(dual->lpVtbl->Release(dual), 1u);
    unknownOfInput = {};
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "LockServer still holds it";

    ComRef<IClassFactory> again;
    ASSERT_EQ(DllGetClassObject(&CLSID_WinInput, &IID_IClassFactory, reinterpret_cast<void **>(again.receive())), S_OK);
    again.get()->lpVtbl->LockServer(again.get(), 0);
    again = {};
    EXPECT_EQ(DllCanUnloadNow(), S_OK);

    // Collections count like the classes' objects.
    VelmarithCollection *collection = nullptr;
    ASSERT_EQ(VelmarithCreateCollection(&collection), S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    collection->lpVtbl->Release(collection);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);

    // A host's release too many leaves a count at zero, so the next lock and unlock still tell.
    IClassFactory *files = nullptr;
    ASSERT_EQ(DllGetClassObject(&CLSID_WinFile, &IID_IClassFactory, reinterpret_cast<void **>(&files)), S_OK);
    files->lpVtbl->LockServer(files, 0);
    files->lpVtbl->LockServer(files, 0);
    EXPECT_EQ(files->lpVtbl->Release(files), 0u);
    EXPECT_EQ(files->lpVtbl->Release(files), 0u) << "one more than it was given";
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
    files->lpVtbl->LockServer(files, 1);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    files->lpVtbl->LockServer(files, 0);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ServerObjects, anAdvisedSinkReceivesEachEventOnceAndAnUnadvisedOneNothing)
{
    ComRef<IDispatch> search = createObject(CLSID_WinSearch);
    ComRef<IConnectionPoint> point = eventPointOf(search.get(), DIID_WinSearchEvents);
    ASSERT_TRUE(point.get());
    IID events{};
    EXPECT_EQ(point.get()->lpVtbl->GetConnectionInterface(point.get(), &events), S_OK);
    EXPECT_TRUE(sameGuid(events, DIID_WinSearchEvents));
    ComRef<IConnectionPoint> wrong;
    ComRef<IConnectionPointContainer> container;
    ASSERT_EQ(search.get()->lpVtbl->QueryInterface(search.get(), &IID_IConnectionPointContainer,
                                                   reinterpret_cast<void **>(container.receive())),
              S_OK);
    EXPECT_EQ(container.get()->lpVtbl->FindConnectionPoint(container.get(), &DIID_WinFileEvents, wrong.receive()),
              CONNECT_E_NOCONNECTION);

    RecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point.get()->lpVtbl->Advise(point.get(), reinterpret_cast<IUnknown *>(&sink.dispatch), &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    {
        ScriptedDesktop desktop;
        desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) { user.pressKey(27); });
        auto *dual = reinterpret_cast<WinSearchInterface *>(search.get());
        ASSERT_EQ(dual->lpVtbl->SearchAny(dual), S_OK);
    }
    EXPECT_EQ(sink.ids, std::vector<DISPID>{1});
    EXPECT_EQ(sink.calls, std::vector<QStringList>{QStringList{QString()}}) << "Escape chooses nothing";

    ASSERT_EQ(point.get()->lpVtbl->Unadvise(point.get(), cookie), S_OK);
    EXPECT_EQ(point.get()->lpVtbl->Unadvise(point.get(), cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink.references, 1) << "the point let go of the sink";
    {
        ScriptedDesktop desktop;
        desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) { user.pressKey(27); });
        ASSERT_EQ(invoke(search.get(), kMethod, DISPATCH_METHOD), S_OK);
    }
    EXPECT_EQ(sink.calls.size(), 1u);
}

TEST(ServerObjects, theFileWindowsEventCarriesItsFiveArgumentsInOrder)
{
    RecordingSink sink; // outlives the object that holds it
    ComRef<IDispatch> file = createObject(CLSID_WinFile);
    const Value pattern = Value::text(u"Load"_s), place = Value::text(u"File"_s), type = Value::i2(7);
    ASSERT_EQ(invoke(file.get(), property(0), DISPATCH_PROPERTYPUT, {&pattern}), S_OK);
    ASSERT_EQ(invoke(file.get(), property(1), DISPATCH_PROPERTYPUT, {&place}), S_OK);
    ASSERT_EQ(invoke(file.get(), property(2), DISPATCH_PROPERTYPUT, {&type}), S_OK);
    ComRef<IConnectionPoint> point = eventPointOf(file.get(), DIID_WinFileEvents);
    DWORD cookie = 0;
    ASSERT_EQ(point.get()->lpVtbl->Advise(point.get(), reinterpret_cast<IUnknown *>(&sink.dispatch), &cookie), S_OK);
    {
        ScriptedDesktop desktop;
        desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) { user.click(u"cmd取消"_s); });
        auto *dual = reinterpret_cast<WinFileInterface *>(file.get());
        ASSERT_EQ(dual->lpVtbl->FileAny(dual), S_OK);
    }
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].mid(0, 3), (QStringList{u"Load"_s, u"File"_s, u"I2 7"_s}));
    EXPECT_EQ(sink.calls[0].size(), 5);
}

TEST(ServerObjects, aCallFromAnotherThreadIsRefusedWithoutTouchingTheObject)
{
    ComRef<IDispatch> search = createObject(CLSID_WinSearch);
    const Value caption = Value::text(u"查找"_s);
    HRESULT byDispatch = S_OK, bySlot = S_OK, creating = S_OK;
    std::thread([&] {
        byDispatch = invoke(search.get(), property(0), DISPATCH_PROPERTYPUT, {&caption});
        auto *dual = reinterpret_cast<WinSearchInterface *>(search.get());
        BSTR read = nullptr;
        bySlot = dual->lpVtbl->get_SearchCaption(dual, &read);
        ComRef<IClassFactory> factory;
        DllGetClassObject(&CLSID_WinSearch, &IID_IClassFactory, reinterpret_cast<void **>(factory.receive()));
        void *made = nullptr;
        creating = factory.get()->lpVtbl->CreateInstance(factory.get(), nullptr, &IID_IDispatch, &made);
    }).join();
    EXPECT_EQ(byDispatch, RPC_E_WRONG_THREAD);
    EXPECT_EQ(bySlot, RPC_E_WRONG_THREAD);
    EXPECT_EQ(creating, RPC_E_WRONG_THREAD) << "the dialogs' widgets live on the application's thread";
    Value read;
    ASSERT_EQ(invoke(search.get(), property(0), DISPATCH_PROPERTYGET, {}, &read), S_OK);
    EXPECT_EQ(read.asText(), u"");
}
