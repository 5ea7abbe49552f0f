// parlour-headless: the program driven by a script on a virtual clock.
// Each command prints at most one JSON line; see the README.

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "cards/cardgame.h"
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
            .Text("buttons", (record.type & MB_TYPEMASK) == MB_YESNO ? "yesno" : "ok")
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
    bool numbers = false;  // number boxes, given as "values"
    for (const DialogControl& c : dialog->controls) {
        if (c.kind == ControlKind::Edit && (c.style & CTRL_READONLY)) {
            line.Text("text", record.controls.at(c.id).text);
            continue;
        }
        if (c.kind == ControlKind::Edit) edits.push_back(c.id);
        if (c.kind == ControlKind::Edit && (c.style & CTRL_NUMBER)) numbers = true;
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
    if (edits.size() == 1 && !statics.empty() && !numbers) {
        line.Text("prompt", text(statics[0])).Text("name", text(edits[0]));
    } else if (edits.size() >= 2 || numbers) {
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

// The ranges a script's numbers must lie in.
constexpr long long kMaxSize = 4096;
// Stylus positions travel as signed 16-bit numbers in a stylus message.
constexpr long long kMinCoordinate = -32768, kMaxCoordinate = 32767;
// One whole turn of the 32-bit tick count.
constexpr long long kMaxTick = 0xFFFFFFFFLL;
constexpr long long kMaxCommandId = 0xFFFF;

// A whole number written plainly: an optional '-' and decimal digits, within
// [lo, hi]. Anything else ("1e3", "0x10", "+5", "12abc") is refused.
bool ParseNumber(std::string_view word, long long lo, long long hi, long long* value) {
    const size_t digits = word.size() > 0 && word[0] == '-' ? 1 : 0;
    if (word.size() == digits || word.size() - digits > 18) return false;
    long long n = 0;
    for (size_t i = digits; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        n = n * 10 + (word[i] - '0');  // 18 digits at most: no overflow
    }
    if (digits) n = -n;
    if (n < lo || n > hi) return false;
    *value = n;
    return true;
}

// Text that is not well-formed UTF-8 would be read as something else.
bool IsUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int more;
        char32_t cp;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            more = 1, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2, cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3, cp = b & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(more) >= text.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        // No overlong forms, no surrogates, nothing past U+10FFFF.
        if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<size_t>(more) + 1;
    }
    return true;
}

class Driver {
public:
    // The card tables' pixels are drawn only for a picture: a paint still
    // lays the cards out and turns the columns' tops as it always did.
    Driver(HeadlessHost& host, CParlourApp& app) : m_host(host), m_app(app) {
        m_host.SetPixelsOnDemand(true);
    }

    // Runs one script line; false once the program has ended.
    bool Run(std::string_view line);
    bool HadError() const { return m_hadError; }

private:
    void Error(const std::string& message) {
        std::cout << JsonObject().Text("error", message).Str() << "\n";
        m_hadError = true;
    }
    CMainFrame& Frame() { return *static_cast<CMainFrame*>(m_app.m_pMainWnd); }
    CView* View() { return Frame().GetActiveView(); }
    // The line's words after the command, each a number in [lo, hi].
    // The script's commands take at most four numbers.
    static constexpr size_t kMaxNumbers = 4;
    static bool ReadNumbers(std::span<const std::string_view> args, long long lo, long long hi,
                            std::array<long long, kMaxNumbers>* values) {
        if (args.size() > values->size()) return false;
        for (size_t i = 0; i < args.size(); ++i)
            if (!ParseNumber(args[i], lo, hi, &(*values)[i])) return false;
        return true;
    }
    // Runs the command; "" when done, else what was wrong with it.
    std::string Execute(std::string_view command, std::span<const std::string_view> args,
                        std::string_view rest, bool* ended);

    HeadlessHost& m_host;
    CParlourApp& m_app;
    bool m_autopaint = true;
    bool m_hadError = false;
    std::vector<std::string_view> m_words;  // the line's, kept from line to line
};

