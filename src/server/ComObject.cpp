#include "server/ComObject.h"

#include "server/Strings.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <optional>

namespace velmarith::server {
namespace {

std::atomic<long> gLocks{0};

struct ExceptionReport {
    QString source;
    int number = 0;
    QString description;
};

thread_local std::optional<ExceptionReport> tLastException;

void fill(const ExceptionReport &report, EXCEPINFO &exception)
{
    exception = EXCEPINFO{};
    // The component model's rule: a non-zero wCode means scode is 0.
    if (report.number > 0 && report.number <= 0xFFFF)
        exception.wCode = static_cast<WORD>(report.number);
    else
        exception.scode = E_FAIL;
    exception.bstrSource = newBstr(report.source);
    exception.bstrDescription = newBstr(report.description);
}

} // namespace

bool Apartment::mayShowWindows() const
{
    if (!isCurrent())
        return false;
    // An object made on a second thread before the host made its application on another would
    // open windows that never receive input.
    const QCoreApplication *application = QCoreApplication::instance();
    return !application || application->thread() == QThread::currentThread();
}

namespace module {
void lock() { ++gLocks; }
void unlock() { --gLocks; }
bool inUse() { return gLocks.load() != 0; }
} // namespace module

HRESULT raiseException(const QString &source, int number, const QString &description, EXCEPINFO *exception)
{
    tLastException = ExceptionReport{source, number, description};
    if (exception)
        fill(*tLastException, *exception);
    return DISP_E_EXCEPTION;
}

} // namespace velmarith::server

extern "C" HRESULT VelmarithGetLastException(EXCEPINFO *exception)
{
    using velmarith::server::tLastException;
    if (!exception)
        return E_POINTER;
    if (!tLastException)
        return S_FALSE;
    velmarith::server::fill(*tLastException, *exception);
    tLastException.reset();
    return S_OK;
}
