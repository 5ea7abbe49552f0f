// parlour-headless: the program driven by a script on a virtual clock.
// Each command prints at most one JSON line; see the README.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "hosts/headless/game_state.h"
#include "hosts/headless/headless_host.h"
#include "hosts/headless/json.h"
#include "hosts/headless/png_writer.h"
#include "res/resource.h"

namespace {

std::string ModalLine(const ModalRecord& record) {
    JsonObject line;
    if (record.isMessageBox) {
        line.Text("event", "messagebox")
            .Text("text", record.text)
            .Text("buttons", (record.type & 0xF) == MB_YESNO ? "yesno" : "ok")
            .Text("answer", record.answer);
        return line.Str();
    }
    line.Text("event", "dialog")
        .Number("template", record.templateId)
        .Text("caption", record.caption);
    line.Text("answer", record.answer);
    const DialogTemplate* dialog = FindDialogTemplate(record.templateId);
    if (!dialog) return line.Str();
    std::vector<unsigned> edits, statics, lists, radios;
    for (const DialogControl& c : dialog->controls) {
        if (c.kind == ControlKind::Edit) edits.push_back(c.id);
        if (c.kind == ControlKind::Static) statics.push_back(c.id);
        if (c.kind == ControlKind::ListView) lists.push_back(c.id);
        if (c.kind == ControlKind::RadioButton) radios.push_back(c.id);
    }
    auto text = [&](unsigned id) { return record.controls.at(id).text; };
    if (!lists.empty()) {
        const ListViewData& list = record.controls.at(lists[0]).list;
        std::vector<std::string> rows;
        for (const auto& row : list.rows) {
            std::vector<std::string> cells;
            for (const CString& cell : row) cells.push_back(JsonString(cell));
            rows.push_back(JsonArray(cells));
        }
        line.Raw("rows", JsonArray(rows)).Number("selected", list.selected);
    }
    if (!radios.empty()) {
        int choice = -1;
        for (size_t i = 0; i < radios.size(); ++i)
            if (record.controls.at(radios[i]).checked) choice = static_cast<int>(i);
        line.Number("choice", choice);
    }
    if (edits.size() == 1 && !statics.empty()) {
        line.Text("prompt", text(statics[0])).Text("name", text(edits[0]));
    } else if (edits.size() >= 2) {
        std::vector<std::string> values;
        for (unsigned id : edits) values.push_back(JsonString(text(id)));
        line.Raw("values", JsonArray(values));
    }
    return line.Str();
}

std::string MenuLine(CMainFrame& frame) {
    std::vector<std::string> items;
    if (const MenuResource* menu = FindMenu(frame.ResourceId())) {
        for (const MenuItem& item : menu->items) {
            if (item.IsSeparator()) {
                items.push_back(JsonObject().Bool("separator", true).Str());
                continue;
            }
            const CCmdUI state = frame.QueryCommand(item.id);
            items.push_back(JsonObject()
                                .Number("id", item.id)
                                .Text("text", item.text)
                                .Bool("enabled", state.m_enabled)
                                .Bool("checked", state.m_checked)
                                .Str());
        }
    }
    return JsonObject().Raw("menu", JsonArray(items)).Str();
}

std::string ScoresLine(CHiScoreStore& store) {
    std::vector<std::string> tables;
    for (const CHiScoresDlg& table : store.m_hiScoreTables) {
        std::vector<std::string> entries;
        for (const auto& entry : table.m_entries)
            entries.push_back(JsonArray({JsonString(entry->m_name), std::to_string(entry->m_score),
                                         std::to_string(entry->m_seconds)}));
        tables.push_back(JsonObject()
                             .Text("title", table.m_title)
                             .Text("lastName", table.m_lastName)
                             .Number("highlight", table.m_highlight)
                             .Raw("entries", JsonArray(entries))
                             .Str());
    }
    return JsonObject().Raw("scores", JsonArray(tables)).Str();
}

class Driver {
public:
    Driver(HeadlessHost& host, CParlourApp& app) : m_host(host), m_app(app) {}

    // Runs one script line; false once the program has ended.
    bool Run(const std::string& line);
    bool HadError() const { return m_hadError; }

private:
    void Error(const std::string& message) {
        std::cout << JsonObject().Text("error", message).Str() << "\n";
        m_hadError = true;
    }
    CMainFrame& Frame() { return *static_cast<CMainFrame*>(m_app.m_pMainWnd); }
    CView* View() { return Frame().GetActiveView(); }
    bool ReadPoint(std::istringstream& in, CPoint* p) {
        long long x, y;
        if (!(in >> x >> y) || x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX)
            return false;
        *p = CPoint(static_cast<int32_t>(x), static_cast<int32_t>(y));
        return true;
    }
    bool AtEnd(std::istringstream& in) {
        std::string extra;
        return !(in >> extra);
    }

