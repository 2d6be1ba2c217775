#include "support/TestSupport.h"

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr uint32_t WM_RECORD = WM_USER + 1;
constexpr uint32_t WM_FAIL = WM_USER + 2;
constexpr uint32_t WM_FAIL_STRANGELY = WM_USER + 3;

// A windowed control that records the posted messages it receives and fails on request.
class Receiver : public TCustomControl {
public:
    explicit Receiver(TComponent* owner, std::vector<std::string>* log = nullptr)
        : TCustomControl(owner), FLog(log) {}
    int Received = 0;
    std::string FailureText = "The posted message failed";
    void WndProc(TMessage& message) override {
        switch (message.Msg) {
        case WM_RECORD:
            ++Received;
            if (FLog != nullptr)
                FLog->push_back("message");
            break;
        case WM_FAIL:
            throw Exception(FailureText);
        case WM_FAIL_STRANGELY:
            throw 42;
        default:
            TCustomControl::WndProc(message);
        }
    }

private:
    std::vector<std::string>* FLog;
};

// Lets everything pending run with no idle handler, so a test starts from a quiet queue.
void settle() {
    Application->OnIdle = nullptr;
    ProcessPendingEvents();
}

// Runs the event loop for many passes; an armed idle timer would fire on each of them.
void spinWithoutEvents() {
    for (int i = 0; i < 200; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TEST(ApplicationIdle, RunsOnceTheQueueIsEmptyAndNotAgainWhileNothingHappens) {
    settle();
    std::vector<std::string> log;
    Receiver receiver(nullptr, &log);
    int calls = 0;
    Application->OnIdle = [&](TObject* sender, bool& done) {
        EXPECT_EQ(sender, Application);
        EXPECT_TRUE(done);
        ++calls;
        log.push_back("idle");
    };
    Application->PostMessage(&receiver, WM_RECORD, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return calls >= 1; }));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "message");
    EXPECT_EQ(log[1], "idle");

    int callsSoFar = calls;
    spinWithoutEvents();
    EXPECT_EQ(calls, callsSoFar);

    // Something happening makes the application idle again afterwards.
    Application->PostMessage(&receiver, WM_RECORD, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return calls > callsSoFar; }));
    EXPECT_EQ(log[log.size() - 2], "message");
    Application->OnIdle = nullptr;
}

TEST(ApplicationIdle, AHandlerThatIsNotDoneIsCalledAgainWithoutWaitingForEvents) {
    settle();
    Receiver receiver(nullptr);
    int calls = 0;
    Application->OnIdle = [&](TObject*, bool& done) {
        done = ++calls >= 4;
    };
    Application->PostMessage(&receiver, WM_RECORD, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return calls >= 4; }));
    spinWithoutEvents();
    EXPECT_EQ(calls, 4);
    Application->OnIdle = nullptr;
}

TEST(ApplicationIdle, AHandlerThatRemovesItselfRunsExactlyOnceHoweverOftenTheApplicationGoesIdle) {
    settle();
    Receiver receiver(nullptr);
    int calls = 0;
    std::string first = "the handler's own captured state", second = "survives its removal";
    std::string seen;
    Application->OnIdle = [&calls, &seen, first, second](TObject*, bool&) {
        Application->OnIdle = nullptr;
        // The handler goes on after removing itself, as the setup supporter's does.
        ++calls;
        seen = first + " " + second;
    };
    for (int i = 0; i < 5; ++i) {
        Application->PostMessage(&receiver, WM_RECORD, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return receiver.Received == i + 1; }));
        spinWithoutEvents();
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, "the handler's own captured state survives its removal");
    EXPECT_FALSE(Application->OnIdle);
}

// Each way program code is reached from the event loop, with a handler that fails once.
struct FailingEntry {
    const char* what;
    // Sets up a control whose handler throws `message`, and returns the action that reaches it.
    std::function<std::function<void()>(TForm& form, const std::string& message)> arrange;
};

void PrintTo(const FailingEntry& entry, std::ostream* out) {
    *out << entry.what;
}

class ErrorsInHandlers : public testing::TestWithParam<FailingEntry> {};

TEST_P(ErrorsInHandlers, ReachTheApplicationsExceptionHandlerAndTheProgramGoesOn) {
    settle();
    MessageBoxRecorder boxes;
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    std::function<void()> act = GetParam().arrange(form, "Something went wrong here");
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return form.Window()->isVisible(); }));
    act();
    ASSERT_TRUE(WaitFor([&] { return !boxes.Boxes.empty(); }));
    ProcessPendingEvents();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "Something went wrong here");
    EXPECT_EQ(boxes.Boxes[0].Caption, Application->Title);
    EXPECT_EQ(boxes.Boxes[0].Flags, MB_OK | MB_ICONERROR);

    // The event loop still delivers the next message.
    auto* receiver = new Receiver(&form);
    receiver->SetParent(&form);
    Application->PostMessage(receiver, WM_RECORD, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return receiver->Received == 1; }));
    Application->OnIdle = nullptr;
}

