#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "rtl/Classes.h"
#include "rtl/TypInfo.h"

namespace {

std::vector<String> gLog;

// A component that logs its destruction and the notifications it receives, and can run an
// action on a notification.
class TLogComponent : public TComponent {
  KORVAN_CLASS(TLogComponent, TComponent)

 public:
  explicit TLogComponent(TComponent* owner, const String& name = String(), bool wantInserts = true)
      : TComponent(owner) {
    if (!name.empty()) SetName(name);
    if (wantInserts) WantInsertNotifications();
  }
  ~TLogComponent() override {
    gLog.push_back("free " + Name() + (ComponentState().Contains(csDestroying) ? " (destroying)" : ""));
  }
  void Notification(TComponent* c, TOperation op) override {
    gLog.push_back(Name() + (op == opInsert ? " +" : " -") + (c ? c->Name() : String("?")));
    if (onNotify) onNotify(c, op);
    TComponent::Notification(c, op);
  }
  std::function<void(TComponent*, TOperation)> onNotify;
};
KORVAN_IMPLEMENT_CLASS(TLogComponent)

TEST(Component, OwnerFreesOwnedLastFirstAndTheySeeDestroying) {
  gLog.clear();
  auto* owner = new TLogComponent(nullptr, "Owner");
  new TLogComponent(owner, "A");
  new TLogComponent(owner, "B");
  new TLogComponent(owner, "C");
  ASSERT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->FindComponent("b"), owner->Components(1));
  EXPECT_EQ(owner->Components(2)->ComponentIndex(), 2);
  gLog.clear();
  owner->Free();
  std::vector<String> expected = {"free Owner (destroying)", "free C (destroying)", "free B (destroying)",
                                  "free A (destroying)"};
  EXPECT_EQ(gLog, expected);
}

TEST(Component, FreeingAnOwnedComponentLeavesTheOwnerAndNotifiesSiblings) {
  gLog.clear();
  auto owner = std::make_unique<TLogComponent>(nullptr, "Owner");
  // Named before insertion, so that the notifications show the names.
  auto* a = new TLogComponent(nullptr, "A");
  auto* b = new TLogComponent(nullptr, "B");
  owner->InsertComponent(a);
  owner->InsertComponent(b);
  // Inserting B told the owner and the components it already owned.
  std::vector<String> inserted = {"Owner +A", "A +A", "Owner +B", "B +B", "A +B"};
  EXPECT_EQ(gLog, inserted);
  gLog.clear();
  b->Free();
  std::vector<String> removed = {"free B (destroying)", "Owner -B", "A -B"};
  EXPECT_EQ(gLog, removed);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_THROW(owner->Components(1), EListError);

  // Moving a component to another owner removes it from the first.
  TLogComponent other(nullptr, "Other");
  other.InsertComponent(a);
  EXPECT_EQ(owner->ComponentCount(), 0);
  EXPECT_EQ(a->Owner(), &other);
  gLog.clear();
}

// Insertions reach the components that asked for them wherever they sit in the owner's tree,
// and stop reaching them once they move to another owner; the rest are not told.
TEST(Component, InsertNotificationsReachOnlyComponentsThatAskedForThem) {
  gLog.clear();
  TLogComponent owner(nullptr, "Owner", false);
  TLogComponent other(nullptr, "Other", false);
  auto* plain = new TLogComponent(&owner, "Plain", false);
  auto* deep = new TLogComponent(plain, "Deep");
  new TLogComponent(&owner, "Quiet", false);
  gLog.clear();
  owner.InsertComponent(new TLogComponent(nullptr, "X", false));
  std::vector<String> told = {"Owner +X", "Plain +X", "Deep +X"};
  EXPECT_EQ(gLog, told);

  other.InsertComponent(plain);
  gLog.clear();
  owner.InsertComponent(new TLogComponent(nullptr, "Y", false));
  EXPECT_TRUE(gLog.empty());
  other.InsertComponent(new TLogComponent(nullptr, "Z", false));
  told = {"Other +Z", "Plain +Z", "Deep +Z"};
  EXPECT_EQ(gLog, told);

  // Once the listener is gone, nothing is told.
  deep->Free();
  gLog.clear();
  other.InsertComponent(new TLogComponent(nullptr, "W", false));
  EXPECT_TRUE(gLog.empty());
  gLog.clear();
}

