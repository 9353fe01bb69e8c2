#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace velmarith {

namespace toolkit {
class Control;
}

/// How the maintenance window tells a field's editor: its name is "txt", "cbo" or "chk"
/// followed by exactly the field name, and its kind is the one that prefix names. A marker
/// found elsewhere in a name counts for nothing, so 名称 never takes the editor of 客户名称
/// and a field called label1 or matchkey is edited like any other.
enum class EditorKind { TextBox, ComboBox, CheckBox };

struct Editor {
    EditorKind kind;
    QString field;
    toolkit::Control *control;
};

/// The editor a control is, or nothing for labels, buttons, the list and the rest.
[[nodiscard]] std::optional<Editor> editorOf(toolkit::Control &control);

/// The control name of a field's editor of a kind ("txt" + field, …).
[[nodiscard]] QString editorName(EditorKind kind, const QString &field);

/// The editor a field without relations gets from its data type.
enum class DataEditor { Text, Check, Unsupported };

/// That editor, from the field's type code and size (as texts) and its place among the listed
/// fields, from 1: a check box for a one-character or one-digit field but the first.
[[nodiscard]] DataEditor editorForType(const QString &type, const QString &size, int16_t fieldNo);

} // namespace velmarith
