#include "app/about_dlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(CSize screen, uint32_t deal) : CDialog(TemplateFor(screen)), m_deal(deal) {}

bool CAboutDlg::OnInitDialog() {
    Control(IDC_ABOUT_DEAL).text = FormatString("Deal %u", m_deal);
    return CDialog::OnInitDialog();
}

unsigned CAboutDlg::TemplateFor(CSize screen) {
    return screen.cy > screen.cx ? IDD_ABOUTBOX : IDD_ABOUTBOX_WIDE;
}
