// The desktop program: the application on the Qt host.
#include <QGuiApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/desktop_settings.h"
#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "hosts/qt/desktop_memory.h"
#include "hosts/qt/paint_stats.h"
#include "hosts/qt/qt_host.h"
#include "hosts/qt/qt_options.h"
#include "res/resource.h"

int main(int argc, char** argv) {
    SetResources(ParlourResources());
    // Read before the toolkit starts, so that --help and --version answer
    // without a display.
    const CommandLine line =
        ParseCommandLine(std::vector<std::string>(argv, argv + argc), kQtOptions);
    switch (line.action) {
        case CommandLine::Action::Help:
        case CommandLine::Action::Version:
            std::fputs(line.text.c_str(), stdout);
            return 0;
        case CommandLine::Action::Error:
            std::fputs(line.text.c_str(), stderr);
            return kUsageError;
        case CommandLine::Action::Run:
            break;
    }
    std::vector<std::string> toolkitArgs = line.toolkitArgs;
    std::vector<char*> toolkitArgv;
    for (std::string& arg : toolkitArgs) toolkitArgv.push_back(arg.data());
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = static_cast<int>(toolkitArgs.size());

    QtHost host(toolkitArgc, toolkitArgv.data());
    InstallPaintStatsIfAsked();
    // Lets the desktop match the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("nl.vantorel.Parlour"));
    // The game, zoom and size of the last run; --game wins over its game.
    const std::string settingsPath = DefaultSettingsPath();
    const DesktopSettings remembered = ReadDesktopSettings(settingsPath);
    CParlourApp app;
    app.SetFirstGame(line.game ? line.game : remembered.game);
    app.SetFirstDeal(line.deal);
    app.SetWinnableDeals(remembered.winnableDeals);
    if (!app.InitInstance()) return 1;
    host.ShowFrame(app.m_pMainWnd, QSize(remembered.width, remembered.height), remembered.zoom,
                   remembered.maximized);
    const int code = host.Exec();
    // Kept quietly: a folder that cannot be written only means the next run
    // starts as a first one.
    WriteDesktopSettings(
        settingsPath, RememberedDesktop(*static_cast<CMainFrame*>(app.m_pMainWnd), *host.Window()));
    app.ExitInstance();
    return code;
}
