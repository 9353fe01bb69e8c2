#include "maintenance/Editors.h"

#include "common/Numbers.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/TextBox.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace velmarith {
namespace {

struct Prefix {
    EditorKind kind;
    const char16_t *text;
};
constexpr std::array<Prefix, 3> kPrefixes{{
    {EditorKind::TextBox, u"txt"},
    {EditorKind::ComboBox, u"cbo"},
    {EditorKind::CheckBox, u"chk"},
}};

bool isOfKind(toolkit::Control &control, EditorKind kind)
{
    switch (kind) {
    case EditorKind::TextBox:
        return qobject_cast<toolkit::TextBox *>(&control) != nullptr;
    case EditorKind::ComboBox:
        return qobject_cast<toolkit::ComboBox *>(&control) != nullptr;
    case EditorKind::CheckBox:
        return qobject_cast<toolkit::CheckBox *>(&control) != nullptr;
    }
    return false;
}

} // namespace

std::optional<Editor> editorOf(toolkit::Control &control)
{
    const QString &name = control.Name();
    for (const Prefix &prefix : kPrefixes) {
        const QStringView marker(prefix.text);
        if (name.size() > marker.size() && name.startsWith(marker) && isOfKind(control, prefix.kind))
            return Editor{prefix.kind, name.mid(marker.size()), &control};
    }
    return std::nullopt;
}

DataEditor editorForType(const QString &type, const QString &size, int16_t fieldNo)
{
    static const QStringList kNumericAndOther{QStringLiteral("2"),   QStringLiteral("3"),   QStringLiteral("6"),
                                              QStringLiteral("131"), QStringLiteral("135"), QStringLiteral("201"),
                                              QStringLiteral("202"), QStringLiteral("204")};
    const double length = leadingNumber(size);
    if (type == u"129")
        return std::abs(length) == 1 && fieldNo != 1 ? DataEditor::Check : DataEditor::Text;
    if (type == u"200")
        return DataEditor::Text;
    if (kNumericAndOther.contains(type))
        return length == 1 && fieldNo != 1 ? DataEditor::Check : DataEditor::Text;
    return DataEditor::Unsupported;
}

QString editorName(EditorKind kind, const QString &field)
{
    for (const Prefix &prefix : kPrefixes) {
        if (prefix.kind == kind)
            return QString::fromUtf16(prefix.text) + field;
    }
    return field;
}

} // namespace velmarith
