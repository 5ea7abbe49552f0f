// The browser program: the application on the web host. The page starts it
// and hands it every event through web_event; see parlour_page.js.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/game_table.h"
#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "hosts/web/web_host.h"
#include "platform/graphics.h"
#include "platform/window.h"
#include "res/resource.h"

namespace {

// The events the page sends, with their arguments.
enum WebEvent {
    kStylusDown = 1,   // x, y in view pixels
    kDoubleTap = 2,    // x, y
    kStylusMove = 3,   // x, y
    kStylusUp = 4,     // x, y
    kKeyDown = 5,      // virtual key, shift
    kCommand = 6,      // command id
    kTimers = 7,       //
    kIdle = 8,         //
    kResize = 9,       // client width, height
    kScoresLoaded = 10 //
};

// Where the page keeps Scores.dat and Statistics.dat in the program's file
// system, and the name a hi-score file the player loads is first written to.
constexpr const char* kDataDir = "/parlour/";
constexpr const char* kLoadedScores = "Scores.dat.loaded";

std::unique_ptr<WebHost> g_host;
std::unique_ptr<CParlourApp> g_app;
std::string g_reply;
bool g_ended = false;

const GameClass* GameNamed(std::string_view name) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const GameClass& game : GameClasses()) {
        const std::string_view text = game.name;
        if (text.size() == name.size() &&
            std::equal(text.begin(), text.end(), name.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return &game;
    }
    return nullptr;
}

CView* LiveView() {
    CFrameWnd* frame = g_host ? g_host->Frame() : nullptr;
    CView* view = frame ? frame->GetActiveView() : nullptr;
    return view && view->IsWindow() ? view : nullptr;
}

void EndIfQuit() {
    if (g_ended || !g_host || !g_host->QuitRequested()) return;
    // Exit: what is unsaved is written, and the page says the program ended.
    g_ended = true;
    g_app->ExitInstance();
    g_host->WatchKeptFiles();
}

}  // namespace

extern "C" {

// Starts the program on a client area of width x height view pixels, on the
// game of that name (its menu text, any case), else on the one last played
// (empty or unknown: as always), with "Winnable deals" as it was left. With
// fixed set, the clock starts at tick and moves only as the program sleeps.
EMSCRIPTEN_KEEPALIVE int web_start(int fixed, double tick, int width, int height, const char* game,
                                   const char* lastGame, int winnableDeals) {
    SetResources(ParlourResources());
    g_host = std::make_unique<WebHost>(fixed != 0, static_cast<uint64_t>(tick));
    g_app = std::make_unique<CParlourApp>();
    g_app->SetDataDir(kDataDir);
    const std::string asked = game ? game : "";
    const GameClass* first = GameNamed(asked);
    if (!first && !asked.empty())
        std::fprintf(stderr, "Parlour: no game is called \"%s\"\n", asked.c_str());
    if (!first) first = GameNamed(lastGame ? lastGame : "");
    if (first) g_app->SetFirstGame(first->commandId);
    g_app->SetWinnableDeals(winnableDeals != 0);
    if (!g_app->InitInstance()) return 0;
    g_host->ShowFrame(g_app->m_pMainWnd, width, height);
    g_host->Idle();
    return 1;
}

// One event from the page; runs to the end of its handler, which may
// suspend the program (a sleep, a modal) while the page goes on. Returns
// whether the program still runs.
EMSCRIPTEN_KEEPALIVE int web_event(int kind, int a, int b) {
    if (!g_host || g_ended) return 0;
    const CPoint p(a, b);
    CView* view = LiveView();
    switch (kind) {
        case kStylusDown:
        case kDoubleTap:
            if (view) view->SendStylusDown(p, kind == kDoubleTap);
            break;
        case kStylusMove:
            if (view) view->SendStylusMove(p);
            break;
        case kStylusUp:
            if (view) view->SendStylusUp(p);
            break;
        case kKeyDown:
            if (view) view->SendKeyDown(static_cast<unsigned>(a), b ? unsigned{MK_SHIFT} : 0u);
            break;
        case kCommand:
            g_host->SendCommand(static_cast<unsigned>(a));
            break;
        case kTimers:
            g_host->TimersDue();
            break;
        case kResize:
            g_host->Resize(a, b);
            break;
        case kScoresLoaded:
            g_host->ScoresLoaded(std::string(kDataDir) + kLoadedScores);
            break;
        case kIdle:
        default:
            break;
    }
    g_host->Idle();
    g_host->ArmTimer();
    EndIfQuit();
    return g_ended ? 0 : 1;
}

// The pop-up menu as the command route has it now.
EMSCRIPTEN_KEEPALIVE const char* web_menu() {
    g_reply = g_host && g_host->Frame() && !g_ended ? MenuJson(*g_host->Frame()) : "{\"items\":[]}";
    return g_reply.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* web_accelerators() {
    g_reply = AcceleratorsJson();
    return g_reply.c_str();
}

// An icon of the resources for a dialog: its width, its height, then its
// pixels as R, G, B, A; null when there is none by that name.
EMSCRIPTEN_KEEPALIVE const int32_t* web_icon(const char* name) {
    static std::vector<int32_t> icon;
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(name) || !bitmap.Image()) return nullptr;
    const CImage& image = *bitmap.Image();
    icon.assign(2 + image.pixels.size(), 0);
    icon[0] = image.width;
    icon[1] = image.height;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t p = image.pixels[i];
        icon[2 + i] = static_cast<int32_t>(0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) |
                                           ((p >> 16) & 0xFFu));
    }
    return icon.data();
}

// The folder where the page keeps Scores.dat and Statistics.dat, with a
// trailing '/'.
EMSCRIPTEN_KEEPALIVE const char* web_data_dir() { return kDataDir; }

// Where the page writes a hi-score file the player loads, before web_event
// kScoresLoaded.
EMSCRIPTEN_KEEPALIVE const char* web_loaded_scores_path() {
    g_reply = std::string(kDataDir) + kLoadedScores;
    return g_reply.c_str();
}

}  // extern "C"

int main() {
    // The page starts the program once its storage is read (web_start).
    return 0;
}
