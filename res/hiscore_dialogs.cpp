#include "res/resource.h"

// The hi-score list (131) and the name dialog (132).
std::vector<DialogTemplate> HiScoreDialogTemplates() { return {}; }
