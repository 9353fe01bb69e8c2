#pragma once

namespace velmarith {

/// The icon of a message box.
enum class MessageIcon { None, Information, Question, Exclamation, Critical };
/// The buttons of a message box.
enum class MessageButtons { Ok, YesNo };
/// The button the person pressed.
enum class MessageAnswer { Ok, Yes, No };

} // namespace velmarith
