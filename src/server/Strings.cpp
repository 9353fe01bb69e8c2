// BSTRs as the component model lays them out: a 32-bit byte length, the UTF-16 units, and a
// terminating zero unit; the pointer handed out points at the first unit.
#include "server/Strings.h"

#include <cstdlib>
#include <cstring>

namespace {

uint32_t *headerOf(BSTR text)
{
    return reinterpret_cast<uint32_t *>(text) - 1;
}

} // namespace

extern "C" {

BSTR SysAllocStringLen(const OLECHAR *text, UINT length)
{
    if (length > (UINT32_MAX - sizeof(uint32_t) - sizeof(OLECHAR)) / sizeof(OLECHAR))
        return nullptr;
    auto *header = static_cast<uint32_t *>(std::malloc(sizeof(uint32_t) + (length + 1) * sizeof(OLECHAR)));
    if (!header)
        return nullptr;
    *header = length * sizeof(OLECHAR);
    auto *units = reinterpret_cast<BSTR>(header + 1);
    if (text)
        std::memcpy(units, text, length * sizeof(OLECHAR));
    else
        std::memset(units, 0, length * sizeof(OLECHAR));
    units[length] = 0;
    return units;
}

BSTR SysAllocString(const OLECHAR *text)
{
    if (!text)
        return nullptr;
    UINT length = 0;
    while (text[length] != 0)
        ++length;
    return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(headerOf(text));
}

UINT SysStringLen(BSTR text)
{
    return text ? *headerOf(text) / sizeof(OLECHAR) : 0;
}

}

namespace velmarith::server {

BSTR newBstr(const QString &text)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.utf16()), static_cast<UINT>(text.size()));
}

QString textOf(BSTR text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), static_cast<qsizetype>(SysStringLen(text)));
}

} // namespace velmarith::server

QString velmarith::server::textOfTerminated(const OLECHAR *text)
{
    return text ? QString::fromUtf16(reinterpret_cast<const char16_t *>(text)) : QString();
}
