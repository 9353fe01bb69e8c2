#pragma once

#include "common/Feedback.h"

#include <QString>

#include <utility>
#include <vector>

namespace velmarith::test {

/// Records beeps and messages instead of showing them, while it is installed.
class RecordingFeedback final : public Feedback
{
public:
    RecordingFeedback() : mPrevious(Feedback::install(this)) {}
    ~RecordingFeedback() override { Feedback::install(mPrevious); }
    RecordingFeedback(const RecordingFeedback &) = delete;
    RecordingFeedback &operator=(const RecordingFeedback &) = delete;

    void beep() override { ++beeps; }
    void inform(const QString &text, const QString &title) override { messages.emplace_back(text, title); }
    void waiting(bool begins) override { ++(begins ? waitsBegun : waitsEnded); }

    int beeps = 0;
    int waitsBegun = 0;
    int waitsEnded = 0;
    std::vector<std::pair<QString, QString>> messages; // text, title

private:
    Feedback *mPrevious;
};

} // namespace velmarith::test
