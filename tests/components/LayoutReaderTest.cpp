#include <gtest/gtest.h>

#include <limits>

#include "platform/components/LayoutReader.h"
#include "platform/components/PropertyBuilder.h"

namespace {

std::vector<std::string> gSetters;

class TTestFont : public TPersistent {
 public:
  std::string Name = "MS Sans Serif";
  int Height = -11;
  uint32_t Style = 0;
  std::string ClassName() const override { return "TTestFont"; }
  static const TPropertyTable& ClassProperties() {
    static const TPropertyTable t = [] {
      TPropertyTable t(&TPersistent::ClassProperties());
      TPropertyBuilder<TTestFont> b(t);
      b.String("Name", [](TTestFont& f, const std::string& v) { f.Name = v; gSetters.push_back("Font.Name"); });
      b.Integer("Height", [](TTestFont& f, int64_t v) { f.Height = int(v); gSetters.push_back("Font.Height"); });
      b.Set("Style", {{"fsBold", 1}, {"fsItalic", 2}}, [](TTestFont& f, uint32_t v) { f.Style = v; gSetters.push_back("Font.Style"); });
      return t;
    }();
    return t;
  }
  const TPropertyTable& Properties() const override { return ClassProperties(); }
};

struct TTestItem : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  std::string Caption;
  int Width = 0;
  std::string ClassName() const override { return "TTestItem"; }
  static const TPropertyTable& ClassProperties() {
    static const TPropertyTable t = [] {
      TPropertyTable t(&TPersistent::ClassProperties());
      TPropertyBuilder<TTestItem> b(t);
      b.String("Caption", [](TTestItem& i, const std::string& v) { i.Caption = v; });
      b.Integer("Width", [](TTestItem& i, int64_t v) { i.Width = int(v); });
      return t;
    }();
    return t;
  }
  const TPropertyTable& Properties() const override { return ClassProperties(); }
};

enum TTestAlign { taNone, taTop, taClient };
using TNotify = std::function<void(TObject*)>;

class TThing : public TComponent {
 public:
  explicit TThing(TComponent* owner) : TComponent(owner) {}
  std::string ClassName() const override { return "TThing"; }
  int Left = 0;
  int Top = 0;
  int64_t Tag64 = 0;
  bool Visible = true;
  double Ratio = 0;
  std::string Caption;
  TColor Color = clBtnFace;
  TTestAlign Align = taNone;
  TTestFont Font;
  TNotify OnClick;
  std::vector<uint8_t> Data;
  std::vector<std::string> Lines;
  TTypedCollection<TTestItem> Items;
  TComponent* ParentSeen = nullptr;
  bool LoadedSawCaption = false;
  bool WasReadingInSetter = false;
  int LoadedCount = 0;

  void SetParentComponent(TComponent* p) override { ParentSeen = p; }
  void Loaded() override {
    TComponent::Loaded();
    ++LoadedCount;
    LoadedSawCaption = !Caption.empty();
  }
  static const TPropertyTable& ClassProperties() {
    static const TPropertyTable t = [] {
      TPropertyTable t(&TComponent::ClassProperties());
      TPropertyBuilder<TThing> b(t);
      b.Integer("Left", [](TThing& o, int64_t v) { o.Left = int(v); gSetters.push_back("Left"); });
      b.Integer("Top", {-100, 100}, [](TThing& o, int64_t v) { o.Top = int(v); });
      b.Integer("Tag64", kInt64Range, [](TThing& o, int64_t v) { o.Tag64 = v; });
      b.Boolean("Visible", [](TThing& o, bool v) { o.Visible = v; gSetters.push_back("Visible"); });
      b.Float("Ratio", [](TThing& o, double v) { o.Ratio = v; });
      b.String("Caption", [](TThing& o, const std::string& v) {
        o.Caption = v;
        o.WasReadingInSetter = o.InState(csReading) && o.InState(csLoading);
        gSetters.push_back("Caption");
      });
      b.Color("Color", [](TThing& o, TColor v) { o.Color = v; });
      b.Enum<TTestAlign>("Align", {{"alNone", taNone}, {"alTop", taTop}, {"alClient", taClient}},
                         [](TThing& o, TTestAlign v) { o.Align = v; });
      b.Object("Font", [](TThing& o) -> TPersistent* { return &o.Font; });
      b.Event<TNotify>("OnClick", [](TThing& o, TNotify e) { o.OnClick = std::move(e); });
      b.Binary("Data", [](TThing& o, const std::vector<uint8_t>& v) { o.Data = v; });
      b.Strings("Lines", [](TThing& o, const std::vector<std::string>& v) { o.Lines = v; });
      b.Collection("Items", [](TThing& o) -> TCollection* { return &o.Items; });
      return t;
    }();
    return t;
  }
  const TPropertyTable& Properties() const override { return ClassProperties(); }
};

