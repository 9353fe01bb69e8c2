#include <velmarith/Variant.h>

#include <velmarith/Error.h>

#include "common/Numbers.h"

namespace velmarith {
namespace {

[[noreturn]] void throwTypeMismatch()
{
    throw Error(ErrorNumber::TypeMismatch, QStringLiteral("类型不匹配：对象不能转换为值"));
}

template<class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// clang 14 does not deduce an aggregate's template arguments by itself.
template<class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

QString Variant::toString() const
{
    return std::visit(Overloaded{
                          [](std::monostate) { return QString(); },
                          [](const QString &text) { return text; },
                          [](int16_t number) { return QString::number(number); },
                          [](int32_t number) { return QString::number(number); },
                          [](double number) { return numberText(number); },
                          [](bool flag) { return flag ? QStringLiteral("True") : QStringLiteral("False"); },
                          [](const Object &) -> QString { throwTypeMismatch(); },
                      },
                      mValue);
}

double Variant::toDouble() const
{
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0; },
                          [](const QString &text) { return leadingNumber(text); },
                          [](int16_t number) { return double(number); },
                          [](int32_t number) { return double(number); },
                          [](double number) { return number; },
                          // an automation True is −1
                          [](bool flag) { return flag ? -1.0 : 0.0; },
                          [](const Object &) -> double { throwTypeMismatch(); },
                      },
                      mValue);
}

int16_t Variant::toInt16() const
{
    return velmarith::toInt16(toDouble());
}

Variant::Object Variant::toObject() const
{
    if (const auto *object = std::get_if<Object>(&mValue))
        return *object;
    throw Error(ErrorNumber::TypeMismatch, QStringLiteral("类型不匹配：需要一个对象"));
}

} // namespace velmarith
