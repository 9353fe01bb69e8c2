#pragma once

#include "data/StreamedQuery.h"
#include "maintenance/frmManage.h"

#include <velmarith/DataBridge.h>

#include <memory>

namespace velmarith {

/// The list statement while its rows are being read: its own connection, which runs nothing
/// else meanwhile, and the loaded row's key while its row is still to come.
struct frmManage::ListRead {
    ListRead(std::unique_ptr<DataBridge> connection, const QString &statement)
        : bridge(std::move(connection)), query(*bridge, statement)
    {
    }

    std::unique_ptr<DataBridge> bridge; // declared first: the query ends before it closes
    detail::StreamedQuery query;
    ItemList keyLookedFor;
};

} // namespace velmarith