class TTestForm : public TThing {
 public:
  explicit TTestForm(TComponent* owner) : TThing(owner) {}
  std::string ClassName() const override { return "TTestForm"; }
  int Clicks = 0;
  void GetMethods(std::map<std::string, std::any>& methods) override {
    methods["ThingClick"] = TNotify([this](TObject*) { ++Clicks; });
    methods["WrongType"] = std::function<void(int)>([](int) {});
  }
};

struct LayoutReader : ::testing::Test {
  void SetUp() override {
    RegisterComponentClass<TThing>("TThing");
    gSetters.clear();
  }
  TTestForm* Form = nullptr;
  void TearDown() override { TComponent::Free(Form); }
  void Read(const std::string& text, TLayoutContext ctx = {}) {
    Form = new TTestForm(nullptr);
    ReadLayout(Form, text, std::move(ctx));
  }
};

TEST_F(LayoutReader, AssignsPropertiesInFileOrderWhileLoadingAndReading) {
  Read(R"(object Form1: TTestForm
  Caption = 'Main'
  Left = 192
  Font.Style = [fsBold, fsItalic]
  Visible = False
  Font.Name = 'Courier'
  object Thing1: TThing
    Caption = 'It''s'#13#10'two' +
      ' lines'
    Left = -5
    Ratio = 4.81
    Color = clAqua
    Align = alClient
    OnClick = ThingClick
  end
  object Thing2: TThing
    Left = $10
    Color = 16711935
  end
end)");
  EXPECT_EQ(gSetters, (std::vector<std::string>{"Caption", "Left", "Font.Style", "Visible", "Font.Name", "Caption",
                                                "Left", "Left"}));
  EXPECT_EQ(Form->Name(), "Form1");
  EXPECT_EQ(Form->Left, 192);
  EXPECT_EQ(Form->Font.Style, 3u);
  EXPECT_EQ(Form->Font.Name, "Courier");
  EXPECT_EQ(Form->Font.Height, -11);  // not stored, so the default stays
  EXPECT_FALSE(Form->Visible);
  auto* t1 = dynamic_cast<TThing*>(Form->FindComponent("Thing1"));
  auto* t2 = dynamic_cast<TThing*>(Form->FindComponent("Thing2"));
  ASSERT_TRUE(t1 && t2);
  EXPECT_EQ(t1->Owner(), Form);
  EXPECT_EQ(t1->ParentSeen, Form);
  EXPECT_EQ(t1->Caption, "It's\r\ntwo lines");
  EXPECT_EQ(t1->Left, -5);
  EXPECT_DOUBLE_EQ(t1->Ratio, 4.81);
  EXPECT_EQ(t1->Color, clAqua);
  EXPECT_EQ(t1->Align, taClient);
  EXPECT_EQ(t2->Left, 16);
  EXPECT_EQ(t2->Color, 0xFF00FF);
  EXPECT_TRUE(t1->WasReadingInSetter);
  EXPECT_FALSE(t1->InState(csLoading | csReading));
  ASSERT_TRUE(bool(t1->OnClick));
  t1->OnClick(t1);
  EXPECT_EQ(Form->Clicks, 1);
}