TEST(Component, FreeNotificationAcrossOwners) {
  struct Case {
    const char* name;
    bool removeLink;
    std::vector<String> expected;
  };
  const Case cases[] = {
      {"linked", false, {"free Target (destroying)", "Watcher -Target"}},
      {"unlinked", true, {"free Target (destroying)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TLogComponent ownerA(nullptr, "OwnerA");
    TLogComponent ownerB(nullptr, "OwnerB");
    auto* target = new TLogComponent(&ownerA, "Target");
    auto* watcher = new TLogComponent(&ownerB, "Watcher");
    watcher->FreeNotification(target);
    EXPECT_TRUE(target->ComponentState().Contains(csFreeNotification));
    if (c.removeLink) watcher->RemoveFreeNotification(target);
    gLog.clear();
    // Freed without an owner so that only the link can tell the watcher.
    ownerA.RemoveComponent(target);
    gLog.clear();
    target->Free();
    EXPECT_EQ(gLog, c.expected);
    // The link is gone on both sides: freeing the watcher tells only its owner.
    gLog.clear();
    watcher->Free();
    EXPECT_EQ(gLog, (std::vector<String>{"free Watcher (destroying)", "OwnerB -Watcher"}));
    EXPECT_FALSE(ownerB.ComponentState().Contains(csFreeNotification));
    gLog.clear();
  }
}

TEST(Component, NotificationThatFreesOtherComponents) {
  gLog.clear();
  TLogComponent owner(nullptr, "Owner");
  auto* a = new TLogComponent(&owner, "A");
  auto* b = new TLogComponent(&owner, "B");
  auto* c = new TLogComponent(&owner, "C");
  auto* d = new TLogComponent(&owner, "D");
  // D, notified last-first before the others, frees the two components in front of it.
  bool done = false;
  d->onNotify = [&](TComponent* subject, TOperation op) {
    if (!done && op == opRemove && subject == c) {
      done = true;
      a->Free();
      b->Free();
    }
  };
  gLog.clear();
  c->Free();
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), d);

  // A component that frees a watched component while it is being told of another's end.
  TLogComponent other(nullptr, "Other");
  auto* x = new TLogComponent(nullptr, "X");
  auto* y = new TLogComponent(nullptr, "Y");
  auto* z = new TLogComponent(nullptr, "Z");
  z->FreeNotification(x);
  z->FreeNotification(y);
  z->onNotify = [&](TComponent* subject, TOperation op) {
    if (op == opRemove && subject == x) y->Free();
  };
  gLog.clear();
  x->Free();
  std::vector<String> expected = {"free X (destroying)", "Z -X", "free Y (destroying)", "Z -Y"};
  EXPECT_EQ(gLog, expected);
  gLog.clear();
  z->Free();
  EXPECT_EQ(gLog, std::vector<String>{"free Z (destroying)"});
  gLog.clear();
}

TEST(Component, NameValidation) {
  struct Case {
    const char* name;
    const char* error;  // nullptr: accepted
  };
  const Case cases[] = {
      {"Button1", nullptr},
      {"_private", nullptr},
      {"", nullptr},
      {"EDIT", nullptr},  // the component's own name in another case
      {"1a", "'1a' is not a valid component name"},
      {"a b", "'a b' is not a valid component name"},
      {"a.b", "'a.b' is not a valid component name"},
      {"Grid", "A component named Grid already exists"},
      {"grid", "A component named grid already exists"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TComponent owner(nullptr);
    (new TComponent(&owner))->SetName("Grid");
    auto* edit = new TComponent(&owner);
    edit->SetName("Edit");
    if (c.error == nullptr) {
      EXPECT_NO_THROW(edit->SetName(c.name));
      EXPECT_EQ(edit->Name(), c.name);
    } else {
      try {
        edit->SetName(c.name);
        ADD_FAILURE() << "accepted";
      } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), c.error);
      }
      EXPECT_EQ(edit->Name(), "Edit");
    }
  }
  // A named component cannot join an owner that already has one of that name.
  TComponent owner(nullptr);
  (new TComponent(&owner))->SetName("Grid");
  auto* stray = new TComponent(nullptr);
  stray->SetName("GRID");
  EXPECT_THROW(owner.InsertComponent(stray), EComponentError);
  EXPECT_EQ(stray->Owner(), nullptr);
  stray->Free();
}

