#pragma once
// Typed helpers for filling a class's table of published properties.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/components/Collection.h"
#include "platform/components/Component.h"
#include "platform/components/LayoutValue.h"
#include "platform/components/Persistent.h"
#include "platform/graphics/Colors.h"

void SetLayoutProperty(TPersistent& target, const TLayoutProperty& property, TLayoutContext& context);

// Colour names of stored layouts (clBlack, clBtnFace, ...).
bool IdentToColor(const std::string& ident, TColor& color);
std::string ColorToIdent(TColor color);  // the name, or "" when the colour has none

// Colours are stored signed (clBtnFace as -16777201) or as their 32 bits ($FF00000F).
inline constexpr TIntRange kColorRange{INT32_MIN, UINT32_MAX};

template <class T>
class TPropertyBuilder {
 public:
  explicit TPropertyBuilder(TPropertyTable& table) : FTable(table) {}

  template <class F>
  void Custom(const std::string& name, F set) {
    FTable.Add({name, [set](TPersistent& o, const TLayoutValue& v, TLayoutContext& ctx) { set(static_cast<T&>(o), v, ctx); }, nullptr});
  }
  // An integer property takes the 32-bit range unless it states its own; a value outside the
  // range is refused with an error, never cut down to fit.
  template <class F>
  void Integer(const std::string& name, F set) {
    Integer(name, kInt32Range, std::move(set));
  }
  template <class F>
  void Integer(const std::string& name, TIntRange range, F set) {
    Custom(name, [name, range, set](T& o, const TLayoutValue& v, TLayoutContext&) { set(o, v.AsInteger(name, range)); });
  }
  template <class F>
  void Float(const std::string& name, F set) {
    Custom(name, [set](T& o, const TLayoutValue& v, TLayoutContext&) { set(o, v.AsFloat()); });
  }
  template <class F>
  void Boolean(const std::string& name, F set) {
    Custom(name, [set](T& o, const TLayoutValue& v, TLayoutContext&) { set(o, v.AsBoolean()); });
  }
  template <class F>
  void String(const std::string& name, F set) {
    Custom(name, [set](T& o, const TLayoutValue& v, TLayoutContext&) {
      // A bare identifier is accepted where a string is expected, as in names.
      set(o, v.Kind == TLayoutValue::lvIdent ? v.Text : v.AsString());
    });
  }
  template <class F>
  void Color(const std::string& name, F set) {
    Custom(name, [name, set](T& o, const TLayoutValue& v, TLayoutContext& ctx) {
      if (v.Kind == TLayoutValue::lvInteger) return set(o, TColor(uint32_t(v.AsInteger(name, kColorRange))));
      TColor c;
      if (!IdentToColor(v.AsIdent(), c)) ctx.Fail(v.Line, "Unknown colour '" + v.Text + "'");
      set(o, c);
    });
  }
  template <class E, class F>
  void Enum(const std::string& name, std::initializer_list<std::pair<const char*, E>> values, F set) {
    std::vector<std::pair<std::string, E>> table(values.begin(), values.end());
    Custom(name, [set, table](T& o, const TLayoutValue& v, TLayoutContext& ctx) {
      const std::string& id = v.AsIdent();
      for (const auto& [text, value] : table)
        if (SameText(text, id)) return set(o, value);
      ctx.Fail(v.Line, "Invalid property value '" + id + "'");
    });
  }
  template <class F>
  void Set(const std::string& name, std::initializer_list<std::pair<const char*, uint32_t>> flags, F set) {
    std::vector<std::pair<std::string, uint32_t>> table(flags.begin(), flags.end());
    Custom(name, [set, table](T& o, const TLayoutValue& v, TLayoutContext& ctx) {
      if (v.Kind != TLayoutValue::lvSet) ctx.Fail(v.Line, "Expected a set, found " + v.KindName());
      uint32_t bits = 0;
      for (const std::string& e : v.Elements) {
        bool found = false;
        for (const auto& [text, bit] : table)
          if (SameText(text, e)) {
            bits |= bit;
            found = true;
          }
        if (!found) ctx.Fail(v.Line, "Invalid set element '" + e + "'");
      }
      set(o, bits);
    });
  }
  template <class E, class F>
  void Event(const std::string& name, F set) {
    Custom(name, [set](T& o, const TLayoutValue& v, TLayoutContext& ctx) { set(o, ctx.template Method<E>(v)); });
  }
  template <class F>
  void Binary(const std::string& name, F set) {
    Custom(name, [set](T& o, const TLayoutValue& v, TLayoutContext& ctx) {
      if (v.Kind != TLayoutValue::lvBinary) ctx.Fail(v.Line, "Expected binary data, found " + v.KindName());
      set(o, v.Bytes);
    });
  }
  template <class F>
  void Strings(const std::string& name, F set) {
    Custom(name, [set](T& o, const TLayoutValue& v, TLayoutContext& ctx) {
      if (v.Kind != TLayoutValue::lvList) ctx.Fail(v.Line, "Expected a list, found " + v.KindName());
      std::vector<std::string> lines;
      for (const TLayoutValue& item : v.List) lines.push_back(item.AsString());
      set(o, lines);
    });
  }
  // A collection: the stored items replace the current ones, each item's properties set in order.
  template <class F>
  void Collection(const std::string& name, F get) {
    Custom(name, [get](T& o, const TLayoutValue& v, TLayoutContext& ctx) {
      if (v.Kind != TLayoutValue::lvCollection) ctx.Fail(v.Line, "Expected a collection, found " + v.KindName());
      TCollection* c = get(o);
      c->Clear();
      for (const auto& item : v.Items) {
        TCollectionItem* added = c->Add();
        for (const TLayoutProperty& p : item) SetLayoutProperty(*added, p, ctx);
      }
    });
  }
  // A reference to another component of the layout by name, resolved once all exist.
  template <class TTarget, class F>
  void Reference(const std::string& name, F set) {
    Custom(name, [set](T& o, const TLayoutValue& v, TLayoutContext& ctx) {
      const std::string target = v.AsIdent();
      const int line = v.Line;
      TComponent* root = ctx.Root;
      T* object = &o;
      TLayoutContext* context = &ctx;
      ctx.Fixups.push_back([set, target, line, root, object, context] {
        auto* found = dynamic_cast<TTarget*>(root->FindComponent(target));
        if (!found) context->Fail(line, "Component " + target + " not found");
        set(*object, found);
      });
    });
  }
  // An object-valued property: dotted paths continue into the object it returns.
  template <class F>
  void Object(const std::string& name, F get) {
    FTable.Add({name, nullptr, [get](TPersistent& o) -> TPersistent* { return get(static_cast<T&>(o)); }});
  }

 private:
  TPropertyTable& FTable;
};
