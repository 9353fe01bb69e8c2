// A value quoted by sqlString comes back from the database exactly, whatever it holds.
#include "Property.h"

#include <velmarith/DataBridge.h>
#include <velmarith/SqlText.h>

#include <cstdint>

using namespace velmarith;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static DataBridge bridge;
    if (!bridge.isOpen())
        bridge.Open(QStringLiteral(":memory:"), QStringLiteral("Create"));
    const QString value = fuzz::textOf(data, size);
    if (value.contains(QChar(0)))
        return 0;
    QString back = QStringLiteral("<no row>");
    bridge.QueryValue(QStringLiteral("select ") + sqlString(value), back);
    fuzz::require(back == value, "select <sqlString(v)> returns v", value);
    return 0;
}
