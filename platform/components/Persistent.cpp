#include "platform/components/Persistent.h"

#include <cctype>

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return r;
}

const TPropInfo* TPropertyTable::Find(const std::string& name) const {
  for (const TPropertyTable* t = this; t; t = t->FBase)
    for (const TPropInfo& p : t->FProps)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

void TPersistent::Assign(const TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + (dest ? dest->ClassName() : std::string("nil")));
}

const TPropertyTable& TPersistent::ClassProperties() {
  static const TPropertyTable table;
  return table;
}

const TPropertyTable& TPersistent::Properties() const { return ClassProperties(); }
