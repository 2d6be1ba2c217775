#include "Component.h"

#include <algorithm>
#include <unordered_map>

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent() {
    FComponentState |= csDestroying;
    while (!FComponents.empty())
        delete FComponents.back(); // the destructor removes it from the list
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* component) {
    component->FOwner = this;
    FComponents.push_back(component);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto found = std::find(FComponents.begin(), FComponents.end(), component);
    if (found != FComponents.end())
        FComponents.erase(found);
    component->FOwner = nullptr;
}

void TComponent::SetName(const std::string& name) {
    if (name == FName)
        return;
    if (!name.empty() && !IsValidIdent(name))
        throw EComponentError("\"" + name + "\" is not a valid component name");
    if (!name.empty() && FOwner != nullptr) {
        TComponent* other = FOwner->FindComponent(name);
        if (other != nullptr && other != this)
            throw EComponentError("A component named " + name + " already exists");
    }
    FName = name;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* c : FComponents) {
        // Component names compare without regard to case, as the streaming system does.
        if (c->FName.size() == name.size() &&
            std::equal(name.begin(), name.end(), c->FName.begin(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            return c;
    }
    return nullptr;
}

void TComponent::SetLoading(bool loading) {
    if (loading)
        FComponentState |= csLoading;
    else
        FComponentState &= ~csLoading;
}

void TComponent::SetStoredProperty(const std::string& name, const StoredValue& value, PropertyResolver&) {
    if (name == "Name")
        SetName(value.asIdentifier());
    else if (name == "Tag")
        Tag = value.asInteger();
    else
        throw UnknownPropertyError(std::string(ClassName()) + " has no property '" + name + "'");
}

namespace {
std::unordered_map<std::string, ClassRegistry::Factory>& factories() {
    static std::unordered_map<std::string, ClassRegistry::Factory> registry;
    return registry;
}
} // namespace

void ClassRegistry::Register(const std::string& className, Factory factory) {
    factories()[className] = std::move(factory);
}

bool ClassRegistry::IsRegistered(const std::string& className) {
    return factories().contains(className);
}

TComponent* ClassRegistry::Create(const std::string& className, TComponent* owner) {
    auto found = factories().find(className);
    return found == factories().end() ? nullptr : found->second(owner);
}

bool IsValidIdent(std::string_view text) {
    auto isAsciiLetter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    if (text.empty() || !(isAsciiLetter(text[0]) || text[0] == '_'))
        return false;
    return std::all_of(text.begin() + 1, text.end(),
                       [&](char c) { return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_'; });
}

void TComponent::SetParentComponent(TComponent* parent) {
    if (parent != nullptr && parent != FOwner)
        throw EComponentError(std::string(ClassName()) + " cannot be placed inside " + parent->Name());
}
