// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prompts.h"

namespace lumidot {

// The desktop's "open": the web browser, the mail program or a document viewer.
class QtDesktop : public Desktop {
public:
    void open(const QString& url) override;
};

} // namespace lumidot
