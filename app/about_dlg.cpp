#include "app/about_dlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(CSize screen) : CDialog(TemplateFor(screen)) {}

unsigned CAboutDlg::TemplateFor(CSize screen) {
    return screen.cy > screen.cx ? IDD_ABOUTBOX : IDD_ABOUTBOX_WIDE;
}
