// The desktop program: the application on the Qt host.
#include "app/parlour_app.h"
#include "hosts/qt/paint_stats.h"
#include "hosts/qt/qt_host.h"
#include "res/resource.h"

int main(int argc, char** argv) {
    QtHost host(argc, argv);
    InstallPaintStatsIfAsked();
    SetResources(ParlourResources());
    CParlourApp app;
    if (!app.InitInstance()) return 1;
    host.ShowFrame(app.m_pMainWnd);
    const int code = host.Exec();
    app.ExitInstance();
    return code;
}
