#include "RegisterCommand.h"

#include <velmarith/server.h>

namespace velmarith::app {
namespace {

// Takes over a BSTR the server handed out.
QString takeText(BSTR text)
{
    const QString taken = text ? QString::fromUtf16(reinterpret_cast<const char16_t *>(text), SysStringLen(text)) : QString();
    SysFreeString(text);
    return taken;
}

// Runs one of the server's registration entry points and says what it did or why it could not.
Command registration(const QStringList &arguments, const QString &name, const QString &description,
                     HRESULT (*entryPoint)(), const QString &done)
{
    CommandParser parser(name, description);
    if (parser.parse(arguments))
        return parser.helpCommand();
    return {false, [entryPoint, done](QTextStream &out) {
                if (entryPoint() != S_OK) {
                    EXCEPINFO why{};
                    QString reason;
                    if (VelmarithGetLastException(&why) == S_OK) {
                        SysFreeString(why.bstrSource);
                        reason = takeText(why.bstrDescription);
                    }
                    throw CommandFailure(reason);
                }
                BSTR path = nullptr;
                VelmarithGetRegistryPath(&path);
                out << done << takeText(path) << "\n";
                return int(kConfirmed);
            }};
}

} // namespace

Command registerCommand(const QStringList &arguments)
{
    return registration(arguments, QStringLiteral("register"),
                        QStringLiteral("注册四个类和类型库 / Registers the four classes and the type library"),
                        DllRegisterServer, QStringLiteral("已注册 / registered in "));
}

Command unregisterCommand(const QStringList &arguments)
{
    return registration(arguments, QStringLiteral("unregister"),
                        QStringLiteral("删除注册项 / Removes the entries register wrote"), DllUnregisterServer,
                        QStringLiteral("已删除注册项 / unregistered from "));
}

} // namespace velmarith::app
