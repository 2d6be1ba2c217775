#include "Menus.h"

#include "Forms.h"
#include "WidgetBridge.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FAction(new QAction()) {
    QObject::connect(FAction, &QAction::triggered, [this] {
        // Qt flips a checkable action by itself; the item's own state is what counts.
        SyncAction();
        platform::guarded([this] { Click(); });
    });
}

TMenuItem::~TMenuItem() {
    BeginDestruction();
    for (TMenuItem* child : FItems)
        child->FParent = nullptr;
    if (FParent != nullptr)
        FParent->Remove(this);
    delete FSubMenu;
    delete FAction;
}

void TMenuItem::SetCaption(const std::string& value) {
    if (value == FCaption)
        return;
    FCaption = value;
    SyncAction();
}

void TMenuItem::SetChecked(bool value) {
    if (value == FChecked)
        return;
    FChecked = value;
    SyncAction();
}

void TMenuItem::SetEnabled(bool value) {
    FEnabled = value;
    SyncAction();
}

void TMenuItem::SetVisible(bool value) {
    FVisible = value;
    SyncAction();
}

void TMenuItem::SyncAction() {
    FAction->setText(QString::fromStdString(FCaption));
    FAction->setCheckable(FChecked);
    FAction->setChecked(FChecked);
    FAction->setEnabled(FEnabled);
    FAction->setVisible(FVisible);
    FAction->setSeparator(FCaption == "-");
}

int TMenuItem::MenuIndex() const {
    if (FParent == nullptr)
        return -1;
    auto& siblings = FParent->FItems;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (index < 0 || index > Count())
        throw EComponentError("Menu index out of range");
    if (item->FParent != nullptr)
        throw EComponentError("Menu inserted twice");
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    Rebuild();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto found = std::find(FItems.begin(), FItems.end(), item);
    if (found == FItems.end())
        return;
    FItems.erase(found);
    item->FParent = nullptr;
    if (!IsDestroying())
        Rebuild();
}

QMenu* TMenuItem::SubMenu() {
    if (FSubMenu == nullptr) {
        FSubMenu = new QMenu();
        FAction->setMenu(FSubMenu);
    }
    return FSubMenu;
}

void TMenuItem::Rebuild() {
    // Qt's lists are laid out again from the items so they always mirror the stored order.
    if (FMenuBar != nullptr) {
        for (QAction* action : FMenuBar->actions())
            FMenuBar->removeAction(action);
        for (TMenuItem* item : FItems) {
            if (item->Count() > 0)
                item->SubMenu();
            FMenuBar->addAction(item->FAction);
        }
        return;
    }
    if (FItems.empty() && FSubMenu == nullptr)
        return;
    QMenu* menu = SubMenu();
    for (QAction* action : menu->actions())
        menu->removeAction(action);
    for (TMenuItem* item : FItems)
        menu->addAction(item->FAction);
}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

void TMenuItem::SetStoredProperty(const std::string& name, const StoredValue& value,
                                  PropertyResolver& resolver) {
    if (name == "Caption")
        SetCaption(value.asString());
    else if (name == "Checked")
        SetChecked(value.asBoolean());
    else if (name == "Enabled")
        SetEnabled(value.asBoolean());
    else if (name == "Visible")
        SetVisible(value.asBoolean());
    else if (name == "OnClick")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnClick = std::move(e); });
    else
        TComponent::SetStoredProperty(name, value, resolver);
}

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) {}

TMainMenu::~TMainMenu() {
    BeginDestruction();
    // A form that shows this menu would otherwise keep a dangling pointer to it.
    if (Application != nullptr) {
        for (int i = 0; i < Application->FormCount(); ++i) {
            if (Application->Forms(i)->Menu() == this)
                Application->Forms(i)->SetMenu(nullptr);
        }
    }
    delete FItems;
}

void TMainMenu::AttachTo(QMenuBar* bar) {
    FMenuBar = bar;
    FItems->FMenuBar = bar;
    if (bar != nullptr)
        FItems->Rebuild();
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* item = dynamic_cast<TMenuItem*>(parent))
        item->Add(this);
    else if (auto* menu = dynamic_cast<TMainMenu*>(parent))
        menu->Items()->Add(this);
    else
        TComponent::SetParentComponent(parent);
}
