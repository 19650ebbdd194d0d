#pragma once
// The thirteen questions that tokens, signals and error records answer about where in the
// input they stand.

#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

class TDomNode;
class TDtdObject;

class TextLocation {
public:
  virtual ~TextLocation() = default;

  virtual int64_t EndByte() const = 0;   // byte number just after the last character
  virtual int64_t EndChar() const = 0;   // character number of the last character
  virtual int64_t EndColumn() const = 0; // its column (characters plus TABs)
  virtual int64_t EndLine() const = 0;
  virtual int64_t EndTabs() const = 0; // TABs in that line up to the last character
  virtual TDtdObject* DtdObject() const = 0;
  virtual TDomNode* DomNode() const = 0;
  virtual int64_t StartByte() const = 0; // byte number of the first byte
  virtual int64_t StartChar() const = 0;
  virtual int64_t StartColumn() const = 0;
  virtual int64_t StartLine() const = 0;
  virtual int64_t StartTabs() const = 0;
  virtual const WideString& SourceUri() const = 0;
};

} // namespace velmora
