// The options Qt reads itself from the command line, which the program's
// command line (app/command_line.h) hands on to it.
#pragma once

#include <string_view>

#include "app/command_line.h"

namespace qt_options {
inline constexpr std::string_view kWithValue[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-display",
    "-geometry", "-qwindowgeometry",    "-qwindowtitle",  "-qwindowicon",
    "-style",    "-stylesheet",         "-session"};
inline constexpr std::string_view kFlags[] = {"-reverse", "-nograb", "-dograb", "-sync",
                                              "-widgetcount"};
}  // namespace qt_options

inline constexpr ToolkitOptions kQtOptions{
    qt_options::kWithValue, qt_options::kFlags,
    "The toolkit's own options (-platform, -display, -style ...) are passed on to it.\n"};
