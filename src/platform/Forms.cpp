#include "Forms.h"

#include "Reader.h"
#include "WidgetBridge.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <algorithm>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace platform {

// The top-level Qt window of a form: the menu bar on top, the client widget below it.
class FormWindow : public QWidget {
public:
    explicit FormWindow(TForm* form) : FForm(form) {}
    void detach() { FForm = nullptr; }

protected:
    void resizeEvent(QResizeEvent*) override { notifyGeometry(); }
    void moveEvent(QMoveEvent*) override { notifyGeometry(); }
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && FForm != nullptr) {
            bool active = isActiveWindow();
            guarded([&] { FForm->WindowActivationChanged(active); });
        }
    }
    void closeEvent(QCloseEvent* event) override {
        // The form decides what closing means (hide, or end the program), never Qt.
        event->ignore();
        if (FForm != nullptr)
            guarded([&] { FForm->WindowCloseRequested(); });
    }

private:
    void notifyGeometry() {
        if (FForm != nullptr)
            guarded([&] { FForm->WindowGeometryChanged(); });
    }
    TForm* FForm; // not owned: the form owns this window
};

// Calls the application's idle handler each time the event queue has been emptied. A zero
// timer fires once the queue is empty; it is re-armed only when a real event has arrived since.
class IdleDriver : public QObject {
public:
    explicit IdleDriver(TApplication* application) : FApplication(application) {
        FTimer.setSingleShot(true);
        FTimer.setInterval(0);
        QObject::connect(&FTimer, &QTimer::timeout, [this] { fire(); });
        qApp->installEventFilter(this);
        FTimer.start();
    }
    ~IdleDriver() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &FTimer || FFiring)
            return false;
        // Timer ticks of Qt's own widgets (caret blinking and the like) do not count as activity.
        if (event->type() != QEvent::Timer && !FTimer.isActive())
            FTimer.start();
        return false;
    }

private:
    void fire() {
        FFiring = true;
        bool done = true;
        guarded([&] {
            // A handler may remove itself (the setup supporter's does): call a copy, so the
            // handler and what it captured live until it returns.
            if (TIdleEvent handler = FApplication->OnIdle)
                handler(FApplication, done);
        });
        FFiring = false;
        if (!done)
            FTimer.start();
    }
    TApplication* FApplication; // not owned
    QTimer FTimer;
    bool FFiring = false;
};

} // namespace platform

namespace {
// Frame sizes of the desktop's windows, learnt from the first window shown.
QMargins knownFrameMargins;
} // namespace

// --- TForm ---

TForm::TForm(TComponent* owner)
    : TWinControl(owner, new platform::PaintedWidget()), FWindow(new platform::FormWindow(this)) {
    Widget()->setParent(FWindow);
    Widget()->show();
    SetColor(clBtnFace);
    if (Application != nullptr)
        Application->AddForm(this);
    SetVisible(false);
    ApplyWindowFlags();
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    BeginDestruction();
    if (Application != nullptr)
        Application->RemoveForm(this);
    if (FMenu != nullptr)
        FMenu->AttachTo(nullptr);
    FWindow->detach();
    FWindow->hide();
    // The child controls and the client widget go in the base destructors; the window after.
    Widget()->setParent(nullptr);
    QWidget* window = FWindow;
    FWindow = nullptr;
    QTimer::singleShot(0, [window] { delete window; });
}

QWidget* TForm::Window() const {
    return FWindow;
}

void TForm::AttachWidget() {
    // A form is always a top-level window; its client widget stays inside it.
}

namespace {
QMargins frameMarginsOf(const QWidget* window) {
    QRect inner = window->geometry(), outer = window->frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}
} // namespace

// The window's own frame once the desktop has decorated it, else the frame other windows had.
QMargins TForm::CurrentFrameMargins() const {
    QMargins m = frameMarginsOf(FWindow);
    return m.isNull() ? knownFrameMargins : m;
}

TPoint TForm::FrameExtra() const {
    QMargins m = CurrentFrameMargins();
    return {m.left() + m.right(), m.top() + m.bottom()};
}

int TForm::MenuBarHeight() const {
    // Not isVisible(): that is false until the window is shown, and the client area must not
    // change size (nor the bar be laid out at no height) just because the window appears.
    if (FMenuBar == nullptr || FMenuBar->isHidden())
        return 0;
    return FMenuBar->sizeHint().height();
}