TEST_F(LayoutReader, LoadedRunsOnceOnEveryComponentAfterTheWholeLayout) {
  Read(R"(object F: TTestForm
  object A: TThing
    object B: TThing
    end
  end
  Caption = 'set after the children'
end)");
  auto* a = dynamic_cast<TThing*>(Form->FindComponent("A"));
  auto* b = dynamic_cast<TThing*>(Form->FindComponent("B"));
  EXPECT_EQ(b->ParentSeen, a);
  EXPECT_EQ(Form->LoadedCount, 1);
  EXPECT_EQ(a->LoadedCount, 1);
  EXPECT_EQ(b->LoadedCount, 1);
  EXPECT_TRUE(Form->LoadedSawCaption);
}

TEST_F(LayoutReader, BinaryPayloadsCollectionsAndLists) {
  TLayoutContext ctx;
  ctx.ResolveFile = [](const std::string& name) -> std::vector<uint8_t> {
    if (name == "assets/two.bin") return {2, 2};
    throw EReadError("no file " + name);
  };
  Read(R"(object F: TTestForm
  Data = {
    0A0b FF
    00}
  Lines = (
    'first'
    'second')
  Items = <
    item
      Caption = 'One'
      Width = 40
    end
    item
      Caption = 'Two'
    end>
  object T: TThing
    Data = { file 'assets/two.bin' }
  end
end)", ctx);
  EXPECT_EQ(Form->Data, (std::vector<uint8_t>{0x0A, 0x0B, 0xFF, 0x00}));
  EXPECT_EQ(Form->Lines, (std::vector<std::string>{"first", "second"}));
  ASSERT_EQ(Form->Items.Count(), 2);
  EXPECT_EQ(Form->Items.Items(0)->Caption, "One");
  EXPECT_EQ(Form->Items.Items(0)->Width, 40);
  EXPECT_EQ(Form->Items.Items(1)->Width, 0);
  EXPECT_EQ(dynamic_cast<TThing*>(Form->FindComponent("T"))->Data, (std::vector<uint8_t>{2, 2}));
}

TEST_F(LayoutReader, MalformedLayoutsAreReportedWithTheirLine) {
  struct Case {
    const char* Text;
    const char* Message;
  } cases[] = {
      {"object F: TTestForm\n  Nope = 1\nend", "Line 2: Property Nope does not exist"},
      {"object F: TTestForm\n  Left = 'x'\nend", "Line 2: expected an integer, found a string"},
      {"object F: TTestForm\n\n  object X: TMissing\n  end\nend", "Line 3: Class TMissing not found"},
      {"object F: TTestForm\n  Caption = 'open\nend", "Line 2: Unterminated string"},
      {"object F: TTestForm\n  Left = 1\n", "Line 3: 'end' expected but end of file found"},
      {"object F: TTestForm\n  Align = alWrong\nend", "Line 2: Invalid property value 'alWrong'"},
      {"object F: TTestForm\n  Font.Style = [fsBold, fsWide]\nend", "Line 2: Invalid set element 'fsWide'"},
      {"object F: TTestForm\n  OnClick = Missing\nend", "Line 2: Method 'Missing' not found"},
      {"object F: TTestForm\n  OnClick = WrongType\nend", "Line 2: Method 'WrongType' does not match"},
      {"object F: TTestForm\n  Data = { 0A 1 }\nend", "Line 2: Binary data has an odd number of digits"},
      {"object F: TTestForm\n  Data = { 0G }\nend", "Line 2: Invalid character 'G' in binary data"},
      {"object F: TTestForm\n  Color = clNothing\nend", "Line 2: Unknown colour 'clNothing'"},
      {"object F: TTestForm\n  Left = 1\nend\nextra", "Line 4: End of file expected"},
      {"object F: TTestForm\n  Left.Sub = 1\nend", "Line 2: Property Left has no properties of its own"},
      {"object F: TTestForm\n  Visible = 1\nend", "Line 2: expected True or False"},
      {"object F: TTestForm\n  object A: TThing\n  end\n  object A: TThing\n  end\nend", "Line 4: A component named A already exists"},
  };
  for (const Case& c : cases) {
    try {
      Read(c.Text);
      ADD_FAILURE() << "no error for: " << c.Text;
    } catch (const EReadError& e) {
      EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what() << "\nexpected: " << c.Message;
    }
    TComponent::Free(Form);
    Form = nullptr;
  }
}

