// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

#include "document/RecoveryJournal.h"

#include <optional>
#include <string>

namespace lumidot {

class OrphanJournal;
class Prompts;
class TMainForm;

// Offers back the work of a Lumidot that ended without closing (killed,
// crashed, the machine gone off): the newest journal it left in folder is
// offered; はい brings the document back as it was after its last completed
// action, いいえ keeps it as a document file beside the journal, so that a
// wrong click destroys nothing. Older journals are kept as document files
// without a question. Journals of programs still running are left alone.
// The journal brought back is returned, still on disk: remove it once the
// new journal holds the document, so that a crash in between loses nothing.
class Recovery {
    Q_DECLARE_TR_FUNCTIONS(Recovery)

public:
    [[nodiscard]] static std::optional<OrphanJournal> offer(TMainForm& form, Prompts& prompts,
                                                            const std::string& folder);
};

} // namespace lumidot
