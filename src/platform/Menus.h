// Main menus and menu items. Captions are kept exactly as given ("&" marks the hot key) and every
// lookup uses these stored captions, never what Qt shows.
#pragma once

#include "Component.h"

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class TMainMenu;

class TMenuItem : public TComponent {
    PLATFORM_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems.at(index); }
    TMenuItem* Parent() const { return FParent; } // not owned
    int MenuIndex() const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);

    TNotifyEvent OnClick;
    // Runs the item's command, as choosing it in the menu does.
    virtual void Click();

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

    // Platform use: the Qt objects showing this item.
    QAction* Action() const { return FAction; }
    QMenu* SubMenu();
    void SetParentComponent(TComponent* parent) override;

private:
    friend class TMainMenu;
    void Rebuild();
    void SyncAction();

    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    TMenuItem* FParent = nullptr;   // not owned
    std::vector<TMenuItem*> FItems; // children; owned as components by whoever created them
    QAction* FAction = nullptr;     // owned
    QMenu* FSubMenu = nullptr;      // owned
    QMenuBar* FMenuBar = nullptr;   // not owned; set for a top-level item shown in a menu bar
};

class TMainMenu : public TComponent {
    PLATFORM_CLASS(TMainMenu, TComponent)
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;
    // The invisible root whose children are the top-level items.
    TMenuItem* Items() const { return FItems; }
    // Platform use: shows the menu in a window's menu bar (nullptr to detach).
    void AttachTo(QMenuBar* bar);
    QMenuBar* MenuBar() const { return FMenuBar; }

private:
    TMenuItem* FItems;            // owned
    QMenuBar* FMenuBar = nullptr; // not owned
};
