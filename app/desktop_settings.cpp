#include "app/desktop_settings.h"

#include <charconv>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "platform/file.h"

namespace {

constexpr size_t kMaxFileSize = 4096;
// Far past any screen: a number beyond it is not a size we wrote.
constexpr int kMaxPixels = 65535;

bool ParseInt(std::string_view word, int lo, int hi, int* value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), *value);
    return !word.empty() && error == std::errc() && end == word.data() + word.size() &&
           *value >= lo && *value <= hi;
}

}  // namespace

std::string DefaultConfigDir() {
    // A relative XDG_CONFIG_HOME is to be ignored, as an unset one.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        std::string dir = xdg;
        if (dir.back() != '/') dir += '/';
        return dir + "parlour/";
    }
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') {
        std::string dir = home;
        if (dir.back() != '/') dir += '/';
        return dir + ".config/parlour/";
    }
    return "parlour/";
}

std::string FormatDesktopSettings(const DesktopSettings& settings) {
    std::string text;
    for (const auto& [name, id] : GameNames())
        if (id == settings.game) text.append("game=").append(name).append("\n");
    if (settings.zoom > 0) text.append("zoom=").append(std::to_string(settings.zoom)).append("\n");
    if (settings.width > 0 && settings.height > 0)
        text.append("size=")
            .append(std::to_string(settings.width))
            .append("x")
            .append(std::to_string(settings.height))
            .append("\n");
    if (settings.maximized) text.append("maximized=yes\n");
    if (settings.winnableDeals) text.append("winnable=yes\n");
    return text;
}

DesktopSettings ParseDesktopSettings(const std::string& text) {
    DesktopSettings settings;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        if (end == std::string_view::npos) return {};  // cut short
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) return {};
        const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "game") {
            settings.game = 0;
            for (const auto& [name, id] : GameNames())
                if (name == value) settings.game = id;
            if (!settings.game) return {};
        } else if (key == "zoom") {
            if (!ParseInt(value, 1, 64, &settings.zoom)) return {};
        } else if (key == "size") {
            const size_t x = value.find('x');
            if (x == std::string_view::npos ||
                !ParseInt(value.substr(0, x), 1, kMaxPixels, &settings.width) ||
                !ParseInt(value.substr(x + 1), 1, kMaxPixels, &settings.height))
                return {};
        } else if (key == "maximized") {
            if (value != "yes") return {};
            settings.maximized = true;
        } else if (key == "winnable") {
            if (value != "yes") return {};
            settings.winnableDeals = true;
        } else {
            return {};  // not a file of ours
        }
    }
    return settings;
}

DesktopSettings ReadDesktopSettings(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (ReadSmallFile(path, kMaxFileSize, &bytes) != FileRead::read) return {};
    return ParseDesktopSettings(std::string(bytes.begin(), bytes.end()));
}

bool WriteDesktopSettings(const std::string& path, const DesktopSettings& settings) {
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && !CreateDirectories(path.substr(0, slash + 1))) return false;
    const std::string text = FormatDesktopSettings(settings);
    const std::string temp =
        WriteTemporaryFile(path + ".tmp.", std::vector<unsigned char>(text.begin(), text.end()));
    if (temp.empty()) return false;
    if (ReplaceFile(temp, path)) return true;
    RemoveFile(temp);
    return false;
}
