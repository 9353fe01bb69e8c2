#pragma once

#include <velmarith/server.h>

namespace velmarith::server {

// The vtables of the four dual interfaces; IUnknown and IDispatch lead to ServerObject.
extern const WinFileInterfaceVtbl kWinFileVtable;
extern const WinInputInterfaceVtbl kWinInputVtable;
extern const WinSearchInterfaceVtbl kWinSearchVtable;
extern const WinMagngeInterfaceVtbl kWinMagngeVtable;

} // namespace velmarith::server
