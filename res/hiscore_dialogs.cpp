#include "platform/window.h"
#include "res/resource.h"

// The hi-score list (131) and the name dialog (132). Rectangles are x, y,
// x + cx, y + cy in dialog units.
std::vector<DialogTemplate> HiScoreDialogTemplates() {
    return {
        {IDD_HISCORES,
         u"Hi scores",
         {162, 138},
         8,
         u"MS Sans Serif",
         {
             {ControlKind::DefPushButton, IDOK, u"OK", {100, 117, 150, 131}, 0},
             // Report view without label editing: the list only shows the table.
             {ControlKind::ListView,
              IDC_HISCORE_LIST,
              u"",
              {7, 7, 155, 109},
              CTRL_REPORT | CTRL_BORDER},
             {ControlKind::PushButton, IDC_HISCORE_RESET, u"Reset", {14, 117, 64, 131}, 0},
         }},
        {IDD_HISCORE_NAME,
         u"Hi score !",
         {166, 69},
         8,
         u"MS Shell Dlg",
         {
             {ControlKind::Edit,
              IDC_HISCORE_NAME,
              u"",
              {15, 27, 153, 41},
              CTRL_BORDER | CTRL_AUTOHSCROLL},
             {ControlKind::Static,
              IDC_HISCORE_PROMPT,
              u"Geef je naam ",
              {7, 7, 159, 26},
              CTRL_CENTER},
             {ControlKind::DefPushButton, IDOK, u"OK", {61, 48, 111, 62}, 0},
         }},
    };
}
