// "Rules": how the game on the table is played, in a box that scrolls.
#pragma once

#include "platform/dialog.h"

class CRulesDlg : public CDialog {
public:
    CRulesDlg(const CString& caption, const CString& rules);
    bool OnInitDialog() override;

private:
    CString m_caption;
    CString m_rules;
};
