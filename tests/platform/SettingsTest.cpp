// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QSettingsStore.h"
#include "platform/Settings.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace lumidot {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Status = SettingsStore::ReadStatus;

// A store in memory that can hold values of any status and fail any write.
class MemoryStore : public SettingsStore {
public:
    std::map<std::string, Value> values;
    std::vector<std::string> calls;
    std::string failWriteOf;
    bool usable = true;

    void put(const std::string& name, Bytes bytes) { values[name] = {Status::Ok, std::move(bytes)}; }

    bool openKey() override
    {
        calls.push_back("open");
        return usable;
    }
    Value read(const std::string& name) override
    {
        calls.push_back("read " + name);
        const auto found = values.find(name);
        return found == values.end() ? Value{} : found->second;
    }
    bool write(const std::string& name, std::span<const std::uint8_t> bytes) override
    {
        calls.push_back("write " + name);
        if (name == failWriteOf)
            return false;
        put(name, Bytes(bytes.begin(), bytes.end()));
        return true;
    }
    void release() override { calls.push_back("release"); }
};

Settings loadFrom(MemoryStore& store, RegResult* result = nullptr)
{
    Settings settings;
    const RegResult r = NS5R_Reg(kRegLoad, settings, store);
    if (result)
        *result = r;
    return settings;
}

Settings frameModeSettings()
{
    Settings s;
    s.midiOutIndex = 2;
    s.stepTick = 100;
    s.limits = {-512, 512, -256, 256};
    s.xStep = 32;
    s.yStep = 16;
    return s;
}

// --- loading and saving, on a store in memory --------------------------------

TEST(NS5R_RegLoad, ReadsEveryValueInOrderAndReleasesTheKey)
{
    MemoryStore store;
    store.put("MIDI_OUT", {3});
    store.put("DT", {20, 0});
    store.put("XH", {0x00, 0x01});
    store.put("XL", {0x00, 0xFE});
    store.put("YH", {0x20, 0x00});
    store.put("YL", {0xF0, 0xFF});
    store.put("XSc", {32, 0});
    store.put("YSc", {16, 0});

    RegResult result;
    const Settings s = loadFrom(store, &result);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(s.midiOutIndex, 3);
    EXPECT_EQ(s.stepTick, 20);
    EXPECT_EQ(s.limits, (ScrollLimits{-512, 256, -16, 32}));
    EXPECT_EQ(s.xStep, 32);
    EXPECT_EQ(s.yStep, 16);
    EXPECT_EQ(store.calls, (std::vector<std::string>{"open", "read MIDI_OUT", "read DT", "read XH", "read XL",
                                                     "read YH", "read YL", "read XSc", "read YSc", "read MIDI_OUT_NAME",
                                                     "read PACE_LIVE", "release"}));
    EXPECT_EQ(s.midiOutName, "") << "a store from before names were kept: the entry alone decides";
}

TEST(NS5R_RegLoad, StopsAtAWrongTypedValueKeepingWhatWasReadBefore)
{
    MemoryStore store;
    store.put("MIDI_OUT", {1});
    store.put("DT", {30, 0});
    store.values["XL"] = {Status::WrongType, {}};
    store.put("YH", {0x20, 0x00});
    store.put("XSc", {32, 0});

    RegResult result;
    const Settings s = loadFrom(store, &result);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "'XL' のデータ型が不正です");
    EXPECT_EQ(s.midiOutIndex, 1);
    EXPECT_EQ(s.stepTick, 30);
    EXPECT_EQ(s.limits, ScrollLimits{}) << "XH absent, XL refused, YH never read";
    EXPECT_EQ(s.xStep, 1);
    EXPECT_EQ(store.calls.back(), "release");
    EXPECT_EQ(store.calls[store.calls.size() - 2], "read XL");
}

TEST(NS5R_RegLoad, RefusesValuesLongerThanTheirBytesAndReportsFailedReads)
{
    MemoryStore tooLong;
    tooLong.put("MIDI_OUT", {1, 0});
    RegResult result;
    EXPECT_EQ(loadFrom(tooLong, &result), Settings{});
    EXPECT_EQ(result.message, "'MIDI_OUT' のデータ型が不正です");

    MemoryStore longStep;
    longStep.put("XSc", {32, 0, 0, 0});
    EXPECT_EQ(loadFrom(longStep, &result).xStep, 1);
    EXPECT_EQ(result.message, "'XSc' のデータ型が不正です");

    MemoryStore failing;
    failing.put("DT", {9, 0});
    failing.values["YL"] = {Status::Failed, {}};
    failing.put("YSc", {16, 0});
    const Settings s = loadFrom(failing, &result);
    EXPECT_EQ(result.message, "'YL' の取得に失敗しました");
    EXPECT_EQ(s.stepTick, 9);
    EXPECT_EQ(s.yStep, 1);
}

