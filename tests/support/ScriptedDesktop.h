#pragma once

#include <velmarith/testing.h>

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace velmarith::test {

/// The testing desktop with its problems reported as test failures, and a check at the end
/// that every script and answer was used and no window was left behind.
class ScriptedDesktop : public testing::TestDesktop
{
public:
    ScriptedDesktop()
    {
        setFailureHandler([](const QString &problem) { ADD_FAILURE() << problem.toStdString(); });
    }
    ~ScriptedDesktop()
    {
        verify();
        for (const QWidget *widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << "window left open: " << widget->objectName().toStdString();
    }
};

} // namespace velmarith::test
