// The grid's key events carry the key codes and shift states the editor's rules are written
// for (Tab 9, Enter 13, arrows 37 to 40, Delete 46; Shift 1, Ctrl 2, Alt 4), whatever the
// windowing system's own codes are.
#pragma once

#include <Qt>

namespace tovan {

inline constexpr int kKeyTab = 9, kKeyEnter = 13, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39,
                     kKeyDown = 40, kKeyDelete = 46;

// 0 for keys that have no such code.
int VirtualKeyCode(int qtKey);
int ShiftState(Qt::KeyboardModifiers modifiers);

} // namespace tovan