// A key's name as the key command takes it: Backtab is Shift+Tab.
bool ParseKey(std::string_view name, unsigned* key, unsigned* flags) {
    static const std::map<std::string_view, unsigned> kKeys = {
        {"Tab", VK_TAB},       {"Backtab", VK_TAB}, {"Left", VK_LEFT},     {"Right", VK_RIGHT},
        {"Up", VK_UP},         {"Down", VK_DOWN},   {"Return", VK_RETURN}, {"Space", VK_SPACE},
        {"Escape", VK_ESCAPE}, {"H", VK_H}};
    *flags = 0;
    constexpr std::string_view kShift = "Shift+";
    if (name.starts_with(kShift)) {
        *flags = MK_SHIFT;
        name.remove_prefix(kShift.size());
    }
    const auto found = kKeys.find(name);
    if (found == kKeys.end()) return false;
    *key = found->second;
    if (name == "Backtab") *flags = MK_SHIFT;
    return true;
}

// The line's words, split at white space as a stream reads them, into
// words. A stream, or a string a word, made for every line of a long script
// costs more than running the line.
void Words(std::string_view line, std::vector<std::string_view>* words) {
    constexpr std::string_view kSpace = " \t\n\v\f\r";
    words->clear();
    size_t start = line.find_first_not_of(kSpace);
    while (start != std::string_view::npos) {
        const size_t end = line.find_first_of(kSpace, start);
        words->push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        start = line.find_first_not_of(kSpace, end);
    }
}

bool Driver::Run(std::string_view line) {
    Words(line, &m_words);
    if (m_words.empty() || m_words[0][0] == '#') return true;
    if (!IsUtf8(line)) {
        Error("a script line must be UTF-8 text");
        return true;
    }
    const std::string_view command = m_words[0];
    const std::span<const std::string_view> args(m_words.data() + 1, m_words.size() - 1);
    // The rest of the line as written, for the commands that take text.
    std::string_view rest = line.substr(line.find(command) + command.size());
    if (!rest.empty() && rest[0] == ' ') rest.remove_prefix(1);

    bool ended = false;
    const std::string error = Execute(command, args, rest, &ended);
    if (ended) return false;
    if (!error.empty()) {
        Error(error);
        return true;
    }
    m_host.Idle(m_autopaint);
    return !m_host.QuitRequested();
}

