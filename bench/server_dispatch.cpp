// A property get and put of WinSearch through the component server (IDispatch::Invoke and the
// dual interface's vtable slot) beside the same call on the C++ object, in one run.
#include <velmarith/WinSearch.h>
#include <velmarith/server.h>

#include <benchmark/benchmark.h>

namespace {

constexpr DISPID kCaption = 0x40030000;
constexpr DISPID kWorkMode = 0x40030003;

WinSearchInterface *makeSearch()
{
    IClassFactory *factory = nullptr;
    DllGetClassObject(&CLSID_WinSearch, &IID_IClassFactory, reinterpret_cast<void **>(&factory));
    WinSearchInterface *search = nullptr;
    factory->lpVtbl->CreateInstance(factory, nullptr, &IID_WinSearchInterface, reinterpret_cast<void **>(&search));
    factory->lpVtbl->Release(factory);
    return search;
}

// The object for the whole run, with a caption to read.
WinSearchInterface *search()
{
    static WinSearchInterface *const made = [] {
        WinSearchInterface *object = makeSearch();
        BSTR caption = SysAllocString(reinterpret_cast<const OLECHAR *>(u"查找客户"));
        object->lpVtbl->put_SearchCaption(object, caption);
        SysFreeString(caption);
        return object;
    }();
    return made;
}

HRESULT invoke(DISPID id, WORD flags, VARIANT *argument, VARIANT *result)
{
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{argument, argument ? &named : nullptr, argument ? 1u : 0u, argument ? 1u : 0u};
    auto *dispatch = reinterpret_cast<IDispatch *>(search());
    return dispatch->lpVtbl->Invoke(dispatch, id, &IID_NULL, 0, flags, &params, result, nullptr, nullptr);
}

void BM_DirectGetText(benchmark::State &state)
{
    velmarith::WinSearch object;
    // Made at run time as the server's caption is (a literal's text would skip the counting).
    object.setSearchCaption(QString::fromUtf8("查找客户"));
    for (auto _ : state)
        benchmark::DoNotOptimize(object.SearchCaption());
}

void BM_SlotGetText(benchmark::State &state)
{
    WinSearchInterface *object = search();
    for (auto _ : state) {
        BSTR caption = nullptr;
        object->lpVtbl->get_SearchCaption(object, &caption);
        SysFreeString(caption);
    }
}

void BM_InvokeGetText(benchmark::State &state)
{
    for (auto _ : state) {
        VARIANT result{};
        invoke(kCaption, DISPATCH_PROPERTYGET, nullptr, &result);
        VariantClear(&result);
    }
}

void BM_DirectPutNumber(benchmark::State &state)
{
    velmarith::WinSearch object;
    int16_t mode = 0;
    for (auto _ : state)
        object.setSearchWorkMode(mode ^= 1);
}

void BM_SlotPutNumber(benchmark::State &state)
{
    WinSearchInterface *object = search();
    int16_t mode = 0;
    for (auto _ : state)
        object->lpVtbl->put_SearchWorkMode(object, mode ^= 1);
}

void BM_InvokePutNumber(benchmark::State &state)
{
    VARIANT mode{};
    mode.vt = VT_I2;
    for (auto _ : state) {
        mode.iVal ^= 1;
        invoke(kWorkMode, DISPATCH_PROPERTYPUT, &mode, nullptr);
    }
}

} // namespace

BENCHMARK(BM_DirectGetText);
BENCHMARK(BM_SlotGetText);
BENCHMARK(BM_InvokeGetText);
BENCHMARK(BM_DirectPutNumber);
BENCHMARK(BM_SlotPutNumber);
BENCHMARK(BM_InvokePutNumber);
