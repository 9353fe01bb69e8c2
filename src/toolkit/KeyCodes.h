#pragma once

#include <QKeyEvent>

#include <cstdint>

namespace velmarith::toolkit {

/// Key codes and shift states as the form-level key handlers receive them.
namespace KeyCode {
constexpr int16_t Back = 8;
constexpr int16_t Tab = 9;
constexpr int16_t Return = 13;
constexpr int16_t Shift = 16;
constexpr int16_t Control = 17;
constexpr int16_t Menu = 18; // the Alt key itself
constexpr int16_t Escape = 27;
constexpr int16_t Space = 32;
} // namespace KeyCode

namespace ShiftState {
constexpr int16_t Shift = 1;
constexpr int16_t Ctrl = 2;
constexpr int16_t Alt = 4;
} // namespace ShiftState

/// The key code of a Qt key, 0 for keys without one.
[[nodiscard]] int16_t keyCodeOf(int qtKey);
/// The Qt key of a key code, for producing key events.
[[nodiscard]] Qt::Key qtKeyOf(int16_t keyCode);
[[nodiscard]] int16_t shiftStateOf(Qt::KeyboardModifiers modifiers);
[[nodiscard]] Qt::KeyboardModifiers modifiersOf(int16_t shiftState);

} // namespace velmarith::toolkit
