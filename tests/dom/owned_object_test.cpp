#include "dom/owned_object.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// An object of no document that counts its end: the owners that keep no list of their own.
class TCountedObject final : public TCustomOwnedNode {
public:
  TCountedObject(TCustomOwnedObject* owner, int& freed) : TCustomOwnedNode(owner), FFreed(freed) {}

protected:
  ~TCountedObject() override { ++FFreed; }

private:
  int& FFreed;
};

TEST(OwnedObjects, AnyObjectOwnsInAdoptionOrderAndFreesWhatItOwns) {
  int freed = 0;
  auto* owner = new TCountedObject(nullptr, freed);
  auto* first = new TCountedObject(owner, freed);
  auto* second = new TCountedObject(owner, freed);
  new TCountedObject(second, freed);
  EXPECT_EQ(owner->ownedObjectCount(), 2);
  EXPECT_EQ(owner->ownedObject(0), first);
  EXPECT_EQ(owner->ownedObject(1), second);
  EXPECT_EQ(second->ownedObjectCount(), 1);
  EXPECT_EQ(first->ownedObjectCount(), 0);

  first->Free(); // leaves its owner
  EXPECT_EQ(owner->ownedObjectCount(), 1);
  EXPECT_EQ(owner->firstOwned(), second);
  owner->clear(); // and second with what it owns
  EXPECT_EQ(freed, 3);
  EXPECT_EQ(owner->ownedObjectCount(), 0);
  EXPECT_EQ(owner->firstOwned(), nullptr);

  // An owner that has emptied adopts again.
  auto* again = new TCountedObject(owner, freed);
  EXPECT_EQ(owner->firstOwned(), again);
  owner->Free();
  EXPECT_EQ(freed, 5);
}

} // namespace
} // namespace velmora
