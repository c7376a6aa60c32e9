// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Settings.h"

#include "ns5r/UserText.h"
#include "platform/SettingsStore.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace lumidot {
namespace {

constexpr const char* kMidiOutValue = "MIDI_OUT";
constexpr const char* kStepTickValue = "DT";
constexpr const char* kXMaxValue = "XH";
constexpr const char* kXMinValue = "XL";
constexpr const char* kYMaxValue = "YH";
constexpr const char* kYMinValue = "YL";
constexpr const char* kXStepValue = "XSc";
constexpr const char* kYStepValue = "YSc";
constexpr const char* kMidiOutNameValue = "MIDI_OUT_NAME";
constexpr const char* kPaceLiveValue = "PACE_LIVE";
// A port name as long as JACK allows one.
constexpr std::size_t kMidiOutNameMax = 320;

// The ranges the settings dialog allows. Stored values outside them are
// pulled in on load: a tick of 0 or above 127 would not fit the one-byte
// delta times of the timed exports, and bounds past these let the window
// leave the drawing plane.
constexpr int kStepTickMin = 1;
constexpr int kStepTickMax = 127;
constexpr int kXMinLow = -512, kXMinHigh = 0;
constexpr int kXMaxLow = 32, kXMaxHigh = 512;
constexpr int kYMinLow = -256, kYMinHigh = 0;
constexpr int kYMaxLow = 16, kYMaxHigh = 256;

// The arrow steps of frame mode: one window.
constexpr std::uint16_t kFrameStepX = kLcdCols;
constexpr std::uint16_t kFrameStepY = kLcdRows;

using Word = std::array<std::uint8_t, 2>;

RegResult wrongType(const char* name)
{
    return {false, LUMIDOT_TEXT("Settings", "'%1' のデータ型が不正です").arg(name)};
}

RegResult readFailed(const char* name)
{
    return {false, LUMIDOT_TEXT("Settings", "'%1' の取得に失敗しました").arg(name)};
}

RegResult writeFailed(const char* name)
{
    return {false, LUMIDOT_TEXT("Settings", "'%1' の設定に失敗しました").arg(name)};
}

Word littleEndian(int value)
{
    const auto bits = static_cast<std::uint16_t>(value);
    return {static_cast<std::uint8_t>(bits & 0xFF), static_cast<std::uint8_t>(bits >> 8)};
}

int signedWord(const Word& bytes)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)));
}

