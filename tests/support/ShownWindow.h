#pragma once

#include "toolkit/Form.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace velmarith::test {

/// Shows `form` modally on the production desktop and runs `steps` once it is up and active;
/// a watchdog closes it should the steps not, so a test never hangs.
inline void runWhileShown(toolkit::Form &form, const std::function<void()> &steps, int watchdogMs = 15000)
{
    QTimer::singleShot(0, form.window(), [&form, steps] {
        if (!QTest::qWaitForWindowExposed(form.window()))
            ADD_FAILURE() << "the window was not shown";
        form.window()->activateWindow();
        steps();
    });
    QTimer::singleShot(watchdogMs, form.window(), [&form] {
        ADD_FAILURE() << "the window did not close";
        form.Unload();
    });
    form.ShowModal();
}

} // namespace velmarith::test
