#include "config/json_access.h"

#include <cmath>

namespace norvane::config::json {

const Json::Value* Member(const Json::Value& value, std::string_view key) {
    if (!value.isObject()) {
        return nullptr;
    }
    return value.find(key.data(), key.data() + key.size());
}

const Json::Value* Present(const Json::Value& value, std::string_view key) {
    const Json::Value* member = Member(value, key);
    return member != nullptr && !member->isNull() ? member : nullptr;
}

const Json::Value* Element(const Json::Value& value, std::size_t index) {
    if (!value.isArray() || index >= value.size()) {
        return nullptr;
    }
    return &value[static_cast<Json::ArrayIndex>(index)];
}

std::optional<std::int64_t> AsInteger(const Json::Value& value) {
    switch (value.type()) {
        case Json::intValue:
            return value.asInt64();
        case Json::uintValue:
            return value.isInt64() ? value.asInt64() : INT64_MAX;
        case Json::booleanValue:
            return value.asBool() ? 1 : 0;
        case Json::realValue: {
            const double d = value.asDouble();
            if (!std::isfinite(d) || d >= 9.2e18 || d <= -9.2e18) {
                return std::nullopt;
            }
            return static_cast<std::int64_t>(d);
        }
        default:
            return std::nullopt;
    }
}

bool AsBool(const Json::Value& value) {
    if (value.isBool()) {
        return value.asBool();
    }
    const std::optional<std::int64_t> number = AsInteger(value);
    return number && *number != 0;
}

std::string AsString(const Json::Value& value) {
    return value.isString() ? value.asString() : std::string();
}

std::int64_t IntegerOf(const Json::Value& object, std::string_view key, std::int64_t fallback) {
    const Json::Value* member = Member(object, key);
    if (member == nullptr) {
        return fallback;
    }
    return AsInteger(*member).value_or(fallback);
}

bool BoolOf(const Json::Value& object, std::string_view key) {
    const Json::Value* member = Member(object, key);
    return member != nullptr && AsBool(*member);
}

std::string StringOf(const Json::Value& object, std::string_view key) {
    const Json::Value* member = Member(object, key);
    return member != nullptr ? AsString(*member) : std::string();
}

std::uint8_t ByteOf(const Json::Value& object, std::string_view key) {
    return static_cast<std::uint8_t>(IntegerOf(object, key) & 0xFF);
}

Json::Value& EnsureMember(Json::Value& value, std::string_view key) {
    if (!value.isObject()) {
        value = Json::Value(Json::objectValue);
    }
    return value[std::string(key)];
}

Json::Value& EnsureElement(Json::Value& value, std::size_t index) {
    if (!value.isArray()) {
        value = Json::Value(Json::arrayValue);
    }
    return value[static_cast<Json::ArrayIndex>(index)];
}

}  // namespace norvane::config::json
