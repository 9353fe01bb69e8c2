#pragma once

#include <velmarith/server_testing.h>
#include <velmarith/testing.h>

/// The window a host's script acts on through the C interface.
struct VelmarithDriver {
    velmarith::testing::FormDriver &user;
};
