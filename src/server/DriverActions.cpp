// The FormDriver's actions by name, for scripts of hosts in other languages.
#include "server/DriverActions.h"

#include "server/ComObject.h"
#include "server/Strings.h"

#include <velmarith/Error.h>

#include <QStringList>

#include <cstring>
#include <functional>

namespace velmarith::server {
namespace {

using testing::FormDriver;

int numberIn(const QString &argument)
{
    bool ok = false;
    const int number = argument.toInt(&ok);
    if (!ok)
        throw Error(ErrorNumber::InvalidArgument, QStringLiteral("not a number: \"%1\"").arg(argument));
    return number;
}

QString flag(bool set)
{
    return set ? QStringLiteral("1") : QStringLiteral("0");
}

struct Action {
    const char *name;
    std::function<QString(FormDriver &user, const QString &control, const QString &argument)> run;
};

// Each returns what it reads; a doing returns nothing.
const Action kActions[] = {
    {"formClass", [](FormDriver &user, const QString &, const QString &) { return user.formClass(); }},
    {"caption", [](FormDriver &user, const QString &, const QString &) { return user.caption(); }},
    {"controlNames", [](FormDriver &user, const QString &, const QString &) { return user.controlNames().join(u'\n'); }},
    {"exists", [](FormDriver &user, const QString &control, const QString &) { return flag(user.exists(control)); }},
    {"isVisible", [](FormDriver &user, const QString &control, const QString &) { return flag(user.isVisible(control)); }},
    {"isEnabled", [](FormDriver &user, const QString &control, const QString &) { return flag(user.isEnabled(control)); }},
    {"text", [](FormDriver &user, const QString &control, const QString &) { return user.text(control); }},
    {"toolTip", [](FormDriver &user, const QString &control, const QString &) { return user.toolTip(control); }},
    {"items", [](FormDriver &user, const QString &control, const QString &) { return user.items(control).join(u'\n'); }},
    {"value", [](FormDriver &user, const QString &control, const QString &) { return QString::number(user.value(control)); }},
    {"activeControl", [](FormDriver &user, const QString &, const QString &) { return user.activeControl(); }},
    {"setText", [](FormDriver &user, const QString &control, const QString &text) { user.setText(control, text); return QString(); }},
    {"pick", [](FormDriver &user, const QString &control, const QString &entry) { user.pick(control, entry); return QString(); }},
    {"setValue", [](FormDriver &user, const QString &control, const QString &value) {
         user.setValue(control, numberIn(value));
         return QString();
     }},
    {"click", [](FormDriver &user, const QString &control, const QString &) { user.click(control); return QString(); }},
    {"clickItem", [](FormDriver &user, const QString &control, const QString &position) {
         user.clickItem(control, numberIn(position));
         return QString();
     }},
    {"doubleClickItem", [](FormDriver &user, const QString &control, const QString &position) {
         user.doubleClickItem(control, numberIn(position));
         return QString();
     }},
    {"clickColumn", [](FormDriver &user, const QString &control, const QString &position) {
         user.clickColumn(control, numberIn(position));
         return QString();
     }},
    {"doubleClickNode", [](FormDriver &user, const QString &control, const QString &key) {
         user.doubleClickNode(control, key);
         return QString();
     }},
    {"selectNode", [](FormDriver &user, const QString &control, const QString &key) { user.selectNode(control, key); return QString(); }},
    {"focus", [](FormDriver &user, const QString &control, const QString &) { user.focus(control); return QString(); }},
    {"pressKey", [](FormDriver &user, const QString &, const QString &keys) {
         user.pressKey(int16_t(numberIn(keys.section(u' ', 0, 0))), int16_t(keys.contains(u' ') ? numberIn(keys.section(u' ', 1, 1)) : 0));
         return QString();
     }},
    {"close", [](FormDriver &user, const QString &, const QString &) { user.close(); return QString(); }},
};

} // namespace
} // namespace velmarith::server

HRESULT VelmarithDriverAct(VelmarithDriver *driver, const char *action, const char *control, const char *argument, BSTR *result)
{
    using namespace velmarith::server;
    if (!driver || !action)
        return E_POINTER;
    if (result)
        *result = nullptr;
    for (const Action &known : kActions) {
        if (std::strcmp(known.name, action) != 0)
            continue;
        return guarded(QStringLiteral("Velmarith"), nullptr, [&] {
            const QString read = known.run(driver->user, QString::fromUtf8(control ? control : ""), QString::fromUtf8(argument ? argument : ""));
            if (result)
                *result = newBstr(read);
            return S_OK;
        });
    }
    return DISP_E_MEMBERNOTFOUND;
}
