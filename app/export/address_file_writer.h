#pragma once
// Writes contacts into the address file of the telephony program: one line per telephone
// number, 14 semicolon-separated fields, Windows-1252, CR LF.

#include <cstdint>
#include <functional>
#include <vector>

#include "runtime/strings.h"

namespace velmora {

class TTextFile;

struct TContactItem {
  NarrowString ItemType; // the item's type attribute; may be empty
  NarrowString Value;    // the item's text; may be empty
};

struct TContactData {
  NarrowString Name;
  std::vector<TContactItem> Texts;   // in document order
  std::vector<TContactItem> Numbers; // in document order
};

// Receives the entry number of a written line in decimal and "display name: number".
using TAddressProgress =
    std::function<void(const NarrowString& entryNumber, const NarrowString& lineText)>;

class TAddressFileWriter {
public:
  // output is open and empty; one writer serves one export, numbering its lines from 1.
  TAddressFileWriter(TTextFile& output, TAddressProgress progress);

  // Writes one line for every non-empty number of contact, in order, and reports each.
  // A failed write raises EInOutError; FEntryNumber then still names the failed line.
  void WriteContact(const TContactData& contact, const NarrowString& countryCode);

  int32_t EntryNumber() const { return FEntryNumber; }

  // "" for an empty type or "General", otherwise " (type)".
  static NarrowString NumberLabel(std::string_view type);
  // The text items joined by ", ", each as "type: value", or the bare value for an untyped
  // or "Note" item.
  static NarrowString ComposeNotes(const std::vector<TContactItem>& texts);
  // An international number in the national form of the home country: every "+" becomes
  // "00", then "00" + countryCode becomes "0" where no digit precedes it.
  static NarrowString NormalizeNumber(std::string_view value, std::string_view countryCode);

private:
  TTextFile& FOutput;
  TAddressProgress FProgress;
  int32_t FEntryNumber = 1;
};

} // namespace velmora
