// A property value as the board definition stores it, and the reader's services that a
// property setter may call on to resolve references and event wirings once the whole tree exists.
#pragma once

#include "Object.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class TComponent;

struct StoredValue {
    enum class Kind { Integer, Float, String, Identifier, Set, StringList, Data };
    Kind kind = Kind::Integer;
    int64_t integer = 0;
    double floating = 0;
    std::string text;               // String, Identifier; Data: the graphic kind name
    std::vector<std::string> items; // Set, StringList
    std::vector<uint8_t> bytes;     // Data

    int asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    const std::string& asString() const;
    const std::string& asIdentifier() const;
    const std::vector<std::string>& asStringList() const;
    const std::vector<std::string>& asSet() const;

    // Looks an identifier up in a table of enumeration names.
    template <class E> E asEnum(const std::map<std::string, E>& names) const {
        auto found = names.find(asIdentifier());
        if (found == names.end())
            throw PropertyError("unknown value '" + text + "'");
        return found->second;
    }

    // A value of the wrong kind or out of range; the reader adds the file and line.
    class PropertyError : public Exception {
    public:
        using Exception::Exception;
    };
};

// Thrown by SetStoredProperty for a name the class does not publish.
class UnknownPropertyError : public Exception {
public:
    using Exception::Exception;
};

// Resolves names stored in the board definition after all components have been created.
class PropertyResolver {
public:
    virtual ~PropertyResolver() = default;
    // Calls assign with the component of that name, checked to derive from className.
    virtual void resolveReference(const std::string& name, std::string_view className,
                                  std::function<void(TComponent*)> assign) = 0;
    // Calls assign with the root's published method of that name.
    virtual void resolveEvent(const std::string& methodName, std::function<void(TNotifyEvent)> assign) = 0;
};
