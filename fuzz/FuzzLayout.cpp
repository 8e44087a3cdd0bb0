// The stored-layout reader over any text: parsed, then read into a form of components whose
// properties take every kind of value (ranged integers, colours, enumerations, sets, events,
// binary payloads from files, string lists, collections, object properties, references).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/components/LayoutReader.h"
#include "platform/components/PropertyBuilder.h"

namespace {

class TFuzzFont : public TPersistent {
 public:
  std::string ClassName() const override { return "TFuzzFont"; }
  static const TPropertyTable& ClassProperties() {
    static const TPropertyTable t = [] {
      TPropertyTable t(&TPersistent::ClassProperties());
      TPropertyBuilder<TFuzzFont> b(t);
      b.String("Name", [](TFuzzFont& f, const std::string& v) { f.Name = v; });
      b.Integer("Height", {-1000, 1000}, [](TFuzzFont& f, int64_t v) { f.Height = int(v); });
      b.Set("Style", {{"fsBold", 1}, {"fsItalic", 2}, {"fsUnderline", 4}}, [](TFuzzFont& f, uint32_t v) { f.Style = v; });
      b.Color("Color", [](TFuzzFont& f, TColor v) { f.Color = v; });
      return t;
    }();
    return t;
  }
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  std::string Name;
  int Height = 0;
  uint32_t Style = 0;
  TColor Color = 0;
};

struct TFuzzItem : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  std::string ClassName() const override { return "TFuzzItem"; }
  static const TPropertyTable& ClassProperties() {
    static const TPropertyTable t = [] {
      TPropertyTable t(&TPersistent::ClassProperties());
      TPropertyBuilder<TFuzzItem> b(t);
      b.String("Caption", [](TFuzzItem& i, const std::string& v) { i.Caption = v; });
      b.Integer("Width", [](TFuzzItem& i, int64_t v) { i.Width = int(v); });
      return t;
    }();
    return t;
  }
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  std::string Caption;
  int Width = 0;
};

enum TFuzzAlign { faNone, faTop, faClient };

class TFuzzThing : public TComponent {
 public:
  explicit TFuzzThing(TComponent* owner) : TComponent(owner) {}
  std::string ClassName() const override { return "TFuzzThing"; }
  static const TPropertyTable& ClassProperties() {
    static const TPropertyTable t = [] {
      TPropertyTable t(&TComponent::ClassProperties());
      TPropertyBuilder<TFuzzThing> b(t);
      b.Integer("Left", [](TFuzzThing& o, int64_t v) { o.Left = int(v); });
      b.Integer("Top", {-100, 100}, [](TFuzzThing& o, int64_t v) { o.Top = int(v); });
      b.Integer("Tag", kInt64Range, [](TFuzzThing& o, int64_t v) { o.Tag = v; });
      b.Boolean("Visible", [](TFuzzThing& o, bool v) { o.Visible = v; });
      b.Float("Ratio", [](TFuzzThing& o, double v) { o.Ratio = v; });
      b.String("Caption", [](TFuzzThing& o, const std::string& v) { o.Caption = v; });
      b.Color("Color", [](TFuzzThing& o, TColor v) { o.Color = v; });
      b.Enum<TFuzzAlign>("Align", {{"alNone", faNone}, {"alTop", faTop}, {"alClient", faClient}},
                         [](TFuzzThing& o, TFuzzAlign v) { o.Align = v; });
      b.Object("Font", [](TFuzzThing& o) -> TPersistent* { return &o.Font; });
      b.Event<std::function<void(TObject*)>>("OnClick", [](TFuzzThing& o, std::function<void(TObject*)> e) {
        o.OnClick = std::move(e);
      });
      b.Binary("Data", [](TFuzzThing& o, const std::vector<uint8_t>& v) { o.Data = v; });
      b.Strings("Lines", [](TFuzzThing& o, const std::vector<std::string>& v) { o.Lines = v; });
      b.Collection("Items", [](TFuzzThing& o) -> TCollection* { return &o.Items; });
      b.Reference<TFuzzThing>("Buddy", [](TFuzzThing& o, TFuzzThing* v) { o.Buddy = v; });
      return t;
    }();
    return t;
  }
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void GetMethods(std::map<std::string, std::any>& methods) override {
    methods["ThingClick"] = std::function<void(TObject*)>([](TObject*) {});
    methods["OtherClick"] = std::function<void(int)>([](int) {});
  }

  int Left = 0, Top = 0;
  int64_t Tag = 0;
  bool Visible = true;
  double Ratio = 0;
  std::string Caption;
  TColor Color = 0;
  TFuzzAlign Align = faNone;
  TFuzzFont Font;
  std::function<void(TObject*)> OnClick;
  std::vector<uint8_t> Data;
  std::vector<std::string> Lines;
  TTypedCollection<TFuzzItem> Items;
  TFuzzThing* Buddy = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = [] {
    RegisterComponentClass<TFuzzThing>("TFuzzThing");
    return true;
  }();
  (void)registered;
  const std::string text(reinterpret_cast<const char*>(data), size);
  TLayoutObject layout;
  try {
    layout = ParseLayout(text);
  } catch (const EReadError&) {
    return 0;
  }
  TFuzzThing* root = new TFuzzThing(nullptr);
  TLayoutContext context;
  context.ResolveFile = [](const std::string& name) {
    if (name == "missing.bmp") throw EReadError("no file " + name);
    return std::vector<uint8_t>(name.begin(), name.end());
  };
  try {
    ReadLayout(root, layout, std::move(context));
  } catch (const EReadError&) {
  }
  TComponent::Free(root);
  return 0;
}
