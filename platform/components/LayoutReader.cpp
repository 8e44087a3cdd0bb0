#include "platform/components/LayoutReader.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace {

struct TToken {
  enum TKind { tkEnd, tkIdent, tkInteger, tkFloat, tkString, tkSymbol };
  TKind Kind = tkEnd;
  std::string Text;
  int64_t Integer = 0;
  double Float = 0;
  int Line = 1;
};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) out += char(cp);
  else if (cp < 0x800) { out += char(0xC0 | (cp >> 6)); out += char(0x80 | (cp & 0x3F)); }
  else if (cp < 0x10000) { out += char(0xE0 | (cp >> 12)); out += char(0x80 | ((cp >> 6) & 0x3F)); out += char(0x80 | (cp & 0x3F)); }
  else { out += char(0xF0 | (cp >> 18)); out += char(0x80 | ((cp >> 12) & 0x3F)); out += char(0x80 | ((cp >> 6) & 0x3F)); out += char(0x80 | (cp & 0x3F)); }
}

class TLexer {
 public:
  explicit TLexer(const std::string& text) : FText(text) { Advance(); }
  const TToken& Peek() const { return FCurrent; }
  TToken Next() {
    TToken t = std::move(FCurrent);
    Advance();
    return t;
  }
  [[noreturn]] void Fail(const std::string& msg, int line = -1) const {
    throw EReadError("Line " + std::to_string(line < 0 ? FCurrent.Line : line) + ": " + msg);
  }
  bool IsSymbol(const char* s) const { return FCurrent.Kind == TToken::tkSymbol && FCurrent.Text == s; }
  bool IsWord(const char* w) const { return FCurrent.Kind == TToken::tkIdent && SameText(FCurrent.Text, w); }
  void Expect(const char* symbol) {
    if (!IsSymbol(symbol)) Fail(std::string("'") + symbol + "' expected but " + Describe() + " found");
    Advance();
  }
  std::string ExpectIdent() {
    if (FCurrent.Kind != TToken::tkIdent) Fail("Identifier expected but " + Describe() + " found");
    return Next().Text;
  }
  std::string Describe() const {
    switch (FCurrent.Kind) {
      case TToken::tkEnd: return "end of file";
      case TToken::tkString: return "string";
      case TToken::tkInteger: case TToken::tkFloat: return "number";
      default: return "'" + FCurrent.Text + "'";
    }
  }
  // Raw hex digits of a binary block, up to the closing brace.
  std::vector<uint8_t> ReadHexBlock(int line) {
    std::vector<uint8_t> bytes;
    int nibble = -1;
    while (FPos < FText.size() && FText[FPos] != '}') {
      const char c = FText[FPos++];
      if (c == '\n') ++FLine;
      if (std::isspace(static_cast<unsigned char>(c))) continue;
      int v;
      if (c >= '0' && c <= '9') v = c - '0';
      else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
      else Fail(std::string("Invalid character '") + c + "' in binary data", FLine);
      if (nibble < 0) nibble = v;
      else {
        bytes.push_back(uint8_t(nibble * 16 + v));
        nibble = -1;
      }
    }
    if (FPos >= FText.size()) Fail("Binary data not closed", line);
    if (nibble >= 0) Fail("Binary data has an odd number of digits", line);
    ++FPos;  // '}'
    Advance();
    return bytes;
  }
  // After '{': true when the block names a file instead of holding hex digits.
  bool AtFileBlock() const {
    size_t p = FPos;
    while (p < FText.size() && std::isspace(static_cast<unsigned char>(FText[p]))) ++p;
    return FText.compare(p, 4, "file") == 0 && p + 4 < FText.size() && !std::isalnum(static_cast<unsigned char>(FText[p + 4]));
  }
  void RewindToRaw() { FPos = FTokenEnd; FLine = FCurrent.Line; }

