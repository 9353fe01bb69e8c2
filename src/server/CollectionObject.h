#pragma once

#include <velmarith/Collection.h>
#include <velmarith/server.h>

#include <memory>
#include <optional>

namespace velmarith::server {

/// The automation object of the collection, with one reference for the caller: the one that
/// lives already, or a new one.
[[nodiscard]] VelmarithCollection *collectionObject(std::shared_ptr<Collection> collection);
/// The collection behind an object a host passed: null for a null object, nothing for an object
/// that is not one of the library's collections.
[[nodiscard]] std::optional<std::shared_ptr<Collection>> collectionBehind(IDispatch *object);

} // namespace velmarith::server
