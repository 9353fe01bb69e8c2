#include <velmarith/Error.h>

namespace velmarith {

// Nested in an exported class, but no part of the API.
class VELMARITH_NO_EXPORT Error::Private
{
public:
    int number;
    QString message;
    std::string what;
};

Error::Error(int number, QString message)
{
    std::string what = message.toStdString();
    d = std::make_shared<const Private>(Private{number, std::move(message), std::move(what)});
}

int Error::number() const noexcept
{
    return d->number;
}

const QString &Error::message() const noexcept
{
    return d->message;
}

const char *Error::what() const noexcept
{
    return d->what.c_str();
}

} // namespace velmarith
