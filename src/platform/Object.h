// The root of every platform class: run-time class names and the checked conversion.
#pragma once

#include "Types.h"

#include <functional>
#include <string_view>

class TObject {
public:
    virtual ~TObject() = default;
    // Neighbouring controls recognise each other by exact class name, so every class reports its own.
    virtual const char* ClassName() const { return "TObject"; }
    virtual bool InheritsFrom(std::string_view className) const { return className == "TObject"; }
};

// Declares a class's run-time name and its place in the inheritance chain.
#define PLATFORM_CLASS(Name, Base)                                                                           \
public:                                                                                                      \
    static constexpr const char* StaticClassName = #Name;                                                    \
    const char* ClassName() const override {                                                                 \
        return #Name;                                                                                        \
    }                                                                                                        \
    bool InheritsFrom(std::string_view className) const override {                                           \
        return className == #Name || Base::InheritsFrom(className);                                          \
    }                                                                                                        \
                                                                                                             \
private:

// The checked conversion: a sender of the wrong class is refused with "Invalid class typecast".
template <class T> T* CheckedCast(TObject* object) {
    if (object == nullptr)
        return nullptr;
    if (auto* result = dynamic_cast<T*>(object))
        return result;
    throw EInvalidCast();
}

// Events are callables; "assigned" means the callable is set.
using TNotifyEvent = std::function<void(TObject* Sender)>;
