#pragma once

#include "server/TypeInfo.h"

#include <velmarith/server.h>

namespace velmarith::server {

/// The type information of an interface or a class of the type library, with a reference for
/// the caller. The objects live as long as the library; the references keep it loaded.
[[nodiscard]] ITypeInfo *typeInfoOf(const InterfaceInfo &interface);
[[nodiscard]] ITypeInfo *typeInfoOf(const ClassInfo &coclass);

/// The type library itself, with a reference for the caller.
[[nodiscard]] ITypeLib *typeLibrary();

/// Whether a host still holds a reference to type information or the type library.
[[nodiscard]] bool typeInformationHeld();

} // namespace velmarith::server
