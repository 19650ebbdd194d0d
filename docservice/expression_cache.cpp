#include "docservice/expression_cache.h"

#include "xpath/xpath_expression.h"

namespace velmora {

TXPathExpressionCache::TXPathExpressionCache() = default;
TXPathExpressionCache::~TXPathExpressionCache() = default;

TXPathExpression& TXPathExpressionCache::Get(std::u16string_view text) {
  const auto found = FExpressions.find(text);
  if (found != FExpressions.end()) {
    return *found->second;
  }
  if (FExpressions.size() >= kCapacity) {
    FExpressions.clear();
  }
  TOwned<TXPathExpression> expression(new TXPathExpression);
  expression->SetExpression(WideString(text));
  return *FExpressions.emplace(WideString(text), std::move(expression)).first->second;
}

void TXPathExpressionCache::Forget(std::u16string_view text) {
  const auto found = FExpressions.find(text);
  if (found != FExpressions.end()) {
    FExpressions.erase(found);
  }
}

void TXPathExpressionCache::Clear() {
  FExpressions.clear();
}

} // namespace velmora
