#include "hosts/web/web_host.h"

#include <emscripten.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "app/game_table.h"
#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "cards/cardgame.h"
#include "gameview/game_view.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/window.h"

// The page's side of the host lives in parlour_page.js as `parlourPage`.
// clang-format off
EM_JS(void, page_present, (const uint8_t* rgba, int width, int height, int x, int y, int w, int h), {
    parlourPage.present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height, x, y, w, h);
});
EM_JS(void, page_schedule_idle, (), { parlourPage.scheduleIdle(); });
EM_JS(void, page_arm_timer, (double milliseconds), { parlourPage.armTimer(milliseconds); });
EM_JS(void, page_bar,
      (const char* status, const char* caption, const char* keys, const char* game, int winnable), {
    parlourPage.bar(UTF8ToString(status), UTF8ToString(caption), keys ? UTF8ToString(keys) : null,
                    UTF8ToString(game), winnable !== 0);
});
EM_JS(void, page_focus_text, (const char* text), { parlourPage.focusText(UTF8ToString(text)); });
EM_JS(void, page_announce, (const char* text), { parlourPage.announce(UTF8ToString(text)); });
EM_JS(void, page_file_saved, (const char* name, const uint8_t* bytes, int size), {
    parlourPage.fileSaved(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size));
});
EM_JS(void, page_quit, (int code), { parlourPage.quit(code); });
// The page's client size, which the program now takes.
EM_JS(void, page_client_size, (int* width, int* height), {
    const client = parlourPage.takeClientSize();
    HEAP32[width >> 2] = client.width;
    HEAP32[height >> 2] = client.height;
});
EM_ASYNC_JS(int, page_message_box, (const char* text, int yesNo, int icon), {
    return await parlourPage.messageBox(UTF8ToString(text), yesNo != 0, icon);
});
EM_ASYNC_JS(char*, page_dialog, (const char* json), {
    const answer = await parlourPage.dialog(JSON.parse(UTF8ToString(json)));
    const size = lengthBytesUTF8(answer) + 1;
    const out = _malloc(size);
    stringToUTF8(answer, out, size);
    return out;
});
// clang-format on

namespace {

// The tick count a handheld shows soon after it was switched on, at least:
// never near 0, where a game reads 0 as "clock stopped".
constexpr uint64_t kMinimumStartTick = 100000;

void JsonText(std::string& out, const std::string& utf8) {
    out += '"';
    for (const char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void JsonText(std::string& out, const CString& text) {
    JsonText(out, ToUtf8(text));
}

const char* KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return "button";
        case ControlKind::DefPushButton:
            return "default";
        case ControlKind::Edit:
            return "edit";
        case ControlKind::Static:
            return "static";
        case ControlKind::RadioButton:
            return "radio";
        case ControlKind::ListView:
            return "list";
        case ControlKind::UpDown:
            return "updown";
        case ControlKind::Icon:
            return "icon";
    }
    return "static";
}

}  // namespace

std::string MenuJson(CFrameWnd& frame) {
    std::string out = "{\"items\":[";
    const MenuResource* menu = FindMenu(frame.ResourceId());
    if (menu) {
        bool first = true;
        for (const MenuItem& item : menu->items) {
            if (!first) out += ',';
            first = false;
            if (item.IsSeparator()) {
                out += "{\"separator\":true}";
                continue;
            }
            const CCmdUI state = frame.QueryCommand(item.id);
            out += "{\"id\":" + std::to_string(item.id) + ",\"text\":";
            JsonText(out, item.text);
            out += std::string(",\"enabled\":") + (state.m_enabled ? "true" : "false") +
                   ",\"checked\":" + (state.m_checked ? "true" : "false") +
                   ",\"checkable\":" + (state.m_checkable ? "true" : "false") + "}";
        }
    }
    out += "],\"title\":";
    JsonText(out, menu ? menu->title : CString());
    return out + "}";
}

