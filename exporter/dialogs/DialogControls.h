#pragma once

#include <string>

namespace Exporter {

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DialogRect&) const = default;
};

enum class ControlKind { GroupBox, RadioButton, StaticText, EditBox, PushButton, CheckBox, DefaultPushButton };

// One control of a dialog template: id (-1 for none), kind, text and its
// place in dialog units.
struct DialogControl {
    int id;
    ControlKind kind;
    const wchar_t* text;
    DialogRect rect;
};

}  // namespace Exporter