// FindComponent follows every way a name or an owner changes (its lookup is indexed).
TEST(Component, FindComponentFollowsRenamesAndOwners) {
  TComponent a(nullptr), b(nullptr);
  auto* c = new TComponent(&a);
  c->SetName("Column1");
  EXPECT_EQ(a.FindComponent("COLUMN1"), c);
  c->SetName("Column2");
  EXPECT_EQ(a.FindComponent("column1"), nullptr);
  EXPECT_EQ(a.FindComponent("Column2"), c);
  // The old name is free again, the new one taken.
  auto* d = new TComponent(&a);
  EXPECT_NO_THROW(d->SetName("Column1"));
  EXPECT_THROW(d->SetName("column2"), EComponentError);
  b.InsertComponent(c);
  EXPECT_EQ(a.FindComponent("Column2"), nullptr);
  EXPECT_EQ(b.FindComponent("Column2"), c);
  c->SetName("");
  EXPECT_EQ(b.FindComponent("Column2"), nullptr);
  EXPECT_EQ(b.FindComponent(""), nullptr);
  d->Free();
  EXPECT_EQ(a.FindComponent("Column1"), nullptr);
  EXPECT_EQ(a.ComponentCount(), 0);
}

TEST(Component, StateLoadingDesigningAndVirtualCreation) {
  TComponent owner(nullptr);
  owner.SetDesigning(true);
  TObject* created = TLogComponent::StaticClass()->Create(&owner);
  auto* comp = As<TComponent>(created);
  EXPECT_EQ(comp->Owner(), &owner);
  EXPECT_TRUE(comp->ComponentState().Contains(csDesigning));  // inherited on insertion
  comp->Loading();
  EXPECT_TRUE(comp->ComponentState().Contains(csLoading));
  comp->Loaded();
  EXPECT_FALSE(comp->ComponentState().Contains(csLoading));
  comp->Updating();
  EXPECT_TRUE(comp->ComponentState().Contains(csUpdating));
  comp->Updated();
  EXPECT_TRUE(comp->ComponentState() == TComponentState{csDesigning});
  owner.SetDesigning(false);
  EXPECT_FALSE(comp->ComponentState().Contains(csDesigning));
  gLog.clear();
}

// ---------------------------------------------------------------------------------------------
// Weak references

TEST(WeakRef, ReadsNullOnceTheObjectIsFreed) {
  auto* c = new TComponent(nullptr);
  TWeakRef<TComponent> ref(c);
  TWeakRef<TComponent> copy = ref;
  EXPECT_EQ(ref.Get(), c);
  // A handler that frees the object: the caller learns it through the reference.
  auto handler = [&] { c->Free(); };
  handler();
  EXPECT_EQ(ref.Get(), nullptr);
  EXPECT_EQ(copy.Get(), nullptr);
  EXPECT_FALSE(ref);

  // Destroyed by delete (or as an owned component): also cleared.
  TComponent owner(nullptr);
  auto* owned = new TComponent(&owner);
  TWeakRef<TComponent> toOwned(owned);
  owner.DestroyComponents();
  EXPECT_EQ(toOwned.Get(), nullptr);

  // A reference reassigned to a live object, and one outliving its object's block.
  TStringList live;
  TWeakRef<TObject> r;
  {
    TStringList shortLived;
    r = &shortLived;
    EXPECT_EQ(r.Get(), &shortLived);
  }
  EXPECT_EQ(r.Get(), nullptr);
  r = &live;
  EXPECT_EQ(r.Get(), &live);
}

// ---------------------------------------------------------------------------------------------
// TPersistent

