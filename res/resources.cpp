#include "res/resource.h"

std::span<const EmbeddedImage> EmbeddedProgramImages();

const ResourceTable& ParlourResources() {
    static const ResourceTable table{
        .images = EmbeddedProgramImages(),
        .dialogs = {},
        .menus = {},
        .softKeyBars = {},
        .accelerators = {},
        .strings = {},
    };
    return table;
}
