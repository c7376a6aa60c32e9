// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QSettingsStore.h"

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QVariant>

namespace lumidot {

QSettingsStore::QSettingsStore() = default;

QSettingsStore::QSettingsStore(QString filePath)
    : filePath_(std::move(filePath))
{
}

QSettingsStore::~QSettingsStore() = default;

void QSettingsStore::makeSettings()
{
    if (filePath_.isEmpty())
        settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QStringLiteral("HARUNOKI"), QStringLiteral("NS5R"));
    else
        settings_ = std::make_unique<QSettings>(filePath_, QSettings::IniFormat);
}

bool QSettingsStore::openKey()
{
    makeSettings();
    // A file that cannot be parsed is ignored: none of its values is read.
    // QSettings keeps a parsed file cached for the process and reports the
    // damage only on the first parse, so it is remembered until rewritten.
    if (settings_->status() == QSettings::FormatError)
        damaged_ = settings_->fileName();
    // A file that exists but cannot be read makes the store unusable; a file
    // that does not exist yet is an empty key.
    return settings_->status() != QSettings::AccessError;
}

// Removes the damaged file so that the values written next make a whole
// new one; QSettings would otherwise merge them into what it could parse.
void QSettingsStore::startAfresh()
{
    settings_.reset();
    QFile::remove(damaged_);
    damaged_.clear();
    makeSettings();
}

std::string QSettingsStore::damagedPlace() const
{
    return QFile::encodeName(damaged_).toStdString();
}

SettingsStore::Value QSettingsStore::read(const std::string& name)
{
    if (!settings_)
        return {ReadStatus::Failed, {}};
    const QString key = QString::fromStdString(name);
    if (!damaged_.isEmpty() || !settings_->contains(key))
        return {ReadStatus::Absent, {}};
    const QVariant value = settings_->value(key);
    if (value.typeId() != QMetaType::QByteArray)
        return {ReadStatus::WrongType, {}};
    const QByteArray bytes = value.toByteArray();
    return {ReadStatus::Ok, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

bool QSettingsStore::write(const std::string& name, std::span<const std::uint8_t> bytes)
{
    if (!settings_)
        return false;
    if (!damaged_.isEmpty())
        startAfresh();
    const QByteArray value(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    settings_->setValue(QString::fromStdString(name), value);
    settings_->sync();
    // A FormatError is about reading and lasts for the object's life; only
    // an AccessError says that this write did not reach the file.
    return settings_->status() != QSettings::AccessError;
}

void QSettingsStore::release()
{
    if (settings_)
        settings_->sync();
    settings_.reset();
}

} // namespace lumidot
