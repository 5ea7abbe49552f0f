#include "hiscores/hiscore_name_dlg.h"

#include "res/resource.h"

CHiScoreNameDlg::CHiScoreNameDlg() : CDialog(IDD_HISCORE_NAME) {}

CHiScoreNameDlg::~CHiScoreNameDlg() = default;

void CHiScoreNameDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_HISCORE_NAME, m_name);
    DDV_MaxChars(dx, m_name, kMaxNameLength);
    DDX_Text(dx, IDC_HISCORE_PROMPT, m_prompt);
}

void CHiScoreNameDlg::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}
