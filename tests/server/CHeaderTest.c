/* The public headers are C: this file is compiled as C11 with pedantic errors, and the test
 * calls it as a C host would call the server. */
#include <velmarith/server.h>
#include <velmarith/server_testing.h>

HRESULT velmarith_c_caption_round_trip(const OLECHAR *caption, BSTR *read)
{
    IClassFactory *factory = NULL;
    WinSearchInterface *search = NULL;
    HRESULT status = DllGetClassObject(&CLSID_WinSearch, &IID_IClassFactory, (void **)&factory);
    if (status != S_OK)
        return status;
    status = factory->lpVtbl->CreateInstance(factory, NULL, &IID_WinSearchInterface, (void **)&search);
    factory->lpVtbl->Release(factory);
    if (status != S_OK)
        return status;
    BSTR text = SysAllocString(caption);
    status = search->lpVtbl->put_SearchCaption(search, text);
    SysFreeString(text);
    if (status == S_OK)
        status = search->lpVtbl->get_SearchCaption(search, read);
    search->lpVtbl->Release(search);
    return status;
}