// A value shorter than its variable replaces only the bytes it has; the rest
// keep the variable's current 16-bit form, and the result is sign-extended.
TEST(NS5R_RegLoad, ShortValuesReplaceOnlyTheirOwnBytes)
{
    MemoryStore store;
    store.put("DT", {5});           // one-byte tick
    store.put("XH", {0xC0});        // 128 = 00 80 -> 00 C0 = 192
    store.put("XL", {0x00});        // -128 = FF 80 -> FF 00 = -256
    store.put("YH", {});            // no bytes: 64 stays
    store.put("YL", {0xE0, 0xFF});  // -32
    store.put("XSc", {0x20});       // from 0: 32
    store.put("YSc", {0x00, 0x00}); // 0 means 1

    RegResult result;
    const Settings s = loadFrom(store, &result);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(s.stepTick, 5);
    EXPECT_EQ(s.limits, (ScrollLimits{-256, 192, -32, 64}));
    EXPECT_EQ(s.xStep, 32);
    EXPECT_EQ(s.yStep, 1);
}

TEST(NS5R_RegLoad, AbsentStepsMeanStepOneWhateverWasHeld)
{
    MemoryStore store;
    Settings s = frameModeSettings();
    EXPECT_TRUE(NS5R_Reg(kRegLoad, s, store).ok);
    EXPECT_EQ(s.xStep, 1);
    EXPECT_EQ(s.yStep, 1);
    EXPECT_EQ(s.stepTick, 100) << "an absent tick keeps what was held";
}

// Only 1 and the frame step are ever stored; anything else but 0 is frame
// mode, so the arrows never move by a step the dialog cannot show.
TEST(NS5R_RegLoad, StoredStepsBecomeOneOrTheFrameStep)
{
    const struct {
        Bytes stored;
        std::uint16_t x, y;
    } cases[] = {
        {{5, 0}, 32, 16}, {{0xFF, 0xFF}, 32, 16}, {{0, 0}, 1, 1}, {{1, 0}, 1, 1}, {{16, 0}, 32, 16},
    };
    for (const auto& c : cases) {
        MemoryStore store;
        store.put("XSc", c.stored);
        store.put("YSc", c.stored);
        const Settings s = loadFrom(store);
        EXPECT_EQ(s.xStep, c.x) << int(c.stored[0]);
        EXPECT_EQ(s.yStep, c.y) << int(c.stored[0]);
    }
}

TEST(NS5R_RegLoad, ClampsTicksAndBoundsIntoTheDialogsRanges)
{
    const auto tickFrom = [](Bytes bytes) {
        MemoryStore store;
        store.put("DT", std::move(bytes));
        return loadFrom(store).stepTick;
    };
    EXPECT_EQ(tickFrom({0, 0}), 1);
    EXPECT_EQ(tickFrom({128, 0}), 127);
    EXPECT_EQ(tickFrom({255}), 127);
    EXPECT_EQ(tickFrom({127, 0}), 127);
    EXPECT_EQ(tickFrom({1, 0}), 1);

    MemoryStore wide;
    wide.put("XH", {0xE8, 0x03});  // 1000
    wide.put("XL", {0x18, 0xFC});  // -1000
    wide.put("YH", {0x2C, 0x01});  // 300
    wide.put("YL", {0xD4, 0xFE});  // -300
    EXPECT_EQ(loadFrom(wide).limits, (ScrollLimits{-512, 512, -256, 256}));

    MemoryStore narrow;
    narrow.put("XH", {0, 0});
    narrow.put("XL", {100, 0});
    narrow.put("YH", {0xFF, 0xFF}); // -1
    narrow.put("YL", {1, 0});
    EXPECT_EQ(loadFrom(narrow).limits, (ScrollLimits{0, 32, 0, 16}));
}

TEST(NS5R_RegSave, WritesAllEightValuesInOrderAsLittleEndianBytes)
{
    MemoryStore store;
    Settings s = frameModeSettings();
    s.limits = {-128, 300, -64, 16};
    EXPECT_TRUE(NS5R_Reg(kRegSave, s, store).ok);

    EXPECT_EQ(store.calls, (std::vector<std::string>{"open", "write MIDI_OUT", "write DT", "write XH", "write XL",
                                                     "write YH", "write YL", "write XSc", "write YSc",
                                                     "write MIDI_OUT_NAME", "write PACE_LIVE", "release"}));
    EXPECT_EQ(store.values["MIDI_OUT"].bytes, Bytes{2});
    EXPECT_EQ(store.values["DT"].bytes, (Bytes{100, 0}));
    EXPECT_EQ(store.values["XH"].bytes, (Bytes{0x2C, 0x01}));
    EXPECT_EQ(store.values["XL"].bytes, (Bytes{0x80, 0xFF}));
    EXPECT_EQ(store.values["YH"].bytes, (Bytes{16, 0}));
    EXPECT_EQ(store.values["YL"].bytes, (Bytes{0xC0, 0xFF}));
    EXPECT_EQ(store.values["XSc"].bytes, (Bytes{32, 0}));
    EXPECT_EQ(store.values["YSc"].bytes, (Bytes{16, 0}));
}

