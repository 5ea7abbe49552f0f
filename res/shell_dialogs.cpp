#include "res/resource.h"

// The About dialog in its two shapes.
std::vector<DialogTemplate> ShellDialogTemplates() { return {}; }
