#pragma once
// The thirteen questions that tokens, signals and error records answer about where in the
// input they stand.

#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

class TDomNode;
class TDtdObject;

// The answers but the source URI as plain values: what a signal or an error record copies
// from a location in one step. -1 in all ten positions means "no location".
struct TLocationValues {
  int64_t EndByte = -1;
  int64_t EndChar = -1;
  int64_t EndColumn = -1;
  int64_t EndLine = -1;
  int64_t EndTabs = -1;
  TDtdObject* DtdObject = nullptr;
  TDomNode* DomNode = nullptr;
  int64_t StartByte = -1;
  int64_t StartChar = -1;
  int64_t StartColumn = -1;
  int64_t StartLine = -1;
  int64_t StartTabs = -1;
};

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

  // All answers but SourceUri at once; locations that hold them as values override it.
  virtual TLocationValues Values() const;
};

// A location that holds its answers as values.
class TValueLocation : public TextLocation {
public:
  int64_t EndByte() const override { return FValues.EndByte; }
  int64_t EndChar() const override { return FValues.EndChar; }
  int64_t EndColumn() const override { return FValues.EndColumn; }
  int64_t EndLine() const override { return FValues.EndLine; }
  int64_t EndTabs() const override { return FValues.EndTabs; }
  TDtdObject* DtdObject() const override { return FValues.DtdObject; }
  TDomNode* DomNode() const override { return FValues.DomNode; }
  int64_t StartByte() const override { return FValues.StartByte; }
  int64_t StartChar() const override { return FValues.StartChar; }
  int64_t StartColumn() const override { return FValues.StartColumn; }
  int64_t StartLine() const override { return FValues.StartLine; }
  int64_t StartTabs() const override { return FValues.StartTabs; }
  TLocationValues Values() const override { return FValues; }

protected:
  TValueLocation() = default;
  explicit TValueLocation(const TLocationValues& values) : FValues(values) {}
  // The values of location, or "no location" for none.
  static TLocationValues ValuesOf(const TextLocation* location) {
    return location ? location->Values() : TLocationValues();
  }

  TLocationValues FValues;
};

} // namespace velmora
