// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace lumidot::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline Bytes ascii(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

inline Bytes repeat(std::uint8_t value, std::size_t count)
{
    return Bytes(count, value);
}

// A frame whose bytes differ from record to record.
inline PackedFrame patternFrame(int seed)
{
    PackedFrame frame{};
    for (std::size_t k = 0; k < frame.size(); ++k)
        frame[k] = static_cast<std::uint8_t>((seed * 31 + static_cast<int>(k) * 7) & 0x7F);
    return frame;
}

// Every kind of step, with messages of both line shapes.
inline Recording mixedRecording()
{
    Recording r;
    r.appendColour(LcdColour::Green);
    r.appendFrame(patternFrame(1));
    r.appendMessage("ABC", "");
    r.appendEffect({1, 20, 3});
    r.appendColour(LcdColour::Orange);
    r.appendMessage("", "XY");
    r.appendMessage("Line one here!!!", "And line two 16!");
    r.appendFrame(patternFrame(2));
    r.appendEffect({47, 0, 0});
    r.appendColour(LcdColour::Red);
    r.appendColour(LcdColour::Off);
    return r;
}

inline Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A private folder per test, removed afterwards; tests run in parallel.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumidot-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            ADD_FAILURE() << "cannot create a temporary folder";
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

// Two recordings hold the same steps with the same payloads.
inline void expectSameSteps(const Recording& a, const Recording& b)
{
    ASSERT_EQ(a.StepCount(), b.StepCount());
    EXPECT_TRUE(std::ranges::equal(a.eventStream(), b.eventStream()));
    EXPECT_TRUE(std::ranges::equal(a.effectStream(), b.effectStream()));
    ASSERT_EQ(a.FrameCount(), b.FrameCount());
    ASSERT_EQ(a.MessageCount(), b.MessageCount());
    for (int k = 0; k < a.FrameCount(); ++k)
        ASSERT_EQ(a.frameRecord(k), b.frameRecord(k)) << "frame record " << k;
    for (int k = 0; k < a.MessageCount(); ++k)
        ASSERT_TRUE(std::ranges::equal(a.messageText(k), b.messageText(k))) << "message " << k;
}

} // namespace lumidot::testing
