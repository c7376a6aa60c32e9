// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumidot {

// The per-user settings store: binary values under one key
// (organisation "HARUNOKI", application "NS5R").
class SettingsStore {
public:
    enum class ReadStatus { Ok, Absent, WrongType, Failed };

    struct Value {
        ReadStatus status = ReadStatus::Absent;
        std::vector<std::uint8_t> bytes;
    };

    virtual ~SettingsStore() = default;

    // Opens the key, creating it when absent. False when the store is unusable.
    virtual bool openKey() = 0;
    virtual Value read(const std::string& name) = 0;
    virtual bool write(const std::string& name, std::span<const std::uint8_t> bytes) = 0;
    // Releases the key; pending writes reach the store here.
    virtual void release() = 0;
    // Where a store found damaged by the last openKey() lies (its values are
    // ignored, and the next save writes it anew); empty when it is sound.
    virtual std::string damagedPlace() const { return {}; }
};

} // namespace lumidot
