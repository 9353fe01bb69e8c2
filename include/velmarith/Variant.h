#pragma once

#include <velmarith/Export.h>

#include <QString>

#include <cstdint>
#include <memory>
#include <variant>

namespace velmarith {

class Collection;

/// A value as an automation client passes it: empty, text, 16- or 32-bit integer, double,
/// boolean, or an object (a collection, the only object kind the library hands around).
class VELMARITH_EXPORT Variant
{
public:
    using Object = std::shared_ptr<Collection>;

    Variant() = default;
    Variant(QString text) : mValue(std::move(text)) {}
    Variant(const char *text) : mValue(QString::fromUtf8(text)) {}
    Variant(int16_t number) : mValue(number) {}
    Variant(int32_t number) : mValue(number) {}
    Variant(double number) : mValue(number) {}
    Variant(bool flag) : mValue(flag) {}
    Variant(Object object) : mValue(std::move(object)) {}

    [[nodiscard]] bool isEmpty() const { return std::holds_alternative<std::monostate>(mValue); }
    [[nodiscard]] bool isObject() const { return std::holds_alternative<Object>(mValue); }
    [[nodiscard]] bool isText() const { return std::holds_alternative<QString>(mValue); }

    /// The value as text: empty → "", numbers in decimal, booleans "True"/"False".
    /// Raises error 13 for an object.
    [[nodiscard]] QString toString() const;
    /// The value as a number; text is read as the number at its start. Raises error 13 for an object.
    [[nodiscard]] double toDouble() const;
    /// The value rounded to a 16-bit integer, halves to even. Raises 6 out of range, 13 for an object.
    [[nodiscard]] int16_t toInt16() const;
    /// The object held; raises error 13 when the value is not an object.
    [[nodiscard]] Object toObject() const;

    /// Calls `f` with the value as it is held (std::monostate when empty).
    template <typename F>
    decltype(auto) visit(F &&f) const
    {
        return std::visit(std::forward<F>(f), mValue);
    }

    friend bool operator==(const Variant &, const Variant &) = default;

private:
    std::variant<std::monostate, QString, int16_t, int32_t, double, bool, Object> mValue;
};

} // namespace velmarith
