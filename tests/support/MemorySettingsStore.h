// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SettingsStore.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace lumidot::testing {

// A settings store in memory. Values can be stored with the wrong type, and
// single writes can be made to fail.
class MemorySettingsStore : public SettingsStore {
public:
    std::map<std::string, Value> values;
    std::set<std::string> failingWrites;
    std::vector<std::string> writes;   // names in the order written
    bool unusable = false;
    std::string damaged;               // the place a damaged store reports
    int opens = 0;
    int releases = 0;

    void put(const std::string& name, std::vector<std::uint8_t> bytes)
    {
        values[name] = {ReadStatus::Ok, std::move(bytes)};
    }

    void putWrongType(const std::string& name) { values[name] = {ReadStatus::WrongType, {}}; }

    std::vector<std::uint8_t> bytes(const std::string& name) const
    {
        const auto found = values.find(name);
        return found == values.end() ? std::vector<std::uint8_t>{} : found->second.bytes;
    }

    bool openKey() override
    {
        ++opens;
        return !unusable;
    }

    Value read(const std::string& name) override
    {
        const auto found = values.find(name);
        return found == values.end() ? Value{} : found->second;
    }

    bool write(const std::string& name, std::span<const std::uint8_t> data) override
    {
        if (failingWrites.count(name))
            return false;
        writes.push_back(name);
        values[name] = {ReadStatus::Ok, {data.begin(), data.end()}};
        return true;
    }

    void release() override { ++releases; }
    std::string damagedPlace() const override { return damaged; }
};

} // namespace lumidot::testing
