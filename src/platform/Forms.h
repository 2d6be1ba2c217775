// Forms (top-level windows), the application object and the screen, plus the replaceable
// services through which the program reaches the machine: message boxes, cursor position,
// screen size. Tests replace the services so nothing blocks and nothing depends on the desktop.
#pragma once

#include "Controls.h"
#include "Menus.h"

#include <functional>
#include <memory>
#include <vector>

class QApplication;
class QMargins;
class QMenuBar;
class QWidget;
namespace platform {
class FormWindow;
class IdleDriver;
} // namespace platform

enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle : uint8_t { fsNormal, fsStayOnTop };
enum TFormBorderStyle : uint8_t {
    bsFormNone,
    bsFormSingle,
    bsSizeable,
    bsDialog,
    bsToolWindow,
    bsSizeToolWin
};
enum TPosition : uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poScreenCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TWinControl {
    PLATFORM_CLASS(TForm, TWinControl)
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int value);
    void SetClientHeight(int value);
    void SetCaption(const std::string& value) override;
    void SetColor(TColor value) override;

    TMainMenu* Menu() const { return FMenu; } // not owned
    void SetMenu(TMainMenu* menu);
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value);
    bool AutoScroll = false;

    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnClose what to do, then hides the form; closing the main form ends the program.
    void Close();
    bool Active() const;
    // Makes the form the active window and puts the focus on control (or on the form).
    void FocusControl(TWinControl* control);
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    // The control inside this form that last had the focus; not owned.
    TWinControl* FocusedControl() const { return FFocusedControl; }
    void SetFocusedControl(TWinControl* control) { FFocusedControl = control; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;
    void WndProc(TMessage& message) override;
    void SetVisible(bool value) override;
    void Invalidate() override;
    void Repaint() override;
    void BringToFront() override;

    // Reads the form's content from a board definition and then runs OnCreate.
    void LoadDefinition(const std::string& text, const std::string& fileName);

    // Platform use.
    QWidget* Window() const;
    void WindowGeometryChanged();
    void WindowActivationChanged(bool active);
    void WindowCloseRequested();
    void SetConstraintsToWindow();

protected:
    void PaintWindow(TCanvas& canvas) override;
    bool IsCustomPainted() const override { return true; }
    void ApplyBounds() override;
    void ApplyVisible() override;
    void AttachWidget() override;
    virtual void DoCreate();

private:
    void ApplyWindowFlags();
    void LayoutWindow();
    int MenuBarHeight() const;
    TPoint FrameExtra() const;
    QMargins CurrentFrameMargins() const;

    platform::FormWindow* FWindow;          // owned; holds the menu bar and the client widget
    QMenuBar* FMenuBar = nullptr;           // owned by FWindow
    TMainMenu* FMenu = nullptr;             // not owned
    TWinControl* FActiveControl = nullptr;  // not owned
    TWinControl* FFocusedControl = nullptr; // not owned
    TWindowState FWindowState = wsNormal;
    TFormStyle FFormStyle = fsNormal;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    bool FSyncingFromWindow = false;
    bool FShownOnce = false;
    // The frame margins the window's outer size was last computed with (left, top, right, bottom).
    TRect FAppliedMargins;
};

using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

class TApplication : public TComponent {
    PLATFORM_CLASS(TApplication, TComponent)
public:
    // Uses the Qt application that already exists (tests make their own).
    TApplication();
    // Starts Qt for the program with its command line, then the application object.
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The first form created through CreateForm becomes the main form.
    template <class T> T* CreateForm() {
        auto* form = new T(this);
        if (FMainForm == nullptr)
            FMainForm = form;
        return form;
    }
    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* form) { FMainForm = form; }
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TForm* Forms(int index) const { return FForms.at(index); }
    // The form a control stands in, or nullptr.
    static TForm* ParentFormOf(const TControl* control);

    // Shows the main form and dispatches messages until Terminate; returns the exit status.
    int Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    void ProcessMessages();
    // Queues a message for the control's window procedure; dropped if the control goes first.
    void PostMessage(TWinControl* target, uint32_t msg, intptr_t wParam, intptr_t lParam);

    // Called whenever the message queue has been emptied.
    TIdleEvent OnIdle;
    // Reports an error in a message box with its text and lets the program go on.
    void HandleException(const std::exception& error);
    int MessageBox(const std::string& text, const std::string& caption, int flags);
    std::string Title = "Setup";
    void SetIcon(const std::string& resourcePath);

    // Platform use.
    void AddForm(TForm* form);
    void RemoveForm(TForm* form);
    void DoIdle();

private:
    explicit TApplication(std::unique_ptr<QApplication> qt);

    TForm* FMainForm = nullptr; // owned as a component
    std::vector<TForm*> FForms; // every form that exists, not owned
    bool FTerminated = false;
    bool FHandlingException = false;
    std::unique_ptr<QApplication> FQt; // set when this object started Qt itself
    std::unique_ptr<platform::IdleDriver> FIdleDriver;
};

class TScreen {
public:
    int Width() const;
    int Height() const;
};

// The replaceable services. Each has a default that uses the real desktop.
struct PlatformServices {
    std::function<int(const std::string& text, const std::string& caption, int flags)> MessageBox;
    std::function<TPoint()> CursorPos;
    std::function<TPoint()> ScreenSize; // width, height
};
PlatformServices& Services();
TPoint GetCursorPos();

extern TApplication* Application;
extern TScreen* Screen;
