// The About box: the program icon, its name and version.
#pragma once

#include "platform/dialog.h"

class CAboutDlg : public CDialog {
public:
    // The portrait template on a screen taller than wide, else the wide one.
    explicit CAboutDlg(CSize screen);
    static unsigned TemplateFor(CSize screen);
};