std::string SoftKeysJson(CFrameWnd& frame) {
    constexpr uint16_t kNoSubMenu = 0xFFFF;
    std::string out = "[";
    if (const SoftKeyBar* bar = FindSoftKeyBar(frame.ResourceId())) {
        for (size_t i = 0; i < bar->buttons.size(); ++i) {
            const SoftKey& key = bar->buttons[i];
            const bool menu = key.subMenu != kNoSubMenu;
            if (i) out += ',';
            out += "{\"text\":";
            JsonText(out, LoadStringResource(key.stringId));
            out += ",\"command\":" + std::to_string(key.command) +
                   ",\"menu\":" + (menu ? "true" : "false") + ",\"enabled\":" +
                   (menu || frame.QueryCommand(key.command).m_enabled ? "true" : "false") + "}";
        }
    }
    return out + "]";
}

std::string AcceleratorsJson() {
    std::string out = "[";
    bool first = true;
    for (const Accelerator& a : GetResources().accelerators) {
        if (!first) out += ',';
        first = false;
        out += std::string("{\"control\":") + (a.control ? "true" : "false") +
               ",\"function\":" + (a.function ? "true" : "false") +
               ",\"shift\":" + (a.shift ? "true" : "false") + ",\"key\":";
        JsonText(out, std::string(1, a.key));
        out += ",\"command\":" + std::to_string(a.command) + "}";
    }
    return out + "]";
}

std::string DialogJson(CDialog& dialog) {
    const DialogTemplate& t = *dialog.Template();
    std::string out = "{\"template\":" + std::to_string(t.id) + ",\"caption\":";
    JsonText(out, dialog.GetWindowText());
    out += ",\"width\":" + std::to_string(t.size.cx) + ",\"height\":" + std::to_string(t.size.cy) +
           ",\"fontSize\":" + std::to_string(t.fontSize) +
           ",\"refused\":" + std::to_string(dialog.RefusedControl()) + ",\"controls\":[";
    std::map<unsigned, int> idCount;
    for (const DialogControl& c : t.controls) ++idCount[c.id];
    bool first = true;
    for (const DialogControl& c : t.controls) {
        if (!first) out += ',';
        first = false;
        const ControlState& s = dialog.Control(c.id);
        // Statics that share an id show their template's text; any other
        // control shows what the dialog put in it.
        const bool ownsState = idCount[c.id] == 1 || c.kind != ControlKind::Static;
        out += std::string("{\"kind\":\"") + KindName(c.kind) + "\",\"id\":" + std::to_string(c.id) +
               ",\"style\":" + std::to_string(c.style) + ",\"rect\":[" +
               std::to_string(c.rect.left) + "," + std::to_string(c.rect.top) + "," +
               std::to_string(c.rect.right) + "," + std::to_string(c.rect.bottom) + "],\"text\":";
        JsonText(out, c.kind == ControlKind::Icon || !ownsState ? c.text : s.text);
        out += std::string(",\"checked\":") + (s.checked ? "true" : "false") +
               ",\"lower\":" + std::to_string(s.lower) + ",\"upper\":" + std::to_string(s.upper) +
               ",\"position\":" + std::to_string(s.position) +
               ",\"limit\":" + std::to_string(s.limit);
        if (c.kind == ControlKind::ListView) {
            const ListViewData& list = s.list;
            out += ",\"columns\":[";
            for (size_t i = 0; i < list.columns.size(); ++i) {
                if (i) out += ',';
                out += "{\"title\":";
                JsonText(out, list.columns[i].title);
                out += ",\"width\":" + std::to_string(list.columns[i].width) +
                       ",\"format\":" + std::to_string(list.columns[i].format) + "}";
            }
            out += "],\"rows\":[";
            for (size_t r = 0; r < list.rows.size(); ++r) {
                if (r) out += ',';
                out += '[';
                for (size_t i = 0; i < list.rows[r].size(); ++i) {
                    if (i) out += ',';
                    JsonText(out, list.rows[r][i]);
                }
                out += ']';
            }
            out += "],\"selected\":" + std::to_string(list.selected) + ",\"grid\":" +
                   ((list.exStyle & LVS_EX_GRIDLINES) ? "true" : "false");
        }
        out += '}';
    }
    return out + "]}";
}