 private:
  void Advance() {
    SkipSpace();
    FCurrent = TToken();
    FCurrent.Line = FLine;
    if (FPos >= FText.size()) return;
    const size_t start = FPos;
    const char c = FText[FPos];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      while (FPos < FText.size() && (std::isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '_')) ++FPos;
      FCurrent.Kind = TToken::tkIdent;
      FCurrent.Text = FText.substr(start, FPos - start);
    } else if (std::isdigit(static_cast<unsigned char>(c)) || (c == '-' && FPos + 1 < FText.size() && (std::isdigit(static_cast<unsigned char>(FText[FPos + 1])) || FText[FPos + 1] == '$'))) {
      ReadNumber();
    } else if (c == '$') {
      ReadNumber();
    } else if (c == '\'' || c == '#') {
      ReadString();
    } else {
      ++FPos;
      FCurrent.Kind = TToken::tkSymbol;
      FCurrent.Text = std::string(1, c);
    }
    FTokenEnd = FPos;
  }
  void SkipSpace() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') { ++FLine; ++FPos; }
      else if (std::isspace(static_cast<unsigned char>(c))) ++FPos;
      else if (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
        while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
      } else break;
    }
  }
  void ReadNumber() {
    const size_t start = FPos;
    bool negative = false;
    if (FText[FPos] == '-') { negative = true; ++FPos; }
    if (FPos < FText.size() && FText[FPos] == '$') {
      ++FPos;
      const size_t s = FPos;
      uint64_t magnitude = 0;
      bool tooLarge = false;
      while (FPos < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[FPos]))) {
        const char c = FText[FPos++];
        const unsigned digit = c <= '9' ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
        if (magnitude > (UINT64_MAX >> 4)) tooLarge = true;
        else magnitude = magnitude << 4 | digit;
      }
      if (s == FPos) Fail("Hexadecimal digits expected", FLine);
      SetInteger(start, negative, magnitude, tooLarge);
      return;
    }
    const size_t s = FPos;
    while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
    bool isFloat = false;
    if (FPos + 1 < FText.size() && FText[FPos] == '.' && std::isdigit(static_cast<unsigned char>(FText[FPos + 1]))) {
      isFloat = true;
      ++FPos;
      while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
    }
    if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
      size_t p = FPos + 1;
      if (p < FText.size() && (FText[p] == '+' || FText[p] == '-')) ++p;
      if (p < FText.size() && std::isdigit(static_cast<unsigned char>(FText[p]))) {
        isFloat = true;
        FPos = p;
        while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
      }
    }
    if (isFloat) {
      // from_chars ignores the locale (strtod would read "4.81" as 4 under a comma locale) and
      // reports both overflow and underflow; neither has a use in a layout.
      double value = 0;
      const auto [end, error] = std::from_chars(FText.data() + s, FText.data() + FPos, value);
      if (error != std::errc() || end != FText.data() + FPos) OutOfRange(start);
      FCurrent.Kind = TToken::tkFloat;
      FCurrent.Float = negative ? -value : value;
      return;
    }
    uint64_t magnitude = 0;
    bool tooLarge = false;
    for (size_t i = s; i < FPos; ++i) {
      const unsigned digit = unsigned(FText[i] - '0');
      if (magnitude > (UINT64_MAX - digit) / 10) tooLarge = true;
      else magnitude = magnitude * 10 + digit;
    }
    SetInteger(start, negative, magnitude, tooLarge);
  }
  // Accepts -2^63 .. 2^63-1; the negation happens in unsigned arithmetic, where it is defined.
  void SetInteger(size_t start, bool negative, uint64_t magnitude, bool tooLarge) {
    const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
    if (tooLarge || magnitude > limit) OutOfRange(start);
    FCurrent.Kind = TToken::tkInteger;
    FCurrent.Integer = int64_t(negative ? 0 - magnitude : magnitude);
  }
  [[noreturn]] void OutOfRange(size_t start) const {
    std::string literal = FText.substr(start, FPos - start);
    if (literal.size() > 40) literal = literal.substr(0, 37) + "...";
    Fail("Number " + literal + " is out of range", FLine);
  }
  void ReadString() {
    FCurrent.Kind = TToken::tkString;
    std::string out;
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\'') {
        ++FPos;
        for (;;) {
          if (FPos >= FText.size() || FText[FPos] == '\n') Fail("Unterminated string", FLine);
          if (FText[FPos] == '\'') {
            if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') { out += '\''; FPos += 2; continue; }
            ++FPos;
            break;
          }
          out += FText[FPos++];
        }
      } else if (c == '#') {
        ++FPos;
        const size_t s = FPos;
        while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
        if (s == FPos || FPos - s > 7) Fail("Invalid character code", FLine);
        const long code = std::strtol(FText.substr(s, FPos - s).c_str(), nullptr, 10);
        // Surrogates have no UTF-8 form of their own.
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) Fail("Invalid character code", FLine);
        AppendUtf8(out, uint32_t(code));
      } else {
        break;
      }
    }
    FCurrent.Text = out;
  }

  const std::string& FText;
  size_t FPos = 0;
  size_t FTokenEnd = 0;
  int FLine = 1;
  TToken FCurrent;
};

