// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prompts.h"

namespace lumidot {

// Prompts that answer at once, and a desktop that opens nothing, so that a
// benchmark never waits for a user.
class SilentPrompts : public Prompts {
public:
    void information(const QString&) override {}
    Answer askYesNoCancel(const QString&) override { return Answer::No; }
    bool askYesNo(const QString&) override { return false; }
    bool saveFile(const QString&, FileChoice&) override { return false; }
    bool openFile(const QString&, FileChoice&) override { return false; }
    bool chooseFont(QFont&) override { return false; }
};

class NoDesktop : public Desktop {
public:
    void open(const QString&) override {}
};

} // namespace lumidot
