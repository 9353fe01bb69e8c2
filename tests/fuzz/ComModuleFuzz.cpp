// NextCode gives the text back or the next code of the same width; BracketText cuts, never adds.
#include "Property.h"

#include "common/ComModule.h"
#include "common/Feedback.h"

#include <cstdint>

using namespace velmarith;

namespace {

class SilentFeedback final : public Feedback
{
public:
    void beep() override {}
    void inform(const QString &, const QString &) override {}
};

bool allDigits(const QString &text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SilentFeedback silent;
    Feedback::install(&silent);
    if (size == 0)
        return 0;
    const auto mode = int16_t(int8_t(data[0]) % 3 - 1); // −1, 0 or 1
    const QString text = fuzz::textOf(data + 1, size - 1);

    const QString cut = ComModule::BracketText(text, mode);
    if (mode == -1)
        fuzz::require(text.startsWith(cut), "BracketText(-1) is a beginning of the text", text);
    else if (mode == 0)
        fuzz::require(text.contains(cut), "BracketText(0) is a part of the text", text);
    else
        fuzz::require(cut.isEmpty(), "BracketText of another mode is empty", text);

    const QString next = ComModule::NextCode(text, 0);
    if (next != text) {
        fuzz::require(allDigits(text) && allDigits(next), "only a code of digits changes", text);
        // Never more than ten zeros are put in front, so only codes of up to ten places keep it.
        if (text.size() <= 10)
            fuzz::require(next.size() == text.size(), "the next code keeps its width", text);
        if (text.size() <= 15)
            fuzz::require(next.toLongLong() == text.toLongLong() + 1, "the next code is one more", text);
    }
    return 0;
}
