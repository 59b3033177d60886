#pragma once

#include <json/value.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Type-checked access to JSON values. A member of the wrong type reads as missing; the
// writers replace a value of the wrong type instead of throwing.
namespace norvane::config::json {

// The member when the value is an object holding the key, else nullptr.
const Json::Value* Member(const Json::Value& value, std::string_view key);
// The element when the value is an array long enough, else nullptr.
const Json::Value* Element(const Json::Value& value, std::size_t index);
// A non-null member (same as Member, but a null member counts as missing).
const Json::Value* Present(const Json::Value& value, std::string_view key);

// Integers, finite reals (truncated) and booleans as a number; anything else nullopt.
std::optional<std::int64_t> AsInteger(const Json::Value& value);
// Booleans, and numbers as "not zero"; anything else false.
bool AsBool(const Json::Value& value);
// Strings only; anything else empty.
std::string AsString(const Json::Value& value);

std::int64_t IntegerOf(const Json::Value& object, std::string_view key, std::int64_t fallback = 0);
bool BoolOf(const Json::Value& object, std::string_view key);
std::string StringOf(const Json::Value& object, std::string_view key);
// The low 8 bits of an integer member (0 when missing).
std::uint8_t ByteOf(const Json::Value& object, std::string_view key);

// Makes the value an object (replacing any other type) and returns the member.
Json::Value& EnsureMember(Json::Value& value, std::string_view key);
// Makes the value an array (replacing any other type), grows it to hold the index and
// returns the element.
Json::Value& EnsureElement(Json::Value& value, std::size_t index);

}  // namespace norvane::config::json
