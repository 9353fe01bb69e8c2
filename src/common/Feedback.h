#pragma once

#include <QString>

namespace velmarith {

/// The ways the non-visual layers reach the person: the system beep, an information message
/// ("提示") and the sign of a wait. The toolkit installs one that goes through the desktop; tests install
/// one that records.
class Feedback
{
public:
    virtual ~Feedback() = default;
    virtual void beep() = 0;
    virtual void inform(const QString &text, const QString &title) = 0;
    /// A wait for another program's lock begins (true) or ends (false); shown as a busy cursor.
    virtual void waiting(bool /*begins*/) {}

    /// The installed feedback; before any is installed, one that writes to standard error.
    static Feedback &current();
    /// Installs `feedback` (not owned; nullptr restores the default) and returns the previous one.
    static Feedback *install(Feedback *feedback);
    /// Whether some feedback other than the default is installed.
    [[nodiscard]] static bool isInstalled();
};

} // namespace velmarith