int TForm::ClientWidth() const {
    return std::max(0, Width() - FrameExtra().X);
}
int TForm::ClientHeight() const {
    return std::max(0, Height() - FrameExtra().Y - MenuBarHeight());
}

void TForm::SetClientWidth(int value) {
    SetWidth(value + FrameExtra().X);
}
void TForm::SetClientHeight(int value) {
    SetHeight(value + FrameExtra().Y + MenuBarHeight());
}

void TForm::ApplyBounds() {
    if (FWindow == nullptr || FSyncingFromWindow)
        return;
    TPoint extra = FrameExtra();
    QMargins m = CurrentFrameMargins();
    FAppliedMargins = {m.left(), m.top(), m.right(), m.bottom()};
    FWindow->resize(std::max(1, Width() - extra.X), std::max(1, Height() - extra.Y));
    FWindow->move(Left(), Top());
    LayoutWindow();
}

void TForm::LayoutWindow() {
    int menuHeight = MenuBarHeight();
    if (FMenuBar != nullptr)
        FMenuBar->setGeometry(0, 0, FWindow->width(), menuHeight);
    Widget()->setGeometry(0, menuHeight, FWindow->width(), std::max(0, FWindow->height() - menuHeight));
}

void TForm::WindowGeometryChanged() {
    if (FWindow == nullptr)
        return;
    QRect frame = FWindow->frameGeometry();
    QMargins m = frameMarginsOf(FWindow);
    if (!m.isNull()) {
        knownFrameMargins = m;
        // The frame becomes known only once the window is shown: keep the outer bounds the
        // program asked for rather than growing the window by its frame.
        TRect margins{m.left(), m.top(), m.right(), m.bottom()};
        if (margins != FAppliedMargins && FWindowState == wsNormal && !FWindow->isMaximized()) {
            ApplyBounds();
            return;
        }
    }
    LayoutWindow();
    FSyncingFromWindow = true;
    try {
        SetBounds(frame.left(), frame.top(), frame.width(), frame.height());
    } catch (...) {
        FSyncingFromWindow = false;
        throw;
    }
    FSyncingFromWindow = false;
    RealignChildren();
}

void TForm::SetCaption(const std::string& value) {
    TControl::SetCaption(value);
    FWindow->setWindowTitle(QString::fromStdString(value));
}

void TForm::SetColor(TColor value) {
    TControl::SetColor(value);
    Invalidate();
}

void TForm::SetMenu(TMainMenu* menu) {
    if (menu == FMenu)
        return;
    if (FMenu != nullptr)
        FMenu->AttachTo(nullptr);
    FMenu = menu;
    if (FMenu != nullptr) {
        if (FMenuBar == nullptr)
            FMenuBar = new QMenuBar(FWindow);
        FMenuBar->show();
        FMenu->AttachTo(FMenuBar);
    } else if (FMenuBar != nullptr) {
        FMenuBar->hide();
    }
    LayoutWindow();
    // The client area grew or shrank by the menu bar: aligned and anchored controls follow.
    RealignChildren();
}

void TForm::SetWindowState(TWindowState value) {
    FWindowState = value;
    if (!Visible())
        return;
    if (value == wsMaximized)
        FWindow->showMaximized();
    else if (value == wsMinimized)
        FWindow->showMinimized();
    else
        FWindow->showNormal();
}

void TForm::SetFormStyle(TFormStyle value) {
    FFormStyle = value;
    ApplyWindowFlags();
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
    FBorderStyle = value;
    ApplyWindowFlags();
}

void TForm::SetPosition(TPosition value) {
    FPosition = value;
}

void TForm::ApplyWindowFlags() {
    Qt::WindowFlags flags = Qt::Window;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin)
        flags = Qt::Tool;
    if (FBorderStyle == bsDialog)
        flags = Qt::Dialog;
    if (FBorderStyle == bsFormNone)
        flags |= Qt::FramelessWindowHint;
    if (FFormStyle == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    bool wasVisible = FWindow->isVisible();
    FWindow->setWindowFlags(flags);
    if (wasVisible)
        FWindow->show();
}

void TForm::SetConstraintsToWindow() {
    TPoint extra = FrameExtra();
    TSizeConstraints c = Constraints();
    FWindow->setMinimumSize(std::max(0, c.MinWidth - extra.X), std::max(0, c.MinHeight - extra.Y));
}

void TForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TForm::SetVisible(bool value) {
    if (value && !Visible()) {
        // Placement decided by the form itself happens when it is first shown.
        if (FPosition == poScreenCenter ||
            (FPosition == poMainFormCenter && Application->MainForm() == this)) {
            SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
        } else if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
            TForm* center = Application->MainForm();
            if (center != nullptr && center != this)
                SetBounds(center->Left() + (center->Width() - Width()) / 2,
                          center->Top() + (center->Height() - Height()) / 2, Width(), Height());
        }
    }
    TControl::SetVisible(value);
    if (value && OnShow)
        OnShow(this);
    if (!value && OnHide && !IsDestroying())
        OnHide(this);
}

void TForm::ApplyVisible() {
    if (FWindow == nullptr)
        return;
    if (!Visible()) {
        FWindow->hide();
        return;
    }
    SetConstraintsToWindow();
    if (FWindowState == wsMaximized)
        FWindow->showMaximized();
    else if (FWindowState == wsMinimized)
        FWindow->showMinimized();
    else
        FWindow->show();
    FShownOnce = true;
}

void TForm::Invalidate() {
    Widget()->update();
}
void TForm::Repaint() {
    Widget()->repaint();
}

void TForm::BringToFront() {
    if (!Visible())
        return;
    FWindow->raise();
}

bool TForm::Active() const {
    return FWindow->isActiveWindow();
}

void TForm::FocusControl(TWinControl* control) {
    FWindow->activateWindow();
    FWindow->raise();
    if (control != nullptr)
        control->SetFocus();
    else
        Widget()->setFocus(Qt::OtherFocusReason);
}

void TForm::SetActiveControl(TWinControl* control) {
    FActiveControl = control;
    if (control != nullptr && Visible())
        control->SetFocus();
}

void TForm::Close() {
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone)
        return;
    if (Application != nullptr && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    if (action == caMinimize)
        FWindow->showMinimized();
    else
        Hide();
}

void TForm::WindowCloseRequested() {
    Close();
}

void TForm::WindowActivationChanged(bool active) {
    if (IsDestroying())
        return;
    Perform(WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}

void TForm::WndProc(TMessage& message) {
    if (message.Msg == WM_ACTIVATE) {
        if ((message.WParam & 0xFFFF) != WA_INACTIVE) {
            if (OnActivate)
                OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        return;
    }
    TWinControl::WndProc(message);
}

void TForm::PaintWindow(TCanvas& canvas) {
    canvas.Brush.Color = Color();
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(canvas.ClipRect());
}

void TForm::DoCreate() {
    if (OnCreate)
        OnCreate(this);
}

void TForm::LoadDefinition(const std::string& text, const std::string& fileName) {
    DefinitionReader(text, fileName).ReadInto(this);
    DoCreate();
}

namespace {
const std::map<std::string, TWindowState> windowStateNames = {
    {"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}};
const std::map<std::string, TFormStyle> formStyleNames = {{"fsNormal", fsNormal},
                                                          {"fsStayOnTop", fsStayOnTop}};
const std::map<std::string, TPosition> positionNames = {{"poDesigned", poDesigned},
                                                        {"poDefault", poDefault},
                                                        {"poDefaultPosOnly", poDefaultPosOnly},
                                                        {"poScreenCenter", poScreenCenter},
                                                        {"poMainFormCenter", poMainFormCenter},
                                                        {"poOwnerFormCenter", poOwnerFormCenter}};
} // namespace

void TForm::SetStoredProperty(const std::string& name, const StoredValue& value, PropertyResolver& resolver) {
    if (name == "ClientWidth")
        SetClientWidth(CoordinateFromStored(value));
    else if (name == "ClientHeight")
        SetClientHeight(CoordinateFromStored(value));
    else if (name == "WindowState")
        SetWindowState(value.asEnum(windowStateNames));
    else if (name == "FormStyle")
        SetFormStyle(value.asEnum(formStyleNames));
    else if (name == "Position")
        SetPosition(value.asEnum(positionNames));
    else if (name == "Menu")
        ResolveReference<TMainMenu>(resolver, value, [this](TMainMenu* menu) { SetMenu(menu); });
    else if (name == "OnCreate")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnCreate = std::move(e); });
    else if (name == "OnActivate")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnActivate = std::move(e); });
    else if (name == "OnDeactivate")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnDeactivate = std::move(e); });
    else if (name == "OldCreateOrder" || name == "Scaled")
        (void)value.asBoolean(); // handlers always run after loading; stored coordinates are used as they are
    else if (name == "PixelsPerInch" || name == "TextHeight")
        (void)value.asInteger();
    else
        TWinControl::SetStoredProperty(name, value, resolver);
}