class TPoint3 : public TPersistent {
  KORVAN_CLASS(TPoint3, TPersistent)
 public:
  int x = 0;
  void Assign(TPersistent* source) override {
    if (auto* p = dynamic_cast<TPoint3*>(source)) {
      x = p->x;
      return;
    }
    TPersistent::Assign(source);
  }
};
class TPoint2 : public TPersistent {
  KORVAN_CLASS(TPoint2, TPersistent)
 public:
  int x = 0;

 protected:
  // Knows how to copy itself into a TPoint3 (the destination does not know TPoint2).
  void AssignTo(TPersistent* dest) override {
    if (auto* p = dynamic_cast<TPoint3*>(dest)) {
      p->x = x;
      return;
    }
    TPersistent::AssignTo(dest);
  }
};
KORVAN_IMPLEMENT_CLASS(TPoint3)
KORVAN_IMPLEMENT_CLASS(TPoint2)

TEST(Persistent, AssignGoesThroughTheSourceOrFails) {
  TPoint2 p2;
  p2.x = 7;
  TPoint3 p3;
  p3.Assign(&p2);
  EXPECT_EQ(p3.x, 7);

  struct Case {
    TPersistent* dest;
    TPersistent* source;
    const char* message;
  };
  TPoint2 other2;
  const Case cases[] = {
      {&p2, &p3, "Cannot assign a TPoint3 to a TPoint2"},
      {&p3, nullptr, "Cannot assign a nil to a TPoint3"},
      {&other2, &p2, "Cannot assign a TPoint2 to a TPoint2"},
  };
  for (const Case& c : cases) {
    try {
      c.dest->Assign(c.source);
      ADD_FAILURE() << c.message;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Collections

class TTestItem : public TCollectionItem {
  KORVAN_CLASS(TTestItem, TCollectionItem)
 public:
  explicit TTestItem(TCollection* c) : TCollectionItem(c) {}
  int value = 0;
  void SetValue(int v) {
    value = v;
    Changed(false);
  }
  void Assign(TPersistent* source) override {
    if (auto* s = dynamic_cast<TTestItem*>(source)) {
      SetValue(s->value);
      return;
    }
    TCollectionItem::Assign(source);
  }
};
KORVAN_IMPLEMENT_CLASS(TTestItem)

class TTestCollection : public TOwnedCollection {
  KORVAN_CLASS(TTestCollection, TOwnedCollection)
 public:
  explicit TTestCollection(TPersistent* owner = nullptr) : TOwnedCollection(owner, TTestItem::StaticClass()) {}
  std::vector<String> log;
  TTestItem* Item(int i) const { return static_cast<TTestItem*>(Items(i)); }

 protected:
  void Update(TCollectionItem* item) override {
    log.push_back(item ? "update " + std::to_string(item->ID()) : "update all");
  }
  void Notify(TCollectionItem* item, TCollectionNotification action) override {
    const char* names[] = {"added", "extracting", "deleting"};
    log.push_back(String(names[action]) + " " + std::to_string(item->ID()));
    TOwnedCollection::Notify(item, action);
  }
};
KORVAN_IMPLEMENT_CLASS(TTestCollection)

TEST(Collection, NotificationsAndUpdateCounts) {
  TTestCollection c;
  c.Add();
  c.Add()->SetDisplayName("x");
  EXPECT_EQ(c.log, (std::vector<String>{"added 0", "update all", "added 1", "update all", "update 1"}));

  // Inside update brackets nothing is reported until the outermost EndUpdate.
  c.log.clear();
  c.BeginUpdate();
  c.BeginUpdate();
  c.Add();
  c.Item(0)->SetValue(5);
  c.EndUpdate();
  EXPECT_EQ(c.UpdateCount(), 1);
  EXPECT_EQ(c.log, std::vector<String>{"added 2"});
  c.EndUpdate();
  EXPECT_EQ(c.log, (std::vector<String>{"added 2", "update all"}));

  c.log.clear();
  c.Delete(1);
  EXPECT_EQ(c.log, (std::vector<String>{"deleting 1", "extracting 1", "update all"}));
  EXPECT_THROW(c.Delete(2), EListError);

  // IDs are never reused; FindItemID finds by ID, Index is the position.
  TCollectionItem* added = c.Add();
  EXPECT_EQ(added->ID(), 3);
  EXPECT_EQ(added->Index(), 2);
  EXPECT_EQ(c.FindItemID(2), c.Items(1));
  EXPECT_EQ(c.FindItemID(1), nullptr);
  c.Insert(0);
  EXPECT_EQ(c.Items(0)->ID(), 4);
  added->SetIndex(0);
  EXPECT_EQ(c.Items(0), added);

  // Clear reports once.
  c.log.clear();
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.log.back(), "update all");
  EXPECT_EQ(std::count(c.log.begin(), c.log.end(), String("update all")), 1);

  // Freeing an item takes it out of its collection.
  TCollectionItem* gone = c.Add();
  gone->Free();
  EXPECT_EQ(c.Count(), 0);
}

TEST(Collection, AssignCopiesItemsAndChecksTheSource) {
  TTestCollection a, b;
  for (int v : {1, 2, 3}) static_cast<TTestItem*>(a.Add())->SetValue(v);
  b.Add();
  b.log.clear();
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 3);
  EXPECT_EQ(b.Item(2)->value, 3);
  EXPECT_EQ(b.log.back(), "update all");
  EXPECT_EQ(std::count(b.log.begin(), b.log.end(), String("update all")), 1);
  TStringList notACollection;
  EXPECT_THROW(b.Assign(&notACollection), EConvertError);
  // A collection whose item class makes no collection items refuses to add.
  TCollection wrong(TStringList::StaticClass());
  EXPECT_THROW(wrong.Add(), EInvalidOperation);
  EXPECT_EQ(wrong.Count(), 0);
}

class TGridLike : public TComponent {
  KORVAN_CLASS(TGridLike, TComponent)
 public:
  explicit TGridLike(TComponent* owner) : TComponent(owner), columns_(this) {}
  TTestCollection* Columns() const { return const_cast<TTestCollection*>(&columns_); }

 private:
  TTestCollection columns_;
};
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TGridLike) { p.Object("Columns", &TGridLike::Columns, nullptr, TCollection::StaticClass()); }