// The message of the error reading `text` raises, or "" when it reads.
std::string ParseError(const std::string& text) {
  try {
    ParseLayout(text);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// Every construct below opens on a line of its own, so the line of the 65th level can be
// counted: the root object is level 1 on line 1.
TEST(LayoutNesting, ListsCollectionsAndObjectsStopAt64LevelsCountedTogether) {
  // The k-th '(' is level k + 1 on line k + 1.
  EXPECT_EQ(ParseError("object F: TThing\n  L = " + Repeat("(\n", 100000)), "Line 65: Nesting deeper than 64 levels");
  // The k-th '<' is level k + 1 on line 2k.
  EXPECT_EQ(ParseError("object F: TThing\n  C = <\n" + Repeat("item\nC = <\n", 100000)),
            "Line 128: Nesting deeper than 64 levels");
  EXPECT_EQ(ParseError(Repeat("object A: TThing\n", 100000)), "Line 65: Nesting deeper than 64 levels");
  // Lists and collections in turn: "X = (" is level 2 + 2i on line 2 + 3i, "<" is level 3 + 2i
  // on line 3 + 3i, so level 65 is the '<' of i = 31.
  EXPECT_EQ(ParseError("object F: TThing\n" + Repeat("X = (\n<\nitem\n", 100000)), "Line 96: Nesting deeper than 64 levels");
  // 50 objects, then lists: the 15th '(' is level 65, on line 50 + 15.
  EXPECT_EQ(ParseError(Repeat("object A: TThing\n", 50) + "L = " + Repeat("(\n", 100000)),
            "Line 65: Nesting deeper than 64 levels");
}

TEST(LayoutNesting, SixtyFourLevelsStillRead) {
  EXPECT_EQ(ParseError("object F: TThing\n  L = " + Repeat("(", 63) + Repeat(")", 63) + "\nend"), "");
  EXPECT_EQ(ParseError("object F: TThing\n  L = " + Repeat("(", 64) + Repeat(")", 64) + "\nend"),
            "Line 2: Nesting deeper than 64 levels");
  EXPECT_EQ(ParseError(Repeat("object A: TThing\n", 64) + Repeat("end\n", 64)), "");
  EXPECT_EQ(ParseError("object F: TThing\n  C = <" + Repeat("item C = <", 62) + Repeat(">end", 62) + ">\nend"), "");
}

TEST_F(LayoutReader, IntegerLiteralsTakeAnySixtyFourBitValueAndNothingBeyond) {
  const int64_t min = std::numeric_limits<int64_t>::min(), max = std::numeric_limits<int64_t>::max();
  const std::pair<const char*, int64_t> accepted[] = {
      {"-$8000000000000000", min}, {"$7FFFFFFFFFFFFFFF", max}, {"-9223372036854775808", min},
      {"9223372036854775807", max}, {"$000000000000000000000A", 10}, {"-00000000000000000000042", -42},
  };
  for (const auto& [literal, value] : accepted) {
    Read(std::string("object F: TTestForm\n  Tag64 = ") + literal + "\nend");
    EXPECT_EQ(Form->Tag64, value) << literal;
    TComponent::Free(Form);
    Form = nullptr;
  }
  for (const char* literal : {"$8000000000000000", "-$8000000000000001", "$FFFFFFFFFFFFFFFF", "$10000000000000000",
                              "9223372036854775808", "-9223372036854775809", "18446744073709551616",
                              "-99999999999999999999999999"}) {
    EXPECT_EQ(ParseError(std::string("object F: TTestForm\n  Tag64 = ") + literal + "\nend"),
              std::string("Line 2: Number ") + literal + " is out of range");
  }
}

TEST_F(LayoutReader, NumbersAndCharacterCodesMustBeRepresentable) {
  Read("object F: TTestForm\n  Ratio = 1.5e3\n  object T: TThing\n    Ratio = -2.5E-2\n  end\nend");
  EXPECT_EQ(Form->Ratio, 1500.0);
  EXPECT_EQ(dynamic_cast<TThing*>(Form->FindComponent("T"))->Ratio, -0.025);
  EXPECT_EQ(ParseError("object F: TTestForm\n  Ratio = 1e400\nend"), "Line 2: Number 1e400 is out of range");
  EXPECT_EQ(ParseError("object F: TTestForm\n  Ratio = -1.0e400\nend"), "Line 2: Number -1.0e400 is out of range");
  EXPECT_EQ(ParseError("object F: TTestForm\n  Ratio = 1e-400\nend"), "Line 2: Number 1e-400 is out of range");
  EXPECT_EQ(ParseError("object F: TTestForm\n  Caption = 'a'#55296\nend"), "Line 2: Invalid character code");
  EXPECT_EQ(ParseError("object F: TTestForm\n  Caption = #1114112\nend"), "Line 2: Invalid character code");
  TComponent::Free(Form);
  Form = nullptr;
  try {
    Read("object F: TTestForm\n  Ratio = nan\nend");
    ADD_FAILURE() << "nan was read as a number";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Line 2: expected a number, found an identifier");
  }
}

TEST_F(LayoutReader, IntegerPropertiesKeepToTheirRange) {
  // Left takes the 32-bit default, Top declares -100..100.
  Read("object F: TTestForm\n  Left = -2147483648\n  Top = -100\n  object T: TThing\n    Left = 2147483647\n"
       "    Top = 100\n    Color = $FF00000F\n  end\n  Color = -16777201\nend");
  auto* t = dynamic_cast<TThing*>(Form->FindComponent("T"));
  EXPECT_EQ(Form->Left, std::numeric_limits<int>::min());
  EXPECT_EQ(Form->Top, -100);
  EXPECT_EQ(t->Left, std::numeric_limits<int>::max());
  EXPECT_EQ(t->Top, 100);
  EXPECT_EQ(t->Color, clBtnFace);
  EXPECT_EQ(Form->Color, clBtnFace);
  TComponent::Free(Form);
  Form = nullptr;

  struct Case {
    const char* Text;
    const char* Message;
  } cases[] = {
      {"object F: TTestForm\n  Left = 2147483648\nend", "Line 2: Left = 2147483648 is out of range (-2147483648..2147483647)"},
      {"object F: TTestForm\n  Left = -2147483649\nend", "Line 2: Left = -2147483649 is out of range (-2147483648..2147483647)"},
      {"object F: TTestForm\n  Left = $100000000\nend", "Line 2: Left = 4294967296 is out of range (-2147483648..2147483647)"},
      {"object F: TTestForm\n  Top = 101\nend", "Line 2: Top = 101 is out of range (-100..100)"},
      {"object F: TTestForm\n  Top = -101\nend", "Line 2: Top = -101 is out of range (-100..100)"},
      {"object F: TTestForm\n  Items = <\n    item\n      Width = 3000000000\n    end>\nend",
       "Line 4: Width = 3000000000 is out of range (-2147483648..2147483647)"},
      {"object F: TTestForm\n  Color = 4294967296\nend", "Line 2: Color = 4294967296 is out of range (-2147483648..4294967295)"},
      {"object F: TTestForm\n  Color = -2147483649\nend", "Line 2: Color = -2147483649 is out of range (-2147483648..4294967295)"},
  };
  for (const Case& c : cases) {
    try {
      Read(c.Text);
      ADD_FAILURE() << "no error for: " << c.Text;
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
    TComponent::Free(Form);
    Form = nullptr;
  }
}

}  // namespace