unsigned ApplyDialogAnswer(CDialog& dialog, const std::string& answer) {
    // One line a control: "T id text", "C id 0|1", "S id row", "P id position";
    // and "B id", the button pressed.
    unsigned button = IDCANCEL;
    std::istringstream lines(answer);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() < 3) continue;
        const char what = line[0];
        const size_t space = line.find(' ', 2);
        const unsigned id = static_cast<unsigned>(std::strtoul(line.c_str() + 2, nullptr, 10));
        const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (what == 'B') {
            button = id;
            continue;
        }
        if (!dialog.HasControl(id)) continue;
        ControlState& state = dialog.Control(id);
        if (what == 'T')
            state.text = FromUtf8(value);
        else if (what == 'C')
            state.checked = value == "1";
        else if (what == 'S')
            state.list.selected = std::atoi(value.c_str());
        else if (what == 'P')
            state.position = std::atoi(value.c_str());
    }
    return button;
}

// ---------------------------------------------------------------------------

WebHost::WebHost(bool fixedClock, uint64_t tick)
    : m_fixedClock(fixedClock),
      // Like the handheld's tick count, the clock counts from long before:
      // each visit deals differently.
      m_start(std::max<uint64_t>(static_cast<uint64_t>(emscripten_get_now()), kMinimumStartTick)),
      m_fixedNow(tick) {
    SetHost(this);
}

WebHost::~WebHost() {
    if (HasHost() && &GetHost() == this) SetHost(nullptr);
}

void WebHost::ShowFrame(CFrameWnd* frame, int width, int height) {
    m_frame = frame;
    m_shownView = nullptr;
    // Laid out for the page before the first deal, so that a question it
    // asks (Spider's suits) comes over the table as it will be.
    Resize(width, height);
    Idle();
    ArmTimer();
}

uint64_t WebHost::Now() {
    if (m_fixedClock) return m_fixedNow;
    return m_start + static_cast<uint64_t>(emscripten_get_now());
}

void WebHost::Sleep(uint32_t milliseconds) {
    if (m_fixedClock) {
        m_fixedNow += milliseconds;
        return;
    }
    // The handler is suspended while the page shows the frame it drew and
    // waits; the page holds back the player's input meanwhile.
    WatchKeptFiles();
    const uint64_t until = Now() + milliseconds;
    emscripten_sleep(milliseconds);
    // A page in the background has its timeouts slowed, never sped up.
    while (Now() < until) emscripten_sleep(static_cast<unsigned>(until - Now()));
}

void WebHost::QueueChanged() {
    page_schedule_idle();
    ArmTimer();
}

void WebHost::WindowInvalidated(CWnd&) {
    page_schedule_idle();
}

void WebHost::WindowDrawn(CWnd& window, const std::vector<CRect>& region) {
    if (!m_frame || static_cast<CWnd*>(m_frame->GetActiveView()) != &window) return;
    for (const CRect& r : region) {
        if (r.right <= r.left || r.bottom <= r.top) continue;
        if (m_drawn.right <= m_drawn.left || m_drawn.bottom <= m_drawn.top) {
            m_drawn = r;
        } else {
            m_drawn.left = std::min(m_drawn.left, r.left);
            m_drawn.top = std::min(m_drawn.top, r.top);
            m_drawn.right = std::max(m_drawn.right, r.right);
            m_drawn.bottom = std::max(m_drawn.bottom, r.bottom);
        }
    }
}

