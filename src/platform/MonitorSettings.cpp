// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MonitorSettings.h"

#include "ns5r/MonitorPicture.h"
#include "platform/SettingsStore.h"
#include "recording/StepTiming.h"

#include <array>

namespace lumidot {

namespace {

constexpr const char* kDotSizeValue = "MonitorDotSize";
constexpr const char* kOnTopValue = "MonitorOnTop";
constexpr const char* kTempoValue = "MonitorTempo";

// A stored little-endian value of exactly its size, or nothing.
template <std::size_t N>
bool readBytes(SettingsStore& store, const char* name, std::array<std::uint8_t, N>& out)
{
    const SettingsStore::Value value = store.read(name);
    if (value.status != SettingsStore::ReadStatus::Ok || value.bytes.size() != N)
        return false;
    std::copy(value.bytes.begin(), value.bytes.end(), out.begin());
    return true;
}

} // namespace

MonitorSettings loadMonitorSettings(SettingsStore& store)
{
    MonitorSettings settings;
    if (!store.openKey())
        return settings;
    std::array<std::uint8_t, 1> byte{};
    if (readBytes(store, kDotSizeValue, byte) && byte[0] >= kMinDotSize && byte[0] <= kMaxDotSize)
        settings.dotSize = byte[0];
    if (readBytes(store, kOnTopValue, byte) && byte[0] <= 1)
        settings.stayOnTop = byte[0] == 1;
    std::array<std::uint8_t, 2> word{};
    if (readBytes(store, kTempoValue, word)) {
        const int tempo = word[0] | (word[1] << 8);
        if (tempo >= kMinTempo && tempo <= kMaxTempo)
            settings.tempo = tempo;
    }
    store.release();
    return settings;
}

bool saveMonitorSettings(const MonitorSettings& settings, SettingsStore& store)
{
    if (!store.openKey())
        return false;
    const std::array<std::uint8_t, 1> dotSize{static_cast<std::uint8_t>(settings.dotSize)};
    const std::array<std::uint8_t, 1> onTop{static_cast<std::uint8_t>(settings.stayOnTop ? 1 : 0)};
    const std::array<std::uint8_t, 2> tempo{static_cast<std::uint8_t>(settings.tempo & 0xFF),
                                            static_cast<std::uint8_t>(settings.tempo >> 8)};
    const bool ok = store.write(kDotSizeValue, dotSize) && store.write(kOnTopValue, onTop) &&
                    store.write(kTempoValue, tempo);
    store.release();
    return ok;
}

} // namespace lumidot
