#pragma once
// String operations that the converter, the caption code and the document service share.
// They work on the bytes of narrow strings; the case tables are Windows-1252 byte tables.

#include <vector>

#include "runtime/strings.h"
#include "runtime/variant.h"

namespace velmora {

// The three case tables: flip (a letter to the other case), to upper case and to lower
// case; every entry that is not a letter of the current alphabets maps to itself.
struct TCaseTables {
  unsigned char Flip[256];
  unsigned char Upper[256];
  unsigned char Lower[256];
};

const TCaseTables& CaseTables();

// Resets the tables to identity and then pairs lower[i] with upper[i]. Does nothing when
// either alphabet is empty or their lengths differ.
void SetCaseAlphabets(std::string_view lower, std::string_view upper);

// The alphabets in force at start-up: ASCII and the German letters ä/Ä, ö/Ö, ü/Ü ("ß"
// stays itself), as Windows-1252 bytes.
void SetDefaultCaseAlphabets();

// Replaces every occurrence of search in text, found left to right without overlap in the
// text as it was before; returns how many. With ignoreCase a search byte matches a text
// byte that equals it or its case-flip entry, and "?" matches any byte.
int ReplaceAll(NarrowString& text, std::string_view search, std::string_view replacement,
               bool ignoreCase = false);

TVariant ChooseValue(bool condition, const TVariant& whenTrue, const TVariant& whenFalse);

// The parts of text between delimiters: k delimiters give k + 1 parts, empty ones included.
std::vector<NarrowString> SplitText(char delimiter, std::string_view text);

// The parts with separator between every two neighbours; "" for no parts.
NarrowString JoinText(std::string_view separator, const std::vector<NarrowString>& parts);

// The file version of a program file as four decimal numbers joined by "." ("0.2.1.19"),
// or "" when the file carries no version record.
NarrowString FileVersionText(const NarrowString& fileName);

} // namespace velmora
