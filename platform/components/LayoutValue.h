#pragma once
// Values of a stored layout and the context a layout is read in.
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

class TComponent;
struct TLayoutProperty;

class EReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The integers a property accepts, bounds included.
struct TIntRange {
  int64_t Min;
  int64_t Max;
};
inline constexpr TIntRange kInt32Range{INT32_MIN, INT32_MAX};
inline constexpr TIntRange kInt64Range{INT64_MIN, INT64_MAX};

struct TLayoutValue {
  enum TKind { lvInteger, lvFloat, lvString, lvIdent, lvSet, lvBinary, lvCollection, lvList };
  TKind Kind = lvInteger;
  int64_t Integer = 0;
  double Float = 0;
  std::string Text;                    // string or identifier
  std::vector<std::string> Elements;   // set elements
  std::vector<uint8_t> Bytes;          // binary payload
  std::vector<std::vector<TLayoutProperty>> Items;  // collection items
  std::vector<TLayoutValue> List;      // ( ... ) lists
  int Line = 0;

  // Conversions that raise EReadError naming the line when the value has another kind.
  int64_t AsInteger() const;
  // An integer within `range`; outside it the error names the property `name` and the range.
  int64_t AsInteger(const std::string& name, TIntRange range) const;
  double AsFloat() const;
  bool AsBoolean() const;
  const std::string& AsString() const;
  const std::string& AsIdent() const;
  std::string KindName() const;
};

struct TLayoutProperty {
  std::string Path;  // "Caption", "Font.Style", "SkinData.SkinSection"
  TLayoutValue Value;
  int Line = 0;
};

// What a property setter may need while a layout is read: the root component (whose
// methods events are bound to) and a resolver for payloads kept in files of the program.
class TLayoutContext {
 public:
  TComponent* Root = nullptr;
  // Methods of the root by name; each holds the exact event type (std::function<...>).
  std::map<std::string, std::any> Methods;
  std::function<std::vector<uint8_t>(const std::string&)> ResolveFile;
  // Work left until every object of the layout exists (references to components by name).
  std::vector<std::function<void()>> Fixups;

  [[noreturn]] void Fail(int line, const std::string& message) const;
  // The event bound to `name`, of type T; raises EReadError when missing or of another type.
  template <class T>
  T Method(const TLayoutValue& v) const {
    const std::string& name = v.AsIdent();
    auto it = Methods.find(name);
    if (it == Methods.end()) Fail(v.Line, "Method '" + name + "' not found");
    if (const T* m = std::any_cast<T>(&it->second)) return *m;
    Fail(v.Line, "Method '" + name + "' does not match the event's type");
  }
};
