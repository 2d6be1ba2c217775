#include "platform/Reader.h"
#include "template.h"

#include "SetupCtrls/BoardHighlight.h"
#include "SetupCtrls/BoardImage.h"
#include "SetupCtrls/RadioPanel.h"
#include "SetupCtrls/TwoJumper.h"
#include "platform/Controls.h"
#include "platform/Menus.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

enum TProbeShape { shCircle, shSquare };

// A small component with one property of every kind the reader knows.
class TProbeItem : public TComponent {
    PLATFORM_CLASS(TProbeItem, TComponent)
public:
    explicit TProbeItem(TComponent* owner) : TComponent(owner) {}

    std::string Text;
    int Number = 0;
    double Ratio = 0;
    std::vector<std::string> Items;
    TAnchors Anchors = 0;
    TColor Color = clNone;
    TProbeShape Shape = shCircle;
    TProbeItem* Buddy = nullptr;      // not owned
    TMainMenu* Menu = nullptr;        // not owned
    TComponent* ParentItem = nullptr; // not owned
    TNotifyEvent OnPing;
    TPicture Picture;

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override {
        if (name == "Text")
            Text = value.asString();
        else if (name == "Number")
            Number = value.asInteger();
        else if (name == "Ratio")
            Ratio = value.asFloat();
        else if (name == "Items.Strings")
            Items = value.asStringList();
        else if (name == "Anchors")
            Anchors = AnchorsFromStored(value);
        else if (name == "Color")
            Color = ColorFromStored(value);
        else if (name == "Shape")
            Shape = value.asEnum(
                std::map<std::string, TProbeShape>{{"shCircle", shCircle}, {"shSquare", shSquare}});
        else if (name == "Buddy")
            ResolveReference<TProbeItem>(resolver, value, [this](TProbeItem* item) { Buddy = item; });
        else if (name == "Menu")
            ResolveReference<TMainMenu>(resolver, value, [this](TMainMenu* menu) { Menu = menu; });
        else if (name == "OnPing")
            resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnPing = std::move(e); });
        else if (name == "Picture.Data")
            Picture.LoadFromData(value.text, value.bytes);
        else
            TComponent::SetStoredProperty(name, value, resolver);
    }
    void SetParentComponent(TComponent* parent) override { ParentItem = parent; }
};

// The root of the test definitions; publishes one handler, Ping.
class TProbeRoot : public TComponent {
    PLATFORM_CLASS(TProbeRoot, TComponent)
public:
    TProbeRoot() : TComponent(nullptr) {}
    int Pings = 0;
    TNotifyEvent MethodAddress(const std::string& name) override {
        if (name == "Ping")
            return [this](TObject*) {
                ++Pings;
            };
        return {};
    }
    TProbeItem* Item(const char* name) const { return dynamic_cast<TProbeItem*>(FindComponent(name)); }
};

std::vector<uint8_t> resourceBytes(const std::string& path) {
    std::string text = DefinitionReader::ReadTextFile(path);
    return {text.begin(), text.end()};
}

// Serves the picture files the test definitions name.
std::vector<uint8_t> testFile(const std::string& name) {
    if (name == "photo.jpg")
        return resourceBytes(":/TQ5210.jpg");
    if (name == "corrupt.jpg")
        return {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01, 0x00, 0xFF, 0xD9};
    if (name == "notjpeg.jpg")
        return {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3, 4};
    throw Exception("cannot read '" + name + "': No such file");
}

class Reader : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ClassRegistry::Register<TProbeItem>();
        ClassRegistry::Register<TMainMenu>();
    }
    // Reads a definition whose root object (line 1) is "object Root: TProbeRoot".
    void read(const std::string& body) {
        DefinitionReader("object Root: TProbeRoot\n" + body + "end\n", "probe.board", testFile)
            .ReadInto(&root);
    }
    // Reads one item "A" with one stored property into a fresh root, for tables of values.
    static TProbeItem* readSingleItem(TProbeRoot& into, const std::string& propertyLine) {
        DefinitionReader("object Root: TProbeRoot\nobject A: TProbeItem\n" + propertyLine + "\nend\nend\n",
                         "probe.board", testFile)
            .ReadInto(&into);
        return into.Item("A");
    }
    TProbeRoot root;
};

