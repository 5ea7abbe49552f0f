#include "balls/bolsetup_dlg.h"

#include "res/resource.h"

CBolSetupDlg::CBolSetupDlg() : CDialog(IDD_BOLSETUP) {}

bool CBolSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The arrows stop at 4, though a smaller board may be typed in.
    m_spinHor.SetRange(4, 16);
    m_spinVer.SetRange(4, 16);
    m_spinColors.SetRange(4, 9);
    UpdateData(false);  // the boxes show the values again once the ranges are set
    return true;
}

void CBolSetupDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BOL_SPIN_COLORS, m_spinColors);
    DDX_Control(dx, IDC_BOL_SPIN_VER, m_spinVer);
    DDX_Control(dx, IDC_BOL_SPIN_HOR, m_spinHor);
    DDX_Text(dx, IDC_BOL_HOR, m_hor);
    DDV_MinMaxInt(dx, m_hor, 2, 16);
    DDX_Text(dx, IDC_BOL_VER, m_ver);
    DDV_MinMaxInt(dx, m_ver, 2, 16);
    DDX_Text(dx, IDC_BOL_COLORS, m_colors);
    DDV_MinMaxInt(dx, m_colors, 2, 9);
}
