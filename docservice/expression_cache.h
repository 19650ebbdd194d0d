#pragma once
// Expression objects kept by their text: the converter asks a handful of queries some ten
// times per contact, and each is parsed once instead of every time. An object serves one
// query at a time, and its result is read before the next query begins, so reusing it
// changes nothing that a caller sees.

#include <unordered_map>

#include "runtime/component.h"
#include "runtime/strings.h"

namespace velmora {

class TXPathExpression;

class TXPathExpressionCache {
public:
  TXPathExpressionCache();
  TXPathExpressionCache(const TXPathExpressionCache&) = delete;
  TXPathExpressionCache& operator=(const TXPathExpressionCache&) = delete;
  ~TXPathExpressionCache();

  // The object for text, with text as its expression; made on first use.
  TXPathExpression& Get(std::u16string_view text);
  // Frees the object for text (and its result).
  void Forget(std::u16string_view text);
  void Clear();

private:
  // Callers with ever new texts cannot make the cache grow without bound.
  static constexpr size_t kCapacity = 64;

  std::unordered_map<WideString, TOwned<TXPathExpression>, TWideStringHash, std::equal_to<>>
      FExpressions;
};

} // namespace velmora
