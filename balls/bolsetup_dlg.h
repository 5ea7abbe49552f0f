// "Bol setup": the ball board's width, height and number of colours.
#pragma once

#include "platform/dialog.h"

class CBolSetupDlg : public CDialog {
public:
    CBolSetupDlg();

    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CSpinButtonCtrl m_spinColors;
    CSpinButtonCtrl m_spinVer;
    CSpinButtonCtrl m_spinHor;
    int m_hor = 0;
    int m_ver = 0;
    int m_colors = 0;
};