// --- TApplication ---

TApplication::TApplication(int& argc, char** argv)
    : TApplication(std::make_unique<QApplication>(argc, argv)) {}

TApplication::TApplication() : TApplication(std::unique_ptr<QApplication>()) {}

TApplication::TApplication(std::unique_ptr<QApplication> qt) : TComponent(nullptr), FQt(std::move(qt)) {
    Application = this;
    static TScreen screen;
    Screen = &screen;
    // Idle processing runs in every message loop, the main one and any modal one alike.
    FIdleDriver = std::make_unique<platform::IdleDriver>(this);
    platform::installFocusTracking();
}

TApplication::~TApplication() {
    BeginDestruction();
    FIdleDriver.reset();
    // Forms are components of the application and go with it, the main form's contents with it.
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
    Application = nullptr;
}

TForm* TApplication::ParentFormOf(const TControl* control) {
    const TControl* top = control;
    while (top != nullptr && top->Parent() != nullptr)
        top = top->Parent();
    return dynamic_cast<TForm*>(const_cast<TControl*>(top));
}

void TApplication::AddForm(TForm* form) {
    FForms.push_back(form);
}

void TApplication::RemoveForm(TForm* form) {
    std::erase(FForms, form);
    if (FMainForm == form)
        FMainForm = nullptr;
}

int TApplication::Run() {
    if (FMainForm != nullptr && !FTerminated)
        FMainForm->Show();
    if (FTerminated)
        return 0;
    return QApplication::exec();
}

void TApplication::Terminate() {
    FTerminated = true;
    QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents();
}

void TApplication::PostMessage(TWinControl* target, uint32_t msg, intptr_t wParam, intptr_t lParam) {
    platform::postMessage(target, {msg, wParam, lParam, 0});
}

void TApplication::DoIdle() {
    bool done = true;
    if (TIdleEvent handler = OnIdle)
        handler(this, done);
}

void TApplication::HandleException(const std::exception& error) {
    // An error raised while the report of another is on screen is not reported again.
    if (FHandlingException)
        return;
    FHandlingException = true;
    try {
        MessageBox(error.what(), Title, MB_OK | MB_ICONERROR);
    } catch (...) {
    }
    FHandlingException = false;
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
    return Services().MessageBox(text, caption, flags);
}

void TApplication::SetIcon(const std::string& resourcePath) {
    QApplication::setWindowIcon(QIcon(QString::fromStdString(resourcePath)));
}

// --- TScreen and the services ---

int TScreen::Width() const {
    return Services().ScreenSize().X;
}
int TScreen::Height() const {
    return Services().ScreenSize().Y;
}

namespace {
int desktopMessageBox(const std::string& text, const std::string& caption, int flags) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    if (flags & MB_TOPMOST)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };
    std::vector<Choice> choices;
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        choices = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO:
        choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    case MB_RETRYCANCEL:
        choices = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    default:
        choices = {{QMessageBox::Ok, IDOK}};
        break;
    }
    for (const Choice& choice : choices)
        box.addButton(choice.button);
    size_t defaultIndex = (flags & MB_DEFBUTTON2) && choices.size() > 1 ? 1 : 0;
    box.setDefaultButton(choices[defaultIndex].button);
    auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Choice& choice : choices) {
        if (choice.button == pressed)
            return choice.answer;
    }
    return choices.size() > 1 ? IDCANCEL : IDOK;
}
} // namespace

PlatformServices& Services() {
    static PlatformServices services{desktopMessageBox,
                                     [] {
                                         QPoint p = QCursor::pos();
                                         return TPoint{p.x(), p.y()};
                                     },
                                     [] {
                                         QScreen* screen = QGuiApplication::primaryScreen();
                                         QSize size = screen != nullptr ? screen->size() : QSize(1024, 768);
                                         return TPoint{size.width(), size.height()};
                                     }};
    return services;
}

TPoint GetCursorPos() {
    return Services().CursorPos();
}
