#include "platform/components/LayoutValue.h"

#include "platform/components/Persistent.h"

namespace {
[[noreturn]] void WrongKind(const TLayoutValue& v, const char* wanted) {
  throw EReadError("Line " + std::to_string(v.Line) + ": expected " + wanted + ", found " + v.KindName());
}
}  // namespace

std::string TLayoutValue::KindName() const {
  switch (Kind) {
    case lvInteger: return "an integer";
    case lvFloat: return "a number";
    case lvString: return "a string";
    case lvIdent: return "an identifier";
    case lvSet: return "a set";
    case lvBinary: return "binary data";
    case lvCollection: return "a collection";
    case lvList: return "a list";
  }
  return "a value";
}

int64_t TLayoutValue::AsInteger() const {
  if (Kind != lvInteger) WrongKind(*this, "an integer");
  return Integer;
}

int64_t TLayoutValue::AsInteger(const std::string& name, TIntRange range) const {
  const int64_t value = AsInteger();
  if (value < range.Min || value > range.Max)
    throw EReadError("Line " + std::to_string(Line) + ": " + name + " = " + std::to_string(value) + " is out of range (" +
                     std::to_string(range.Min) + ".." + std::to_string(range.Max) + ")");
  return value;
}

double TLayoutValue::AsFloat() const {
  if (Kind == lvInteger) return double(Integer);
  if (Kind != lvFloat) WrongKind(*this, "a number");
  return Float;
}

bool TLayoutValue::AsBoolean() const {
  if (Kind == lvIdent && SameText(Text, "True")) return true;
  if (Kind == lvIdent && SameText(Text, "False")) return false;
  WrongKind(*this, "True or False");
}

const std::string& TLayoutValue::AsString() const {
  if (Kind != lvString) WrongKind(*this, "a string");
  return Text;
}

const std::string& TLayoutValue::AsIdent() const {
  if (Kind != lvIdent) WrongKind(*this, "an identifier");
  return Text;
}

void TLayoutContext::Fail(int line, const std::string& message) const {
  throw EReadError("Line " + std::to_string(line) + ": " + message);
}
