/* A C11 host of the component server: makes a WinSearch, sets its caption through the dual
 * interface's slot and reads it back. Only <velmarith/server.h>. */
#include <velmarith/server.h>

#include <stdio.h>

int main(void)
{
    IClassFactory *factory = NULL;
    WinSearchInterface *search = NULL;
    if (DllGetClassObject(&CLSID_WinSearch, &IID_IClassFactory, (void **)&factory) != S_OK)
        return 1;
    HRESULT status = factory->lpVtbl->CreateInstance(factory, NULL, &IID_WinSearchInterface, (void **)&search);
    factory->lpVtbl->Release(factory);
    if (status != S_OK)
        return 1;
    static const OLECHAR caption[] = {0x67E5, 0x627E, 0x5BA2, 0x6237, 0}; /* 查找客户 */
    BSTR text = SysAllocString(caption);
    status = search->lpVtbl->put_SearchCaption(search, text);
    SysFreeString(text);
    BSTR read = NULL;
    if (status == S_OK)
        status = search->lpVtbl->get_SearchCaption(search, &read);
    const int same = status == S_OK && SysStringLen(read) == 4 && read[0] == caption[0] && read[3] == caption[3];
    SysFreeString(read);
    search->lpVtbl->Release(search);
    puts(same ? "SearchCaption reads back" : "SearchCaption differs");
    return same ? 0 : 1;
}
