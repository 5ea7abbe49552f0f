// Tells the player the place reached and asks for a name.
#pragma once

#include "platform/dialog.h"
#include "platform/strings.h"

class CHiScoreNameDlg : public CDialog {
public:
    CHiScoreNameDlg();
    ~CHiScoreNameDlg() override;

    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    // A name fits the list's column and the file stays small.
    static constexpr int kMaxNameLength = 32;

    CString m_name;
    CString m_prompt;
};
