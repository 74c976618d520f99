// Which texts of a dialog do not fit the controls that show them, measured with the font each
// control draws with, at the window's DPI.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

struct TextMisfit {
    int id = 0;
    std::wstring text;
    SIZE needed{};  // what the text takes, with the control's own parts (a check box's box)
    SIZE room{};    // the control's client size
};

// Every visible static, button, check box, radio button, group box and combo box that is a direct
// child of the dialog and whose text is wider or taller than its control; multi-line statics are
// measured word-wrapped to their width.
std::vector<TextMisfit> textMisfits(HWND dialog);

// One line per misfit, for a failure message.
std::string describe(const std::vector<TextMisfit>& misfits);

}  // namespace testsupport
