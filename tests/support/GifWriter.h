// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace lumidot::testing {

// Writes GIF files for tests, frame by frame, with the disposal modes and
// transparent colours a file from any tool may carry. The pixel codes are
// written uncompressed (a clear code before the table would grow), which
// every decoder reads.
class GifWriter {
public:
    struct Frame {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        int disposal = 0;           // 0 none, 1 keep, 2 background, 3 previous
        int transparent = -1;       // a palette index, or -1
        int delay = 10;             // hundredths of a second
        std::vector<std::uint8_t> pixels;   // palette indices, row by row
    };

    GifWriter(int width, int height, std::vector<std::uint32_t> paletteRgb, int background = 0)
        : width_(width), height_(height), palette_(std::move(paletteRgb)), background_(background)
    {
        palette_.resize(256, 0);
    }

    void add(Frame frame) { frames_.push_back(std::move(frame)); }

    // Writes the file; false when it cannot be written.
    bool save(const std::string& path) const
    {
        const std::vector<std::uint8_t> data = bytes();
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        return static_cast<bool>(file);
    }

    std::vector<std::uint8_t> bytes() const
    {
        std::vector<std::uint8_t> out;
        const std::string signature = "GIF89a";
        out.insert(out.end(), signature.begin(), signature.end());
        word(out, width_);
        word(out, height_);
        out.push_back(0xF7);   // global table of 256 colours, 8 bits
        out.push_back(static_cast<std::uint8_t>(background_));
        out.push_back(0);
        for (const std::uint32_t rgb : palette_) {
            out.push_back(static_cast<std::uint8_t>(rgb >> 16));
            out.push_back(static_cast<std::uint8_t>(rgb >> 8));
            out.push_back(static_cast<std::uint8_t>(rgb));
        }
        if (frames_.size() > 1) {
            // Loop forever (NETSCAPE2.0), as animation tools write it.
            const std::string app = "NETSCAPE2.0";
            out.insert(out.end(), {0x21, 0xFF, 0x0B});
            out.insert(out.end(), app.begin(), app.end());
            out.insert(out.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
        }
        for (const Frame& frame : frames_)
            writeFrame(out, frame);
        out.push_back(0x3B);
        return out;
    }

private:
    static void word(std::vector<std::uint8_t>& out, int value)
    {
        out.push_back(static_cast<std::uint8_t>(value & 0xFF));
        out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }

    static void writeFrame(std::vector<std::uint8_t>& out, const Frame& frame)
    {
        out.insert(out.end(), {0x21, 0xF9, 0x04});
        out.push_back(static_cast<std::uint8_t>((frame.disposal << 2) | (frame.transparent >= 0 ? 1 : 0)));
        word(out, frame.delay);
        out.push_back(static_cast<std::uint8_t>(frame.transparent >= 0 ? frame.transparent : 0));
        out.push_back(0);

        out.push_back(0x2C);
        word(out, frame.left);
        word(out, frame.top);
        word(out, frame.width);
        word(out, frame.height);
        out.push_back(0);
        out.push_back(8);   // minimum code size
        writeCodes(out, frame.pixels);
    }

    // Nine-bit codes: a clear code, then literals, with a fresh clear code
    // before the decoder's table would need a tenth bit.
    static void writeCodes(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& pixels)
    {
        constexpr int kClear = 256;
        constexpr int kEnd = 257;
        std::vector<std::uint8_t> data;
        std::uint32_t buffer = 0;
        int bits = 0;
        auto put = [&](int code) {
            buffer |= static_cast<std::uint32_t>(code) << bits;
            bits += 9;
            while (bits >= 8) {
                data.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
                buffer >>= 8;
                bits -= 8;
            }
        };
        int sinceClear = 0;
        put(kClear);
        for (const std::uint8_t p : pixels) {
            if (sinceClear == 250) {
                put(kClear);
                sinceClear = 0;
            }
            put(p);
            ++sinceClear;
        }
        put(kEnd);
        if (bits > 0)
            data.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - at);
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), data.begin() + static_cast<long>(at),
                       data.begin() + static_cast<long>(at + n));
        }
        out.push_back(0);
    }

    int width_;
    int height_;
    std::vector<std::uint32_t> palette_;
    int background_;
    std::vector<Frame> frames_;
};

} // namespace lumidot::testing
