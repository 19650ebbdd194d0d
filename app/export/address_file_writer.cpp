#include "app/export/address_file_writer.h"

#include "runtime/format.h"
#include "runtime/numbers.h"
#include "runtime/text_file.h"
#include "toolkit/string_toolkit.h"
#include "xml/windows1252_text.h"

namespace velmora {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A ";" inside a field would shift every field after it.
NarrowString FieldText(NarrowString text) {
  ReplaceAll(text, ";", ",");
  return text;
}

void ReplaceLineBreaks(NarrowString& line) {
  ReplaceAll(line, "\r\n", ",");
  ReplaceAll(line, "\n\r", ",");
  ReplaceAll(line, "\r", ",");
  ReplaceAll(line, "\n", ",");
}

} // namespace

TAddressFileWriter::TAddressFileWriter(TTextFile& output, TAddressProgress progress)
    : FOutput(output), FProgress(std::move(progress)) {}

NarrowString TAddressFileWriter::NumberLabel(std::string_view type) {
  if (type.empty() || type == "General") {
    return NarrowString();
  }
  return " (" + NarrowString(type) + ")";
}

NarrowString TAddressFileWriter::ComposeNotes(const std::vector<TContactItem>& texts) {
  NarrowString notes;
  for (const TContactItem& item : texts) {
    if (!notes.empty()) {
      notes += ", ";
    }
    if (!item.ItemType.empty() && item.ItemType != "Note") {
      notes += item.ItemType;
      notes += ": ";
    }
    notes += item.Value;
  }
  return notes;
}

NarrowString TAddressFileWriter::NormalizeNumber(std::string_view value,
                                                 std::string_view countryCode) {
  NarrowString number(value);
  ReplaceAll(number, "+", "00");
  if (countryCode.empty()) {
    return number;
  }
  // Only a prefix that begins a group of digits is the international dialling prefix;
  // "00" + code inside a subscriber number (10049) stays.
  const NarrowString prefix = "00" + NarrowString(countryCode);
  NarrowString result;
  result.reserve(number.size());
  size_t copied = 0;
  size_t pos = number.find(prefix);
  while (pos != NarrowString::npos) {
    if (pos > 0 && IsDigit(number[pos - 1])) {
      pos = number.find(prefix, pos + 1);
      continue;
    }
    result.append(number, copied, pos - copied);
    result += '0';
    copied = pos + prefix.size();
    pos = number.find(prefix, copied);
  }
  result.append(number, copied, NarrowString::npos);
  return result;
}

void TAddressFileWriter::WriteContact(const TContactData& contact,
                                      const NarrowString& countryCode) {
  const NarrowString notes = FieldText(ComposeNotes(contact.Texts));
  for (const TContactItem& item : contact.Numbers) {
    if (item.Value.empty()) {
      continue;
    }
    const NarrowString display = FieldText(contact.Name + NumberLabel(item.ItemType));
    const NarrowString number = FieldText(NormalizeNumber(item.Value, countryCode));
    NarrowString line = Format("%d;entry;%s;%s;%d;0;;;;0;%s;;;",
                               {FEntryNumber, display, number, FEntryNumber, notes});
    ReplaceLineBreaks(line);
    FOutput.WriteLine(EncodeWindows1252(line));
    if (FProgress) {
      FProgress(IntToStr(FEntryNumber), display + ": " + number);
    }
    ++FEntryNumber;
  }
}

} // namespace velmora