TEST(Collection, NamePathsThroughTheOwnersProperty) {
  TGridLike grid(nullptr);
  grid.SetName("Grid1");
  grid.Columns()->Add();
  TCollectionItem* second = grid.Columns()->Add();
  EXPECT_EQ(grid.Columns()->GetNamePath(), "Grid1.Columns");
  EXPECT_EQ(second->GetNamePath(), "Grid1.Columns[1]");
  EXPECT_EQ(grid.Columns()->Owner(), &grid);
  TTestCollection loose;
  EXPECT_EQ(loose.GetNamePath(), "TTestCollection");
}

// ---------------------------------------------------------------------------------------------
// TBits and TInterfaceList

TEST(Bits, GrowsOnWriteAndChecksReads) {
  TBits bits;
  bits.SetBits(0, true);
  bits.SetBits(1, true);
  bits.SetBits(9, true);
  EXPECT_EQ(bits.Size(), 10);
  EXPECT_EQ(bits.OpenBit(), 2);
  EXPECT_FALSE(bits[5]);
  EXPECT_THROW(bits.Bits(10), EBitsError);
  EXPECT_THROW(bits.SetBits(-1, true), EBitsError);
  EXPECT_THROW(bits.SetSize(-1), EBitsError);
  bits.SetSize(2);
  EXPECT_EQ(bits.OpenBit(), 2);  // all set: the size
}

struct TCounter : IInterface {
  explicit TCounter(int* alive) : alive_(alive) { ++*alive_; }
  ~TCounter() override { --*alive_; }
  int* alive_;
};

TEST(InterfaceList, KeepsItsItemsAlive) {
  int alive = 0;
  TInterfaceList list;
  {
    auto a = std::make_shared<TCounter>(&alive);
    list.Add(a);
    list.Add(std::make_shared<TCounter>(&alive));
    EXPECT_EQ(list.IndexOf(a), 0);
  }
  EXPECT_EQ(alive, 2);
  EXPECT_EQ(list.Remove(list.Items(0)), 0);
  EXPECT_EQ(alive, 1);
  EXPECT_THROW(list.Items(1), EListError);
  list.Clear();
  EXPECT_EQ(alive, 0);
}

}  // namespace
