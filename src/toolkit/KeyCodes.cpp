#include "toolkit/KeyCodes.h"

#include <array>
#include <utility>

namespace velmarith::toolkit {
namespace {

constexpr std::array<std::pair<int, int16_t>, 24> kNamedKeys{{
    {Qt::Key_Backspace, KeyCode::Back},  {Qt::Key_Tab, KeyCode::Tab},         {Qt::Key_Backtab, KeyCode::Tab},
    {Qt::Key_Return, KeyCode::Return},   {Qt::Key_Enter, KeyCode::Return},    {Qt::Key_Shift, KeyCode::Shift},
    {Qt::Key_Control, KeyCode::Control}, {Qt::Key_Alt, KeyCode::Menu},        {Qt::Key_Escape, KeyCode::Escape},
    {Qt::Key_Space, KeyCode::Space},     {Qt::Key_PageUp, 33},                {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},                   {Qt::Key_Home, 36},                  {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},                    {Qt::Key_Right, 39},                 {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},                {Qt::Key_Delete, 46},                {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},              {Qt::Key_Print, 44},                 {Qt::Key_Menu, 93},
}};

} // namespace

int16_t keyCodeOf(int qtKey)
{
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return int16_t(qtKey); // Qt numbers digits and letters by their ASCII codes, as we do
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F16)
        return int16_t(112 + (qtKey - Qt::Key_F1));
    for (const auto &[key, code] : kNamedKeys) {
        if (key == qtKey)
            return code;
    }
    return 0;
}

Qt::Key qtKeyOf(int16_t keyCode)
{
    if ((keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z'))
        return Qt::Key(keyCode);
    if (keyCode >= 112 && keyCode < 128)
        return Qt::Key(Qt::Key_F1 + (keyCode - 112));
    for (const auto &[key, code] : kNamedKeys) {
        if (code == keyCode)
            return Qt::Key(key);
    }
    return Qt::Key_unknown;
}

int16_t shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    int16_t state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= ShiftState::Shift;
    if (modifiers & Qt::ControlModifier)
        state |= ShiftState::Ctrl;
    if (modifiers & Qt::AltModifier)
        state |= ShiftState::Alt;
    return state;
}

Qt::KeyboardModifiers modifiersOf(int16_t shiftState)
{
    Qt::KeyboardModifiers modifiers;
    if (shiftState & ShiftState::Shift)
        modifiers |= Qt::ShiftModifier;
    if (shiftState & ShiftState::Ctrl)
        modifiers |= Qt::ControlModifier;
    if (shiftState & ShiftState::Alt)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

} // namespace velmarith::toolkit
