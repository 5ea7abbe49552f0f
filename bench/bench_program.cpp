#include "bench/bench_program.h"

#include <cstdlib>
#include <filesystem>

#include "res/resource.h"

BenchProgram& BenchProgram::Get() {
    static BenchProgram program;
    return program;
}

BenchProgram::BenchProgram() {
    std::string folder = (std::filesystem::temp_directory_path() / "parlour-bench-XXXXXX").string();
    if (mkdtemp(folder.data())) m_dataDir = folder + "/";
    SetResources(ParlourResources());
    m_app.SetDataDir(m_dataDir);
    m_app.InitInstance();
    m_host.Idle();
}

BenchProgram::~BenchProgram() {
    m_app.ExitInstance();
    if (!m_dataDir.empty()) std::filesystem::remove_all(m_dataDir);
}

void BenchProgram::Command(unsigned id) {
    Frame().SendCommand(id);
    m_host.Idle();
}

void BenchProgram::Tap(CPoint point) {
    View().SendStylusDown(point);
    View().SendStylusUp(point);
    m_host.Idle();
}
