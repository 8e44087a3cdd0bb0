#pragma once
// Stored layouts: a text description of a form and the components in it,
//
//   object Form1: TForm1
//     Caption = 'Maruk timeline ROM viewer'
//     Font.Style = [fsBold]
//     OnActivate = FormActivate
//     object sBitBtn1: TsBitBtn
//       SkinData.SkinSection = 'BUTTON'
//     end
//   end
//
// Values: integers (also $hex), numbers with a decimal point, strings ('it''s', #13 codes,
// joined with +), identifiers, sets [a, b], binary payloads { hex digits } or { file 'name' },
// collections < item ... end >, and lists ( ... ). The reader creates each nested object by
// its class name, sets its parent, assigns its properties in file order while it is loading
// and reading, binds event names to the root's methods, and calls Loaded on every component
// once the whole layout has been read. Errors name the line. Objects, collections and lists
// nest at most 64 deep, all kinds counted together; integers must fit in 64 bits and each
// integer property states the range it accepts.
#include <string>
#include <vector>

#include "platform/components/Component.h"
#include "platform/components/LayoutValue.h"

struct TLayoutObject {
  std::string Name;
  std::string ClassName;
  int Line = 0;
  std::vector<TLayoutProperty> Properties;
  std::vector<TLayoutObject> Children;
};

TLayoutObject ParseLayout(const std::string& text);

// Reads `text` into `root` (which must be of the layout's root class or a base of it).
void ReadLayout(TComponent* root, const std::string& text, TLayoutContext context = {});
void ReadLayout(TComponent* root, const TLayoutObject& layout, TLayoutContext context = {});
// Sets one property by dotted path; raises EReadError for unknown names or bad values.
void SetLayoutProperty(TPersistent& target, const TLayoutProperty& property, TLayoutContext& context);
