// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files made to cost a reader as much as their headers can claim: many empty
// tracks, a frame that decompresses to billions of pixels, icon directories
// that repeat or overstate their images. Tests check that each is refused or
// read within its bound; benchmarks time them.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace lumidot::testing {

using HostileBytes = std::vector<std::uint8_t>;

inline void put16be(HostileBytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

inline void put32be(HostileBytes& out, std::uint32_t value)
{
    put16be(out, value >> 16);
    put16be(out, value & 0xFFFF);
}

inline void put16le(HostileBytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put32le(HostileBytes& out, std::uint32_t value)
{
    put16le(out, value & 0xFFFF);
    put16le(out, value >> 16);
}

// A Standard MIDI File: the header, then each track as a chunk.
inline HostileBytes midiFile(unsigned format, unsigned division, const std::vector<HostileBytes>& tracks,
                             unsigned claimedTracks)
{
    HostileBytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    put16be(out, format);
    put16be(out, claimedTracks);
    put16be(out, division);
    for (const HostileBytes& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        put32be(out, static_cast<std::uint32_t>(track.size()));
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}

// One Frame Draw step 8 ticks in, then the end of the track.
inline HostileBytes frameTrack()
{
    HostileBytes track{0x08, 0xF0, 88, 0x42, 0x30, 0x42, 0x12, 0x08, 0x00, 0x20};
    for (int k = 0; k < 80; ++k)
        track.push_back(static_cast<std::uint8_t>(k & 0x7F));
    track.push_back(0xF7);
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    return track;
}

// A format 1 file of one frame track and `empty` tracks without a single event.
inline HostileBytes midiWithEmptyTracks(unsigned empty)
{
    std::vector<HostileBytes> tracks{frameTrack()};
    tracks.resize(empty + 1);
    return midiFile(1, 480, tracks, empty + 1);
}

// Bits packed from the least significant end, as GIF's LZW codes are.
class CodeWriter {
public:
    void put(unsigned code, int bits)
    {
        buffer_ |= static_cast<std::uint64_t>(code) << filled_;
        filled_ += bits;
        while (filled_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(buffer_));
            buffer_ >>= 8;
            filled_ -= 8;
        }
    }
    HostileBytes finish()
    {
        if (filled_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(buffer_));
        return std::move(bytes_);
    }

private:
    HostileBytes bytes_;
    std::uint64_t buffer_ = 0;
    int filled_ = 0;
};

// The LZW codes of `pixels` pixels of colour 0 with a minimum code size of 2,
// the table never cleared once full (the "deferred clear" decoders accept):
// each code then stands for 4,091 pixels, so the data is about 1/2700 of the
// picture's size.
inline HostileBytes uniformLzw(std::uint64_t pixels)
{
    constexpr unsigned kClear = 4, kEnd = 5, kFirstFree = 6, kLargest = 4095;
    CodeWriter codes;
    int bits = 3;
    unsigned next = kFirstFree;     // the code the decoder counts to next
    unsigned maxCode = 8;
    const auto putCode = [&](unsigned code) {
        codes.put(code, bits);
        if (next < kLargest + 2 && ++next > maxCode && bits < 12) {
            maxCode <<= 1;
            ++bits;
        }
    };
    codes.put(kClear, bits);
    unsigned code = 0;   // 0 first (one pixel), then each new entry, one pixel longer
    while (pixels > 0) {
        const std::uint64_t covers = code == 0 ? 1 : code - 4;
        if (covers <= pixels) {
            putCode(code);
            pixels -= covers;
            code = code == 0 ? kFirstFree : std::min(code + 1, kLargest);
        } else {
            putCode(pixels == 1 ? 0 : static_cast<unsigned>(pixels) + 4);
            pixels = 0;
        }
    }
    putCode(kEnd);
    return codes.finish();
}

// A GIF of one screen and frames of colour 0 whose compressed data is given.
struct GifFrameData {
    int left = 0, top = 0, width = 0, height = 0;
    HostileBytes lzw;   // the codes, without the minimum code size or sub-blocks
};

inline HostileBytes gifFile(int screenWidth, int screenHeight, const std::vector<GifFrameData>& frames)
{
    HostileBytes out{'G', 'I', 'F', '8', '9', 'a'};
    put16le(out, static_cast<unsigned>(screenWidth));
    put16le(out, static_cast<unsigned>(screenHeight));
    out.insert(out.end(), {0x81, 0x00, 0x00});                 // global table of 4 colours
    out.insert(out.end(), {0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255});
    for (const GifFrameData& frame : frames) {
        out.push_back(0x2C);
        put16le(out, static_cast<unsigned>(frame.left));
        put16le(out, static_cast<unsigned>(frame.top));
        put16le(out, static_cast<unsigned>(frame.width));
        put16le(out, static_cast<unsigned>(frame.height));
        out.push_back(0x00);
        out.push_back(0x02);                                     // minimum code size
        for (std::size_t at = 0; at < frame.lzw.size(); at += 255) {
            const std::size_t length = std::min<std::size_t>(255, frame.lzw.size() - at);
            out.push_back(static_cast<std::uint8_t>(length));
            out.insert(out.end(), frame.lzw.begin() + static_cast<std::ptrdiff_t>(at),
                       frame.lzw.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        out.push_back(0x00);
    }
    out.push_back(0x3B);
    return out;
}

// One frame of width x height from a small file: the LZW bomb.
inline HostileBytes gifLzwBomb(int width, int height)
{
    return gifFile(64, 64, {{0, 0, width, height,
                             uniformLzw(static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height))}});
}

// A large screen and `frames` frames of one pixel each, walking along its top row.
inline HostileBytes gifLargeScreenTinyFrames(int side, int frames)
{
    std::vector<GifFrameData> all;
    for (int k = 0; k < frames; ++k)
        all.push_back({k % side, 0, 1, 1, uniformLzw(1)});
    return gifFile(side, side, all);
}

// An icon file whose directory lists `entries` images that all point at the
// one image given (a PNG, as icons may hold), and whose header claims
// `claimed` entries (normally the same number).
inline HostileBytes icoSharingOneImage(const HostileBytes& png, unsigned entries, unsigned claimed)
{
    HostileBytes out;
    put16le(out, 0);
    put16le(out, 1);
    put16le(out, claimed);
    const auto offset = static_cast<std::uint32_t>(6 + 16 * entries);
    for (unsigned k = 0; k < entries; ++k) {
        out.insert(out.end(), {0, 0, 0, 0});                     // 256 x 256 or larger, true colour
        put16le(out, 1);
        put16le(out, 32);
        put32le(out, static_cast<std::uint32_t>(png.size()));
        put32le(out, offset);
    }
    out.insert(out.end(), png.begin(), png.end());
    return out;
}

// An icon file of `copies` entries, each with its own copy of the image:
// nothing shared, every entry as costly to decode as the image.
inline HostileBytes icoOfCopies(const HostileBytes& png, unsigned copies)
{
    HostileBytes out;
    put16le(out, 0);
    put16le(out, 1);
    put16le(out, copies);
    for (unsigned k = 0; k < copies; ++k) {
        out.insert(out.end(), {0, 0, 0, 0});
        put16le(out, 1);
        put16le(out, 32);
        put32le(out, static_cast<std::uint32_t>(png.size()));
        put32le(out, static_cast<std::uint32_t>(6 + 16 * copies + k * png.size()));
    }
    for (unsigned k = 0; k < copies; ++k)
        out.insert(out.end(), png.begin(), png.end());
    return out;
}

} // namespace lumidot::testing
