// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumidot {

// Appends numbers and byte runs to a buffer in the compact forms the
// recovery journal uses: unsigned numbers as LEB128, signed ones zigzagged
// first, strings and runs after their length.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out)
        : out_(out)
    {
    }

    void byte(std::uint8_t value) { out_.push_back(value); }
    void number(std::uint64_t value)
    {
        while (value >= 0x80) {
            out_.push_back(static_cast<std::uint8_t>(value | 0x80));
            value >>= 7;
        }
        out_.push_back(static_cast<std::uint8_t>(value));
    }
    void signedNumber(std::int64_t value)
    {
        number((static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63));
    }
    void raw(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    void run(std::span<const std::uint8_t> bytes)
    {
        number(bytes.size());
        raw(bytes);
    }
    void text(std::string_view value)
    {
        number(value.size());
        out_.insert(out_.end(), value.begin(), value.end());
    }

private:
    std::vector<std::uint8_t>& out_;
};

// Reads what ByteWriter wrote, from bytes that may be damaged or hostile:
// a read past the end, an overlong number or a length beyond what is left
// fails the reader, and every read after a failure gives zero.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }

    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ == bytes_.size(); }
    std::size_t offset() const { return pos_; }
    std::size_t left() const { return bytes_.size() - pos_; }
    void fail() { ok_ = false; }

    std::uint8_t byte()
    {
        if (!ok_ || pos_ >= bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return bytes_[pos_++];
    }
    std::uint64_t number()
    {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const std::uint8_t b = byte();
            value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80))
                return ok_ ? value : 0;
        }
        ok_ = false;
        return 0;
    }
    // A number no larger than limit; larger fails the reader.
    std::uint64_t number(std::uint64_t limit)
    {
        const std::uint64_t value = number();
        if (value > limit)
            ok_ = false;
        return ok_ ? value : 0;
    }
    std::int64_t signedNumber()
    {
        const std::uint64_t value = number();
        return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
    }
    std::span<const std::uint8_t> raw(std::size_t count)
    {
        if (!ok_ || count > left()) {
            ok_ = false;
            return {};
        }
        const auto part = bytes_.subspan(pos_, count);
        pos_ += count;
        return part;
    }
    std::span<const std::uint8_t> run(std::size_t limit) { return raw(number(limit)); }
    std::string text(std::size_t limit)
    {
        const auto part = run(limit);
        return {part.begin(), part.end()};
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

} // namespace lumidot
