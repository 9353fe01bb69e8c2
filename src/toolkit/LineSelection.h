#pragma once

#include <QLineEdit>

#include <algorithm>
#include <limits>

namespace velmarith::toolkit {

/// QLineEdit cuts its text at 32767 characters unless told otherwise; an editor must hold
/// whatever the column holds, or a loaded value would be written back cut.
constexpr int kUnlimitedLength = std::numeric_limits<int>::max();

} // namespace velmarith::toolkit

namespace velmarith::toolkit::LineSelection {

// The selection of a one-line editor as SelStart/SelLength/SelText see it: a start and a
// length in 16-bit characters, the start being the cursor when nothing is selected.

inline int start(const QLineEdit &edit)
{
    return edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
}

inline void setStart(QLineEdit &edit, int start)
{
    edit.setCursorPosition(std::clamp(start, 0, int(edit.text().size())));
}

inline int length(const QLineEdit &edit)
{
    return edit.hasSelectedText() ? int(edit.selectedText().size()) : 0;
}

inline void setLength(QLineEdit &edit, int length)
{
    const int from = start(edit);
    edit.setSelection(from, std::clamp(length, 0, int(edit.text().size()) - from));
}

} // namespace velmarith::toolkit::LineSelection
