#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Tests never need a real screen; widgets render offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A route's locale ($VELMARITH_TEST_ROUTE=odbc:C) is set before Qt reads the environment's.
    if (const QByteArray route = qgetenv("VELMARITH_TEST_ROUTE"); route.contains(':')) {
        const QByteArray locale = route.mid(route.indexOf(':') + 1);
        qputenv("LC_ALL", locale);
        qputenv("LANG", locale);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
