// Dialog templates as plain data, in dialog units: the size dialog and the
// five help and about dialogs. A small builder in the view turns them into
// widgets with the dialog font's base units.
#pragma once

namespace ombrix::res {

enum class ControlKind { Static, Icon, Edit, Button };

struct ControlTemplate {
    ControlKind kind;
    int id; // -1 for static texts without an id; 1 OK, 2 Cancel
    const char* text;
    int x, y, width, height;
    bool isDefault;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;
    const ControlTemplate* controls;
    int controlCount;
};

// The face and size of every dialog's font.
extern const char* const kDialogFace;
extern const int kDialogPoints;

extern const DialogTemplate kBoardSize;    // 132
extern const DialogTemplate kAboutBox;     // 100
extern const DialogTemplate kOmbrixRules;  // 133
extern const DialogTemplate kEditHelp;     // 134
extern const DialogTemplate kSolveHelp;    // 135
extern const DialogTemplate kTandrelRules; // 136

} // namespace ombrix::res
