#pragma once
// The root classes of the component model: TObject (run-time class name), TPersistent
// (assignable, with a table of published properties that stored layouts set by name) and
// the exceptions of the model.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class TObject {
 public:
  virtual ~TObject() = default;
  virtual std::string ClassName() const { return "TObject"; }
};

class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value read from a stored layout.
struct TLayoutValue;
class TLayoutContext;
class TPersistent;

// One published property: how a layout value is stored into an object, or (for object-valued
// properties such as Font) which sub-object a dotted path continues into.
struct TPropInfo {
  std::string Name;
  std::function<void(TPersistent&, const TLayoutValue&, TLayoutContext&)> Set;
  std::function<TPersistent*(TPersistent&)> Sub;
};

// The published properties of one class, in declaration order, chained to its base class.
class TPropertyTable {
 public:
  explicit TPropertyTable(const TPropertyTable* base = nullptr) : FBase(base) {}
  const TPropInfo* Find(const std::string& name) const;  // case-insensitive, base classes too
  void Add(TPropInfo info) { FProps.push_back(std::move(info)); }
  const std::vector<TPropInfo>& Own() const { return FProps; }
  const TPropertyTable* Base() const { return FBase; }

 private:
  const TPropertyTable* FBase;
  std::vector<TPropInfo> FProps;
};

class TPersistent : public TObject {
 public:
  std::string ClassName() const override { return "TPersistent"; }
  // Copies `source` into this object; raises EConvertError when the classes don't fit.
  virtual void Assign(const TPersistent* source);
  // Published properties of the object's class.
  virtual const TPropertyTable& Properties() const;
  static const TPropertyTable& ClassProperties();

 protected:
  // Lets the source decide how to copy itself into `dest` (the other half of Assign).
  virtual void AssignTo(TPersistent* dest) const;
};

// Compares names the way the component model does: ASCII case-insensitive.
bool SameText(const std::string& a, const std::string& b);
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