std::string Driver::Execute(std::string_view command, std::span<const std::string_view> args,
                            std::string_view rest, bool* ended) {
    CView* view = View();
    std::array<long long, kMaxNumbers> n{};
    const auto noArguments = [&] {
        return args.empty() ? std::string() : std::string(command) + " takes no arguments";
    };
    if (command == "size") {
        if (args.size() != 2 || !ReadNumbers(args, 0, kMaxSize, &n))
            return "size W H: W and H are whole numbers from 0 to 4096";
        Frame().SetViewSize(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (command == "wait") {
        if (args.size() != 1 || !ReadNumbers(args, 0, kMaxTick, &n))
            return "wait MS: MS is a whole number from 0 to 4294967295";
        m_host.Wait(static_cast<uint64_t>(n[0]));
    } else if (command == "down" || command == "move" || command == "up" || command == "dblclk" ||
               command == "tap" || command == "drag") {
        const size_t count = command == "drag" ? 4 : 2;
        if (args.size() != count || !ReadNumbers(args, kMinCoordinate, kMaxCoordinate, &n))
            return std::string(command) + (count == 4 ? " X1 Y1 X2 Y2" : " X Y") +
                   ": view pixels, whole numbers from -32768 to 32767";
        if (!view) return "no view";
        const CPoint p(static_cast<int32_t>(n[0]), static_cast<int32_t>(n[1]));
        if (command == "drag") {
            const CPoint to(static_cast<int32_t>(n[2]), static_cast<int32_t>(n[3]));
            view->SendStylusDown(p);
            if (CWnd::IsLive(view)) view->SendStylusMove(to);
            if (CWnd::IsLive(view)) view->SendStylusUp(to);
        } else {
            if (command == "down" || command == "tap") view->SendStylusDown(p);
            if (command == "dblclk") view->SendStylusDown(p, true);
            if (command == "move") view->SendStylusMove(p);
            if ((command == "up" || command == "tap") && CWnd::IsLive(view)) view->SendStylusUp(p);
        }
    } else if (command == "key") {
        unsigned key = 0, flags = 0;
        if (args.size() != 1 || !ParseKey(args[0], &key, &flags))
            return "key NAME: Tab, Backtab, Left, Right, Up, Down, Return, Space, Escape or H, "
                   "optionally after Shift+";
        if (!view) return "no view";
        view->SendKeyDown(key, flags);
    } else if (command == "command") {
        if (args.size() != 1 || !ReadNumbers(args, 0, kMaxCommandId, &n))
            return "command ID: ID is a whole number from 0 to 65535";
        const auto id = static_cast<unsigned>(n[0]);
        if (!Frame().QueryCommand(id).m_enabled) {
            std::cout << JsonObject().Text("error", "disabled").Number("command", id).Str() << "\n";
            m_hadError = true;
            return "";
        }
        Frame().SendCommand(id);
    } else if (command == "answer") {
        ModalAnswer answer;
        if (!ModalAnswer::Parse(std::string(rest), &answer))
            return "answer: yes, no, ok, cancel, reset, name TEXT, choice N (0 to 63) or "
                   "values A [B [C]]";
        m_host.QueueAnswer(answer);
    } else if (command == "autopaint") {
        if (args.size() != 1 || (args[0] != "on" && args[0] != "off"))
            return "autopaint on or autopaint off";
        m_autopaint = args[0] == "on";
        // Unpainted, a picture shows what the last paint drew; so what the
        // paints owe is drawn before painting stops.
        m_host.SetPixelsOnDemand(m_autopaint);
    } else if (command == "state" || command == "menu" || command == "scores" ||
               command == "solve") {
        if (!args.empty()) return noArguments();
        if (command == "solve") {
            // The search owed is run to its end here: a script sees its
            // verdict whatever the machine's speed.
            if (auto* game = dynamic_cast<CCardgame*>(view)) game->WaitForVerdict();
            m_host.Idle(m_autopaint);
        }
        if (command == "state" || command == "solve") {
            m_host.Idle(m_autopaint);
            std::cout << StateLine(Frame(), m_host) << "\n";
        } else {
            std::cout << (command == "menu" ? MenuLine(Frame()) : ScoresLine(m_app.HiScores()))
                      << "\n";
        }
    } else if (command == "shot") {
        if (rest.empty()) return "shot FILE: the file to write is missing";
        m_host.Idle(m_autopaint);
        PaintOwedPixelsOfAllWindows();
        if (!view) return "cannot write " + std::string(rest);
        if (std::string error = WritePng(view->Surface(), std::string(rest)); !error.empty())
            return error;
    } else if (command == "quit") {
        if (!args.empty()) return noArguments();
        Frame().SendCommand(ID_APP_EXIT);
        *ended = true;
    } else {
        return "unknown command: " + std::string(command);
    }
    return "";
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
            // An empty one would mean the player's own hi scores.
            if (dataDir.empty()) {
                std::cerr << "parlour-headless: --data-dir DIR: DIR is empty\n";
                return 2;
            }
            if (dataDir.back() != '/') dataDir += '/';
        } else if (arg == "--tick" && i + 1 < argc) {
            long long value;
            if (!ParseNumber(argv[++i], 0, kMaxTick, &value)) {
                std::cerr << "parlour-headless: --tick MS: MS is a whole number from 0 to "
                             "4294967295\n";
                return 2;
            }
            tick = static_cast<uint64_t>(value);
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
