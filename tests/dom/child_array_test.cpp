// The child list against a plain vector, through every way it changes shape: empty, one
// child held in place, a block with head room, and back.

#include "dom/child_array.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora {
namespace {

struct TItem {
  int Value;
};

void ExpectSame(const TChildArray<TItem>& array, const std::vector<TItem*>& model) {
  ASSERT_EQ(array.size(), model.size());
  ASSERT_EQ(array.empty(), model.empty());
  ASSERT_EQ(array.endSlot() - array.headSlot(), model.size());
  ASSERT_LE(array.staleFrom(), array.endSlot());
  for (size_t i = 0; i < model.size(); ++i) {
    ASSERT_EQ(array[i], model[i]) << "entry " << i;
    ASSERT_EQ(array.atSlot(array.headSlot() + i), model[i]) << "entry " << i;
  }
  if (!model.empty()) {
    ASSERT_EQ(array.front(), model.front());
    ASSERT_EQ(array.back(), model.back());
  }
}

TEST(ChildArray, ChangesAsAVectorDoes) {
  std::vector<TItem> items(64);
  for (int i = 0; i < 64; ++i) {
    items[i].Value = i;
  }
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    TChildArray<TItem> array;
    std::vector<TItem*> model;
    for (int step = 0; step < 60; ++step) {
      TItem* item = &items[random() % items.size()];
      const size_t size = model.size();
      switch (random() % 7) {
      case 0:
      case 1:
        // A slot handed out holds the entry: the owner records it.
        EXPECT_EQ(array.atSlot(array.pushBack(item)), item);
        model.push_back(item);
        break;
      case 2: {
        const size_t position = size == 0 ? 0 : random() % (size + 1);
        EXPECT_EQ(array.atSlot(array.insert(position, item)), item);
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(position), item);
        break;
      }
      case 3:
        if (size > 0) {
          const size_t position = random() % 2 == 0 ? 0 : random() % size;
          array.erase(position);
          model.erase(model.begin() + static_cast<std::ptrdiff_t>(position));
        }
        break;
      case 4:
        if (size > 0) {
          array.popBack();
          model.pop_back();
        }
        break;
      case 5: {
        const auto odd = [](const TItem* entry) { return entry->Value % 2 != 0; };
        array.eraseIf(odd);
        std::erase_if(model, odd);
        break;
      }
      default:
        if (random() % 8 == 0) {
          array.clear();
          model.clear();
        }
        break;
      }
      ExpectSame(array, model);
      if (::testing::Test::HasFatalFailure()) {
        return;
      }
    }
  }
}

} // namespace
} // namespace velmora
