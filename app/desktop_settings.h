// What the desktop program remembers between runs: the game last played, the
// zoom, the window size and whether New deals only winnable deals, in a small
// text file in the user's configuration folder. The driver reads none of it.
#pragma once

#include <string>

struct DesktopSettings {
    unsigned game = 0;          // the command of the game; 0: the program's first game
    int zoom = 0;               // 0: the largest that fits the screen
    int width = 0, height = 0;  // the window's size in pixels; 0: from the zoom
    bool maximized = false;     // the window filled the screen; width and height are its size before
    bool winnableDeals = false;  // "Winnable deals" was on
    friend bool operator==(const DesktopSettings&, const DesktopSettings&) = default;
};

// $XDG_CONFIG_HOME/parlour/, else $HOME/.config/parlour/, with a trailing '/'.
std::string DefaultConfigDir();
inline std::string DefaultSettingsPath() {
    return DefaultConfigDir() + "parlour.conf";
}

// Lines "game=NAME" (its --game name), "zoom=N", "size=WxH" and, for a
// maximised window, "maximized=yes"; "winnable=yes" for winnable deals. A file that
// is missing, damaged or not ours gives the defaults, without a word.
DesktopSettings ReadDesktopSettings(const std::string& path);
std::string FormatDesktopSettings(const DesktopSettings& settings);
DesktopSettings ParseDesktopSettings(const std::string& text);
// Replaces the file in one step; false when it cannot be written.
bool WriteDesktopSettings(const std::string& path, const DesktopSettings& settings);
