#include "platform/QSettingsStore.h"

#include <QByteArray>
#include <QSettings>
#include <QVariant>

namespace lumidot {

QSettingsStore::QSettingsStore() = default;

QSettingsStore::QSettingsStore(QString filePath)
    : filePath_(std::move(filePath))
{
}

QSettingsStore::~QSettingsStore() = default;

bool QSettingsStore::openKey()
{
    if (filePath_.isEmpty())
        settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QStringLiteral("HARUNOKI"), QStringLiteral("NS5R"));
    else
        settings_ = std::make_unique<QSettings>(filePath_, QSettings::IniFormat);
    // A file that exists but cannot be read makes the store unusable; a file
    // that does not exist yet is an empty key.
    return settings_->status() != QSettings::AccessError;
}

SettingsStore::Value QSettingsStore::read(const std::string& name)
{
    if (!settings_)
        return {ReadStatus::Failed, {}};
    const QString key = QString::fromStdString(name);
    if (!settings_->contains(key))
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
    const QByteArray value(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    settings_->setValue(QString::fromStdString(name), value);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

void QSettingsStore::release()
{
    if (settings_)
        settings_->sync();
    settings_.reset();
}

} // namespace lumidot