    HeadlessHost& m_host;
    CParlourApp& m_app;
    bool m_autopaint = true;
    bool m_hadError = false;
};

bool Driver::Run(const std::string& line) {
    std::istringstream in(line);
    std::string command;
    if (!(in >> command) || command[0] == '#') return true;
    CView* view = View();
    bool ok = true;
    if (command == "size") {
        long long w, h;
        ok = in >> w >> h && w >= 0 && h >= 0 && w <= 4096 && h <= 4096 && AtEnd(in);
        if (ok) Frame().SetViewSize(static_cast<int>(w), static_cast<int>(h));
    } else if (command == "wait") {
        long long ms;
        ok = in >> ms && ms >= 0 && AtEnd(in);
        if (ok) m_host.Wait(static_cast<uint64_t>(ms));
    } else if (command == "down" || command == "move" || command == "up" || command == "dblclk" ||
               command == "tap") {
        CPoint p;
        ok = ReadPoint(in, &p) && AtEnd(in) && view;
        if (ok) {
            if (command == "down" || command == "tap") view->SendStylusDown(p);
            if (command == "dblclk") view->SendStylusDown(p, true);
            if (command == "move") view->SendStylusMove(p);
            if ((command == "up" || command == "tap") && CWnd::IsLive(view)) view->SendStylusUp(p);
        }
    } else if (command == "drag") {
        CPoint from, to;
        ok = ReadPoint(in, &from) && ReadPoint(in, &to) && AtEnd(in) && view;
        if (ok) {
            view->SendStylusDown(from);
            if (CWnd::IsLive(view)) view->SendStylusMove(to);
            if (CWnd::IsLive(view)) view->SendStylusUp(to);
        }
    } else if (command == "command") {
        long long id;
        ok = in >> id && id >= 0 && id <= 0xFFFF && AtEnd(in);
        if (ok) {
            if (!Frame().QueryCommand(static_cast<unsigned>(id)).m_enabled) {
                std::cout << JsonObject().Text("error", "disabled").Number("command", id).Str()
                          << "\n";
                m_hadError = true;
                return true;
            }
            Frame().SendCommand(static_cast<unsigned>(id));
        }
    } else if (command == "answer") {
        ModalAnswer answer;
        std::string rest;
        std::getline(in, rest);
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        ok = ModalAnswer::Parse(rest, &answer);
        if (ok) m_host.QueueAnswer(answer);
    } else if (command == "autopaint") {
        std::string mode;
        ok = in >> mode && (mode == "on" || mode == "off") && AtEnd(in);
        if (ok) m_autopaint = mode == "on";
    } else if (command == "state") {
        m_host.Idle(m_autopaint);
        std::cout << StateLine(Frame(), m_host) << "\n";
        return true;
    } else if (command == "menu") {
        std::cout << MenuLine(Frame()) << "\n";
    } else if (command == "scores") {
        std::cout << ScoresLine(m_app.HiScores()) << "\n";
    } else if (command == "shot") {
        std::string path;
        std::getline(in, path);
        path.erase(0, path.find_first_not_of(' '));
        m_host.Idle(m_autopaint);
        if (path.empty() || !view || !WritePng(view->Surface(), path)) {
            Error("cannot write " + path);
            return true;
        }
    } else if (command == "quit") {
        Frame().SendCommand(ID_APP_EXIT);
        return false;
    } else {
        Error("unknown command: " + command);
        return true;
    }
    if (!ok) {
        Error("bad command: " + line);
        return true;
    }
    m_host.Idle(m_autopaint);
    return !m_host.QuitRequested();
}

int Usage() {
    std::cerr << "usage: parlour-headless [--data-dir DIR] [--tick MS] [SCRIPT]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir, script;
    uint64_t tick = 100000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data-dir" && i + 1 < argc) {
            dataDir = argv[++i];
            if (!dataDir.empty() && dataDir.back() != '/') dataDir += '/';
        } else if (arg == "--tick" && i + 1 < argc) {
            try {
                tick = std::stoull(argv[++i]);
            } catch (...) {
                return Usage();
            }
        } else if (!arg.empty() && arg[0] != '-' && script.empty()) {
            script = arg;
        } else {
            return Usage();
        }
    }
    std::ifstream file;
    if (!script.empty()) {
        file.open(script);
        if (!file) {
            std::cerr << "parlour-headless: cannot read " << script << "\n";
            return 2;
        }
    }
    std::istream& input = script.empty() ? std::cin : file;

    HeadlessHost host(tick);
    host.onModalClosed = [](const ModalRecord& record) { std::cout << ModalLine(record) << "\n"; };
    SetResources(ParlourResources());
    CParlourApp app;
    if (!dataDir.empty()) app.SetDataDir(dataDir);
    if (!app.InitInstance()) return 1;
    host.Idle();

    Driver driver(host, app);
    std::string line;
    while (std::getline(input, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!driver.Run(line)) break;
        std::cout.flush();
    }
    app.ExitInstance();
    std::cout.flush();
    return driver.HadError() ? 1 : 0;
}
