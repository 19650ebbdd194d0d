#pragma once
// Locale-free message formatting with the usual placeholders:
//   %d %u      a decimal integer
//   %x %X      a hexadecimal integer, upper-case digits
//   %s         a narrow string
//   %S         a wide string (written as UTF-8)
//   %%         a percent sign
// Each may carry "-" (left-justify), a width and a precision ("%8.8X": at least 8 digits;
// "%.3s": at most 3 characters).

#include <cstdint>
#include <initializer_list>

#include "runtime/strings.h"

namespace velmora {

class TFormatArg {
public:
  enum TKind : uint8_t { fkInteger, fkNarrow, fkWide };

  TFormatArg(int value) : FKind(fkInteger), FInteger(value) {}
  TFormatArg(long value) : FKind(fkInteger), FInteger(value) {}
  TFormatArg(long long value) : FKind(fkInteger), FInteger(value) {}
  TFormatArg(unsigned value) : FKind(fkInteger), FInteger(value) {}
  TFormatArg(unsigned long value) : FKind(fkInteger), FInteger(static_cast<int64_t>(value)) {}
  TFormatArg(const char* value) : FKind(fkNarrow), FNarrow(value) {}
  TFormatArg(std::string_view value) : FKind(fkNarrow), FNarrow(value) {}
  TFormatArg(const NarrowString& value) : FKind(fkNarrow), FNarrow(value) {}
  TFormatArg(std::u16string_view value) : FKind(fkWide), FWide(value) {}
  TFormatArg(const WideString& value) : FKind(fkWide), FWide(value) {}

  TKind Kind() const { return FKind; }
  int64_t Integer() const { return FInteger; }
  std::string_view Narrow() const { return FNarrow; }
  std::u16string_view Wide() const { return FWide; }

private:
  TKind FKind;
  int64_t FInteger = 0;
  std::string_view FNarrow;
  std::u16string_view FWide;
};

// Fills the placeholders of pattern with args in order. A placeholder without an argument,
// or with an argument of the wrong kind, raises EConvertError.
NarrowString Format(std::string_view pattern, std::initializer_list<TFormatArg> args);

} // namespace velmora