TEST_F(Reader, ReadsEveryKindOfValueIntoATreeOfComponents) {
    read("  object A: TProbeItem\n"
         "    Text = 'It''s a'#13#10'test' + ' joined'\n"
         "    Number = -42\n"
         "    Ratio = 0.825\n"
         "    Color = $00FF8000\n"
         "    Anchors = [akLeft, akRight]\n"
         "    Items.Strings = (\n"
         "      'first'\n"
         "      ''\n"
         "      'third' +\n"
         "        ' part')\n"
         "    Shape = shSquare\n"
         "    Buddy = B // references may point forward\n"
         "    OnPing = Ping\n"
         "    object B: TProbeItem\n"
         "      Tag = 7\n"
         "      Menu = Menu1\n"
         "      Picture.Data = TJPEGImage('photo.jpg')\n"
         "    end\n"
         "  end\n"
         "  object Menu1: TMainMenu\n"
         "  end\n");
    ASSERT_EQ(root.ComponentCount(), 3);
    TProbeItem* a = root.Item("A");
    TProbeItem* b = root.Item("B");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(root.Components(0), a);
    EXPECT_EQ(root.Components(1), b);
    EXPECT_EQ(a->Text, "It's a\r\ntest joined");
    EXPECT_EQ(a->Number, -42);
    EXPECT_DOUBLE_EQ(a->Ratio, 0.825);
    EXPECT_EQ(a->Color, 0x00FF8000);
    EXPECT_EQ(a->Anchors, akLeft | akRight);
    EXPECT_EQ(a->Items, (std::vector<std::string>{"first", "", "third part"}));
    EXPECT_EQ(a->Shape, shSquare);
    EXPECT_EQ(a->Buddy, b);
    EXPECT_EQ(a->ParentItem, &root);
    EXPECT_EQ(b->ParentItem, a);
    EXPECT_EQ(b->Tag, 7);
    EXPECT_EQ(b->Menu, root.FindComponent("Menu1"));
    EXPECT_EQ(b->Picture.Width(), 600);
    EXPECT_EQ(b->Picture.Height(), 495);
    ASSERT_TRUE(a->OnPing);
    a->OnPing(a);
    EXPECT_EQ(root.Pings, 1);
    EXPECT_FALSE(a->IsLoading());
}

TEST_F(Reader, ReadsNumbers) {
    const std::pair<const char*, int> cases[] = {
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$10", 16},
        {"-$10", -16},
        {"$7FFFFFFF", 2147483647},
        {"$FFFFFFFF", -1}, // hexadecimal is the bit pattern of a 32-bit value, as colours are stored
        {"$8000000F", static_cast<int>(clBtnFace)},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        TProbeRoot fresh;
        EXPECT_EQ(readSingleItem(fresh, "Number = " + std::string(text))->Number, expected);
    }
}