std::uint16_t unsignedWord(const Word& bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

// Reads a stored value over the bytes already in place: an absent value
// leaves them all, a shorter one only its own. A value of another type or
// longer than the bytes is refused, and so is a read the store cannot do.
template <std::size_t N>
bool readInto(SettingsStore& store, const char* name, std::array<std::uint8_t, N>& bytes, RegResult& result)
{
    const SettingsStore::Value value = store.read(name);
    switch (value.status) {
    case SettingsStore::ReadStatus::Absent:
        return true;
    case SettingsStore::ReadStatus::Failed:
        result = readFailed(name);
        return false;
    case SettingsStore::ReadStatus::WrongType:
        result = wrongType(name);
        return false;
    case SettingsStore::ReadStatus::Ok:
        break;
    }
    if (value.bytes.size() > N) {
        result = wrongType(name);
        return false;
    }
    std::copy(value.bytes.begin(), value.bytes.end(), bytes.begin());
    return true;
}

// A signed bound: the stored bytes replace the low 16 bits of the current
// value, the result is widened with its sign and kept in the dialog's range.
bool readBound(SettingsStore& store, const char* name, int& bound, int low, int high, RegResult& result)
{
    Word bytes = littleEndian(bound);
    if (!readInto(store, name, bytes, result))
        return false;
    bound = std::clamp(signedWord(bytes), low, high);
    return true;
}

// A scroll step starts from 0, so an absent or zero value means step 1.
// The program only ever stores 1 or the frame step; any other value is
// taken as frame mode, so the arrows never move by a step the settings
// dialog cannot show.
bool readStep(SettingsStore& store, const char* name, std::uint16_t& step, std::uint16_t frameStep,
              RegResult& result)
{
    Word bytes{};
    if (!readInto(store, name, bytes, result))
        return false;
    const std::uint16_t stored = unsignedWord(bytes);
    step = stored <= 1 ? 1 : frameStep;
    return true;
}

// The port's name, stored after the eight values; a store from before names
// were kept has none, and the entry alone decides as it always did.
bool readPortName(SettingsStore& store, std::string& name, RegResult& result)
{
    const SettingsStore::Value value = store.read(kMidiOutNameValue);
    switch (value.status) {
    case SettingsStore::ReadStatus::Absent:
        return true;
    case SettingsStore::ReadStatus::Failed:
        result = readFailed(kMidiOutNameValue);
        return false;
    case SettingsStore::ReadStatus::WrongType:
        result = wrongType(kMidiOutNameValue);
        return false;
    case SettingsStore::ReadStatus::Ok:
        break;
    }
    if (value.bytes.size() > kMidiOutNameMax) {
        result = wrongType(kMidiOutNameValue);
        return false;
    }
    name.assign(value.bytes.begin(), value.bytes.end());
    return true;
}

RegResult load(Settings& settings, SettingsStore& store)
{
    RegResult result;
    std::array<std::uint8_t, 1> midiOut{settings.midiOutIndex};
    if (!readInto(store, kMidiOutValue, midiOut, result))
        return result;
    settings.midiOutIndex = midiOut[0];

    Word tick{settings.stepTick, 0};
    if (!readInto(store, kStepTickValue, tick, result))
        return result;
    settings.stepTick = static_cast<std::uint8_t>(std::clamp<int>(tick[0], kStepTickMin, kStepTickMax));

    ScrollLimits& limits = settings.limits;
    if (!readBound(store, kXMaxValue, limits.xMax, kXMaxLow, kXMaxHigh, result)
        || !readBound(store, kXMinValue, limits.xMin, kXMinLow, kXMinHigh, result)
        || !readBound(store, kYMaxValue, limits.yMax, kYMaxLow, kYMaxHigh, result)
        || !readBound(store, kYMinValue, limits.yMin, kYMinLow, kYMinHigh, result))
        return result;

    if (!readStep(store, kXStepValue, settings.xStep, kFrameStepX, result)
        || !readStep(store, kYStepValue, settings.yStep, kFrameStepY, result))
        return result;
    if (!readPortName(store, settings.midiOutName, result))
        return result;
    // Absent in a store from before pacing: on, as for a first start. Any
    // byte but 0 counts as on.
    std::array<std::uint8_t, 1> pace{static_cast<std::uint8_t>(settings.paceLive ? 1 : 0)};
    if (readInto(store, kPaceLiveValue, pace, result))
        settings.paceLive = pace[0] != 0;
    return result;
}

RegResult save(const Settings& settings, SettingsStore& store)
{
    const std::array<std::uint8_t, 1> midiOut{settings.midiOutIndex};
    if (!store.write(kMidiOutValue, midiOut))
        return writeFailed(kMidiOutValue);
    const Word tick{settings.stepTick, 0};
    if (!store.write(kStepTickValue, tick))
        return writeFailed(kStepTickValue);

    const std::pair<const char*, int> words[] = {
        {kXMaxValue, settings.limits.xMax}, {kXMinValue, settings.limits.xMin},
        {kYMaxValue, settings.limits.yMax}, {kYMinValue, settings.limits.yMin},
        {kXStepValue, settings.xStep},      {kYStepValue, settings.yStep},
    };
    for (const auto& [name, number] : words) {
        const Word bytes = littleEndian(number);
        if (!store.write(name, bytes))
            return writeFailed(name);
    }
    const std::vector<std::uint8_t> portName(settings.midiOutName.begin(), settings.midiOutName.end());
    if (!store.write(kMidiOutNameValue, portName))
        return writeFailed(kMidiOutNameValue);
    const std::array<std::uint8_t, 1> pace{static_cast<std::uint8_t>(settings.paceLive ? 1 : 0)};
    if (!store.write(kPaceLiveValue, pace))
        return writeFailed(kPaceLiveValue);
    return {};
}

} // namespace

// The key is opened and released within each call. A store that cannot be
// opened at all fails at its first value, which names the place in the message.
RegResult NS5R_Reg(int direction, Settings& settings, SettingsStore& store)
{
    if (direction != kRegLoad && direction != kRegSave)
        return {};
    if (!store.openKey())
        return direction == kRegSave ? writeFailed(kMidiOutValue) : readFailed(kMidiOutValue);
    const RegResult result = direction == kRegSave ? save(settings, store) : load(settings, store);
    store.release();
    return result;
}

} // namespace lumidot
