#include "platform/window.h"
#include "res/resource.h"

// "Spider settings" (133): the number of suits, asked before every deal. The
// three choices are one radio group drawn as push buttons. Rectangles are x,
// y, x + cx, y + cy in dialog units.
std::vector<DialogTemplate> CardGameDialogTemplates() {
    return {
        {IDD_SPIDER_SETTINGS,
         u"Spider settings",
         {99, 95},
         8,
         u"MS Sans Serif",
         {
             {ControlKind::DefPushButton, IDOK, u"OK", {25, 74, 75, 88}, 0},
             {ControlKind::RadioButton,
              IDC_SPIDER_1TYPE,
              u"1 Type",
              {27, 13, 75, 27},
              CTRL_GROUP | CTRL_PUSHLIKE},
             {ControlKind::RadioButton,
              IDC_SPIDER_2TYPES,
              u"2 Types",
              {27, 31, 75, 45},
              CTRL_PUSHLIKE},
             {ControlKind::RadioButton,
              IDC_SPIDER_4TYPES,
              u"4 Types",
              {27, 49, 75, 63},
              CTRL_PUSHLIKE},
         }},
    };
}
