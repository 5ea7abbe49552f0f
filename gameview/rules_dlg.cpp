#include "gameview/rules_dlg.h"

#include "res/resource.h"

CRulesDlg::CRulesDlg(const CString& caption, const CString& rules)
    : CDialog(IDD_RULES), m_caption(caption), m_rules(rules) {}

bool CRulesDlg::OnInitDialog() {
    SetWindowText(m_caption);
    Control(IDC_RULES_TEXT).text = m_rules;
    return CDialog::OnInitDialog();
}