// The chosen port's name follows the eight values, as UTF-8 bytes.
TEST(NS5R_RegPortName, IsKeptAfterTheEightValuesAndAWrongTypeStopsOnlyItself)
{
    MemoryStore store;
    Settings s = frameModeSettings();
    s.midiOutName = "LumidotCapture:音源";
    ASSERT_TRUE(NS5R_Reg(kRegSave, s, store).ok);
    EXPECT_EQ(store.values["MIDI_OUT_NAME"].bytes, Bytes(s.midiOutName.begin(), s.midiOutName.end()));
    EXPECT_EQ(loadFrom(store), s);

    store.values["MIDI_OUT_NAME"] = {Status::WrongType, {}};
    RegResult result;
    const Settings loaded = loadFrom(store, &result);
    EXPECT_EQ(result.message, "'MIDI_OUT_NAME' のデータ型が不正です");
    EXPECT_EQ(loaded.yStep, 16) << "the eight values before it are read";
    EXPECT_EQ(loaded.midiOutName, "");
}

// Pacing is on unless the user turned it off; a store from before it was
// kept paces too.
TEST(NS5R_RegPaceLive, IsOneByteAfterTheNameAndOnWhenAbsent)
{
    MemoryStore store;
    EXPECT_TRUE(loadFrom(store).paceLive);
    Settings s = frameModeSettings();
    s.paceLive = false;
    ASSERT_TRUE(NS5R_Reg(kRegSave, s, store).ok);
    EXPECT_EQ(store.values["PACE_LIVE"].bytes, Bytes{0});
    EXPECT_FALSE(loadFrom(store).paceLive);
    s.paceLive = true;
    ASSERT_TRUE(NS5R_Reg(kRegSave, s, store).ok);
    EXPECT_EQ(store.values["PACE_LIVE"].bytes, Bytes{1});
    EXPECT_TRUE(loadFrom(store).paceLive);

    store.put("PACE_LIVE", {0, 0});
    RegResult result;
    loadFrom(store, &result);
    EXPECT_EQ(result.message, "'PACE_LIVE' のデータ型が不正です");
}

TEST(NS5R_RegSave, AFailingWriteStopsTheSaveAndKeepsEarlierValues)
{
    MemoryStore store;
    store.failWriteOf = "XL";
    Settings s;
    const RegResult result = NS5R_Reg(kRegSave, s, store);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "'XL' の設定に失敗しました");
    EXPECT_TRUE(store.values.count("XH"));
    EXPECT_FALSE(store.values.count("YH"));
    EXPECT_EQ(store.calls.back(), "release");
}

TEST(NS5R_Reg, AnUnusableStoreFailsAtTheFirstValueAndOtherDirectionsDoNothing)
{
    MemoryStore store;
    store.usable = false;
    Settings s = frameModeSettings();
    EXPECT_EQ(NS5R_Reg(kRegLoad, s, store).message, "'MIDI_OUT' の取得に失敗しました");
    EXPECT_EQ(NS5R_Reg(kRegSave, s, store).message, "'MIDI_OUT' の設定に失敗しました");
    EXPECT_EQ(s, frameModeSettings());

    MemoryStore other;
    EXPECT_TRUE(NS5R_Reg(2, s, other).ok);
    EXPECT_TRUE(other.calls.empty());
}

// --- the real store, on QSettings in a temporary folder ----------------------

class QSettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("HARUNOKI/NS5R.conf"); }

    void writeFileText(const QByteArray& text)
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("HARUNOKI"));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    RegResult save(Settings s)
    {
        QSettingsStore store(path());
        return NS5R_Reg(kRegSave, s, store);
    }

    Settings load(RegResult* result = nullptr)
    {
        QSettingsStore store(path());
        Settings s;
        const RegResult r = NS5R_Reg(kRegLoad, s, store);
        if (result)
            *result = r;
        return s;
    }
};

TEST_F(QSettingsStoreTest, FirstStartRunsWithTheDefaults)
{
    RegResult result;
    EXPECT_EQ(load(&result), Settings{});
    EXPECT_TRUE(result.ok) << result.message;
}

