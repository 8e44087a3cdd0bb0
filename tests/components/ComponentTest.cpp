#include <gtest/gtest.h>

#include "platform/components/Collection.h"
#include "platform/components/Component.h"

namespace {

std::vector<std::string>* gLog = nullptr;

class TLogged : public TComponent {
 public:
  using TComponent::TComponent;
  ~TLogged() override {
    if (gLog) gLog->push_back("free " + Name());
  }
  void Notification(TComponent* c, TOperation op) override {
    if (gLog && c != this) gLog->push_back(Name() + (op == opInsert ? " +" : " -") + c->Name());
    TComponent::Notification(c, op);
  }
};

TEST(Component, OwnerDestroysOwnedComponentsLastCreatedFirst) {
  std::vector<std::string> log;
  gLog = &log;
  auto* owner = new TLogged(nullptr);
  owner->SetName("owner");
  auto* a = new TLogged(owner);
  a->SetName("a");
  auto* b = new TLogged(owner);
  b->SetName("b");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("A"), a);  // names compare without case
  log.clear();
  TComponent::Free(owner);
  EXPECT_EQ(log, (std::vector<std::string>{"owner -b", "free b", "owner -a", "free a", "free owner"}));
  gLog = nullptr;
}

TEST(Component, FreeNotificationTellsAboutADestroyedComponent) {
  std::vector<std::string> log;
  gLog = &log;
  auto* owner = new TLogged(nullptr);
  auto* watcher = new TLogged(nullptr);
  watcher->SetName("watcher");
  auto* watched = new TLogged(owner);
  watched->SetName("watched");
  watcher->FreeNotification(watched);
  log.clear();
  TComponent::Free(watched);
  EXPECT_EQ(std::count(log.begin(), log.end(), "watcher -watched"), 1);
  EXPECT_EQ(owner->ComponentCount(), 0);
  gLog = nullptr;
  TComponent::Free(watcher);
  TComponent::Free(owner);
}

TEST(Component, DestroyingStateReachesEveryOwnedComponent) {
  struct TProbe : TComponent {
    using TComponent::TComponent;
    bool* SawDestroying = nullptr;
    ~TProbe() override { *SawDestroying = InState(csDestroying); }
  };
  bool saw = false;
  auto* owner = new TComponent(nullptr);
  auto* probe = new TProbe(owner);
  probe->SawDestroying = &saw;
  TComponent::Free(owner);
  EXPECT_TRUE(saw);
}

struct TNamedItem : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  std::string Text;
  void Assign(const TPersistent* source) override {
    if (auto* o = dynamic_cast<const TNamedItem*>(source)) Text = o->Text;
    else TCollectionItem::Assign(source);
  }
};

TEST(Collection, OwnsItsItemsAndCopiesOnAssignment) {
  TTypedCollection<TNamedItem> a, b;
  a.Add()->Text = "one";
  a.Add()->Text = "two";
  b.Add()->Text = "old";
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 2);
  EXPECT_EQ(b.Items(1)->Text, "two");
  EXPECT_NE(b.Items(0), a.Items(0));
  a.Items(0)->Text = "changed";
  EXPECT_EQ(b.Items(0)->Text, "one");
  EXPECT_EQ(b.Items(1)->Index(), 1);
  b.Delete(0);
  EXPECT_EQ(b.Items(0)->Index(), 0);
  TComponent c(nullptr);
  EXPECT_THROW(b.Assign(&c), EConvertError);
}

}  // namespace
