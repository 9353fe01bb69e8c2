// The library-wide settings a host chooses, for hosts of the C interface.
#include <velmarith/DataBridge.h>
#include <velmarith/WinSearch.h>
#include <velmarith/server.h>

#include "server/Strings.h"

HRESULT VelmarithSetDefaultDatabase(const char *database)
{
    velmarith::DataBridge::setDefaultDatabase(database ? QString::fromUtf8(database) : QString());
    return S_OK;
}

HRESULT VelmarithGetDefaultDatabase(BSTR *database)
{
    if (!database)
        return E_POINTER;
    *database = velmarith::server::newBstr(velmarith::DataBridge::defaultDatabase());
    return S_OK;
}

HRESULT VelmarithSetBusyTimeout(int32_t milliseconds)
{
    if (milliseconds < 0)
        return E_INVALIDARG;
    velmarith::DataBridge::setBusyTimeout(milliseconds);
    return S_OK;
}

HRESULT VelmarithSetDefaultKeywordMatch(int32_t match)
{
    using velmarith::KeywordMatch;
    if (match < int32_t(KeywordMatch::Like) || match > int32_t(KeywordMatch::Pinyin))
        return E_INVALIDARG;
    velmarith::WinSearch::setDefaultKeywordMatch(KeywordMatch(match));
    return S_OK;
}

HRESULT VelmarithGetDefaultKeywordMatch(int32_t *match)
{
    if (!match)
        return E_POINTER;
    *match = int32_t(velmarith::WinSearch::defaultKeywordMatch());
    return S_OK;
}