void WebHost::WindowPainted(CWnd& window) {
    // UpdateWindow: the frame goes to the canvas before the program sleeps
    // towards the next one.
    if (m_frame && static_cast<CWnd*>(m_frame->GetActiveView()) == &window) Present(false);
}

void WebHost::Present(bool whole) {
    const CView* view = m_frame ? m_frame->GetActiveView() : nullptr;
    if (!view || !view->IsWindow()) return;
    const CImage& surface = view->Surface();
    if (surface.width <= 0 || surface.height <= 0) return;
    const size_t count = static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height);
    if (view != m_shownView || m_rgba.size() != count) {
        // Another game's view, or a new size: shown whole.
        m_shownView = view;
        m_rgba.assign(count, 0);
        whole = true;
    }
    CRect part = whole ? CRect(0, 0, surface.width, surface.height) : m_drawn;
    m_drawn = CRect();
    part.left = std::max(part.left, 0);
    part.top = std::max(part.top, 0);
    part.right = std::min(part.right, surface.width);
    part.bottom = std::min(part.bottom, surface.height);
    if (part.right <= part.left || part.bottom <= part.top) return;
    // The surface holds 0x00RRGGBB; the canvas wants R, G, B, A in that order.
    for (int32_t y = part.top; y < part.bottom; ++y) {
        const uint32_t* from = surface.Row(y);
        uint32_t* to = m_rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(surface.width);
        for (int32_t x = part.left; x < part.right; ++x) {
            const uint32_t p = from[x];
            to[x] = 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
        }
    }
    page_present(reinterpret_cast<const uint8_t*>(m_rgba.data()), surface.width, surface.height,
                 part.left, part.top, part.Width(), part.Height());
}

void WebHost::RefreshBar() {
    if (!m_frame) return;
    const std::string status = ToUtf8(m_frame->StatusText());
    const CString captionText = m_frame->GetCaption();
    const std::string caption = captionText.empty() ? "Parlour" : ToUtf8(captionText);
    const std::string keys = SoftKeysJson(*m_frame);
    // The game shown, by its menu name: the page starts on it next time.
    const auto* main = dynamic_cast<const CMainFrame*>(m_frame);
    const GameClass* shown = main ? FindGameClass(main->m_currentGame) : nullptr;
    const std::string game = shown ? shown->name : "";
    // And "Winnable deals", kept with it.
    const bool winnable = CCardgame::s_winnableDeals;
    if (status == m_status && caption == m_caption && keys == m_softKeys && game == m_game &&
        winnable == m_winnable)
        return;
    const bool keysChanged = keys != m_softKeys;
    m_status = status;
    m_caption = caption;
    m_softKeys = keys;
    m_game = game;
    m_winnable = winnable;
    page_bar(status.c_str(), caption.c_str(), keysChanged ? keys.c_str() : nullptr, game.c_str(),
             winnable ? 1 : 0);
}

void WebHost::WatchKeptFiles() {
    CParlourApp& app = TheApp();
    for (const std::string& path : {app.HiScores().ScoresPath(), app.m_statistics.Path()}) {
        // A save replaces the file by another: a new inode, so any save shows.
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) continue;
        const std::string stamp = std::to_string(info.st_ino) + ":" + std::to_string(info.st_size) +
                                  ":" + std::to_string(info.st_mtime);
        std::string& seen = m_keptStamps[path];
        if (stamp == seen) continue;
        seen = stamp;
        std::ifstream file(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
        if (file.bad()) continue;
        const std::string name = path.substr(path.rfind('/') + 1);
        page_file_saved(name.c_str(), reinterpret_cast<const uint8_t*>(bytes.data()),
                        static_cast<int>(bytes.size()));
    }
}

