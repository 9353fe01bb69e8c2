#pragma once

#include <velmarith/Export.h>

#include <QString>

#include <exception>
#include <string>

namespace velmarith {

/// Error numbers the library raises, numbered as a classic automation runtime numbers them.
namespace ErrorNumber {
constexpr int InvalidArgument = 5;   ///< bad index, missing key, invalid procedure call
constexpr int Overflow = 6;          ///< a 16-bit counter, position or size left −32768..32767
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;     ///< a value that cannot be converted as asked
constexpr int DeviceUnavailable = 68;
constexpr int PathFileAccess = 75;  ///< a file or directory that cannot be read or created
constexpr int PathNotFound = 76;
constexpr int ObjectNotSet = 91;     ///< an object was needed where none was given
constexpr int InvalidPropertyValue = 380;
constexpr int InvalidArrayIndex = 381;
constexpr int NoSuchEntry = 383;   ///< a drop-down list has no entry with that text
constexpr int UnsupportedMember = 438; ///< the object has no such property or method
constexpr int DuplicateKey = 457;    ///< a key already associated with a collection element
constexpr int InvalidClassString = 711; ///< no control kind of that name
constexpr int ControlNameInUse = 727;
constexpr int NoSuchControl = 730;
constexpr int IndexOutOfBounds = 35600;
constexpr int ElementNotFound = 35601;
constexpr int KeyNotUnique = 35602;
constexpr int Database = 3146;       ///< the database refused a statement or a connection
} // namespace ErrorNumber

/// The one exception type of the library: a number and a message, like a failed automation call.
class VELMARITH_EXPORT Error : public std::exception
{
public:
    Error(int number, QString message);

    [[nodiscard]] int number() const noexcept;
    [[nodiscard]] const QString &message() const noexcept;
    [[nodiscard]] const char *what() const noexcept override;

private:
    // Shared and never changed, so an exception copies without allocating or throwing.
    class Private;
    std::shared_ptr<const Private> d;
};

} // namespace velmarith
