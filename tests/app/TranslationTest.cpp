// SPDX-License-Identifier: GPL-3.0-or-later
// The English translation: every text of the sources has its English in the
// program, the file holds nothing unfinished or gone from the sources, and
// each English text keeps its source's places and mnemonic.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>

namespace lumidot::testing {
namespace {

const QString kCommitted = QStringLiteral(LUMIDOT_SOURCE_DIR "/translations/lumidot_en.ts");

struct Message {
    QString context;
    QString source;
    QString comment;   // the disambiguation, part of the key
    QString type;      // "" for a finished translation, else unfinished, vanished or obsolete
    QStringList translations;   // one, or one per plural form
    bool numerus = false;

    QString name() const { return context + QStringLiteral(": ") + source; }
};

QList<Message> readTs(const QString& fileName)
{
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    QXmlStreamReader xml(&file);
    QList<Message> messages;
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (name == u"name") {
            context = xml.readElementText();
        } else if (name == u"message") {
            Message message;
            message.context = context;
            message.numerus = xml.attributes().value(QStringLiteral("numerus")) == QLatin1String("yes");
            messages.append(message);
        } else if (name == u"source") {
            messages.last().source = xml.readElementText();
        } else if (name == u"comment") {
            messages.last().comment = xml.readElementText();
        } else if (name == u"translation") {
            Message& message = messages.last();
            message.type = xml.attributes().value(QStringLiteral("type")).toString();
            if (!message.numerus)
                message.translations << xml.readElementText();
        } else if (name == u"numerusform") {
            messages.last().translations << xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << fileName.toStdString() << ": " << xml.errorString().toStdString();
    return messages;
}

// The texts of the sources as they stand, collected as the build's update
// target collects them.
QList<Message> textsOfTheSources(const QTemporaryDir& dir)
{
    const QString fresh = dir.filePath(QStringLiteral("fresh_en.ts"));
    QStringList arguments = QStringLiteral(LUMIDOT_LUPDATE_OPTIONS).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    arguments << QStringLiteral(LUMIDOT_SOURCE_DIR "/src") << QStringLiteral("-ts") << fresh;
    QProcess lupdate;
    lupdate.start(QStringLiteral(LUMIDOT_LUPDATE), arguments);
    EXPECT_TRUE(lupdate.waitForFinished(120000)) << "lupdate did not finish";
    EXPECT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    return readTs(fresh);
}

std::string listed(const QStringList& names)
{
    return (QStringLiteral("\n  ") + names.join(QStringLiteral("\n  "))).toStdString();
}

TEST(Translation, EveryTextOfTheSourcesIsTranslated)
{
    QTemporaryDir dir;
    const QList<Message> sources = textsOfTheSources(dir);
    ASSERT_GT(sources.size(), 100) << "lupdate found too few texts: is it given the sources?";
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral("lumidot_en"), QStringLiteral(LUMIDOT_BUILT_TRANSLATIONS)));
    QStringList missing;
    for (const Message& m : sources) {
        const QString translated = english.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData(),
                                                      m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData(),
                                                      m.numerus ? 2 : -1);
        if (translated.isEmpty())
            missing << m.name();
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.size()
                                   << " texts have no English; run `make translations` and translate them in "
                                      "translations/lumidot_en.ts:"
                                   << listed(missing);

    QSet<QString> current;
    for (const Message& m : sources)
        current.insert(m.name());
    QStringList gone;
    for (const Message& m : readTs(kCommitted)) {
        if (!current.contains(m.name()))
            gone << m.name();
    }
    EXPECT_TRUE(gone.isEmpty()) << "translations/lumidot_en.ts holds texts no longer in the sources "
                                   "(run `make translations`):"
                                << listed(gone);
}

TEST(Translation, NothingInTheFileIsUnfinishedOrVanished)
{
    QStringList open;
    for (const Message& m : readTs(kCommitted)) {
        const bool empty = std::any_of(m.translations.begin(), m.translations.end(),
                                       [](const QString& t) { return t.isEmpty(); });
        if (!m.type.isEmpty() || m.translations.isEmpty() || empty)
            open << m.name() + QStringLiteral(" (") + (m.type.isEmpty() ? QStringLiteral("empty") : m.type) + ")";
    }
    EXPECT_TRUE(open.isEmpty()) << open.size() << " messages are not finished:" << listed(open);
}

// %1 .. %99 and %n: what the program fills in must have its place in the
// English; a menu's or a button's mnemonic (&F) must stay one; and no
// Japanese is left over in the English.
TEST(Translation, TheEnglishKeepsEveryPlaceAndMnemonic)
{
    const QRegularExpression place(QStringLiteral("%(\\d{1,2}|n)"));
    const QRegularExpression mnemonic(QStringLiteral("&(?!&)[^\\s&]"));
    const QRegularExpression japanese(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF01}-\\x{FF5E}]"));
    const auto placesOf = [&](const QString& text) {
        QSet<QString> found;
        for (const auto& match : place.globalMatch(text))
            found.insert(match.captured());
        return found;
    };
    QStringList wrong;
    for (const Message& m : readTs(kCommitted)) {
        for (const QString& english : m.translations) {
            if (placesOf(english) != placesOf(m.source))
                wrong << m.name() + QStringLiteral(" -> places differ in: ") + english;
            if (m.source.contains(mnemonic) != english.contains(mnemonic))
                wrong << m.name() + QStringLiteral(" -> mnemonic lost or added in: ") + english;
            if (english.contains(japanese))
                wrong << m.name() + QStringLiteral(" -> Japanese left in: ") + english;
        }
    }
    EXPECT_TRUE(wrong.isEmpty()) << listed(wrong);
}

} // namespace
} // namespace lumidot::testing
