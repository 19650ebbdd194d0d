// The properties of TTidy that pass through to the library's options.

#include "docservice/html/tidy_document.h"

namespace velmora {

#define VELMORA_TIDY_FLAG_DEFINITIONS(Name, Option)                                                \
  bool TTidy::Name() const { return GetFlagOption(FLibrary->doc(), Option); }                     \
  void TTidy::Set##Name(bool value) { SetFlagOption(FLibrary->doc(), Option, value); }
VELMORA_TIDY_FLAG_PROPERTIES(VELMORA_TIDY_FLAG_DEFINITIONS)
#undef VELMORA_TIDY_FLAG_DEFINITIONS

namespace {

int GetIntOption(TidyDoc doc, TidyOptionId option) {
  return static_cast<int>(tidyOptGetInt(doc, option));
}

void SetIntOption(TidyDoc doc, TidyOptionId option, int value) {
  tidyOptSetInt(doc, option, static_cast<ulong>(value < 0 ? 0 : value));
}

} // namespace

NarrowString TTidy::AltText() const {
  return GetStringOption(FLibrary->doc(), TidyAltText);
}
void TTidy::SetAltText(const NarrowString& value) {
  tidyOptSetValue(FLibrary->doc(), TidyAltText, value.c_str());
}

int TTidy::AccessibilityCheckLevel() const {
  return GetIntOption(FLibrary->doc(), TidyAccessibilityCheckLevel);
}
void TTidy::SetAccessibilityCheckLevel(int value) {
  SetIntOption(FLibrary->doc(), TidyAccessibilityCheckLevel, value);
}

int TTidy::WrapLen() const {
  return GetIntOption(FLibrary->doc(), TidyWrapLen);
}
void TTidy::SetWrapLen(int value) {
  SetIntOption(FLibrary->doc(), TidyWrapLen, value);
}

int TTidy::TabSize() const {
  return GetIntOption(FLibrary->doc(), TidyTabSize);
}
void TTidy::SetTabSize(int value) {
  SetIntOption(FLibrary->doc(), TidyTabSize, value);
}

int TTidy::ShowErrors() const {
  return GetIntOption(FLibrary->doc(), TidyShowErrors);
}
void TTidy::SetShowErrors(int value) {
  SetIntOption(FLibrary->doc(), TidyShowErrors, value);
}

int TTidy::MergeDivs() const {
  return GetIntOption(FLibrary->doc(), TidyMergeDivs);
}
void TTidy::SetMergeDivs(int value) {
  SetIntOption(FLibrary->doc(), TidyMergeDivs, value);
}

// The library decodes by the name it is given: setting the numeric option would leave
// the input decoding as it was.
TidyEncodingID TTidy::CharEncoding() const {
  return EncodingFromLibrary(tidyOptGetInt(FLibrary->doc(), TidyCharEncoding));
}
void TTidy::SetCharEncoding(TidyEncodingID value) {
  tidySetCharEncoding(FLibrary->doc(), NarrowString(LibraryEncodingName(value)).c_str());
}

TidyEncodingID TTidy::InCharEncoding() const {
  return EncodingFromLibrary(tidyOptGetInt(FLibrary->doc(), TidyInCharEncoding));
}
void TTidy::SetInCharEncoding(TidyEncodingID value) {
  tidySetInCharEncoding(FLibrary->doc(), NarrowString(LibraryEncodingName(value)).c_str());
}

TidyEncodingID TTidy::OutCharEncoding() const {
  return EncodingFromLibrary(tidyOptGetInt(FLibrary->doc(), TidyOutCharEncoding));
}
void TTidy::SetOutCharEncoding(TidyEncodingID value) {
  tidySetOutCharEncoding(FLibrary->doc(), NarrowString(LibraryEncodingName(value)).c_str());
}

TidyDupAttrModes TTidy::DuplicateAttrs() const {
  return tidyOptGetInt(FLibrary->doc(), TidyDuplicateAttrs) == ::TidyKeepLast ? TidyKeepLast
                                                                              : TidyKeepFirst;
}
void TTidy::SetDuplicateAttrs(TidyDupAttrModes value) {
  tidyOptSetInt(FLibrary->doc(), TidyDuplicateAttrs,
                value == TidyKeepLast ? ::TidyKeepLast : ::TidyKeepFirst);
}

int TTidy::Indent() const {
  const int spaces = GetIntOption(FLibrary->doc(), TidyIndentSpaces);
  return tidyOptGetInt(FLibrary->doc(), TidyIndentContent) == TidyYesState ? -spaces : spaces;
}
void TTidy::SetIndent(int value) {
  const long long spaces = value < 0 ? -static_cast<long long>(value) : value;
  tidyOptSetInt(FLibrary->doc(), TidyIndentSpaces, static_cast<ulong>(spaces));
  tidyOptSetInt(FLibrary->doc(), TidyIndentContent,
                value < 0 ? TidyYesState : (value == 0 ? TidyNoState : TidyAutoState));
}

bool TTidy::SetLibraryOption(std::string_view name, std::string_view value) {
  const NarrowString optionName(name);
  if (!tidyGetOptionByName(FLibrary->doc(), optionName.c_str())) {
    return false;
  }
  return tidyOptParseValue(FLibrary->doc(), optionName.c_str(), NarrowString(value).c_str()) != no;
}

} // namespace velmora
