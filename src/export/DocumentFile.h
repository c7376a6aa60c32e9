// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/ExportResult.h"
#include "export/OpenCommand.h"
#include "recording/Document.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumidot {

// A document file is a ZIP archive in the OpenDocument way: its first entry,
// stored uncompressed, is "mimetype" holding the type, so that the first
// bytes of the file name it. Then the steps as the .mid export writes them
// (unzip it and play it), the plane as "描画面の保存" writes it, and the
// rest of the document, with the format's version, as JSON.
inline constexpr std::string_view kDocumentMimeType = "application/x-lumidot";
inline constexpr std::string_view kMimetypeEntry = "mimetype";
inline constexpr std::string_view kStepsEntry = "steps.mid";
inline constexpr std::string_view kPlaneEntry = "plane.png";
inline constexpr std::string_view kDocumentEntry = "document.json";
// The version this program writes, and the newest it reads.
inline constexpr int kDocumentFormat = 1;

// The furthest the window's corner goes on the plane (the scroll bars'
// widest ranges), and the number of backlight choices.
inline constexpr int kWindowXMin = -512;
inline constexpr int kWindowXMax = 512;
inline constexpr int kWindowYMin = -256;
inline constexpr int kWindowYMax = 256;
inline constexpr int kColourCount = 4;

// The most each entry may hold, inflated: a bomb is refused by what an
// entry says it holds and again by what it really inflates to.
inline constexpr std::size_t kMimetypeLimit = 64;
inline constexpr std::size_t kDocumentJsonLimit = 1u << 20;
inline constexpr std::size_t kPlanePngLimit = 8u << 20;
inline constexpr std::size_t kStepsLimit = 64u << 20;   // the readers' largest file

// True when the bytes start as a ZIP archive does: a document file, or
// nothing Lumidot reads.
bool looksLikeArchive(std::span<const std::uint8_t> bytes);

// The document file of a document. Refused (nothing written) only when its
// steps would make a .mid the readers refuse.
ExportResult writeDocument(const Document& document);

// A document file read back: on success typeIndex is kTypeDocument and
// document holds it (its recording and tick spacing also in recording and
// stepTick); on refusal fault, entry and offset say what and where.
LoadResult readDocument(std::span<const std::uint8_t> bytes);

} // namespace lumidot
