// TComponent: owned, named, streamable objects. An owner frees what it owns, last first; a
// component freed by someone else leaves its owner's list. The class registry creates
// components by class name for the definition reader.
#pragma once

#include "StoredValue.h"

#include <memory>
#include <string>
#include <vector>

enum TComponentStateFlag : uint8_t { csLoading = 1, csDesigning = 2, csDestroying = 4 };

class TComponent : public TObject {
    PLATFORM_CLASS(TComponent, TObject)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; } // not owned
    const std::string& Name() const { return FName; }
    // Raises an error when the owner already has another component of that name.
    virtual void SetName(const std::string& name);
    intptr_t Tag = 0;

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(index); }
    TComponent* FindComponent(std::string_view name) const;

    uint8_t ComponentState() const { return FComponentState; }
    bool IsLoading() const { return FComponentState & csLoading; }
    bool IsDesigning() const { return FComponentState & csDesigning; }
    bool IsDestroying() const { return FComponentState & csDestroying; }
    void SetLoading(bool loading);

    // Stores one property value read from the board definition. Classes handle the names they
    // publish and pass the rest to their base; an unknown name raises UnknownPropertyError.
    virtual void SetStoredProperty(const std::string& name, const StoredValue& value,
                                   PropertyResolver& resolver);
    // Places the component under its parent in the board definition's tree. Components that are
    // not controls accept only their owner as parent, which places them nowhere.
    virtual void SetParentComponent(TComponent* parent);
    // Called on every component once the whole definition has been read and resolved.
    virtual void Loaded() {}
    // The root of a definition publishes its event handlers by name.
    virtual TNotifyEvent MethodAddress(const std::string& name) { return {}; }

    // Typed form of PropertyResolver::resolveReference.
    template <class T>
    static void ResolveReference(PropertyResolver& resolver, const StoredValue& value,
                                 std::function<void(T*)> assign) {
        resolver.resolveReference(value.asIdentifier(), T::StaticClassName,
                                  [assign](TComponent* c) { assign(dynamic_cast<T*>(c)); });
    }

protected:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Marks the object as being torn down so that no notification reaches half-destroyed parts.
    void BeginDestruction() { FComponentState |= csDestroying; }

private:
    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents; // owned
    uint8_t FComponentState = 0;
};

// Creates components by class name, as the definition reader needs.
class ClassRegistry {
public:
    using Factory = std::function<TComponent*(TComponent* owner)>;
    static void Register(const std::string& className, Factory factory);
    template <class T> static void Register() {
        Register(T::StaticClassName, [](TComponent* owner) -> TComponent* { return new T(owner); });
    }
    static bool IsRegistered(const std::string& className);
    // Returns nullptr for a class that is not registered.
    static TComponent* Create(const std::string& className, TComponent* owner);
};

bool IsValidIdent(std::string_view text);