// Objects, collections and lists, counted together: deep enough for any real layout, shallow
// enough that the recursive parser below cannot run out of stack.
constexpr int kMaxNestingDepth = 64;

// `depth` counts the construct that starts at the current token and every one around it.
void CheckDepth(const TLexer& lx, int depth) {
  if (depth > kMaxNestingDepth) lx.Fail("Nesting deeper than " + std::to_string(kMaxNestingDepth) + " levels");
}

TLayoutValue ParseValue(TLexer& lx, int depth);

std::vector<TLayoutProperty> ParseProperties(TLexer& lx, const char* stopWord, int depth) {
  std::vector<TLayoutProperty> props;
  while (!lx.IsWord(stopWord) && !lx.IsWord("object") && !lx.IsWord("inherited") && !lx.IsWord("inline")) {
    if (lx.Peek().Kind == TToken::tkEnd) lx.Fail(std::string("'") + stopWord + "' expected but end of file found");
    TLayoutProperty p;
    p.Line = lx.Peek().Line;
    p.Path = lx.ExpectIdent();
    while (lx.IsSymbol(".")) {
      lx.Next();
      p.Path += "." + lx.ExpectIdent();
    }
    lx.Expect("=");
    p.Value = ParseValue(lx, depth);
    props.push_back(std::move(p));
  }
  return props;
}

TLayoutValue ParseValue(TLexer& lx, int depth) {
  TLayoutValue v;
  v.Line = lx.Peek().Line;
  const TToken& t = lx.Peek();
  switch (t.Kind) {
    case TToken::tkInteger:
      v.Kind = TLayoutValue::lvInteger;
      v.Integer = lx.Next().Integer;
      return v;
    case TToken::tkFloat:
      v.Kind = TLayoutValue::lvFloat;
      v.Float = lx.Next().Float;
      return v;
    case TToken::tkString: {
      v.Kind = TLayoutValue::lvString;
      v.Text = lx.Next().Text;
      while (lx.IsSymbol("+")) {
        lx.Next();
        if (lx.Peek().Kind != TToken::tkString) lx.Fail("String expected but " + lx.Describe() + " found");
        v.Text += lx.Next().Text;
      }
      return v;
    }
    case TToken::tkIdent:
      v.Kind = TLayoutValue::lvIdent;
      v.Text = lx.Next().Text;
      return v;
    case TToken::tkEnd:
      lx.Fail("Value expected but end of file found");
    case TToken::tkSymbol:
      break;
  }
  if (lx.IsSymbol("[")) {
    lx.Next();
    v.Kind = TLayoutValue::lvSet;
    while (!lx.IsSymbol("]")) {
      v.Elements.push_back(lx.ExpectIdent());
      if (!lx.IsSymbol(",")) break;
      lx.Next();
    }
    lx.Expect("]");
    return v;
  }
  if (lx.IsSymbol("{")) {
    v.Kind = TLayoutValue::lvBinary;
    if (lx.AtFileBlock()) {
      lx.Next();
      lx.ExpectIdent();  // file
      if (lx.Peek().Kind != TToken::tkString) lx.Fail("File name expected");
      v.Text = lx.Next().Text;
      lx.Expect("}");
      return v;
    }
    lx.RewindToRaw();
    v.Bytes = lx.ReadHexBlock(v.Line);
    return v;
  }
  if (lx.IsSymbol("<")) {
    CheckDepth(lx, depth + 1);
    lx.Next();
    v.Kind = TLayoutValue::lvCollection;
    while (lx.IsWord("item")) {
      lx.Next();
      v.Items.push_back(ParseProperties(lx, "end", depth + 1));
      if (lx.IsWord("object")) lx.Fail("Objects are not allowed inside a collection item");
      lx.Next();  // end
    }
    lx.Expect(">");
    return v;
  }
  if (lx.IsSymbol("(")) {
    CheckDepth(lx, depth + 1);
    lx.Next();
    v.Kind = TLayoutValue::lvList;
    while (!lx.IsSymbol(")")) {
      if (lx.Peek().Kind == TToken::tkEnd) lx.Fail("')' expected but end of file found");
      v.List.push_back(ParseValue(lx, depth + 1));
    }
    lx.Next();
    return v;
  }
  lx.Fail("Invalid property value " + lx.Describe());
}

