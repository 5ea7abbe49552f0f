// The whole program on the headless host, as parlour-headless starts it,
// for benchmarks to drive: one per process, made on first use.
#pragma once

#include <string>

#include "app/parlour_app.h"
#include "hosts/headless/headless_host.h"

class BenchProgram {
public:
    // Opens the program on a Klondike table, painted, with its hi scores in
    // a folder of its own that is removed at exit.
    static BenchProgram& Get();

    CFrameWnd& Frame() { return *m_app.m_pMainWnd; }
    CView& View() { return *Frame().GetActiveView(); }
    // A command as the menu sends it, then the idle step.
    void Command(unsigned id);
    // A tap as the stylus makes it, then the idle step.
    void Tap(CPoint point);
    // Posted messages and painting, as an idle message loop runs them.
    void Idle() { m_host.Idle(); }

private:
    BenchProgram();
    ~BenchProgram();

    std::string m_dataDir;
    HeadlessHost m_host;
    CParlourApp m_app;
};
