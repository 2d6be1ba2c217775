// TMainForm: the program's one main window. Everything in it comes from the board definition;
// this class holds references to those components and the handlers the definition wires up.
#pragma once

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <array>

class TBoardImage;
class TBoardHighlight;
class TRadioPanel;
class TSetupSupporter;
class TTwoJumper;

class TMainForm : public TForm {
    PLATFORM_CLASS(TMainForm, TForm)
public:
    // Creates the window and reads its content from the board definition.
    explicit TMainForm(TComponent* owner);
    // Creates the window from the given definition text (tests use their own definitions).
    TMainForm(TComponent* owner, const std::string& definition, const std::string& fileName);
    ~TMainForm() override;

    // Filled by component name when the board definition has been read; not owned.
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* Help1 = nullptr;
    TMenuItem* Howtousethisprogram1 = nullptr;
    TMenuItem* Exit2 = nullptr;
    TMenuItem* TechnicalSupport1 = nullptr;
    TBoardImage* BoardImage1 = nullptr;
    TRadioPanel* FilterPanel = nullptr;
    TSetupSupporter* SetSup = nullptr;
    TBoardHighlight* BaseHighlight = nullptr;
    TCheckBox* FilterCheck0 = nullptr;
    TCheckBox* FilterCheck1 = nullptr;
    TCheckBox* FilterCheck3 = nullptr;
    TCheckBox* FilterCheck2 = nullptr;
    TCheckBox* FilterCheck4 = nullptr;
    TCheckBox* FilterCheck5 = nullptr;
    TCheckBox* FilterCheck7 = nullptr;
    TCheckBox* FilterCheck6 = nullptr;
    TTwoJumper* FJ7 = nullptr;
    TTwoJumper* FJ6 = nullptr;
    TTwoJumper* FJ4 = nullptr;
    TTwoJumper* FJ5 = nullptr;
    TTwoJumper* FJ0 = nullptr;
    TTwoJumper* FJ1 = nullptr;
    TTwoJumper* FJ2 = nullptr;
    TTwoJumper* FJ3 = nullptr;

    void Howtousethisprogram1Click(TObject* Sender);
    void DisplayClick(TObject* Sender);
    void Exit2Click(TObject* Sender);
    void TechnicalSupport1Click(TObject* Sender);
    void FilterPanelEnter(TObject* Sender);
    void FilterCheckClick(TObject* Sender);
    void TwoJumperClick(TObject* Sender);
    void FormCreate(TObject* Sender);

    TNotifyEvent MethodAddress(const std::string& name) override;
    void Loaded() override;

    // Where the program's own board definition is kept.
    static constexpr const char* DefinitionPath = ":/TMainForm.board";
};

// The filter tables: the jumper drawings and check boxes by filter number; not owned.
extern std::array<TTwoJumper*, 8> FilterJumpers;
extern std::array<TCheckBox*, 8> FilterChecks;
