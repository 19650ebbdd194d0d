#include "dom/value_string.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dom/node_pool.h"

namespace velmora {

namespace {

// Pool blocks come in steps of 8 bytes: four code units.
constexpr size_t kUnitsPerStep = TNodePool::kAlignment / sizeof(char16_t);
// Rounded up to whole steps, the largest value still counts in 32 bits.
static_assert(TDomValueString::kMaxUnits % kUnitsPerStep == 0);

} // namespace

void TDomValueString::assign(std::u16string_view text) {
  if (text.size() > FCapacity) {
    Reallocate(text.size(), {}, text);
    return;
  }
  if (!text.empty()) {
    std::memmove(FData, text.data(), text.size() * sizeof(char16_t));
  }
  FSize = static_cast<uint32_t>(text.size());
}

void TDomValueString::append(std::u16string_view text) {
  const size_t size = FSize + text.size();
  if (size > FCapacity) {
    Reallocate(GrownCapacity(size, FCapacity), view(), text);
    return;
  }
  if (!text.empty()) {
    std::memmove(FData + FSize, text.data(), text.size() * sizeof(char16_t));
  }
  FSize = static_cast<uint32_t>(size);
}

size_t TDomValueString::GrownCapacity(size_t needed, size_t capacity) {
  return std::max(needed, std::min(capacity * 2, kMaxUnits));
}

void TDomValueString::Reallocate(size_t units, std::u16string_view head, std::u16string_view tail) {
  if (units > kMaxUnits) {
    throw std::bad_alloc();
  }
  const size_t capacity = (units + kUnitsPerStep - 1) / kUnitsPerStep * kUnitsPerStep;
  auto* data = static_cast<char16_t*>(AllocateDomMemory(capacity * sizeof(char16_t)));
  std::copy(head.begin(), head.end(), data);
  std::copy(tail.begin(), tail.end(), data + head.size());
  Release();
  FData = data;
  FCapacity = static_cast<uint32_t>(capacity);
  FSize = static_cast<uint32_t>(head.size() + tail.size());
}

void TDomValueString::Release() noexcept {
  if (FData) {
    ReleaseDomMemory(FData, FCapacity * sizeof(char16_t));
  }
}

} // namespace velmora
