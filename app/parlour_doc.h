// The document holds nothing; a new document restarts the shown game.
#pragma once

#include "platform/window.h"

class CParlourDoc : public CDocument {
public:
    bool OnNewDocument() override;
};