TEST_F(QSettingsStoreTest, EverySettingSurvivesARestartIncludingFrameMode)
{
    const Settings saved = frameModeSettings();
    ASSERT_TRUE(save(saved).ok);

    RegResult result;
    EXPECT_EQ(load(&result), saved);
    EXPECT_TRUE(result.ok) << result.message;

    // Stored zero minimums are sign-extended, not merged into the defaults.
    Settings zeros;
    zeros.limits.xMin = 0;
    zeros.limits.yMin = 0;
    ASSERT_TRUE(save(zeros).ok);
    EXPECT_EQ(load(), zeros);
}

TEST_F(QSettingsStoreTest, ValuesAreStoredAsByteArraysAndTheTickTakesTwoBytes)
{
    Settings s;
    s.stepTick = 77;
    ASSERT_TRUE(save(s).ok);

    QSettings raw(path(), QSettings::IniFormat);
    for (const char* name : {"MIDI_OUT", "DT", "XH", "XL", "YH", "YL", "XSc", "YSc"})
        EXPECT_EQ(raw.value(name).typeId(), QMetaType::QByteArray) << name;
    EXPECT_EQ(raw.value("DT").toByteArray(), QByteArray("\x4D\x00", 2));
    EXPECT_EQ(raw.value("MIDI_OUT").toByteArray().size(), 1);

    // What another run of the program reads back: the file's own text.
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("DT=@ByteArray(M\\0)")) << text.constData();
    EXPECT_TRUE(text.contains("XL=@ByteArray(")) << text.constData();
}

// Typed by hand into the file, as another program or a user might leave it.
TEST_F(QSettingsStoreTest, AHandWrittenValueOfAnotherTypeStopsTheLoad)
{
    writeFileText("[General]\n"
                  "MIDI_OUT=@ByteArray(\\x2)\n"
                  "DT=@ByteArray(!)\n"
                  "XH=200\n"
                  "XL=@ByteArray(\\0\\0)\n");
    RegResult result;
    const Settings s = load(&result);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "'XH' のデータ型が不正です");
    EXPECT_EQ(s.midiOutIndex, 2);
    EXPECT_EQ(s.stepTick, 33) << "a one-byte DT loads";
    EXPECT_EQ(s.limits, ScrollLimits{});
}

TEST_F(QSettingsStoreTest, AStringIsTheWrongTypeEvenWhenItLooksLikeBytes)
{
    writeFileText("[General]\nYSc=ab\n");
    RegResult result;
    load(&result);
    EXPECT_EQ(result.message, "'YSc' のデータ型が不正です");
}

// A file of random bytes: ignored on load, with its place told, and
// rewritten whole by the next save, which reports no failure.
TEST_F(QSettingsStoreTest, ADamagedFileIsIgnoredAndRewrittenWholeOnTheNextSave)
{
    QByteArray garbage;
    std::srand(11);
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>(std::rand() & 0xFF));
    garbage.append("\n[General]\nXH=@ByteArray(\\0\\x1)\n[unclosed\n");
    writeFileText(garbage);

    QSettingsStore store(path());
    Settings loaded;
    const RegResult read = NS5R_Reg(kRegLoad, loaded, store);
    EXPECT_TRUE(read.ok) << read.message;
    EXPECT_EQ(loaded, Settings{});
    EXPECT_EQ(store.damagedPlace(), QFile::encodeName(path()).toStdString());

    const Settings saved = frameModeSettings();
    Settings toSave = saved;
    const RegResult written = NS5R_Reg(kRegSave, toSave, store);
    EXPECT_TRUE(written.ok) << written.message;
    EXPECT_TRUE(store.damagedPlace().empty());

    RegResult again;
    EXPECT_EQ(load(&again), saved);
    EXPECT_TRUE(again.ok) << again.message;
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("unclosed")) << "nothing of the damaged file is kept";
    QSettingsStore sound(path());
    ASSERT_TRUE(sound.openKey());
    EXPECT_TRUE(sound.damagedPlace().empty());
}

TEST_F(QSettingsStoreTest, AnUnwritablePlaceFailsAtTheFirstWrite)
{
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QSettingsStore store(dir.filePath("not-a-folder/NS5R.conf"));
    Settings s;
    const RegResult result = NS5R_Reg(kRegSave, s, store);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "'MIDI_OUT' の設定に失敗しました");
}

TEST(QSettingsStoreUserPlace, LivesUnderHarunokiNs5rInTheUsersConfigFolder)
{
    QTemporaryDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    QSettingsStore store;
    Settings s;
    s.midiOutIndex = 1;
    ASSERT_TRUE(NS5R_Reg(kRegSave, s, store).ok);
    EXPECT_TRUE(QFile::exists(config.filePath("HARUNOKI/NS5R.conf")));

    Settings loaded;
    QSettingsStore again;
    EXPECT_TRUE(NS5R_Reg(kRegLoad, loaded, again).ok);
    EXPECT_EQ(loaded.midiOutIndex, 1);
}

} // namespace
} // namespace lumidot
