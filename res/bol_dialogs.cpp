#include "platform/window.h"
#include "res/resource.h"

// "Bol setup" (134): the ball board's width, height and colour count, each an
// edit box with an up-down control at its right. Rectangles are x, y,
// x + cx, y + cy in dialog units.
std::vector<DialogTemplate> BolDialogTemplates() {
    constexpr uint32_t kBox = CTRL_BORDER | CTRL_NUMBER | CTRL_AUTOHSCROLL;
    constexpr uint32_t kArrows = CTRL_AUTOBUDDY | CTRL_ALIGNRIGHT | CTRL_SETBUDDYINT;
    return {{IDD_BOLSETUP,
             u"Bol setup",
             {110, 118},
             8,
             u"MS Shell Dlg",
             {
                 {ControlKind::DefPushButton, IDOK, u"OK", {15, 71, 65, 85}, 0},
                 {ControlKind::Static, IDC_STATIC, u"Hor", {7, 10, 19, 18}, 0},
                 {ControlKind::Edit, IDC_BOL_HOR, u"", {34, 7, 61, 21}, kBox},
                 {ControlKind::UpDown, IDC_BOL_SPIN_HOR, u"", {60, 7, 71, 21}, kArrows},
                 {ControlKind::Static, IDC_STATIC, u"Ver", {7, 28, 19, 36}, 0},
                 {ControlKind::Edit, IDC_BOL_VER, u"", {34, 25, 61, 39}, kBox},
                 {ControlKind::UpDown, IDC_BOL_SPIN_VER, u"", {58, 25, 69, 39}, kArrows},
                 {ControlKind::Static, IDC_STATIC, u"Colors", {7, 49, 27, 57}, 0},
                 {ControlKind::Edit, IDC_BOL_COLORS, u"", {34, 46, 61, 60}, kBox},
                 {ControlKind::UpDown, IDC_BOL_SPIN_COLORS, u"", {58, 46, 69, 60}, kArrows},
             }}};
}
