// "Choose deal": the number of the deal to play, any whole number a deal can
// have (the seed its shuffle or board takes).
#pragma once

#include <cstdint>

#include "platform/dialog.h"

class CDealDlg : public CDialog {
public:
    CDealDlg();
    void DoDataExchange(CDataExchange* dx) override;

    uint32_t m_deal = 0;
};
