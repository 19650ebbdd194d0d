#include "xml/attr_value_tokenizer.h"

namespace velmora {

void TXmlAttrValueTokenizer::NextToken() {
  if (FTokenType == avtEnd) {
    return;
  }
  const std::u16string_view value = FValue;
  if (FPosition >= value.size()) {
    FTokenType = avtEnd;
    FToken = std::u16string_view();
    return;
  }
  if (value[FPosition] != '&') {
    FTokenType = avtText;
    FToken = value.substr(FPosition, 1);
    ++FPosition;
    return;
  }
  size_t start = FPosition + 1;
  FTokenType = avtEntityRef;
  if (start < value.size() && value[start] == '#') {
    FTokenType = avtCharRef;
    ++start;
  }
  size_t end = value.find(u';', start);
  if (end == std::u16string_view::npos) {
    end = value.size();
  }
  FToken = value.substr(start, end - start);
  FPosition = end + 1;
}

} // namespace velmora
