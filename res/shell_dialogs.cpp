#include "res/resource.h"

// The About dialog in its two shapes: 100 for a screen taller than wide, 200
// for a wide one. Both show the program icon and two lines of text, and the
// number of the deal on the table below them.
std::vector<DialogTemplate> ShellDialogTemplates() {
    auto about = [](unsigned id, int width, CRect icon, CRect version, CRect line, CRect deal) {
        return DialogTemplate{
            id,
            u"About Parlour",
            {width, 129},
            8,
            u"MS Sans Serif",
            {
                {ControlKind::Icon, IDC_ABOUT_ICON, u"128", icon, 0},
                {ControlKind::Static, IDC_ABOUT_VERSION, u"Parlour Version 1.0", version, 0},
                {ControlKind::Static, IDC_ABOUT_LINE, u"Seven games", line, 0},
                {ControlKind::Static, IDC_ABOUT_DEAL, u"", deal, 0},
            }};
    };
    return {
        about(IDD_ABOUTBOX, 156, {12, 12, 33, 32}, {12, 36, 82, 44}, {12, 48, 78, 56},
              {12, 60, 120, 68}),
        about(IDD_ABOUTBOX_WIDE, 210, {12, 12, 33, 32}, {48, 12, 114, 20}, {48, 24, 114, 32},
              {48, 36, 160, 44}),
    };
}
