#include "common/Feedback.h"

#include <cstdio>

namespace velmarith {
namespace {

class ConsoleFeedback final : public Feedback
{
public:
    void beep() override { std::fputc('\a', stderr); }
    void inform(const QString &text, const QString &title) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    }
};

ConsoleFeedback gConsoleFeedback;
Feedback *gInstalled = nullptr;

} // namespace

Feedback &Feedback::current()
{
    return gInstalled ? *gInstalled : static_cast<Feedback &>(gConsoleFeedback);
}

bool Feedback::isInstalled()
{
    return gInstalled != nullptr;
}

Feedback *Feedback::install(Feedback *feedback)
{
    Feedback *previous = gInstalled;
    gInstalled = feedback;
    return previous;
}

} // namespace velmarith
