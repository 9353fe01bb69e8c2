#include "server/ComObject.h"
#include "server/DriverActions.h"
#include "server/Strings.h"

#include <velmarith/Error.h>
#include <velmarith/server_testing.h>
#include <velmarith/testing.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <memory>

namespace velmarith::server {
namespace {

struct ScriptedDesktop {
    testing::TestDesktop desktop;
    QStringList problems;
    VelmarithFailureHandler handler = nullptr;
    void *handlerContext = nullptr;
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
    installed()->desktop.setFailureHandler([](const QString &problem) {
        ScriptedDesktop &scripted = *installed();
        if (scripted.handler)
            scripted.handler(problem.toUtf8().constData(), scripted.handlerContext);
        else
            scripted.problems.append(problem);
    });
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

HRESULT VelmarithTestDesktopExpectScript(const char *window, VelmarithScript script, void *context)
{
    using namespace velmarith::server;
    if (!installed())
        return E_UNEXPECTED;
    if (!window)
        return E_POINTER;
    installed()->desktop.expectModal(QString::fromUtf8(window), [script, context](velmarith::testing::FormDriver &user) {
        VelmarithDriver driver{user};
        if (script && script(&driver, context) != 0)
            throw velmarith::Error(velmarith::ErrorNumber::InvalidArgument, QStringLiteral("the host's script failed"));
    });
    return S_OK;
}

HRESULT VelmarithTestDesktopAnswer(int32_t answer)
{
    using namespace velmarith::server;
    using velmarith::MessageAnswer;
    if (!installed())
        return E_UNEXPECTED;
    if (answer < int32_t(MessageAnswer::Ok) || answer > int32_t(MessageAnswer::No))
        return E_INVALIDARG;
    installed()->desktop.answer(MessageAnswer(answer));
    return S_OK;
}

HRESULT VelmarithTestDesktopRecords(BSTR *records)
{
    using namespace velmarith::server;
    if (!installed())
        return E_UNEXPECTED;
    if (!records)
        return E_POINTER;
    const velmarith::testing::TestDesktop &desktop = installed()->desktop;
    QJsonArray messages;
    for (const velmarith::testing::MessageRecord &message : desktop.messages())
        messages.append(QJsonObject{{QStringLiteral("text"), message.text},
                                    {QStringLiteral("title"), message.title},
                                    {QStringLiteral("icon"), int(message.icon)},
                                    {QStringLiteral("buttons"), int(message.buttons)},
                                    {QStringLiteral("answer"), int(message.answer)}});
    QJsonArray modals;
    for (const velmarith::testing::ModalRecord &modal : desktop.modals())
        modals.append(QJsonObject{{QStringLiteral("formClass"), modal.formClass}, {QStringLiteral("caption"), modal.caption}});
    const QJsonObject seen{{QStringLiteral("messages"), messages}, {QStringLiteral("modals"), modals},
                           {QStringLiteral("beeps"), desktop.beeps()}};
    *records = newBstr(QString::fromUtf8(QJsonDocument(seen).toJson(QJsonDocument::Compact)));
    return S_OK;
}

HRESULT VelmarithTestDesktopSetFailureHandler(VelmarithFailureHandler handler, void *context)
{
    using namespace velmarith::server;
    if (!installed())
        return E_UNEXPECTED;
    installed()->handler = handler;
    installed()->handlerContext = context;
    return S_OK;
}

HRESULT VelmarithTestDesktopVerify(void)
{
    using namespace velmarith::server;
    if (!installed())
        return E_UNEXPECTED;
    installed()->desktop.verify();
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
