// Numbers of the program's resources and commands.
#pragma once

#include "platform/resources.h"

// The whole resource table of the program, handed to SetResources at start-up.
const ResourceTable& ParlourResources();
