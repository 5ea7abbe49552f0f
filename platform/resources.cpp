#include "platform/resources.h"

namespace {
ResourceTable g_resources;
}

void SetResources(const ResourceTable& table) {
    g_resources = table;
}
const ResourceTable& GetResources() {
    return g_resources;
}

const EmbeddedImage* FindImage(std::string_view name) {
    for (const EmbeddedImage& image : g_resources.images)
        if (image.name == name) return &image;
    return nullptr;
}

const DialogTemplate* FindDialogTemplate(unsigned id) {
    for (const DialogTemplate& t : g_resources.dialogs)
        if (t.id == id) return &t;
    return nullptr;
}

const MenuResource* FindMenu(unsigned id) {
    for (const MenuResource& m : g_resources.menus)
        if (m.id == id) return &m;
    return nullptr;
}

const SoftKeyBar* FindSoftKeyBar(unsigned id) {
    for (const SoftKeyBar& b : g_resources.softKeyBars)
        if (b.id == id) return &b;
    return nullptr;
}

CString LoadStringResource(unsigned id) {
    for (const StringResource& s : g_resources.strings)
        if (s.id == id) return s.text;
    return {};
}
