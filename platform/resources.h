// The program's resources: images embedded at build time and the data tables
// (dialog templates, menus, soft keys, accelerators, strings) that code refers
// to by number. The program hands its table over once at start-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/strings.h"

struct EmbeddedImage {
    std::string_view name;  // "CARD1", "CARDBACK", or a number such as "128"
    std::span<const unsigned char> bytes;
};

enum class ControlKind {
    PushButton,
    DefPushButton,
    Edit,
    Static,
    RadioButton,
    ListView,
    UpDown,
    Icon
};

// Control styles the hosts honour.
enum : uint32_t {
    CTRL_GROUP = 0x0001,        // starts a group (radio buttons)
    CTRL_BORDER = 0x0002,       // drawn with a border
    CTRL_AUTOHSCROLL = 0x0004,  // edit box scrolls sideways
    CTRL_CENTER = 0x0008,       // static text centred
    CTRL_REPORT = 0x0010,       // list view in report view
    CTRL_AUTOBUDDY = 0x0020,    // up-down control attaches to the control before it
    CTRL_SETBUDDYINT = 0x0040,  // up-down control writes its position into its buddy
    CTRL_ALIGNRIGHT = 0x0080,   // up-down control sits at the right of its buddy
    CTRL_NUMBER = 0x0100,       // edit box takes digits only
    CTRL_RIGHT = 0x0200,        // static text right-aligned
    CTRL_PUSHLIKE = 0x0400,     // radio button drawn as a push button that stays down
    CTRL_MULTILINE = 0x0800,    // edit box of many lines, wrapped, with a scroll bar
    CTRL_READONLY = 0x1000,     // edit box that shows its text but takes no typing
};

struct DialogControl {
    ControlKind kind;
    unsigned id;
    CString text;  // for an icon: the icon's resource number as text
    CRect rect;    // dialog units: x, y, x + cx, y + cy
    uint32_t style = 0;
};

struct DialogTemplate {
    unsigned id;
    CString caption;
    CSize size;  // dialog units
    int fontSize;
    CString fontName;
    std::vector<DialogControl> controls;
};

struct MenuItem {
    unsigned id = 0;  // 0 with an empty text: a separator
    CString text;
    bool IsSeparator() const { return id == 0 && text.empty(); }
};

struct MenuResource {
    unsigned id;
    CString title;  // the pop-up's caption
    std::vector<MenuItem> items;
};

struct SoftKey {
    uint16_t image;
    uint16_t command;
    uint16_t state;
    uint16_t style;
    uint16_t stringId;
    uint16_t subMenu;  // 0xFFFF: opens nothing
};

struct SoftKeyBar {
    unsigned id;
    std::vector<SoftKey> buttons;
};

struct Accelerator {
    bool control;
    char key;  // upper-case letter; with function set, the digit of F1..F9
    unsigned command;
    bool function = false;
    bool shift = false;
};

struct StringResource {
    unsigned id;
    CString text;
};

struct ResourceTable {
    std::span<const EmbeddedImage> images;
    std::span<const DialogTemplate> dialogs;
    std::span<const MenuResource> menus;
    std::span<const SoftKeyBar> softKeyBars;
    std::span<const Accelerator> accelerators;
    std::span<const StringResource> strings;
};

void SetResources(const ResourceTable& table);
const ResourceTable& GetResources();

const EmbeddedImage* FindImage(std::string_view name);
const DialogTemplate* FindDialogTemplate(unsigned id);
const MenuResource* FindMenu(unsigned id);
const SoftKeyBar* FindSoftKeyBar(unsigned id);
CString LoadStringResource(unsigned id);  // empty when missing
