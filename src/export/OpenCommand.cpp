// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/OpenCommand.h"

#include "export/DocumentFile.h"
#include "export/PrtReader.h"
#include "export/SmfReader.h"
#include "export/SswReader.h"
#include "export/StepDecoder.h"
#include "export/SyxReader.h"
#include "export/SswWriter.h"
#include "export/UserFile.h"
#include "ns5r/UserText.h"

#include <string_view>
#include <vector>

namespace lumidot {

namespace {

// Guards against reading a huge unrelated file whole.
constexpr std::uintmax_t kLargestFile = kLargestReadableFile;

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view signature)
{
    return bytes.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin());
}

// Where in the file, as a musician looking at a hex dump counts it: from 0.
std::string place(std::size_t offset)
{
    if (offset == 0)
        return LUMIDOT_TEXT("OpenCommand", "ファイルの先頭");
    return LUMIDOT_TEXT("OpenCommand", "先頭から %1 バイトの位置").arg(static_cast<long long>(offset));
}

std::string formats()
{
    return LUMIDOT_TEXT("OpenCommand", "Lumidot で保存できる形式 (.syx .mid .prt .exc .lumidot)");
}

// What is wrong, %1 being where.
UserText faultAt(ReadFault fault)
{
    switch (fault) {
    case ReadFault::OutsideMessage: return LUMIDOT_TEXT("OpenCommand", "%1にメッセージ以外のデータがあります");
    case ReadFault::Truncated: return LUMIDOT_TEXT("OpenCommand", "%1のデータが途中で切れています");
    case ReadFault::ForeignMessage: return LUMIDOT_TEXT("OpenCommand", "%1に NS5R 以外の機器のメッセージがあります");
    case ReadFault::UnknownCommand:
        return LUMIDOT_TEXT("OpenCommand", "%1に Lumidot では記録しない NS5R のコマンドがあります");
    case ReadFault::BrokenEffectGroup:
        return LUMIDOT_TEXT("OpenCommand", "%1でエフェクト設定のメッセージの並びが崩れています");
    case ReadFault::BrokenStructure: return LUMIDOT_TEXT("OpenCommand", "%1でファイルの中身が壊れています");
    case ReadFault::CountMismatch: return LUMIDOT_TEXT("OpenCommand", "%1にある個数と実際の中身が合いません");
    case ReadFault::TooManySteps:
        return LUMIDOT_TEXT("OpenCommand", "%1でステップ数が上限の %2 を超えます").arg(kStepLimit);
    case ReadFault::BadValue: return LUMIDOT_TEXT("OpenCommand", "%1に範囲外の値があります");
    case ReadFault::BadLength: return LUMIDOT_TEXT("OpenCommand", "%1のメッセージの長さが正しくありません");
    case ReadFault::Unsupported: return LUMIDOT_TEXT("OpenCommand", "対応していない種類の MIDI ファイルです (%1)");
    default: return LUMIDOT_TEXT("OpenCommand", "%1を読み込めません");
    }
}

std::string whatIsWrong(ReadFault fault, std::optional<std::size_t> offset)
{
    switch (fault) {
    case ReadFault::EmptyFile: return LUMIDOT_TEXT("OpenCommand", "ファイルが空です");
    case ReadFault::NoSteps: return LUMIDOT_TEXT("OpenCommand", "NS5R のデータがありません");
    case ReadFault::UnknownFormat:
        if (offset)
            return LUMIDOT_TEXT("OpenCommand", "%1が%2 と違います").arg(place(*offset)).arg(formats());
        return LUMIDOT_TEXT("OpenCommand", "%1 のファイルではありません").arg(formats());
    default: break;
    }
    const std::string where = offset ? place(*offset) : std::string(LUMIDOT_TEXT("OpenCommand", "ファイル"));
    return faultAt(fault).arg(where);
}

} // namespace

std::string readFaultMessage(ReadFault fault, std::optional<std::size_t> offset,
                             const std::string& fileName)
{
    if (fault == ReadFault::CannotRead)
        return LUMIDOT_TEXT("OpenCommand", "ファイル %1 を開けません").arg(fileName);
    if (fault == ReadFault::TooLarge)
        return LUMIDOT_TEXT("OpenCommand", "ファイル %1 は大きすぎるため開けません (%2 MiB まで)")
            .arg(fileName)
            .arg(static_cast<long long>(kLargestFile >> 20));
    if (fault == ReadFault::NotAFile)
        return LUMIDOT_TEXT("OpenCommand", "ファイル %1 はパイプやデバイスなど通常のファイルではないため開けません")
            .arg(fileName);
    return LUMIDOT_TEXT("OpenCommand", "ファイルを読み込めません: %1").arg(whatIsWrong(fault, offset));
}

LoadResult refusedAt(ReadFault fault, std::size_t offset, const std::string& detail)
{
    LoadResult result;
    result.fault = fault;
    result.error = offsetError(offset, detail);
    result.message = readFaultMessage(fault, offset);
    return result;
}

LoadResult refusedWhole(ReadFault fault, const std::string& fileName, const std::string& error)
{
    LoadResult result;
    result.fault = fault;
    result.error = error;
    result.message = readFaultMessage(fault, std::nullopt, fileName);
    return result;
}

namespace {

LoadResult readByContent(std::span<const std::uint8_t> bytes)
{
    if (startsWith(bytes, "MThd"))
        return readSmf(bytes);
    if (startsWith(bytes, "RCPPR"))
        return readPrt(bytes);
    if (startsWith(bytes, kSswSignature.substr(0, 21)))
        return readSsw(bytes);
    if (!bytes.empty() && bytes[0] == 0xF0)
        return readSyx(bytes);
    if (looksLikeArchive(bytes))
        return readDocument(bytes);
    if (bytes.empty())
        return refusedWhole(ReadFault::EmptyFile, {}, "the file is empty");
    return refusedWhole(ReadFault::UnknownFormat, {},
                        "neither .syx, .mid, .prt nor .exc as Lumidot writes them");
}

} // namespace

// A sound file with no NS5R step in it (a song from elsewhere) would
// replace the work in the window with nothing; it is refused like a
// damaged one.
LoadResult loadRecordingBytes(std::span<const std::uint8_t> bytes)
{
    LoadResult result = readByContent(bytes);
    // A document holds more than steps: a drawing alone is worth opening.
    if (result.ok && result.recording.StepCount() == 0 && result.typeIndex != kTypeDocument)
        return refusedWhole(ReadFault::NoSteps, {}, "the file holds no NS5R step");
    return result;
}

// Only a regular file is read, as every reader of a user's file reads it.
LoadResult readRegularFile(const std::string& fileName, std::vector<std::uint8_t>& bytes)
{
    const FileRefusal refused = readUserFile(fileName, bytes);
    if (refused.refused())
        return refusedWhole(refused.fault, fileName, refused.error);
    return {};
}

LoadResult loadRecording(const std::string& fileName)
{
    std::vector<std::uint8_t> bytes;
    LoadResult refusal = readRegularFile(fileName, bytes);
    if (refusal.fault != ReadFault::None)
        return refusal;
    return loadRecordingBytes(bytes);
}

} // namespace lumidot
