// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Recovery.h"

#include "app/MainForm.h"
#include "platform/Prompts.h"

#include <QFile>

#include <vector>

namespace lumidot {

std::optional<OrphanJournal> Recovery::offer(TMainForm& form, Prompts& prompts, const std::string& folder)
{
    std::vector<OrphanJournal> orphans = findOrphanJournals(folder);
    if (orphans.empty())
        return std::nullopt;
    for (std::size_t k = 1; k < orphans.size(); ++k)
        orphans[k].keepAsDocument();
    OrphanJournal& newest = orphans.front();
    JournalRead read = newest.read();
    if (!read.document) {
        newest.remove();
        return std::nullopt;
    }
    if (!prompts.askYesNo(tr("前回は正しく終了しませんでした。作業を復元しますか？"))) {
        const std::string kept = newest.keepAsDocument();
        if (!kept.empty())
            prompts.information(tr("前回の作業は %1 に残してあります。「開く」で読み込めます。")
                                    .arg(QFile::decodeName(kept.c_str())));
        return std::nullopt;
    }
    {
        const auto action = form.Workspace.transaction(tr("作業の復元").toStdString());
        form.Workspace.replaceDocument(std::move(*read.document));
    }
    form.showDocument();
    return std::move(newest);
}

} // namespace lumidot
