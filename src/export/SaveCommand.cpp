// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SaveCommand.h"

#include "export/DocumentFile.h"
#include "export/FileReplace.h"
#include "export/OpenCommand.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "ns5r/UserText.h"

#include <cerrno>
#include <span>
#include <string_view>

namespace lumidot {

namespace {

enum FileType { kSyx = 1, kMid = 2, kPrt = 3, kExc = 4, kLumidot = 5 };

SaveResult failure(std::string message)
{
    return {false, std::move(message)};
}

std::string errorMessage(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    // A missing folder: the file cannot be created there.
    case ENOENT:
    case ENOTDIR:
        return LUMIDOT_TEXT("SaveCommand", "ファイルへのアクセスが拒否されました");
    case ENOSPC:
    case EDQUOT:
        return LUMIDOT_TEXT("SaveCommand", "ディスクがいっぱいです");
    case ELOOP:
        return LUMIDOT_TEXT("SaveCommand", "シンボリックリンクが循環しているため保存できません");
    default:
        return LUMIDOT_TEXT("SaveCommand", "I/O エラー (%1)").arg(error);
    }
}

ExportResult build(int typeIndex, const Recording& recording, std::uint8_t stepTick, int tempo)
{
    switch (typeIndex) {
    case kSyx: return {FileSaveData(recording), {}};
    case kMid:
        if (smfFileSize(recording, stepTick, {tempo}) > kLargestReadableFile)
            return {{}, {}, true};
        return {EXPORT_SMF(recording, stepTick, {tempo}), {}};
    case kPrt: return Export_PRT(recording, stepTick);
    default: return EXPORT_SSW(recording);
    }
}

constexpr std::string_view kExtensions[] = {".syx", ".mid", ".prt", ".exc", ".lumidot"};

std::string lowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Puts the file in place in one step (an earlier file stays whole when
// this fails), and says why it failed.
SaveResult written(int typeIndex, const std::string& fileName, std::span<const std::uint8_t> bytes)
{
    const FileWriteOutcome outcome = replaceFileContents(fileName, bytes);
    if (outcome.ok())
        return {};
    if (outcome.stage == FileWriteOutcome::Stage::NotAFile)
        return failure(LUMIDOT_TEXT("SaveCommand", "%1 はパイプまたはソケットのため保存できません").arg(fileName));
    if (typeIndex == kExc && outcome.stage == FileWriteOutcome::Stage::Create)
        return failure(LUMIDOT_TEXT("SaveCommand", "ファイル %1 を作成できません").arg(fileName));
    return failure(errorMessage(outcome.error));
}

} // namespace

SaveTarget saveTargetFor(const std::string& fileName, int filterIndex)
{
    const auto slash = fileName.find_last_of('/');
    const std::string base = fileName.substr(slash == std::string::npos ? 0 : slash + 1);
    const auto dot = base.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        if (base.empty() || filterIndex < kSyx || filterIndex > kLumidot)
            return {fileName, filterIndex};
        return {fileName + std::string(kExtensions[filterIndex - 1]), filterIndex};
    }
    const std::string extension = lowerCase(base.substr(dot));
    for (int type = kSyx; type <= kLumidot; ++type) {
        if (extension == kExtensions[type - 1])
            return {fileName, type};
    }
    return {fileName, filterIndex};
}

SaveResult saveRecording(int typeIndex, const std::string& fileName, const Recording& recording,
                         std::uint8_t stepTick, int tempo)
{
    if (typeIndex < kSyx || typeIndex > kExc)
        return {};
    if (recording.StepCount() == 0)
        return failure(LUMIDOT_TEXT("SaveCommand", "エクスポートするデータがありません"));

    const ExportResult file = build(typeIndex, recording, stepTick, tempo);
    // What Open could not read back is not written.
    if (file.tooLarge || file.bytes.size() > kLargestReadableFile)
        return failure(LUMIDOT_TEXT("SaveCommand", "ファイルが %1 MiB を超えるため保存できません (開けなくなります)")
                           .arg(static_cast<long long>(kLargestReadableFile >> 20)));
    if (!file.ok())
        return failure(file.refusal);

    return written(typeIndex, fileName, file.bytes);
}

SaveResult saveDocument(const std::string& fileName, const Document& document)
{
    const ExportResult file = writeDocument(document);
    if (!file.ok())
        return failure(file.refusal);
    return written(kLumidot, fileName, file.bytes);
}

} // namespace lumidot
