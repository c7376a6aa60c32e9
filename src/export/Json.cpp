// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace lumidot {

JsonValue JsonValue::boolean(bool value)
{
    JsonValue v;
    v.type_ = Type::Bool;
    v.flag_ = value;
    return v;
}

JsonValue JsonValue::whole(std::int64_t value)
{
    JsonValue v;
    v.type_ = Type::Number;
    v.whole_ = true;
    v.integer_ = value;
    v.number_ = static_cast<double>(value);
    return v;
}

JsonValue JsonValue::fraction(double value)
{
    JsonValue v;
    v.type_ = Type::Number;
    v.number_ = value;
    return v;
}

JsonValue JsonValue::string(std::string value)
{
    JsonValue v;
    v.type_ = Type::String;
    v.text_ = std::move(value);
    return v;
}

JsonValue JsonValue::array(std::vector<JsonValue> items)
{
    JsonValue v;
    v.type_ = Type::Array;
    v.items_ = std::move(items);
    return v;
}

JsonValue JsonValue::object(std::map<std::string, JsonValue, std::less<>> members)
{
    JsonValue v;
    v.type_ = Type::Object;
    v.members_ = std::move(members);
    return v;
}

std::optional<bool> JsonValue::asBool() const
{
    if (type_ != Type::Bool)
        return std::nullopt;
    return flag_;
}

std::optional<std::int64_t> JsonValue::integer() const
{
    if (type_ != Type::Number || !whole_)
        return std::nullopt;
    return integer_;
}

const JsonValue* JsonValue::member(std::string_view name) const
{
    if (type_ != Type::Object)
        return nullptr;
    const auto found = members_.find(name);
    return found == members_.end() ? nullptr : &found->second;
}

namespace {

class Parser {
public:
    Parser(std::string_view text, int maxDepth)
        : text_(text)
        , maxDepth_(maxDepth)
    {
    }

    JsonParse run()
    {
        JsonParse result;
        space();
        std::optional<JsonValue> value = parseValue(0);
        if (value) {
            space();
            if (pos_ != text_.size())
                fail("text after the value");
        }
        if (!error_.empty()) {
            result.offset = errorAt_;
            result.error = error_;
            return result;
        }
        result.value = std::move(value);
        return result;
    }

private:
    std::optional<JsonValue> fail(const std::string& what)
    {
        if (error_.empty()) {
            error_ = what;
            errorAt_ = pos_;
        }
        return std::nullopt;
    }

