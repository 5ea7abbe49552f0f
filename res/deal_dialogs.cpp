#include "platform/window.h"
#include "res/resource.h"

// The desktop's own dialogs about the game on view: choosing a deal by its
// number, the rules and the statistics. Rectangles are x, y, x + cx, y + cy
// in dialog units.
std::vector<DialogTemplate> DealDialogTemplates() {
    return {
        {IDD_CHOOSE_DEAL,
         u"Choose deal",
         {150, 70},
         8,
         u"MS Shell Dlg",
         {
             {ControlKind::Static,
              IDC_DEAL_PROMPT,
              u"Deal number (0 to 4294967295):",
              {7, 7, 143, 17},
              0},
             {ControlKind::Edit,
              IDC_DEAL_NUMBER,
              u"",
              {7, 20, 143, 34},
              CTRL_BORDER | CTRL_NUMBER | CTRL_AUTOHSCROLL},
             {ControlKind::DefPushButton, IDOK, u"OK", {23, 47, 73, 61}, 0},
             {ControlKind::PushButton, IDCANCEL, u"Cancel", {78, 47, 128, 61}, 0},
         }},
        {IDD_RULES,
         u"Rules",
         {210, 200},
         8,
         u"MS Shell Dlg",
         {
             {ControlKind::Edit,
              IDC_RULES_TEXT,
              u"",
              {7, 7, 203, 172},
              CTRL_BORDER | CTRL_MULTILINE | CTRL_READONLY},
             {ControlKind::DefPushButton, IDOK, u"OK", {80, 179, 130, 193}, 0},
         }},
        {IDD_STATISTICS,
         u"Statistics",
         {172, 138},
         8,
         u"MS Shell Dlg",
         {
             {ControlKind::DefPushButton, IDOK, u"OK", {110, 117, 160, 131}, 0},
             {ControlKind::ListView,
              IDC_STATISTICS_LIST,
              u"",
              {7, 7, 165, 109},
              CTRL_REPORT | CTRL_BORDER},
             {ControlKind::PushButton, IDC_STATISTICS_RESET, u"Reset", {12, 117, 62, 131}, 0},
         }},
    };
}
