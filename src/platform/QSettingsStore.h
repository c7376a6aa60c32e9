// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SettingsStore.h"

#include <QString>

#include <memory>

class QSettings;

namespace lumidot {

// The settings store on QSettings in its native format: organisation
// "HARUNOKI", application "NS5R" (~/.config/HARUNOKI/NS5R.conf on Linux, the
// registry on Windows). A value stored as a byte array is a binary value;
// anything else (a string, a number) is of the wrong type.
class QSettingsStore : public SettingsStore {
public:
    QSettingsStore();
    // A store in the given file instead of the per-user place.
    explicit QSettingsStore(QString filePath);
    ~QSettingsStore() override;

    bool openKey() override;
    Value read(const std::string& name) override;
    // QSettings reports failures only when it syncs, so every write is synced
    // at once: a failure is then known by the name of the value that caused it.
    // The first write to a damaged file starts a new file in its place.
    bool write(const std::string& name, std::span<const std::uint8_t> bytes) override;
    void release() override;
    std::string damagedPlace() const override;

private:
    void makeSettings();
    void startAfresh();

    QString filePath_;
    QString damaged_;   // the damaged file found by openKey(), until it is rewritten
    std::unique_ptr<QSettings> settings_;
};

} // namespace lumidot