TLayoutObject ParseObject(TLexer& lx, int depth) {
  CheckDepth(lx, depth);
  if (!lx.IsWord("object") && !lx.IsWord("inherited") && !lx.IsWord("inline"))
    lx.Fail("'object' expected but " + lx.Describe() + " found");
  TLayoutObject o;
  o.Line = lx.Next().Line;
  const std::string first = lx.ExpectIdent();
  if (lx.IsSymbol(":")) {
    lx.Next();
    o.Name = first;
    o.ClassName = lx.ExpectIdent();
  } else {
    o.ClassName = first;
  }
  o.Properties = ParseProperties(lx, "end", depth);
  while (!lx.IsWord("end")) {
    if (lx.Peek().Kind == TToken::tkEnd) lx.Fail("'end' expected but end of file found");
    o.Children.push_back(ParseObject(lx, depth + 1));
    // Properties after children are allowed too.
    auto more = ParseProperties(lx, "end", depth);
    o.Properties.insert(o.Properties.end(), more.begin(), more.end());
  }
  lx.Next();  // end
  return o;
}

}  // namespace

TLayoutObject ParseLayout(const std::string& text) {
  TLexer lx(text);
  TLayoutObject root = ParseObject(lx, 1);
  if (lx.Peek().Kind != TToken::tkEnd) lx.Fail("End of file expected but " + lx.Describe() + " found");
  return root;
}

// ---- Reading into components -------------------------------------------------------------------

void SetLayoutProperty(TPersistent& target, const TLayoutProperty& property, TLayoutContext& context) {
  TPersistent* object = &target;
  std::string rest = property.Path;
  for (;;) {
    const size_t dot = rest.find('.');
    const std::string name = rest.substr(0, dot);
    const TPropInfo* info = object->Properties().Find(name);
    if (!info) context.Fail(property.Line, "Property " + property.Path + " does not exist in " + target.ClassName());
    if (dot == std::string::npos) {
      if (!info->Set) context.Fail(property.Line, "Property " + property.Path + " cannot be assigned a value");
      if (property.Value.Kind != TLayoutValue::lvBinary || property.Value.Text.empty()) {
        info->Set(*object, property.Value, context);
        return;
      }
      // A binary value that names a file: its bytes are read now.
      TLayoutValue value = property.Value;
      if (!context.ResolveFile) context.Fail(property.Line, "No files can be read for '" + value.Text + "'");
      value.Bytes = context.ResolveFile(value.Text);
      info->Set(*object, value, context);
      return;
    }
    if (!info->Sub) context.Fail(property.Line, "Property " + name + " has no properties of its own");
    object = info->Sub(*object);
    if (!object) context.Fail(property.Line, "Property " + name + " is not set");
    rest = rest.substr(dot + 1);
  }
}

namespace {

void ReadObject(TComponent* component, const TLayoutObject& layout, TLayoutContext& ctx,
                std::vector<TComponent*>& loaded) {
  component->IncludeState(csLoading | csReading);
  loaded.push_back(component);
  for (const TLayoutProperty& p : layout.Properties) SetLayoutProperty(*component, p, ctx);
  component->ExcludeState(csReading);
  for (const TLayoutObject& child : layout.Children) {
    TComponentFactory factory = FindComponentClass(child.ClassName);
    if (!factory) ctx.Fail(child.Line, "Class " + child.ClassName + " not found");
    TComponent* created = factory(ctx.Root);
    created->IncludeState(csLoading | csReading);
    if (!child.Name.empty()) {
      if (ctx.Root->FindComponent(child.Name) && ctx.Root->FindComponent(child.Name) != created)
        ctx.Fail(child.Line, "A component named " + child.Name + " already exists");
      created->SetName(child.Name);
    }
    created->SetParentComponent(component);
    ReadObject(created, child, ctx, loaded);
  }
}

}  // namespace

void ReadLayout(TComponent* root, const TLayoutObject& layout, TLayoutContext context) {
  context.Root = root;
  root->GetMethods(context.Methods);
  std::vector<TComponent*> loaded;
  if (!layout.Name.empty()) root->SetName(layout.Name);
  ReadObject(root, layout, context, loaded);
  for (auto& fixup : context.Fixups) fixup();
  for (TComponent* c : loaded) c->Loaded();
}

void ReadLayout(TComponent* root, const std::string& text, TLayoutContext context) {
  ReadLayout(root, ParseLayout(text), std::move(context));
}
