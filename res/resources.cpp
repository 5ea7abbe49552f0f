#include "res/resource.h"

std::span<const EmbeddedImage> EmbeddedProgramImages();

namespace {

std::vector<DialogTemplate> AllDialogs() {
    std::vector<DialogTemplate> all = ShellDialogTemplates();
    for (DialogTemplate& t : HiScoreDialogTemplates()) all.push_back(std::move(t));
    return all;
}

}  // namespace

const ResourceTable& ParlourResources() {
    static const std::vector<DialogTemplate> dialogs = AllDialogs();
    static const ResourceTable table{
        .images = EmbeddedProgramImages(),
        .dialogs = dialogs,
        .menus = {},
        .softKeyBars = {},
        .accelerators = {},
        .strings = {},
    };
    return table;
}
