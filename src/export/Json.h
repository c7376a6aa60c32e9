// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumidot {

// A JSON value as a document file's document.json holds it. Numbers are
// kept as whole numbers when they are written as such; a fraction or an
// exponent makes a number that integer() does not give.
class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    static JsonValue boolean(bool value);
    static JsonValue whole(std::int64_t value);
    static JsonValue fraction(double value);
    static JsonValue string(std::string value);
    static JsonValue array(std::vector<JsonValue> items);
    static JsonValue object(std::map<std::string, JsonValue, std::less<>> members);

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    std::optional<bool> asBool() const;
    // A whole number; none for a fraction or any other type.
    std::optional<std::int64_t> integer() const;
    const std::string* asString() const { return type_ == Type::String ? &text_ : nullptr; }
    const std::vector<JsonValue>* asArray() const { return type_ == Type::Array ? &items_ : nullptr; }
    // A member of an object; nullptr when absent or when this is no object.
    const JsonValue* member(std::string_view name) const;

private:
    Type type_ = Type::Null;
    bool flag_ = false;
    bool whole_ = false;
    std::int64_t integer_ = 0;
    double number_ = 0;
    std::string text_;
    std::vector<JsonValue> items_;
    std::map<std::string, JsonValue, std::less<>> members_;
};

struct JsonParse {
    std::optional<JsonValue> value;
    std::size_t offset = 0;   // where the text went wrong
    std::string error;        // English
};

// Parses a whole text (RFC 8259), nesting at most maxDepth deep; anything
// after the value but white space is refused.
JsonParse parseJson(std::string_view text, int maxDepth = 16);

// A string as a JSON string literal, quotes included.
std::string jsonQuoted(std::string_view text);

} // namespace lumidot
