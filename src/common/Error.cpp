#include <velmarith/Error.h>

namespace velmarith {

Error::Error(int number, QString message)
    : mNumber(number), mMessage(std::move(message)), mWhat(mMessage.toStdString())
{
}

} // namespace velmarith
