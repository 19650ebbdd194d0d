#include "runtime/component.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"

namespace velmora {
namespace {

using TLog = std::vector<NarrowString>;

// Records in a shared log when it is freed and what it is told.
class TProbe : public TComponent {
public:
  TProbe(TComponent* owner, NarrowString name, TLog& log) : TComponent(owner), FLog(log) {
    SetName(std::move(name));
  }

  void SetPeer(TProbe* peer) { SetReference(FPeer, peer); }
  TProbe* Peer() const { return FPeer.get(); }

protected:
  ~TProbe() override { FLog.push_back("free " + Name()); }

  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove) {
      FLog.push_back(Name() + " told " + component->Name());
    }
  }

private:
  TLog& FLog;
  TComponentRef<TProbe> FPeer;
};

TEST(Component, OwnerFreesOwnedComponentsLastToFirst) {
  TLog log;
  auto* owner = new TProbe(nullptr, "owner", log);
  new TProbe(owner, "a", log);
  auto* b = new TProbe(owner, "b", log);
  new TProbe(b, "b1", log);
  new TProbe(owner, "c", log);
  EXPECT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components(1), b);
  EXPECT_EQ(owner->FindComponent("c")->Name(), "c");

  owner->Free();
  const TLog expected = {"owner told c", "free c",       "b told b1", "free b1",   "owner told b",
                         "free b",       "owner told a", "free a",    "free owner"};
  EXPECT_EQ(log, expected);
}

TEST(Component, FreedComponentLeavesItsOwner) {
  TLog log;
  TOwned<TProbe> owner(new TProbe(nullptr, "owner", log));
  auto* a = new TProbe(owner.get(), "a", log);
  new TProbe(owner.get(), "b", log);
  a->Free();
  ASSERT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0)->Name(), "b");
}

TEST(Component, IndexOutOfRangeIsAListError) {
  TLog log;
  TOwned<TProbe> owner(new TProbe(nullptr, "owner", log));
  try {
    owner->Components(0);
    FAIL() << "no exception";
  } catch (const EListError& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (0)");
  }
}

TEST(Component, PublishedReferenceIsClearedWhenItsTargetIsFreed) {
  TLog log;
  TOwned<TProbe> holder(new TProbe(nullptr, "holder", log));
  auto* target = new TProbe(nullptr, "target", log);
  holder->SetPeer(target);
  EXPECT_EQ(holder->Peer(), target);
  target->Free();
  EXPECT_EQ(holder->Peer(), nullptr);
  EXPECT_EQ(log, (TLog{"holder told target", "free target"}));
}

TEST(Component, FreeingTheHolderFirstLeavesNoDanglingLink) {
  TLog log;
  auto* holder = new TProbe(nullptr, "holder", log);
  TOwned<TProbe> target(new TProbe(nullptr, "target", log));
  holder->SetPeer(target.get());
  holder->Free();
  target.reset(); // must not notify the freed holder (the sanitizer would see it)
  EXPECT_EQ(log, (TLog{"target told holder", "free holder", "free target"}));
}

TEST(Component, InsertComponentMovesOwnership) {
  TLog log;
  TOwned<TProbe> first(new TProbe(nullptr, "first", log));
  TOwned<TProbe> second(new TProbe(nullptr, "second", log));
  auto* moved = new TProbe(first.get(), "moved", log);
  second->InsertComponent(moved);
  EXPECT_EQ(first->ComponentCount(), 0);
  EXPECT_EQ(second->ComponentCount(), 1);
  EXPECT_EQ(moved->Owner(), second.get());
  second.reset();
  EXPECT_EQ(log.back(), "free second");
  EXPECT_NE(std::find(log.begin(), log.end(), "free moved"), log.end());
}

TEST(Component, TeardownOfSiblingsThatReferenceEachOther) {
  TLog log;
  auto* owner = new TProbe(nullptr, "owner", log);
  auto* a = new TProbe(owner, "a", log);
  auto* b = new TProbe(owner, "b", log);
  a->SetPeer(b);
  b->SetPeer(a);
  owner->Free(); // b goes first and clears a's reference; a then has nothing to tell b
  EXPECT_EQ(log,
            (TLog{"a told b", "owner told b", "free b", "owner told a", "free a", "free owner"}));
}

} // namespace
} // namespace velmora