TEST_F(Reader, ReadsStrings) {
    const std::pair<const char*, const char*> cases[] = {
        {"''", ""},
        {"'a''b'", "a'b"},
        {"''''", "'"},
        {"#13#10", "\r\n"},
        {"'x'#9'y'", "x\ty"},
        {"'ab' + 'cd' + #33", "abcd!"},
        {"'multi' +\n  'line'", "multiline"},
        {"'caf'#233", "caf\xC3\xA9"}, // character codes are Unicode, kept as UTF-8
        {"'Input &Filters'", "Input &Filters"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        TProbeRoot fresh;
        EXPECT_EQ(readSingleItem(fresh, "Text = " + std::string(text))->Text, expected);
    }
}

struct BadInput {
    const char* what;
    std::string body; // the lines after "object Root: TProbeRoot"
    int line;
    const char* message;
};

class ReaderErrors : public Reader, public testing::WithParamInterface<BadInput> {};

TEST_P(ReaderErrors, NameTheFileTheLineAndTheFault) {
    const BadInput& input = GetParam();
    try {
        DefinitionReader("object Root: TProbeRoot\n" + input.body, "probe.board", testFile).ReadInto(&root);
        FAIL() << "no error raised";
    } catch (const EReadError& error) {
        std::string message = error.what();
        EXPECT_EQ(error.Line(), input.line) << message;
        EXPECT_EQ(message.rfind("probe.board:" + std::to_string(input.line) + ": ", 0), 0u) << message;
        EXPECT_NE(message.find(input.message), std::string::npos) << message;
    }
    EXPECT_FALSE(root.IsLoading());
}

const std::string itemOpen = "object A: TProbeItem\n";
const std::string closeAll = "end\nend\n";

// Objects opened inside each other far deeper than a recursive reader's stack allows.
std::string deeplyNested() {
    std::string text;
    for (int level = 0; level < 100000; ++level)
        text += itemOpen;
    return text;
}

// The root and a thousand items, one more object than a definition may have.
std::string thousandItems() {
    std::string text;
    for (int item = 0; item < 1000; ++item)
        text += "object A" + std::to_string(item) + ": TProbeItem\nend\n";
    return text + "end\n";
}

INSTANTIATE_TEST_SUITE_P(
    Reader, ReaderErrors,
    testing::Values(
        BadInput{"UnknownClass", "object A: TNoSuchThing\nend\nend\n", 2, "unknown class 'TNoSuchThing'"},
        BadInput{"UnknownProperty", itemOpen + "Colour = 5\n" + closeAll, 3,
                 "TProbeItem has no property 'Colour'"},
        BadInput{"UnknownEnumerationValue", itemOpen + "Shape = shTriangle\n" + closeAll, 3,
                 "unknown value 'shTriangle'"},
        BadInput{"UnknownSetElement", itemOpen + "Anchors = [akLeft, akMiddle]\n" + closeAll, 3,
                 "unknown anchor 'akMiddle'"},
        BadInput{"UnknownReference", itemOpen + "Buddy = Nobody\n" + closeAll, 3,
                 "unknown component 'Nobody'"},
        BadInput{"ReferenceOfTheWrongClass", itemOpen + "\nMenu = A\n" + closeAll, 4,
                 "'A' is a TProbeItem, expected a TMainMenu"},
        BadInput{"UnknownHandler", itemOpen + "OnPing = Pong\n" + closeAll, 3,
                 "TProbeRoot has no handler named 'Pong'"},
        BadInput{"ValueOfTheWrongKind", itemOpen + "Number = 'five'\n" + closeAll, 3,
                 "invalid value for A.Number: expected an integer, found a string"},
        BadInput{"NumberOutOfRange", itemOpen + "Number = 2147483648\n" + closeAll, 3, "out of range"},
        BadInput{"NumberTooLargeForAnyInteger", itemOpen + "Number = 18446744073709551615\n" + closeAll, 3,
                 "18446744073709551615"},
        BadInput{"MostNegativeNumber", itemOpen + "Number = -9223372036854775808\n" + closeAll, 3,
                 "9223372036854775808"},
        BadInput{"MalformedNumber", itemOpen + "Number = 12ab\n" + closeAll, 3,
                 "'12ab' is not a valid number"},
        BadInput{"MissingEquals", itemOpen + "Number 5\n" + closeAll, 3, "expected '=', found '5'"},
        BadInput{"StrayCharacter", itemOpen + "Number = @\n" + closeAll, 3, "expected a value, found '@'"},
        BadInput{"UnterminatedString", itemOpen + "Text = 'open\n" + closeAll, 3, "unterminated string"},
        BadInput{"CharacterCodeTooLarge", itemOpen + "Text = #99999999999999999999\n" + closeAll, 3,
                 "character code"},
        BadInput{"DuplicateName", itemOpen + "end\nobject A: TProbeItem\n" + closeAll, 4,
                 "A component named A already exists"},
        BadInput{"InvalidName", "object A.B: TProbeItem\nend\nend\n", 2, "not a valid component name"},
        BadInput{"MissingEnd", itemOpen + "Number = 1\nend\n", 5,
                 "unexpected end of file, expected 'end' of object Root begun at line 1"},
        BadInput{"TruncatedAfterEquals", itemOpen + "Number =", 3,
                 "unexpected end of file, expected a value"},
        BadInput{"NestedTooDeeply", deeplyNested(), 101, "objects are nested more than 100 deep"},
        BadInput{"TooManyObjects", thousandItems(), 2000, "the definition has more than 1000 objects"},
        BadInput{"TextAfterTheEnd", "end\nobject B: TProbeItem\nend\n", 3, "after the end of the definition"},
        BadInput{"MissingPictureFile", itemOpen + "Picture.Data = TJPEGImage('missing.jpg')\n" + closeAll, 3,
                 "cannot read 'missing.jpg'"},
        BadInput{"CorruptPictureData", itemOpen + "Picture.Data = TJPEGImage('corrupt.jpg')\n" + closeAll, 3,
                 "invalid value for A.Picture.Data: The picture data is not a valid JPEG image"},
        BadInput{"NotAJPEGFile", itemOpen + "Picture.Data = TJPEGImage('notjpeg.jpg')\n" + closeAll, 3,
                 "Not a JPEG file"},
        BadInput{"UnknownGraphicKind", itemOpen + "Picture.Data = TGIFImage('photo.jpg')\n" + closeAll, 3,
                 "Unknown picture kind 'TGIFImage'"}),
    [](const testing::TestParamInfo<BadInput>& info) { return std::string(info.param.what); });

TEST_F(Reader, TheRootMustBeOfTheDefinitionsClass) {
    TComponent other(nullptr);
    try {
        DefinitionReader("object Root: TProbeRoot\nend\n", "probe.board", testFile).ReadInto(&other);
        FAIL() << "no error raised";
    } catch (const EReadError& error) {
        EXPECT_EQ(error.Line(), 1);
        EXPECT_NE(std::string(error.what()).find("the definition is for a TProbeRoot, not a TComponent"),
                  std::string::npos);
    }
}

TEST(FormDefinition, PositionsAndSizesFarOutsideAnyScreenAreReadErrors) {
    const std::pair<const char*, int> cases[] = {
        {"  object P: TPanel\n    Height = 2147483647\n  end\n", 3},
        {"  object P: TPanel\n    Left = -32769\n  end\n", 3},
        {"  object P: TPanel\n    Constraints.MaxWidth = 32768\n  end\n", 3},
        {"  ClientWidth = 2147483647\n", 2},
    };
    for (const auto& [body, line] : cases) {
        SCOPED_TRACE(body);
        TForm form(nullptr);
        try {
            DefinitionReader("object F: TForm\n" + std::string(body) + "end\n", "form.board").ReadInto(&form);
            ADD_FAILURE() << "no error raised";
        } catch (const EReadError& error) {
            EXPECT_EQ(error.Line(), line);
            EXPECT_NE(std::string(error.what()).find("is out of range (-32768 to 32767)"), std::string::npos)
                << error.what();
        }
    }
    TForm form(nullptr);
    DefinitionReader("object F: TForm\n  object P: TPanel\n    Left = -32768\n    Top = 32767\n  end\nend\n",
                     "form.board")
        .ReadInto(&form);
    auto* panel = dynamic_cast<TControl*>(form.FindComponent("P"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Left(), -32768);
    EXPECT_EQ(panel->Top(), 32767);
}

TEST_F(Reader, ReadsPictureFilesNextToTheDefinitionByDefault) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    QFile photo(directory.filePath("photo.jpg"));
    ASSERT_TRUE(photo.open(QIODevice::WriteOnly));
    std::vector<uint8_t> bytes = resourceBytes(":/TQ5210.jpg");
    photo.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    photo.close();
    std::string fileName = directory.filePath("board.board").toStdString();

    DefinitionReader("object Root: TProbeRoot\nobject A: TProbeItem\nPicture.Data = TJPEGImage('photo.jpg')\n"
                     "end\nend\n",
                     fileName)
        .ReadInto(&root);
    EXPECT_EQ(root.Item("A")->Picture.Width(), 600);

    TProbeRoot other;
    try {
        DefinitionReader(
            "object Root: TProbeRoot\nobject A: TProbeItem\n\nPicture.Data = TJPEGImage('gone.jpg')\n"
            "end\nend\n",
            fileName)
            .ReadInto(&other);
        FAIL() << "no error raised";
    } catch (const EReadError& error) {
        std::string message = error.what();
        EXPECT_EQ(message.rfind(fileName + ":4: ", 0), 0u) << message;
        EXPECT_NE(message.find("gone.jpg"), std::string::npos) << message;
    }
}

// The program's own board definition, read into the main window class.
struct ExpectedComponent {
    const char* name;
    const char* className;
    const char* parent; // the parent control or menu item; "" for components placed nowhere
    int left, top, width, height;
};

std::string parentName(TComponent* component) {
    if (auto* control = dynamic_cast<TControl*>(component))
        return control->Parent() != nullptr ? control->Parent()->Name() : "";
    if (auto* item = dynamic_cast<TMenuItem*>(component)) {
        if (item->Parent() == nullptr)
            return "";
        return item->Parent()->Owner() != nullptr ? item->Parent()->Name() : "MainMenu1";
    }
    return "";
}

TEST(BoardDefinition, LoadsIntoTheMainWindowAsTheTreeItDescribes) {
    TIdleEvent previousIdle = Application->OnIdle;
    auto form = std::make_unique<TMainForm>(nullptr);
    const ExpectedComponent expected[] = {
        {"BoardImage1", "TBoardImage", "MainForm", 158, 18, 400, 330},
        {"BaseHighlight", "TBoardHighlight", "BoardImage1", 240, 152, 33, 73},
        {"FilterPanel", "TRadioPanel", "MainForm", 472, 118, 177, 163},
        {"FJ7", "TTwoJumper", "FilterPanel", 116, 16, 34, 18},
        {"FJ0", "TTwoJumper", "FilterPanel", 116, 128, 34, 18},
        {"FJ1", "TTwoJumper", "FilterPanel", 116, 112, 34, 18},
        {"FJ2", "TTwoJumper", "FilterPanel", 116, 96, 34, 18},
        {"FJ3", "TTwoJumper", "FilterPanel", 116, 80, 34, 18},
        {"FJ4", "TTwoJumper", "FilterPanel", 116, 64, 34, 18},
        {"FJ5", "TTwoJumper", "FilterPanel", 116, 48, 34, 18},
        {"FJ6", "TTwoJumper", "FilterPanel", 116, 32, 34, 18},
        {"FilterCheck0", "TCheckBox", "FilterPanel", 16, 128, 73, 17},
        {"FilterCheck1", "TCheckBox", "FilterPanel", 16, 112, 73, 17},
        {"FilterCheck3", "TCheckBox", "FilterPanel", 16, 80, 73, 17},
        {"FilterCheck2", "TCheckBox", "FilterPanel", 16, 96, 73, 17},
        {"FilterCheck4", "TCheckBox", "FilterPanel", 16, 64, 73, 17},
        {"FilterCheck5", "TCheckBox", "FilterPanel", 16, 48, 73, 17},
        {"FilterCheck7", "TCheckBox", "FilterPanel", 16, 16, 73, 17},
        {"FilterCheck6", "TCheckBox", "FilterPanel", 16, 32, 73, 17},
        {"MainMenu1", "TMainMenu", "", 0, 0, 0, 0},
        {"File1", "TMenuItem", "MainMenu1", 0, 0, 0, 0},
        {"Exit2", "TMenuItem", "File1", 0, 0, 0, 0},
        {"Help1", "TMenuItem", "MainMenu1", 0, 0, 0, 0},
        {"Howtousethisprogram1", "TMenuItem", "Help1", 0, 0, 0, 0},
        {"TechnicalSupport1", "TMenuItem", "Help1", 0, 0, 0, 0},
        {"SetSup", "TSetupSupporter", "", 0, 0, 0, 0},
    };
    ASSERT_EQ(form->ComponentCount(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < form->ComponentCount(); ++i) {
        const ExpectedComponent& e = expected[i];
        TComponent* component = form->Components(i);
        SCOPED_TRACE(e.name);
        EXPECT_EQ(component->Name(), e.name);
        EXPECT_STREQ(component->ClassName(), e.className);
        EXPECT_EQ(parentName(component), e.parent);
        if (auto* control = dynamic_cast<TControl*>(component)) {
            EXPECT_EQ(control->BoundsRect(), Bounds(e.left, e.top, e.width, e.height));
        }
        EXPECT_FALSE(component->IsLoading());
    }

    EXPECT_EQ(form->Name(), "MainForm");
    EXPECT_EQ(form->BoundsRect(), Bounds(198, 78, 812, 612));
    EXPECT_EQ(form->Caption(), "Setup");
    EXPECT_EQ(form->Color(), clWhite);
    EXPECT_EQ(form->Font().Name, "MS Sans Serif");
    EXPECT_EQ(form->Font().Height, -11);
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(form->Menu(), form->MainMenu1);

    // The fields follow the components by name.
    EXPECT_EQ(form->BoardImage1, dynamic_cast<TBoardImage*>(form->FindComponent("BoardImage1")));
    EXPECT_EQ(form->FJ3, dynamic_cast<TTwoJumper*>(form->FindComponent("FJ3")));
    EXPECT_EQ(form->FilterCheck6, dynamic_cast<TCheckBox*>(form->FindComponent("FilterCheck6")));
    EXPECT_NE(form->SetSup, nullptr);

    ASSERT_NE(form->BoardImage1, nullptr);
    EXPECT_EQ(form->BoardImage1->Picture().Width(), 600);
    EXPECT_EQ(form->BoardImage1->Picture().Height(), 495);
    EXPECT_FALSE(form->BoardImage1->AutoSize());
    EXPECT_EQ(form->BoardImage1->Constraints().MaxWidth, 400);
    EXPECT_EQ(form->BoardImage1->Constraints().MaxHeight, 400);
    EXPECT_TRUE(form->BoardImage1->Stretch());
    EXPECT_EQ(form->BoardImage1->First(), form->BaseHighlight);
    EXPECT_EQ(form->BoardImage1->Menu(), form->MainMenu1);

    // Menus: captions exactly as stored, in order.
    TMenuItem* bar = form->MainMenu1->Items();
    ASSERT_EQ(bar->Count(), 2);
    EXPECT_EQ(bar->Items(0)->Caption(), "&File");
    ASSERT_EQ(bar->Items(0)->Count(), 1);
    EXPECT_EQ(bar->Items(0)->Items(0)->Caption(), "&Exit");
    EXPECT_EQ(bar->Items(1)->Caption(), "&Help");
    ASSERT_EQ(bar->Items(1)->Count(), 2);
    EXPECT_EQ(bar->Items(1)->Items(0)->Caption(), "H&ow to use this program");
    EXPECT_EQ(bar->Items(1)->Items(1)->Caption(), "&Technical Support");

    // Check boxes: captions, tags, tab order, unchecked, wired.
    const std::array<TCheckBox*, 8> checks = {form->FilterCheck0, form->FilterCheck1, form->FilterCheck2,
                                              form->FilterCheck3, form->FilterCheck4, form->FilterCheck5,
                                              form->FilterCheck6, form->FilterCheck7};
    for (int n = 0; n < 8; ++n) {
        SCOPED_TRACE(n);
        ASSERT_NE(checks[n], nullptr);
        EXPECT_EQ(checks[n]->Caption(), "Filter " + std::to_string(n));
        EXPECT_EQ(checks[n]->Tag, n);
        EXPECT_EQ(checks[n]->TabOrder, n);
        EXPECT_FALSE(checks[n]->Checked());
        EXPECT_TRUE(checks[n]->OnClick);
    }
    for (const char* jumper : {"FJ0", "FJ1", "FJ2", "FJ3", "FJ4", "FJ5", "FJ6", "FJ7"})
        EXPECT_TRUE(dynamic_cast<TControl*>(form->FindComponent(jumper))->OnClick) << jumper;
    EXPECT_TRUE(form->FilterPanel->OnEnter);
    EXPECT_EQ(form->FilterPanel->TabOrder, 1);
    EXPECT_TRUE(form->Howtousethisprogram1->OnClick);
    EXPECT_TRUE(form->TechnicalSupport1->OnClick);
    EXPECT_FALSE(form->File1->OnClick);

    // The wiring, by its effect: entering the panel fills the filter tables; then a check box and
    // its jumper drawing follow each other.
    form->FilterPanel->OnEnter(form->FilterPanel);
    form->FilterCheck3->SetChecked(true);
    EXPECT_TRUE(form->FJ3->Closed());
    EXPECT_FALSE(form->FJ2->Closed());
    EXPECT_FALSE(form->FJ4->Closed());
    form->FJ5->Click();
    EXPECT_TRUE(form->FilterCheck5->Checked());
    EXPECT_FALSE(form->FilterCheck4->Checked());
    // The tables are the program's globals; they must not keep this form's controls.
    FilterJumpers = {};
    FilterChecks = {};

    // OnCreate ran FormCreate, which installs the supporter's idle handler.
    EXPECT_TRUE(Application->OnIdle);
    Application->OnIdle = previousIdle;

    // File > Exit closes the window (this one is not the application's main form, so it hides).
    form->Show();
    ASSERT_TRUE(form->Visible());
    form->Exit2->Click();
    EXPECT_FALSE(form->Visible());
}

} // namespace
