#include <gtest/gtest.h>

#include <set>

#include "foundation/cxClasses.h"

namespace {

// A small hierarchy standing in for controls: Control <- WinControl <- Button,
// Control <- GraphicControl.
class TCtl : public TObject {
  KORVAN_CLASS(TCtl, TObject)
};
class TWinCtl : public TCtl {
  KORVAN_CLASS(TWinCtl, TCtl)
};
class TBtn : public TWinCtl {
  KORVAN_CLASS(TBtn, TWinCtl)
};
class TGraphicCtl : public TCtl {
  KORVAN_CLASS(TGraphicCtl, TCtl)
};
class TPainterA : public TObject {
  KORVAN_CLASS(TPainterA, TObject)
};
class TPainterB : public TObject {
  KORVAN_CLASS(TPainterB, TObject)
};
class TPainterC : public TObject {
  KORVAN_CLASS(TPainterC, TObject)
};
KORVAN_IMPLEMENT_CLASS(TCtl)
KORVAN_IMPLEMENT_CLASS(TWinCtl)
KORVAN_IMPLEMENT_CLASS(TBtn)
KORVAN_IMPLEMENT_CLASS(TGraphicCtl)
KORVAN_IMPLEMENT_CLASS(TPainterA)
KORVAN_IMPLEMENT_CLASS(TPainterB)
KORVAN_IMPLEMENT_CLASS(TPainterC)

TEST(RegisteredClassList, LooksUpMostSpecificRegisteredAncestor) {
  TcxRegisteredClassList list;
  list.AddMapping(TWinCtl::StaticClass(), TPainterB::StaticClass());
  list.AddMapping(TCtl::StaticClass(), TPainterA::StaticClass());
  // The ancestor's entry was inserted before the descendant's.
  ASSERT_EQ(list.MappingCount(), 2);
  EXPECT_EQ(list.EntryAt(0).ItemClass, TCtl::StaticClass());
  EXPECT_EQ(list.EntryAt(1).ItemClass, TWinCtl::StaticClass());

  struct Case {
    TClass item;
    TClass expected;
  } cases[] = {
      {TBtn::StaticClass(), TPainterB::StaticClass()},
      {TWinCtl::StaticClass(), TPainterB::StaticClass()},
      {TGraphicCtl::StaticClass(), TPainterA::StaticClass()},
      {TCtl::StaticClass(), TPainterA::StaticClass()},
      {TObject::StaticClass(), nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(list.LookupRegisteredClass(c.item), c.expected) << c.item->Name();
}

TEST(RegisteredClassList, NewerMappingWinsAndRemovalRestoresOlder) {
  TcxRegisteredClassList list;
  list.AddMapping(TCtl::StaticClass(), TPainterA::StaticClass());
  list.AddMapping(TCtl::StaticClass(), TPainterC::StaticClass());
  EXPECT_EQ(list.LookupRegisteredClass(TBtn::StaticClass()), TPainterC::StaticClass());
  list.RemoveMapping(TCtl::StaticClass(), TPainterC::StaticClass());
  EXPECT_EQ(list.LookupRegisteredClass(TBtn::StaticClass()), TPainterA::StaticClass());
  list.RemoveMapping(TCtl::StaticClass(), TPainterB::StaticClass());  // no such pair
  EXPECT_EQ(list.MappingCount(), 1);
  list.ClearEntries();
  EXPECT_EQ(list.LookupRegisteredClass(TBtn::StaticClass()), nullptr);
}

TEST(RegisteredClasses, DescriptionsSortingAndLookup) {
  TcxRegisteredClasses reg;
  reg.AddDescribedClass(TPainterB::StaticClass(), "beta|second");
  reg.AddDescribedClass(TPainterA::StaticClass(), "Alpha");
  reg.AddDescribedClass(TPainterB::StaticClass(), "again");  // already present: ignored
  ASSERT_EQ(reg.Count(), 2);
  EXPECT_EQ(reg.DescriptionAt(0), "beta");
  reg.SetSortedFlag(true);
  EXPECT_EQ(reg.ClassAt(0), TPainterA::StaticClass());
  reg.AddDescribedClass(TPainterC::StaticClass(), "ALPHA2");
  EXPECT_EQ(reg.ClassAt(1), TPainterC::StaticClass());
  reg.SetSortedFlag(false);
  EXPECT_EQ(reg.IndexOfClass(TPainterB::StaticClass()), 2);
  EXPECT_EQ(reg.FindByClassName("TPainterC"), TPainterC::StaticClass());
  EXPECT_EQ(reg.FindByClassName("tpainterc"), nullptr);
  reg.RemoveClass(TPainterA::StaticClass());
  EXPECT_EQ(reg.IndexOfClass(TPainterA::StaticClass()), -1);
}

TEST(RegisteredClasses, RegistersWithStreamingRegistryWhenAsked) {
  TcxRegisteredClasses reg(true);
  reg.AddDescribedClass(TGraphicCtl::StaticClass(), "graphic");
  EXPECT_EQ(GetClass("TGraphicCtl"), TGraphicCtl::StaticClass());
  UnRegisterClass(TGraphicCtl::StaticClass());
}

struct AutoWidthCase {
  const char* name;
  Integer space;
  std::vector<std::tuple<Integer, Integer, bool>> items;  // base, minimum, keep
  std::vector<Integer> expected;
};

TEST(AutoWidthObject, Distribute) {
  const AutoWidthCase cases[] = {
      {"cumulative rounding", 100, {{10, 0, false}, {10, 0, false}, {10, 0, false}}, {33, 34, 33}},
      {"clamped to minimum", 100, {{50, 70, false}, {50, 0, false}}, {70, 30}},
      {"kept width", 100, {{40, 0, true}, {20, 0, false}, {40, 0, false}}, {40, 20, 40}},
      {"all kept", 50, {{30, 0, true}, {40, 0, true}}, {30, 40}},
      {"clamp cascades", 60, {{10, 25, false}, {10, 25, false}, {40, 0, false}}, {25, 25, 10}},
      {"widths add up", 101, {{1, 0, false}, {1, 0, false}, {1, 0, false}, {1, 0, false}}, {25, 26, 25, 25}},
  };
  for (const auto& c : cases) {
    TcxAutoWidthObject obj(int(c.items.size()));
    for (const auto& [base, minimum, keep] : c.items) {
      TcxAutoWidthItem* it = obj.AppendItem();
      EXPECT_EQ(it->ResultWidth, -1);
      it->BaseWidth = base;
      it->MinimumWidth = minimum;
      it->KeepWidth = keep;
    }
    obj.AvailableSpace = c.space;
    obj.Distribute();
    std::vector<Integer> got;
    for (int i = 0; i < obj.ItemCount(); ++i) got.push_back(obj.ItemAt(i)->ResultWidth);
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

// An MRU item holding an integer, recording its destruction.
class TIntItem : public TcxMRUItem {
 public:
  TIntItem(int v, std::set<int>* freed) : value(v), freed_(freed) {}
  ~TIntItem() override { freed_->insert(value * 100 + serial_); }
  bool IsEqual(const TcxMRUItem* item) const override {
    auto* other = dynamic_cast<const TIntItem*>(item);
    return other && other->value == value;
  }
  int value;
  int serial_ = 0;

 private:
  std::set<int>* freed_;
};

TEST(MRUItems, LimitMovesAndFrees) {
  std::set<int> freed;
  TcxMRUItems mru;
  mru.SetCapacityLimit(3);
  for (int v = 1; v <= 4; ++v) mru.AddToTop(new TIntItem(v, &freed));
  ASSERT_EQ(mru.ItemCount(), 3);
  EXPECT_EQ(freed, std::set<int>{100});  // the oldest item went
  auto values = [&] {
    std::vector<int> r;
    for (int i = 0; i < mru.ItemCount(); ++i) r.push_back(static_cast<TIntItem*>(mru.ItemAt(i))->value);
    return r;
  };
  EXPECT_EQ(values(), (std::vector<int>{4, 3, 2}));

  auto* copy = new TIntItem(2, &freed);
  copy->serial_ = 1;
  TcxMRUItem* original = mru.ItemAt(2);
  mru.AddToTop(copy);
  EXPECT_EQ(values(), (std::vector<int>{2, 4, 3}));
  EXPECT_EQ(mru.ItemAt(0), original);
  EXPECT_TRUE(freed.count(201));  // the new copy was freed

  mru.SetCapacityLimit(-5);  // unlimited
  EXPECT_EQ(mru.MaxCount(), 0);
  mru.AddToTop(new TIntItem(9, &freed));
  EXPECT_EQ(mru.ItemCount(), 4);
  mru.TrimTo(1);
  EXPECT_EQ(values(), (std::vector<int>{9}));
  mru.RemoveAll();
  EXPECT_EQ(mru.ItemCount(), 0);
}

TEST(ObjectLinks, TargetClearedOnDestructionAnnouncement) {
  TObject a, b;
  EXPECT_EQ(ObjectLinkCount(), 0);
  TcxObjectLink* la1 = AcquireObjectLink(&a);
  TcxObjectLink* la2 = AcquireObjectLink(&a);
  TcxObjectLink* lb = AcquireObjectLink(&b);
  EXPECT_EQ(ObjectLinkCount(), 3);
  ClearObjectLinksTo(&a);
  EXPECT_EQ(la1->Target, nullptr);
  EXPECT_EQ(la2->Target, nullptr);
  EXPECT_EQ(lb->Target, &b);
  ReleaseObjectLink(la1);
  ReleaseObjectLink(lb);
  {
    TcxObjectLinkGuard guard(&b);
    EXPECT_TRUE(guard.Alive());
    ClearObjectLinksTo(&b);
    EXPECT_FALSE(guard.Alive());
  }
  ReleaseObjectLink(la2);
  EXPECT_EQ(ObjectLinkCount(), 0);
  ClearObjectLinksTo(&a);  // no controller: nothing happens
}

TEST(ResourceText, PassesTextThrough) {
  EXPECT_EQ(ReplaceResourceText("equals"), "equals");
  TcxResourceStringRec rec{"cxSFilterOperatorEqual", "equals"};
  EXPECT_EQ(LoadReplaceableResString(rec), "equals");
}

TEST(ClassUtilities, IntegerHelpers) {
  struct {
    Integer a, b, divUp, mid;
  } cases[] = {{7, 2, 4, 4}, {6, 2, 3, 4}, {-3, 1, -3, -1}, {0, 5, 0, 2}, {1, 1, 1, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(DivRoundUp(c.a, c.b), c.divUp) << c.a << "," << c.b;
    EXPECT_EQ(RangeMidpoint(c.a, c.b), c.mid) << c.a << "," << c.b;
  }
  EXPECT_EQ(RangeMidpoint(-3, 0), -2);
  EXPECT_EQ(RangeMidpoint(-1, 0), -1);
  EXPECT_EQ(RangeMidpoint(2147483647, 2147483647), 2147483647);
  Integer x = 1, y = 2;
  ExchangeIntegers(x, y);
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, 1);
  EXPECT_EQ(MakeSize(3, 4), TSize(3, 4));
}

TEST(ClassUtilities, TextHelpers) {
  const String s = "a\xC3\xA9\xE3\x81\x82z";  // a, e-acute (2 bytes), hiragana a (3 bytes), z
  struct {
    Integer pos, len;
  } cases[] = {{1, 1}, {2, 2}, {4, 3}, {7, 1}, {8, 0}, {0, 0}, {3, 1}};
  for (const auto& c : cases) EXPECT_EQ(CharByteLengthAt(s, c.pos), c.len) << c.pos;
  EXPECT_EQ(CharByteLengthAt("\xE3\x81", 1), 1);  // truncated sequence

  EXPECT_EQ(BeforeDescriptionSeparator("Text|more|x"), "Text");
  EXPECT_EQ(BeforeDescriptionSeparator("Whole"), "Whole");
  EXPECT_EQ(SanitizeIdentifier("My col-\xC3\xA9_1"), "Mycol_1");
}

TEST(ClassUtilities, ComponentNames) {
  struct {
    const char *prefix, *cls, *strip, *base;
    Integer n;
    const char* expected;
  } cases[] = {
      {"Grid1View1", "TcxGridColumn", "TcxGrid", "", 1, "Grid1View1Column1"},
      {"", "TcxGridColumn", "", "", 2, "cxGridColumn2"},
      {"V", "TcxGridColumn", "TcxGrid", "Amount", 0, "VAmount"},
      {"V", "TcxGridColumn", "tcxgrid", "9x", 0, "VColumn9x"},
      {"", "TcxGridColumn", "", "a b!", 3, "ab3"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComposeComponentName(c.prefix, c.cls, c.strip, c.base, c.n), c.expected) << c.expected;

  std::set<String> taken = {"Grid1View1Column1", "Grid1View1Column2"};
  auto isFree = [&](const String& n) { return taken.count(n) == 0; };
  EXPECT_EQ(GenerateUniqueName("Grid1View1", "TcxGridColumn", "TcxGrid", "", isFree), "Grid1View1Column3");
  EXPECT_EQ(GenerateUniqueName("", "TcxGridColumn", "", "Amount", isFree), "Amount");
}

}  // namespace

namespace {

// A component that links to the components it was given.
class TLinking : public TcxComponent {
 public:
  using TcxComponent::TcxComponent;
  std::vector<TComponent*> linked;

 protected:
  void ListLinkedComponents(std::vector<TComponent*>& list) override { list = linked; }
};

// An object that counts its destruction.
class TCounted : public TObject {
 public:
  explicit TCounted(int* freed) : freed_(freed) {}
  ~TCounted() override { ++*freed_; }

 private:
  int* freed_;
};

TEST(ClassComponents, ComponentClearsLinksWhenFreedEitherWay) {
  auto* viaFree = new TcxComponent(nullptr);
  auto* viaDelete = new TcxComponent(nullptr);
  TcxObjectLink* a = AcquireObjectLink(viaFree);
  TcxObjectLink* b = AcquireObjectLink(viaDelete);
  viaFree->Free();
  delete viaDelete;
  EXPECT_EQ(a->Target, nullptr);
  EXPECT_EQ(b->Target, nullptr);
  ReleaseObjectLink(a);
  ReleaseObjectLink(b);
  EXPECT_EQ(ObjectLinkCount(), 0);
}

TEST(ClassComponents, FakeLinksFollowTheLinkedComponentsAtDesignTime) {
  TComponent owner(nullptr);
  auto* x = new TComponent(&owner);
  auto* y = new TComponent(&owner);
  auto* c = new TLinking(&owner);
  c->linked = {x, y, x, y};
  c->RefreshFakeLinks();
  EXPECT_EQ(c->FakeComponentLink1(), nullptr);  // not designing
  owner.SetDesigning(true);
  EXPECT_TRUE(c->InDesigner());
  c->RefreshFakeLinks();
  EXPECT_EQ(c->FakeComponentLink1(), x);
  EXPECT_EQ(c->FakeComponentLink2(), y);
  EXPECT_EQ(c->FakeComponentLink3(), x);
  c->linked = {y};
  c->Loading();
  c->Loaded();
  EXPECT_EQ(c->FakeComponentLink1(), y);
  EXPECT_EQ(c->FakeComponentLink2(), nullptr);
}

TEST(ClassComponents, FreeNotificatorReportsFreedComponents) {
  TcxFreeNotificator watcher;
  std::vector<TComponent*> freed;
  watcher.OnComponentFreed = [&](TComponent* c) { freed.push_back(c); };
  auto* a = new TComponent(nullptr);
  auto* b = new TComponent(nullptr);
  watcher.WatchComponent(a);
  watcher.WatchComponent(b);
  watcher.WatchComponent(nullptr);
  watcher.UnwatchComponent(b);
  a->Free();
  b->Free();
  EXPECT_EQ(freed, std::vector<TComponent*>{a});
}

TEST(ClassComponents, ListsOwnOrExtend) {
  int freed = 0;
  {
    TcxObjectList list;
    list.Add(new TCounted(&freed));
    list.Add(new TCounted(&freed));
    EXPECT_NE(list.ObjectAt(1), nullptr);
    list.Clear();
    EXPECT_EQ(freed, 2);
    list.Add(new TCounted(&freed));
  }
  EXPECT_EQ(freed, 3);

  TcxOpenList open;
  int marker = 0;
  open.PutExtending(3, &marker);
  EXPECT_EQ(open.Count(), 4);
  EXPECT_EQ(open.ItemAt(0), nullptr);
  EXPECT_EQ(open.ItemAt(3), &marker);
  open.PutExtending(1, &marker);
  EXPECT_EQ(open.Count(), 4);
}

TEST(ClassComponents, StreamsOwnersAndNames) {
  TMemoryStream a, b;
  EXPECT_TRUE(MemoryStreamsEqual(&a, &b));
  a.WriteInt32(5);
  b.WriteInt32(5);
  EXPECT_TRUE(MemoryStreamsEqual(&a, &b));
  b.SetPosition(0);
  b.WriteInt32(6);
  EXPECT_FALSE(MemoryStreamsEqual(&a, &b));
  b.WriteByte(0);
  EXPECT_FALSE(MemoryStreamsEqual(&a, &b));

  TComponent owner(nullptr);
  TcxInterfacedPersistent p(&owner);
  EXPECT_EQ(PersistentOwnerOf(&p), &owner);
  EXPECT_EQ(p.Owner(), &owner);
  auto* child = new TComponent(&owner);
  EXPECT_EQ(PersistentOwnerOf(child), &owner);

  // Names of children follow a renamed container; a taken name is skipped.
  TComponent form(nullptr);
  TcxComponent containerObj(nullptr);
  TcxComponent* container = &containerObj;
  container->SetName("Grid1View1");
  std::vector<TComponent*> kids;
  for (const char* n : {"Grid1View1Column1", "Grid1View1Column2", "OtherColumn", "Grid1View1"}) {
    kids.push_back(new TComponent(&form));
    kids.back()->SetName(n);
  }
  auto* taken = new TComponent(&form);
  taken->SetName("Grid2View1Column2");
  TComponent stranger(nullptr);
  stranger.SetName("Grid1View1Column7");
  kids.push_back(&stranger);  // another owner: left alone
  RenameChildrenByPrefix(container, &form, "Grid2View1", "grid1view1", int(kids.size()),
                         [&](TComponent*, int i) { return kids[std::size_t(i)]; });
  EXPECT_EQ(kids[0]->Name(), "Grid2View1Column1");
  EXPECT_EQ(kids[1]->Name(), "Grid1View1Column2");  // taken
  EXPECT_EQ(kids[2]->Name(), "OtherColumn");
  EXPECT_EQ(kids[3]->Name(), "Grid1View1");          // not longer than the prefix
  EXPECT_EQ(stranger.Name(), "Grid1View1Column7");

  auto* column = new TcxComponent(&form);
  EXPECT_EQ(GenerateUniqueComponentName(&form, container, column, "Tcx", ""), "Grid1View1Component1");
  column->SetName("Grid1View1Component1");
  EXPECT_EQ(GenerateUniqueComponentName(&form, container, column, "Tcx", ""), "Grid1View1Component1");
  auto* another = new TcxComponent(&form);
  EXPECT_EQ(GenerateUniqueComponentName(&form, container, another, "Tcx", ""), "Grid1View1Component2");
  EXPECT_TRUE(IsComponentNameFree(&form, nullptr, "Nothing"));
  EXPECT_FALSE(IsComponentNameFree(&form, nullptr, "grid2view1column1"));
}

}  // namespace
