#include "server/ComObject.h"

#include <velmarith/Error.h>
#include <velmarith/server_testing.h>
#include <velmarith/testing.h>

#include <QStringList>

#include <memory>

namespace velmarith::server {
namespace {

struct ScriptedDesktop {
    testing::TestDesktop desktop;
    QStringList problems;
};

std::unique_ptr<ScriptedDesktop> &installed()
{
    static std::unique_ptr<ScriptedDesktop> desktop;
    return desktop;
}

void act(testing::FormDriver &user, const QString &line)
{
    const QString verb = line.section(QLatin1Char(' '), 0, 0);
    const QString control = line.section(QLatin1Char(' '), 1, 1);
    if (verb == u"type")
        user.setText(control, line.section(QLatin1Char(' '), 2));
    else if (verb == u"click")
        user.click(control);
    else if (verb == u"item")
        user.clickItem(control, line.section(QLatin1Char(' '), 2).toInt());
    else if (verb == u"key")
        user.pressKey(static_cast<int16_t>(control.toInt()));
    else if (verb == u"close")
        user.close();
    else
        throw Error(ErrorNumber::InvalidArgument, QStringLiteral("unknown action: %1").arg(line));
}

} // namespace
} // namespace velmarith::server

extern "C" {

HRESULT VelmarithTestDesktopInstall(void)
{
    using namespace velmarith::server;
    if (installed())
        return E_UNEXPECTED;
    installed() = std::make_unique<ScriptedDesktop>();
    installed()->desktop.setFailureHandler([](const QString &problem) { installed()->problems.append(problem); });
    return S_OK;
}

HRESULT VelmarithTestDesktopExpect(const char *window, const char *actions)
{
    using namespace velmarith::server;
    if (!installed())
        return E_UNEXPECTED;
    if (!window || !actions)
        return E_POINTER;
    const QStringList lines = QString::fromUtf8(actions).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    installed()->desktop.expectModal(QString::fromUtf8(window), [lines](velmarith::testing::FormDriver &user) {
        for (const QString &line : lines)
            act(user, line);
    });
    return S_OK;
}

HRESULT VelmarithTestDesktopRemove(void)
{
    using namespace velmarith::server;
    if (!installed())
        return E_UNEXPECTED;
    installed()->desktop.verify();
    const QStringList problems = installed()->problems;
    installed().reset();
    if (problems.isEmpty())
        return S_OK;
    raiseException(QStringLiteral("Velmarith"), 0, problems.join(QLatin1Char('\n')), nullptr);
    return E_FAIL;
}

}
