#include "StoredValue.h"

#include <limits>

namespace {
const char* kindName(StoredValue::Kind kind) {
    switch (kind) {
    case StoredValue::Kind::Integer:
        return "an integer";
    case StoredValue::Kind::Float:
        return "a number";
    case StoredValue::Kind::String:
        return "a string";
    case StoredValue::Kind::Identifier:
        return "an identifier";
    case StoredValue::Kind::Set:
        return "a set";
    case StoredValue::Kind::StringList:
        return "a list of strings";
    case StoredValue::Kind::Data:
        return "picture data";
    }
    return "a value";
}

void expect(const StoredValue& value, StoredValue::Kind kind) {
    if (value.kind != kind)
        throw StoredValue::PropertyError(std::string("expected ") + kindName(kind) + ", found " +
                                         kindName(value.kind));
}
} // namespace

int StoredValue::asInteger() const {
    expect(*this, Kind::Integer);
    if (integer < std::numeric_limits<int32_t>::min() || integer > std::numeric_limits<int32_t>::max())
        throw PropertyError("integer " + std::to_string(integer) + " is out of range");
    return static_cast<int>(integer);
}

double StoredValue::asFloat() const {
    if (kind == Kind::Integer)
        return static_cast<double>(integer);
    expect(*this, Kind::Float);
    return floating;
}

bool StoredValue::asBoolean() const {
    expect(*this, Kind::Identifier);
    if (text == "True")
        return true;
    if (text == "False")
        return false;
    throw PropertyError("expected True or False, found '" + text + "'");
}

const std::string& StoredValue::asString() const {
    expect(*this, Kind::String);
    return text;
}

const std::string& StoredValue::asIdentifier() const {
    expect(*this, Kind::Identifier);
    return text;
}

const std::vector<std::string>& StoredValue::asStringList() const {
    expect(*this, Kind::StringList);
    return items;
}

const std::vector<std::string>& StoredValue::asSet() const {
    expect(*this, Kind::Set);
    return items;
}