void WebHost::ScoresLoaded(const std::string& loaded) {
    CParlourApp& app = TheApp();
    // Only a sound hi-score file takes the place of the one kept: anything
    // else would empty the tables for good at the next save.
    if (!CHiScoreStore::HoldsHiScores(loaded) ||
        std::rename(loaded.c_str(), app.HiScores().ScoresPath().c_str()) != 0) {
        std::remove(loaded.c_str());
        AfxMessageBox(u"That file holds no hi scores: the hi scores stay as they were.", MB_OK);
        return;
    }
    app.LoadHiScores();
    WatchKeptFiles();
}

void WebHost::Idle() {
    if (m_quit) return;
    DispatchPostedMessages();
    ShowTable();
    WatchKeptFiles();
    if (m_frame)
        if (auto* game = dynamic_cast<CGameView*>(m_frame->GetActiveView())) {
            // Another game's view has none of the last one's words.
            if (game->LastAnnouncement() != m_toldWords) Announce(*game, game->LastAnnouncement());
            game->TellReaderOfChanges();
        }
}

void WebHost::TimersDue() {
    if (m_quit) return;
    FireDueTimers(Now());
}

void WebHost::Resize(int width, int height) {
    if (!m_frame || m_quit) return;
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (m_frame->ViewSize().cx != width || m_frame->ViewSize().cy != height)
        m_frame->SetViewSize(width, height);
}

bool WebHost::SendCommand(unsigned id) {
    if (!m_frame || m_quit || !m_frame->QueryCommand(id).m_enabled) return false;
    m_frame->SendCommand(id);
    return true;
}

void WebHost::ArmTimer() {
    // The fixed clock moves only as the program sleeps: its timers wait,
    // as the driver's do until a script waits.
    DueTimer next;
    if (m_fixedClock || m_quit || !NextTimer(&next)) {
        page_arm_timer(-1);
        return;
    }
    const uint64_t now = Now();
    page_arm_timer(static_cast<double>(next.due > now ? next.due - now : 0));
}

void WebHost::FrameChanged(CFrameWnd& frame) {
    if (&frame == m_frame) RefreshBar();
}

void WebHost::AccessibleFocusChanged(CWnd& window) {
    if (auto* game = dynamic_cast<CGameView*>(&window))
        page_focus_text(ToUtf8(game->FocusText()).c_str());
}

void WebHost::Announce(CWnd&, const CString& text) {
    m_toldWords = text;
    page_announce(ToUtf8(text).c_str());
}

void WebHost::ShowTable() {
    PaintInvalidWindows();
    Present(false);
    RefreshBar();
}

void WebHost::FollowPageSize() {
    int width = 1, height = 1;
    page_client_size(&width, &height);
    Resize(width, height);
    ShowTable();
}

int WebHost::RunModal(CDialog& dialog) {
    if (!dialog.BeginModal()) return -1;
    // The table behind the dialog shows as it is now.
    ShowTable();
    while (!dialog.HasEnded()) {
        // What was saved before (a win's statistics under the name dialog)
        // is kept now: another tab may save while this one waits.
        WatchKeptFiles();
        char* answer = page_dialog(DialogJson(dialog).c_str());
        const unsigned button = ApplyDialogAnswer(dialog, answer ? answer : "");
        std::free(answer);
        // Still open after it (a refused value, Reset, a new window size):
        // shown again as it is.
        if (button == kWindowResized)
            FollowPageSize();
        else
            dialog.ClickButton(button);
    }
    return dialog.Result();
}

int WebHost::MessageBox(const CString& text, unsigned type) {
    ShowTable();
    WatchKeptFiles();
    const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    int answer = 0;
    while ((answer = page_message_box(ToUtf8(text).c_str(), yesNo ? 1 : 0,
                                      static_cast<int>(type & MB_ICONMASK))) ==
           static_cast<int>(kWindowResized))
        FollowPageSize();
    if (!yesNo) return IDOK;
    return answer == IDYES ? IDYES : IDNO;
}

void WebHost::Quit(int) {
    m_quit = true;
    page_arm_timer(-1);
    page_quit(0);
}
