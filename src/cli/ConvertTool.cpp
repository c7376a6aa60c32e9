// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConvertTool.h"

#include "cli/PictureInput.h"
#include "cli/VideoInput.h"
#include "export/DocumentFile.h"
#include "export/FileReplace.h"
#include "export/GifWriter.h"
#include "export/OpenCommand.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "export/UserFile.h"
#include "platform/video/VideoFile.h"
#include "recording/CableLimit.h"
#include "recording/StepTiming.h"
#include "recording/TimingEdits.h"
#include "Version.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

namespace lumidot {

namespace {

constexpr int kDefaultTick = 8;

constexpr std::string_view kUsage =
    "usage: lumidot-convert IN OUT [--tick N] [--tempo BPM]\n"
    "       lumidot-convert IN OUT.gif [--tick N] [--tempo BPM] [--scale S]\n"
    "       lumidot-convert PICTURE... OUT [--threshold N | --dither fs|bayer]\n"
    "                       [--fit window|height|none] [--invert] [--tick N] [--tempo BPM]\n"
    "       lumidot-convert VIDEO OUT [--fps N] [--tempo BPM] [--start S] [--end S]\n"
    "                       [--threshold N | --dither fs|bayer] [--fit ...] [--invert] [--tick N]\n"
    "       lumidot-convert --list IN [--tick N]\n"
    "       lumidot-convert --version\n"
    "Converts a recording of NS5R display steps between .syx, .mid, .prt, .exc and\n"
    ".lumidot (the whole document: a .lumidot made from another format holds its\n"
    "steps and an empty drawing; one made from a .lumidot keeps all of it).\n"
    "IN is recognised by its content, OUT's format by its extension. --tick sets\n"
    "the tick spacing of the steps in .mid and .prt output, 1..127; without it the\n"
    "spacing found in a .mid or .prt input is kept, otherwise 8. Steps with waits\n"
    "of their own keep them; .syx and .exc hold no time and drop them.\n"
    "--tempo BPM, 20..300 (default 120), is the tempo the steps are played at: a\n"
    ".mid gets it as a tempo event with a 4/4 time signature, the check that the\n"
    "steps fit a MIDI cable uses it, and so do the two below.\n"
    "An OUT ending in .gif renders the display monitor's picture of the recording\n"
    "as an animated GIF at playback timing; --scale the pixels a dot, 1..8\n"
    "(default 4).\n"
    "Pictures (PNG, GIF, BMP, JPEG, ...) become frame steps, one a frame, in the\n"
    "order given: dark pixels set dots, converted at --threshold N (0..255, levels\n"
    "up to N are dark; without it chosen for each frame) or dithered; --fit scales\n"
    "them to the 32 x 16 window (the default), to its height, or not at all. An\n"
    "animation's frames last their own delays at the tempo.\n"
    "A VIDEO (MP4, WebM, MKV, AVI, animated WebP, anything FFmpeg decodes) becomes\n"
    "frame steps converted as pictures are: a frame is taken --fps times a second\n"
    "(1..35; default the video's own rate, at most what a MIDI cable carries at the\n"
    "tempo), each the one showing at its time, from --start to --end (seconds, or\n"
    "m:ss.s). Equal frames in a row become one step. Each step waits to start at\n"
    "its time in the video at the tempo (default 120 BPM), the last lasting to the\n"
    "end of the range.\n"
    "--list prints the steps of IN, one a line: the number, the start as\n"
    "bar:beat:tick (4/4, 480 ticks a quarter), the wait before it in ticks, and\n"
    "the step.\n";

enum class Format { Syx, Mid, Prt, Exc, Gif, Document };
enum class InputKind { Recording, Pictures, Video };

struct Request {
    bool list = false;
    std::vector<std::string> files;
    int tick = 0;   // 0: not given
    int tempo = 0;  // 0: not given
    int scale = 0;  // 0: not given
    DotConversion picture;
    bool pictureOptions = false;
    int fps = 0;                // 0: not given
    std::int64_t startUs = -1;  // -1: not given
    std::int64_t endUs = -1;
    bool videoOptions() const { return fps || startUs >= 0 || endUs >= 0; }
};

int usageError(std::ostream& err, const std::string& problem)
{
    err << "lumidot-convert: " << problem << "\n" << kUsage;
    return kExitUsage;
}

std::optional<int> parseNumber(const std::string& text, int low, int high)
{
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<Format> formatOf(const std::string& fileName)
{
    const auto dot = fileName.find_last_of('.');
    const auto slash = fileName.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string ext = fileName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "syx") return Format::Syx;
    if (ext == "mid") return Format::Mid;
    if (ext == "prt") return Format::Prt;
    if (ext == "exc") return Format::Exc;
    if (ext == "gif") return Format::Gif;
    if (ext == "lumidot") return Format::Document;
    return std::nullopt;
}

// Printable ASCII as it is; quotes, backslashes and anything else escaped.
std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

std::string describeStep(const Step& step)
{
    switch (step.kind) {
    case StepKind::Green: return "green";
    case StepKind::Orange: return "orange";
    case StepKind::Red: return "red";
    case StepKind::Off: return "off";
    case StepKind::Frame: return "frame";
    case StepKind::Effect:
        return "effect " + std::to_string(step.effect.effect1) + " " +
               std::to_string(step.effect.effect2) + " " + std::to_string(step.effect.mode);
    case StepKind::Message: {
        const std::string_view text(reinterpret_cast<const char*>(step.text.data()),
                                    step.text.size());
        // Line 1 is stored padded with spaces to 16 bytes; the padding is not the user's.
        std::string_view line1 = text.substr(0, kMessageLineBytes);
        line1 = line1.substr(0, line1.find_last_not_of(' ') + 1);
        const std::string_view line2 =
            text.size() > kMessageLineBytes ? text.substr(kMessageLineBytes) : std::string_view{};
        return "message " + quoted(line1) + " " + quoted(line2);
    }
    }
    return "unknown";
}

// The picture options at args[k]: 1 when one was taken (k moved past its
// value), 0 when args[k] is none of them, -1 after a usage error.
int parsePictureOption(const std::vector<std::string>& args, std::size_t& k, Request& request,
                       std::ostream& err)
{
    const std::string& arg = args[k];
    const bool takesValue = arg == "--threshold" || arg == "--dither" || arg == "--fit";
    if (!takesValue && arg != "--invert")
        return 0;
    request.pictureOptions = true;
    if (arg == "--invert") {
        request.picture.invert = true;
        return 1;
    }
    if (k + 1 == args.size()) {
        usageError(err, arg + " needs a value");
        return -1;
    }
    const std::string& value = args[++k];
    DotConversion& picture = request.picture;
    if (arg == "--threshold") {
        const bool digits = !value.empty() && value.size() <= 3 &&
                            std::all_of(value.begin(), value.end(),
                                        [](unsigned char c) { return std::isdigit(c); });
        if (!digits || std::stoi(value) > 255 || picture.method != DotMethod::Threshold) {
            usageError(err, picture.method != DotMethod::Threshold
                                ? "--threshold and --dither exclude each other"
                                : "--threshold takes a whole number from 0 to 255");
            return -1;
        }
        picture.threshold = std::stoi(value);
        picture.autoThreshold = false;
    } else if (arg == "--dither") {
        if ((value != "fs" && value != "bayer") || !picture.autoThreshold) {
            usageError(err, !picture.autoThreshold ? "--threshold and --dither exclude each other"
                                                   : "--dither takes fs or bayer");
            return -1;
        }
        picture.method = value == "fs" ? DotMethod::FloydSteinberg : DotMethod::Bayer;
    } else {
        if (value != "window" && value != "height" && value != "none") {
            usageError(err, "--fit takes window, height or none");
            return -1;
        }
        picture.scale = value == "window" ? ScaleMode::FitWindow
                        : value == "height" ? ScaleMode::FitHeight
                                            : ScaleMode::None;
    }
    return 1;
}

int listSteps(const Request& request, std::ostream& out, std::ostream& err)
{
    LoadResult loaded = loadRecording(request.files[0]);
    if (!loaded.ok) {
        err << "lumidot-convert: " << request.files[0] << ": " << loaded.error << "\n";
        return kExitFailed;
    }
    const int tick = request.tick ? request.tick : loaded.stepTick ? loaded.stepTick : kDefaultTick;
    StepTickCounter counter = tickCounterFor(loaded.recording, tick);
    int number = 0;
    forEachStep(loaded.recording, [&](const Step& step, StepWait wait) {
        const std::int64_t previous = counter.lastTick();
        const std::int64_t start = counter.next(step.kind, wait);
        out << ++number << ' ' << formatBarBeatTick(start) << ' ' << counter.textTick() - previous << ' '
            << describeStep(step) << '\n';
    });
    return kExitOk;
}

int tempoOf(const Request& request)
{
    return request.tempo ? request.tempo : kDefaultTempo;
}

ExportResult exportAs(Format format, LoadResult& loaded, std::uint8_t tick, const Request& request)
{
    const Recording& recording = loaded.recording;
    switch (format) {
    case Format::Document: {
        if (!loaded.document) {
            loaded.document.emplace();
            loaded.document->recording.replaceSteps(std::move(loaded.recording));
        }
        loaded.document->stepTick = tick;
        if (request.tempo)
            loaded.document->tempo = request.tempo;
        return writeDocument(*loaded.document);
    }
    case Format::Gif:
        return EXPORT_GIF(recording, {tick, tempoOf(request), request.scale ? request.scale : 4});
    case Format::Syx: return {FileSaveData(recording), {}};
    case Format::Mid:
        if (smfFileSize(recording, tick, {request.tempo}) > kLargestReadableFile)
            return {{}, {}, true};
        return {EXPORT_SMF(recording, tick, {request.tempo}), {}};
    case Format::Prt: {
        ExportResult result = Export_PRT(recording, tick);
        if (const PrtWaitRefusal wait = prtWaitRefusal(recording, tick); wait.refused())
            result.refusal = "step " + std::to_string(wait.step + 1) + " waits " +
                             std::to_string(wait.ticks) +
                             " ticks, which .prt cannot hold (1..127); write .mid instead";
        else if (!result.ok())
            result.refusal = "the recording is too long for .prt (its event block would pass "
                             "65,535 bytes)";
        return result;
    }
    case Format::Exc: break;
    }
    ExportResult result = EXPORT_SSW(recording);
    if (!result.ok())
        result.refusal = "the recording is too long for .exc (more than 65,535 entries)";
    return result;
}

// What the input is: pictures (recognised by their bytes), a recording (by
// its first bytes), or else a video (by FFmpeg's probing). An animated WebP
// is a video whatever Qt makes of it, so that its frames keep their times.
struct Input {
    InputKind kind = InputKind::Recording;
    LoadResult loaded;
    std::vector<std::int64_t> durations;   // pictures: each frame's own delay
    std::unique_ptr<VideoFile> video;
    std::string error;   // English; empty when the input can be read
};

// A file that is no recording, or too large for one, may still be a clip,
// which the decoders stream rather than read whole.
void inspectAsVideo(const std::string& fileName, ReadFault fault, const std::string& refusal, Input& input)
{
    VideoProblem problem;
    input.video = VideoFile::open(fileName, problem);
    if (input.video) {
        input.kind = InputKind::Video;
        return;
    }
    if (problem.fault != VideoFault::NotAVideo)
        input.error = videoProblemText(problem);
    else if (fault == ReadFault::UnknownFormat)
        input.error = "neither a recording Lumidot wrote (.syx, .mid, .prt, .exc), a picture nor a "
                      "video that FFmpeg reads (" + problem.reason + ")";
    else
        input.error = refusal;
}

// The first input is read as every user's file is read; the bytes are
// given back before anything is made from them.
Input inspectInput(const std::string& fileName)
{
    Input input;
    VideoProblem problem;
    if (isWebpFile(fileName) && (input.video = VideoFile::open(fileName, problem))) {
        input.kind = InputKind::Video;
        return input;
    }
    std::vector<std::uint8_t> bytes;
    const FileRefusal refused = readUserFile(fileName, bytes);
    if (refused.fault == ReadFault::TooLarge) {
        inspectAsVideo(fileName, refused.fault, refused.error, input);
        return input;
    }
    if (refused.refused()) {
        input.error = refused.error;
        return input;
    }
    if (isPictureInput(bytes)) {
        input.kind = InputKind::Pictures;
        return input;
    }
    input.loaded = loadRecordingBytes(bytes);
    std::vector<std::uint8_t>().swap(bytes);
    const ReadFault fault = input.loaded.fault;
    if (input.loaded.ok || (fault != ReadFault::UnknownFormat && fault != ReadFault::TooLarge)) {
        input.error = input.loaded.error;
        return input;
    }
    inspectAsVideo(fileName, fault, input.loaded.error, input);
    return input;
}

// The options that only some inputs take; a usage error's text, or empty.
std::string misplacedOption(const Request& request, InputKind kind)
{
    if (kind != InputKind::Pictures && request.files.size() != 2)
        return "expected an input file and an output file";
    if (kind == InputKind::Recording && request.pictureOptions)
        return "--threshold, --dither, --fit and --invert apply to pictures and videos only";
    if (kind != InputKind::Video && request.videoOptions())
        return "--fps, --start and --end apply to videos only";
    if (request.startUs >= 0 && request.endUs >= 0 && request.endUs <= request.startUs)
        return "--end must come after --start";
    return {};
}

VideoImportChoices videoChoices(const Request& request)
{
    VideoImportChoices choices;
    choices.conversion = request.picture;
    choices.fps = request.fps;
    choices.tempo = request.tempo ? request.tempo : kDefaultTempo;
    choices.startUs = std::max<std::int64_t>(0, request.startUs);
    choices.endUs = request.endUs >= 0 ? request.endUs : SampleGrid::kOpenEnd;
    return choices;
}

// Makes the recording to convert from the input: pictures or a video made
// into frame steps, or the recording file as it was read.
bool readInput(const Request& request, Input& input, std::ostream& err)
{
    const std::string& in = request.files[0];
    std::string error;
    std::string warning;
    switch (input.kind) {
    case InputKind::Recording: return true;
    case InputKind::Pictures: {
        const std::vector<std::string> inputs(request.files.begin(), request.files.end() - 1);
        if (!picturesToRecording(inputs, request.picture, input.loaded.recording, error) ||
            !pictureDurations(inputs, input.durations, error)) {
            err << "lumidot-convert: " << error << "\n";
            return false;
        }
        break;
    }
    case InputKind::Video:
        if (!videoToRecording(*input.video, videoChoices(request), request.tick ? request.tick : kDefaultTick,
                              input.loaded.recording, error, warning)) {
            err << "lumidot-convert: " << in << ": " << error << "\n";
            return false;
        }
        if (!warning.empty())
            err << "lumidot-convert: " << in << ": " << warning << "\n";
        break;
    }
    return input.loaded.ok = true;
}

// An output that is one of the inputs, under any name or link, would be
// replaced by what was made from it: refused before anything is read.
bool outputIsAnInput(const Request& request, std::ostream& err)
{
    const std::string& outName = request.files.back();
    const FileIdentity output = fileIdentity(outName);
    for (std::size_t k = 0; k + 1 < request.files.size(); ++k) {
        if (output.sameFileAs(fileIdentity(request.files[k]))) {
            err << "lumidot-convert: " << outName << " is the same file as the input " << request.files[k]
                << "; nothing written\n";
            return true;
        }
    }
    return false;
}

bool writeOutput(const std::string& outName, const ExportResult& file, std::ostream& err)
{
    if (file.tooLarge || file.bytes.size() > kLargestReadableFile) {
        err << "lumidot-convert: " << outName << ": the file would be larger than "
            << (kLargestReadableFile >> 20) << " MiB, which no reader takes\n";
        return false;
    }
    if (!file.ok()) {
        err << "lumidot-convert: " << outName << ": " << file.refusal << "\n";
        return false;
    }
    const FileWriteOutcome written = replaceFileContents(outName, file.bytes);
    if (written.stage == FileWriteOutcome::Stage::NotAFile) {
        err << "lumidot-convert: cannot write " << outName << ": a pipe or socket, not a file\n";
        return false;
    }
    if (!written.ok()) {
        err << "lumidot-convert: cannot "
            << (written.stage == FileWriteOutcome::Stage::Create ? "create " : "write ") << outName
            << ": " << std::strerror(written.error) << "\n";
        return false;
    }
    return true;
}

// What the output will not carry, or where it would come late, said on
// standard error; the file is written all the same.
void warnAboutTiming(Format format, const Recording& recording, int tick, const Request& request,
                     std::ostream& err)
{
    const std::string& outName = request.files.back();
    if ((format == Format::Syx || format == Format::Exc) && recording.hasOwnTiming())
        err << "lumidot-convert: " << outName
            << ": the format holds no time; the steps' own waits, start and end were dropped\n";
    if (format != Format::Mid && format != Format::Prt)
        return;
    const CableCheck check = checkCable(recording, tick, tempoOf(request));
    if (!check.outruns)
        return;
    err << "lumidot-convert: warning: at " << tempoOf(request) << " BPM and " << tick
        << " ticks, step " << check.firstLateStep + 1
        << " and later come late on a MIDI cable (3,125 bytes a second); ";
    if (check.smallestStepTick)
        err << "a spacing of " << check.smallestStepTick << " ticks (--tick " << check.smallestStepTick
            << ") fits\n";
    else
        err << "no spacing up to 127 ticks fits at this tempo\n";
}

int convert(const Request& request, std::ostream& err)
{
    const std::string& in = request.files[0];
    const std::string& outName = request.files.back();
    const auto format = formatOf(outName);
    if (!format)
        return usageError(err, "cannot tell the output format of " + outName +
                                   " (use .syx, .mid, .prt, .exc, .lumidot or .gif)");
    if (request.scale && *format != Format::Gif)
        return usageError(err, "--scale applies to .gif output only");
    if (outputIsAnInput(request, err))
        return kExitFailed;
    // What cannot be read has no kind whose options could be misplaced.
    Input input = inspectInput(in);
    if (!input.error.empty()) {
        err << "lumidot-convert: " << in << ": " << input.error << "\n";
        return kExitFailed;
    }
    if (const std::string misplaced = misplacedOption(request, input.kind); !misplaced.empty())
        return usageError(err, misplaced);
    if (!readInput(request, input, err))
        return kExitFailed;
    LoadResult& loaded = input.loaded;
    if (loaded.recording.StepCount() == 0 && !(loaded.document && *format == Format::Document)) {
        err << "lumidot-convert: " << in << " holds no steps; nothing to export\n";
        return kExitFailed;
    }
    const int tick = request.tick ? request.tick : loaded.stepTick ? loaded.stepTick : kDefaultTick;
    timeSteps(loaded.recording, 0, input.durations, tempoOf(request), tick);
    const ExportResult file = exportAs(*format, loaded, static_cast<std::uint8_t>(tick), request);
    if (!writeOutput(outName, file, err))
        return kExitFailed;
    warnAboutTiming(*format, loaded.recording, tick, request, err);
    return kExitOk;
}

} // namespace

int runConvertTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Request request;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return kExitOk;
        }
        if (arg == "--version") {
            out << "lumidot-convert " << kVersion << "\n";
            return kExitOk;
        }
        if (arg == "--list") {
            request.list = true;
        } else if (arg == "--tick") {
            if (k + 1 == args.size())
                return usageError(err, "--tick needs a value");
            const auto tick = parseNumber(args[++k], 1, 127);
            if (!tick)
                return usageError(err, "--tick takes a whole number from 1 to 127");
            request.tick = *tick;
        } else if (arg == "--tempo" || arg == "--scale") {
            if (k + 1 == args.size())
                return usageError(err, arg + " needs a value");
            const bool tempo = arg == "--tempo";
            const auto value = tempo ? parseNumber(args[++k], kMinTempo, kMaxTempo)
                                     : parseNumber(args[++k], 1, 8);
            if (!value)
                return usageError(err, tempo ? "--tempo takes a whole number from 20 to 300"
                                             : "--scale takes a whole number from 1 to 8");
            (tempo ? request.tempo : request.scale) = *value;
        } else if (arg == "--fps" || arg == "--start" || arg == "--end") {
            if (k + 1 == args.size())
                return usageError(err, arg + " needs a value");
            const std::string& value = args[++k];
            if (arg == "--fps") {
                const auto fps = parseNumber(value, kMinVideoFps, kMaxVideoFps);
                if (!fps)
                    return usageError(err, "--fps takes a whole number from 1 to 35");
                request.fps = *fps;
            } else {
                const auto time = parseClipTime(value);
                if (!time)
                    return usageError(err, arg + " takes seconds (12.5) or minutes and seconds (1:02.5)");
                (arg == "--start" ? request.startUs : request.endUs) = *time;
            }
        } else if (const int used = parsePictureOption(args, k, request, err); used != 0) {
            if (used < 0)
                return kExitUsage;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError(err, "unknown option " + arg);
        } else {
            request.files.push_back(arg);
        }
    }
    if (request.list) {
        if (request.files.size() != 1 || request.pictureOptions || request.tempo || request.scale ||
            request.videoOptions())
            return usageError(err, "--list takes exactly one input file");
        return listSteps(request, out, err);
    }
    if (request.files.size() < 2)
        return usageError(err, "expected an input file and an output file");
    return convert(request, err);
}

} // namespace lumidot
