#include "res/resource.h"

std::span<const EmbeddedImage> EmbeddedProgramImages();

namespace {

std::vector<DialogTemplate> AllDialogs() {
    std::vector<DialogTemplate> all = ShellDialogTemplates();
    for (DialogTemplate& t : HiScoreDialogTemplates()) all.push_back(std::move(t));
    for (DialogTemplate& t : CardGameDialogTemplates()) all.push_back(std::move(t));
    for (DialogTemplate& t : BolDialogTemplates()) all.push_back(std::move(t));
    for (DialogTemplate& t : DealDialogTemplates()) all.push_back(std::move(t));
    return all;
}

}  // namespace

const ResourceTable& ParlourResources() {
    static const std::vector<DialogTemplate> dialogs = AllDialogs();
    static const std::vector<MenuResource> menus = MenuResources();
    static const std::vector<SoftKeyBar> softKeys = SoftKeyBarResources();
    static const std::vector<Accelerator> accelerators = AcceleratorResources();
    static const std::vector<StringResource> strings = StringResources();
    static const ResourceTable table{
        .images = EmbeddedProgramImages(),
        .dialogs = dialogs,
        .menus = menus,
        .softKeyBars = softKeys,
        .accelerators = accelerators,
        .strings = strings,
    };
    return table;
}
