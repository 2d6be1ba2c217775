#include "template.h"

#include "SetupCtrls/BoardHighlight.h"
#include "SetupCtrls/BoardImage.h"
#include "SetupCtrls/RadioPanel.h"
#include "SetupCtrls/SetupSupporter.h"
#include "SetupCtrls/TwoJumper.h"

#include "platform/Reader.h"

#include <optional>

std::array<TTwoJumper*, 8> FilterJumpers{};
std::array<TCheckBox*, 8> FilterChecks{};

TMainForm::TMainForm(TComponent* owner)
    : TMainForm(owner, DefinitionReader::ReadTextFile(DefinitionPath), DefinitionPath) {}

TMainForm::TMainForm(TComponent* owner, const std::string& definition, const std::string& fileName)
    : TForm(owner) {
    LoadDefinition(definition, fileName);
}

TMainForm::~TMainForm() {
    // The filter tables refer to this window's controls, which go with it.
    FilterJumpers.fill(nullptr);
    FilterChecks.fill(nullptr);
}

namespace {
// Looks a field's component up by name; a missing or mistyped one leaves the field empty.
template <class T> void bindField(TComponent* form, T*& field, const char* name) {
    field = dynamic_cast<T*>(form->FindComponent(name));
}
} // namespace

void TMainForm::Loaded() {
    TForm::Loaded();
    bindField(this, MainMenu1, "MainMenu1");
    bindField(this, File1, "File1");
    bindField(this, Help1, "Help1");
    bindField(this, Howtousethisprogram1, "Howtousethisprogram1");
    bindField(this, Exit2, "Exit2");
    bindField(this, TechnicalSupport1, "TechnicalSupport1");
    bindField(this, BoardImage1, "BoardImage1");
    bindField(this, FilterPanel, "FilterPanel");
    bindField(this, SetSup, "SetSup");
    bindField(this, BaseHighlight, "BaseHighlight");
    bindField(this, FilterCheck0, "FilterCheck0");
    bindField(this, FilterCheck1, "FilterCheck1");
    bindField(this, FilterCheck3, "FilterCheck3");
    bindField(this, FilterCheck2, "FilterCheck2");
    bindField(this, FilterCheck4, "FilterCheck4");
    bindField(this, FilterCheck5, "FilterCheck5");
    bindField(this, FilterCheck7, "FilterCheck7");
    bindField(this, FilterCheck6, "FilterCheck6");
    bindField(this, FJ7, "FJ7");
    bindField(this, FJ6, "FJ6");
    bindField(this, FJ4, "FJ4");
    bindField(this, FJ5, "FJ5");
    bindField(this, FJ0, "FJ0");
    bindField(this, FJ1, "FJ1");
    bindField(this, FJ2, "FJ2");
    bindField(this, FJ3, "FJ3");
}

TNotifyEvent TMainForm::MethodAddress(const std::string& name) {
    using Handler = void (TMainForm::*)(TObject*);
    static const std::pair<const char*, Handler> handlers[] = {
        {"Howtousethisprogram1Click", &TMainForm::Howtousethisprogram1Click},
        {"DisplayClick", &TMainForm::DisplayClick},
        {"Exit2Click", &TMainForm::Exit2Click},
        {"TechnicalSupport1Click", &TMainForm::TechnicalSupport1Click},
        {"FilterPanelEnter", &TMainForm::FilterPanelEnter},
        {"FilterCheckClick", &TMainForm::FilterCheckClick},
        {"TwoJumperClick", &TMainForm::TwoJumperClick},
        {"FormCreate", &TMainForm::FormCreate},
    };
    for (const auto& [handlerName, handler] : handlers) {
        if (name == handlerName)
            return [this, method = handler](TObject* sender) {
                (this->*method)(sender);
            };
    }
    return {};
}

void TMainForm::FormCreate(TObject*) {
    if (SetSup == nullptr)
        return;
    Application->OnIdle = [supporter = SetSup](TObject* sender, bool& done) {
        supporter->ApplicationIdle(sender, done);
    };
}

void TMainForm::Exit2Click(TObject*) {
    Close();
}

void TMainForm::Howtousethisprogram1Click(TObject*) {}

void TMainForm::TechnicalSupport1Click(TObject*) {}

void TMainForm::DisplayClick(TObject*) {}

void TMainForm::FilterPanelEnter(TObject*) {
    FilterJumpers = {FJ0, FJ1, FJ2, FJ3, FJ4, FJ5, FJ6, FJ7};
    FilterChecks = {FilterCheck0, FilterCheck1, FilterCheck2, FilterCheck3,
                    FilterCheck4, FilterCheck5, FilterCheck6, FilterCheck7};
    for (size_t i = 0; i < FilterJumpers.size(); ++i) {
        if (FilterJumpers[i] != nullptr)
            FilterJumpers[i]->Tag = static_cast<intptr_t>(i);
        if (FilterChecks[i] != nullptr)
            FilterChecks[i]->Tag = static_cast<intptr_t>(i);
    }
}

namespace {
// The filter a control stands for, by its Tag; empty when the tables do not hold it yet.
std::optional<size_t> filterIndex(const TComponent* control) {
    if (control->Tag < 0 || static_cast<size_t>(control->Tag) >= FilterJumpers.size())
        return std::nullopt;
    auto index = static_cast<size_t>(control->Tag);
    if (FilterJumpers[index] == nullptr || FilterChecks[index] == nullptr)
        return std::nullopt;
    return index;
}
} // namespace

void TMainForm::FilterCheckClick(TObject* Sender) {
    auto* check = CheckedCast<TCheckBox>(Sender);
    if (auto index = filterIndex(check))
        FilterJumpers[*index]->SetClosed(FilterChecks[*index]->Checked());
}

void TMainForm::TwoJumperClick(TObject* Sender) {
    auto* jumper = CheckedCast<TTwoJumper>(Sender);
    if (auto index = filterIndex(jumper))
        FilterChecks[*index]->SetChecked(FilterJumpers[*index]->Closed());
}