INSTANTIATE_TEST_SUITE_P(
    Application, ErrorsInHandlers,
    testing::Values(FailingEntry{"ClickOnAWindowedControl",
                                 [](TForm& form, const std::string& message) -> std::function<void()> {
                                     auto* panel = new TPanel(&form);
                                     panel->SetParent(&form);
                                     panel->SetBounds(10, 10, 50, 40);
                                     panel->OnClick = [message](TObject*) {
                                         throw Exception(message);
                                     };
                                     return [panel] {
                                         QTest::mouseClick(panel->Widget(), Qt::LeftButton, {}, QPoint(5, 5));
                                     };
                                 }},
                    FailingEntry{"ClickOnAGraphicControl",
                                 [](TForm& form, const std::string& message) -> std::function<void()> {
                                     auto* control = new TGraphicControl(&form);
                                     control->SetParent(&form);
                                     control->SetBounds(20, 30, 10, 10);
                                     control->OnClick = [message](TObject*) {
                                         throw Exception(message);
                                     };
                                     return [&form] {
                                         QTest::mouseClick(form.Widget(), Qt::LeftButton, {}, QPoint(25, 35));
                                     };
                                 }},
                    FailingEntry{"ClickOnACheckBox",
                                 [](TForm& form, const std::string& message) -> std::function<void()> {
                                     auto* box = new TCheckBox(&form);
                                     box->SetParent(&form);
                                     box->SetBounds(10, 10, 100, 20);
                                     box->OnClick = [message](TObject*) {
                                         throw Exception(message);
                                     };
                                     return [box] {
                                         QTest::mouseClick(box->Widget(), Qt::LeftButton, {}, QPoint(8, 10));
                                     };
                                 }},
                    FailingEntry{"ChoosingAMenuItem",
                                 [](TForm& form, const std::string& message) -> std::function<void()> {
                                     auto* item = new TMenuItem(&form);
                                     item->SetCaption("&Fail");
                                     item->OnClick = [message](TObject*) {
                                         throw Exception(message);
                                     };
                                     return [item] {
                                         item->Action()->trigger();
                                     };
                                 }},
                    FailingEntry{"IdleHandler",
                                 [](TForm&, const std::string& message) -> std::function<void()> {
                                     return [message] {
                                         Application->OnIdle = [message](TObject*, bool&) {
                                             Application->OnIdle = nullptr;
                                             throw Exception(message);
                                         };
                                         QCoreApplication::postEvent(qApp, new QEvent(QEvent::User));
                                     };
                                 }},
                    FailingEntry{"PostedMessage",
                                 [](TForm& form, const std::string& message) -> std::function<void()> {
                                     auto* receiver = new Receiver(&form);
                                     receiver->SetParent(&form);
                                     receiver->FailureText = message;
                                     return [receiver] {
                                         Application->PostMessage(receiver, WM_FAIL, 0, 0);
                                     };
                                 }},
                    FailingEntry{"Painting",
                                 [](TForm& form, const std::string& message) -> std::function<void()> {
                                     class FailingPainter : public TGraphicControl {
                                     public:
                                         FailingPainter(TComponent* owner, std::string message)
                                             : TGraphicControl(owner), FMessage(std::move(message)) {}
                                         bool Armed = false;

                                     protected:
                                         void Paint() override {
                                             if (Armed) {
                                                 Armed = false;
                                                 throw Exception(FMessage);
                                             }
                                         }

                                     private:
                                         std::string FMessage;
                                     };
                                     auto* painter = new FailingPainter(&form, message);
                                     painter->SetParent(&form);
                                     painter->SetBounds(0, 0, 20, 20);
                                     return [painter] {
                                         painter->Armed = true;
                                         painter->Repaint();
                                     };
                                 }}),
    [](const testing::TestParamInfo<FailingEntry>& info) { return std::string(info.param.what); });

TEST(Application, AnErrorOfNoKnownKindIsReportedToo) {
    settle();
    MessageBoxRecorder boxes;
    Receiver receiver(nullptr);
    Application->PostMessage(&receiver, WM_FAIL_STRANGELY, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !boxes.Boxes.empty(); }));
    EXPECT_EQ(boxes.Boxes[0].Text, "Unknown error");
    Application->PostMessage(&receiver, WM_RECORD, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return receiver.Received == 1; }));
}

TEST(Application, AMessagePostedToAControlThatIsFreedFirstIsDropped) {
    settle();
    auto* receiver = new Receiver(nullptr);
    Application->PostMessage(receiver, WM_FAIL, 0, 0);
    delete receiver;
    MessageBoxRecorder boxes;
    ProcessPendingEvents();
    EXPECT_TRUE(boxes.Boxes.empty());
}

TEST(Application, ClosingAFormWhoseOnCloseRefusesDoesNotEndTheProgram) {
    TForm form(nullptr);
    TForm* previous = Application->MainForm();
    Application->SetMainForm(&form);
    int asked = 0;
    form.OnClose = [&](TObject*, TCloseAction& action) {
        ++asked;
        action = caNone;
    };
    form.Show();
    form.Close();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(form.Visible());
    Application->SetMainForm(previous);
}

// Running the message loop to its end leaves the application terminated for good, so this runs
// in a child process of its own.
TEST(ApplicationDeathTest, ClosingTheMainFormEndsTheMessageLoop) {
    settle();
    EXPECT_EXIT(
        {
            auto* form = new TForm(Application);
            Application->SetMainForm(form);
            bool shown = false;
            QTimer::singleShot(0, [&] {
                shown = form->Window()->isVisible();
                form->Window()->close(); // as the window's close box does
            });
            int status = Application->Run();
            std::exit(status == 0 && shown && Application->Terminated() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
