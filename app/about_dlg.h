// The About box: the program icon, its name and version, and the number of
// the deal on the table.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

class CAboutDlg : public CDialog {
public:
    // The portrait template on a screen taller than wide, else the wide one.
    CAboutDlg(CSize screen, uint32_t deal);
    static unsigned TemplateFor(CSize screen);
    bool OnInitDialog() override;

private:
    uint32_t m_deal;
};