    void space()
    {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool take(char c)
    {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool word(std::string_view w)
    {
        if (text_.substr(pos_, w.size()) != w)
            return false;
        pos_ += w.size();
        return true;
    }

    std::optional<JsonValue> parseValue(int depth)
    {
        if (depth > maxDepth_)
            return fail("nested too deep");
        if (pos_ >= text_.size())
            return fail("value expected");
        switch (text_[pos_]) {
        case '{': return parseObject(depth);
        case '[': return parseArray(depth);
        case '"': {
            std::optional<std::string> s = parseString();
            if (!s)
                return std::nullopt;
            return JsonValue::string(std::move(*s));
        }
        case 't':
            if (word("true"))
                return JsonValue::boolean(true);
            break;
        case 'f':
            if (word("false"))
                return JsonValue::boolean(false);
            break;
        case 'n':
            if (word("null"))
                return JsonValue();
            break;
        default:
            return parseNumber();
        }
        return fail("unknown word");
    }

    std::optional<JsonValue> parseObject(int depth)
    {
        ++pos_;
        std::map<std::string, JsonValue, std::less<>> members;
        space();
        if (take('}'))
            return JsonValue::object(std::move(members));
        for (;;) {
            space();
            if (pos_ >= text_.size() || text_[pos_] != '"')
                return fail("member name expected");
            const std::size_t nameAt = pos_;
            std::optional<std::string> name = parseString();
            if (!name)
                return std::nullopt;
            space();
            if (!take(':'))
                return fail("':' expected");
            space();
            std::optional<JsonValue> value = parseValue(depth + 1);
            if (!value)
                return std::nullopt;
            if (!members.emplace(std::move(*name), std::move(*value)).second) {
                pos_ = nameAt;
                return fail("member named twice");
            }
            space();
            if (take('}'))
                return JsonValue::object(std::move(members));
            if (!take(','))
                return fail("',' or '}' expected");
        }
    }

    std::optional<JsonValue> parseArray(int depth)
    {
        ++pos_;
        std::vector<JsonValue> items;
        space();
        if (take(']'))
            return JsonValue::array(std::move(items));
        for (;;) {
            space();
            std::optional<JsonValue> value = parseValue(depth + 1);
            if (!value)
                return std::nullopt;
            items.push_back(std::move(*value));
            space();
            if (take(']'))
                return JsonValue::array(std::move(items));
            if (!take(','))
                return fail("',' or ']' expected");
        }
    }

    static void appendUtf8(std::string& out, std::uint32_t cp)
    {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }

    std::optional<std::uint32_t> hex4()
    {
        if (text_.size() - pos_ < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        const auto [end, ec] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, value, 16);
        if (ec != std::errc() || end != text_.data() + pos_ + 4)
            return std::nullopt;
        pos_ += 4;
        return value;
    }

    std::optional<std::string> parseString()
    {
        ++pos_;
        std::string out;
        while (pos_ < text_.size()) {
            const auto c = static_cast<unsigned char>(text_[pos_]);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c < 0x20) {
                fail("control character in a string");
                return std::nullopt;
            }
            ++pos_;
            if (c != '\\') {
                out.push_back(static_cast<char>(c));
                continue;
            }
            if (pos_ >= text_.size())
                break;
            const char e = text_[pos_++];
            switch (e) {
            case '"': out.push_back('"'); break;
            case '\\': out.push_back('\\'); break;
            case '/': out.push_back('/'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                std::optional<std::uint32_t> cp = hex4();
                if (!cp) {
                    fail("bad \\u escape");
                    return std::nullopt;
                }
                if (*cp >= 0xD800 && *cp < 0xDC00 && word("\\u")) {
                    const std::optional<std::uint32_t> low = hex4();
                    if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                        fail("bad surrogate pair");
                        return std::nullopt;
                    }
                    *cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
                }
                appendUtf8(out, *cp);
                break;
            }
            default:
                fail("bad escape");
                return std::nullopt;
            }
        }
        fail("string not closed");
        return std::nullopt;
    }

    std::optional<JsonValue> parseNumber()
    {
        const std::size_t start = pos_;
        take('-');
        const std::size_t digits = pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
            ++pos_;
        if (pos_ == digits || (text_[digits] == '0' && pos_ - digits > 1)) {
            pos_ = start;
            return fail("number expected");
        }
        bool whole = true;
        if (take('.')) {
            whole = false;
            const std::size_t f = pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
                ++pos_;
            if (pos_ == f)
                return fail("digits expected after '.'");
        }
        if (take('e') || take('E')) {
            whole = false;
            if (!take('+'))
                take('-');
            const std::size_t e = pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
                ++pos_;
            if (pos_ == e)
                return fail("digits expected in the exponent");
        }
        const char* first = text_.data() + start;
        const char* last = text_.data() + pos_;
        if (whole) {
            std::int64_t value = 0;
            const auto [end, ec] = std::from_chars(first, last, value);
            if (ec == std::errc() && end == last)
                return JsonValue::whole(value);
        }
        double value = 0;
        const auto [end, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || end != last || !std::isfinite(value)) {
            pos_ = start;
            return fail("number out of range");
        }
        return JsonValue::fraction(value);
    }

    std::string_view text_;
    int maxDepth_;
    std::size_t pos_ = 0;
    std::string error_;
    std::size_t errorAt_ = 0;
};

} // namespace

JsonParse parseJson(std::string_view text, int maxDepth)
{
    return Parser(text, maxDepth).run();
}

std::string jsonQuoted(std::string_view text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out.push_back(ch);
            }
        }
    }
    out.push_back('"');
    return out;
}

} // namespace lumidot
