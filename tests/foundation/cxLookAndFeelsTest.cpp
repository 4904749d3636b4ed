// Look and feel: inheritance along masters to the root, painter selection, notification
// order, the controller and system colour changes.
#include <gtest/gtest.h>

#include <functional>

#include "foundation/cxLookAndFeels.h"
#include "rtl/TypInfo.h"
#include "tests/support/HeadlessFixture.h"

namespace {

struct TChange {
  String who;
  uint64_t values;
  bool operator==(const TChange&) const = default;
};
std::ostream& operator<<(std::ostream& os, const TChange& c) { return os << c.who << ":" << c.values; }

// Records what a look and feel tells it.
class TRecorder : public TObject, public IcxLookAndFeelListener {
 public:
  TRecorder(String name, std::vector<TChange>* log) : name_(std::move(name)), log_(log) {}
  TObject* GetObject() override { return this; }
  void LookAndFeelSourceChanged(TcxLookAndFeel*, const TcxLookAndFeelValues& v) override {
    log_->push_back({name_, v.ToMask()});
    if (OnChanged) OnChanged();
  }
  void LookAndFeelSourceDestroying(TcxLookAndFeel*) override { log_->push_back({name_ + " destroying", 0}); }
  std::function<void()> OnChanged;

 private:
  String name_;
  std::vector<TChange>* log_;
};

constexpr uint64_t vK = 1, vN = 2, vS = 4;  // lfvKind, lfvNativeStyle, lfvSkinName

class LookAndFeelTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxLookAndFeels();
    root = GlobalRootLookAndFeel();
    ASSERT_NE(root, nullptr);
  }
  void TearDown() override {
    root->ResetAssignedValues();
    InstallThemeLibrary(nullptr);
    THeadlessFixture::TearDown();
  }
  TcxLookAndFeel* root = nullptr;
  std::vector<TChange> log;
  TdxScriptedThemeLibrary lib;  // outlives TearDown, which uninstalls it
};

}  // namespace

TEST_F(LookAndFeelTest, NewLookAndFeelIsUltraFlatWhileTheRootIsUnchanged) {
  TcxLookAndFeel lf(nullptr);
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
  EXPECT_FALSE(lf.NativeStyle());
  EXPECT_EQ(lf.SkinName(), "");
  EXPECT_EQ(lf.EffectivePainterSlot(), lpsUltraFlat);
  EXPECT_EQ(lf.EffectiveMaster(), root);
  EXPECT_EQ(root->EffectiveMaster(), nullptr);
  EXPECT_TRUE(lf.AssignedValues().Empty());
}

TEST_F(LookAndFeelTest, RootChangesReachOnlyInheritedValues) {
  // Recorders first: look and feels call their listeners until they are gone themselves.
  TRecorder ra("a", &log), rb("b", &log), rc("child", &log);
  TcxLookAndFeel a(nullptr), b(nullptr), child(nullptr);
  child.AttachToMaster(&a);
  a.RegisterListener(&ra);
  b.RegisterListener(&rb);
  child.RegisterListener(&rc);
  b.SetKind(lfFlat);
  log.clear();
  root->SetKind(lfOffice11);
  EXPECT_EQ(a.Kind(), lfOffice11);
  EXPECT_EQ(child.Kind(), lfOffice11);
  EXPECT_EQ(b.Kind(), lfFlat);
  EXPECT_EQ(a.EffectivePainterSlot(), lpsOffice11);
  // The chain carries the change down: a first (it listens to the root), then its dependant.
  EXPECT_EQ(log, (std::vector<TChange>{{"child", vK}, {"a", vK}}));
}

TEST_F(LookAndFeelTest, SettersAssignEvenWhenTheValueDoesNotChange) {
  TRecorder r("lf", &log);
  TcxLookAndFeel lf(nullptr);
  lf.RegisterListener(&r);
  // Listeners first, then the event.
  lf.OnLookAndFeelChanged = [&](TcxLookAndFeel* sender, const TcxLookAndFeelValues& v) {
    EXPECT_EQ(sender, &lf);
    log.push_back({"event", v.ToMask()});
  };
  lf.SetKind(lfUltraFlat);
  lf.SetNativeStyle(false);
  lf.SetSkinName("");
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(lf.AssignedValues().ToMask(), vK | vN | vS);
  root->SetKind(lfStandard);  // assigned: not inherited
  EXPECT_TRUE(log.empty());
  lf.SetSkinName("Blue");
  lf.SetSkinName("blue");  // compared case-sensitively
  EXPECT_EQ(log, (std::vector<TChange>{{"lf", vS}, {"event", vS}, {"lf", vS}, {"event", vS}}));
  log.clear();
  lf.ResetAssignedValues();  // inherits the root's Kind again; skin name back to empty
  EXPECT_EQ(lf.Kind(), lfStandard);
  EXPECT_EQ(log, (std::vector<TChange>{{"lf", vK | vS}, {"event", vK | vS}}));
}

TEST_F(LookAndFeelTest, NativeStyleSelectsTheNativePainterOnlyWithThemes) {
  TcxLookAndFeel lf(nullptr);
  lf.SetKind(lfFlat);
  lf.SetNativeStyle(true);
  EXPECT_EQ(lf.EffectivePainterSlot(), lpsFlat);  // no theme library
  InstallThemeLibrary(&lib);
  lf.HandleSystemPaletteChange();
  EXPECT_EQ(lf.EffectivePainterSlot(), lpsNative);
  lib.FailingClasses.insert("HEADER");
  lf.SelectPainterForClass(tcHeader);
  EXPECT_EQ(lf.EffectivePainterSlot(), lpsFlat);
  lf.SelectPainter(TdxThemeClasses{tcButton});
  EXPECT_EQ(lf.EffectivePainterSlot(), lpsNative);
  // The skin name never selects a painter.
  lf.SetNativeStyle(false);
  lf.SetSkinName("Caramel");
  EXPECT_EQ(lf.EffectivePainterSlot(), lpsFlat);
  TcxCustomLookAndFeelPainterClass p = nullptr;
  EXPECT_FALSE(lf.FindSkinPainter("Caramel", p));
}

TEST_F(LookAndFeelTest, DestroyingAMasterReattachesDependantsToTheRoot) {
  root->SetKind(lfStandard);
  auto* master = new TcxLookAndFeel(nullptr);
  master->SetKind(lfOffice11);
  master->SetNativeStyle(false);
  TRecorder rs("same", &log), rd("differs", &log);
  TcxLookAndFeel same(nullptr), differs(nullptr);
  same.AttachToMaster(master);
  differs.AttachToMaster(master);
  same.SetKind(lfStandard);
  same.RegisterListener(&rs);
  differs.RegisterListener(&rd);
  EXPECT_EQ(differs.Kind(), lfOffice11);
  log.clear();
  delete master;
  EXPECT_EQ(same.EffectiveMaster(), root);
  EXPECT_EQ(differs.EffectiveMaster(), root);
  EXPECT_EQ(differs.Kind(), lfStandard);
  // Only the values that differ: "same" had its own Kind, so nothing changed for it.
  EXPECT_EQ(log, (std::vector<TChange>{{"differs", vK}}));
}

TEST_F(LookAndFeelTest, AttachingFollowsTheChainAndRefusesCycles) {
  TRecorder r("a", &log);
  TcxLookAndFeel a(nullptr), b(nullptr), c(nullptr);
  a.SetKind(lfFlat);
  b.AttachToMaster(&a);
  c.AttachToMaster(&b);
  EXPECT_EQ(c.Kind(), lfFlat);
  a.RegisterListener(&r);
  a.AttachToMaster(&c);  // c inherits from a: refused
  EXPECT_EQ(a.EffectiveMaster(), root);
  a.AttachToMaster(&a);
  root->AttachToMaster(&a);  // the root has no master
  EXPECT_EQ(root->EffectiveMaster(), nullptr);
  EXPECT_TRUE(log.empty());
  c.AttachToMaster(nullptr);
  EXPECT_EQ(c.Kind(), lfUltraFlat);
  a.ResetAssignedValues();
  EXPECT_EQ(b.Kind(), lfUltraFlat);
}

TEST_F(LookAndFeelTest, ListenersRemovingThemselvesDoNotMakeOthersBeSkipped) {
  TRecorder r1("1", &log), r2("2", &log), r3("3", &log);
  TcxLookAndFeel lf(nullptr);
  r1.OnChanged = [&] { lf.UnregisterListener(&r1); };
  for (TRecorder* r : {&r1, &r2, &r3}) lf.RegisterListener(r);
  lf.RegisterListener(&r2);  // not twice
  lf.RegisterListener(nullptr);
  EXPECT_EQ(lf.ListenerCount(), 3 + 0);
  lf.SetKind(lfFlat);
  EXPECT_EQ(log, (std::vector<TChange>{{"1", vK}, {"2", vK}, {"3", vK}}));
  EXPECT_EQ(lf.ListenerCount(), 2);
}

TEST_F(LookAndFeelTest, AssignCopiesOwnValuesAndMaster) {
  TRecorder r("dst", &log);
  TcxLookAndFeel master(nullptr), src(nullptr), dst(nullptr);
  master.SetKind(lfOffice11);
  src.AttachToMaster(&master);
  src.SetNativeStyle(true);
  dst.RegisterListener(&r);
  dst.Assign(&src);
  EXPECT_EQ(dst.MasterLookAndFeel(), &master);
  EXPECT_EQ(dst.Kind(), lfOffice11);
  EXPECT_TRUE(dst.NativeStyle());
  EXPECT_EQ(dst.AssignedValues().ToMask(), vN);
  EXPECT_EQ(log, (std::vector<TChange>{{"dst", vK | vN}}));  // one notification
  TFont font;
  EXPECT_THROW(dst.Assign(&font), EConvertError);
  // Published values are stored only when assigned.
  EXPECT_FALSE(IsStoredProp(&dst, "Kind"));
  EXPECT_TRUE(IsStoredProp(&dst, "NativeStyle"));
  SetOrdProp(&dst, "Kind", lfStandard);
  EXPECT_EQ(dst.Kind(), lfStandard);
  EXPECT_EQ(GetOrdProp(&dst, "AssignedValues"), Int64(vK | vN));
}

TEST_F(LookAndFeelTest, ControllersEditTheRootAndTheLastOneResetsIt) {
  auto* c1 = new TcxLookAndFeelController(nullptr);
  auto* c2 = new TcxLookAndFeelController(nullptr);
  c1->SetKind(lfFlat);
  EXPECT_EQ(root->Kind(), lfFlat);
  EXPECT_EQ(c2->Kind(), lfFlat);
  // A controller listens to the root only.
  TcxLookAndFeel lf(nullptr);
  Integer before = lf.ListenerCount();
  lf.RegisterListener(c1);
  EXPECT_EQ(lf.ListenerCount(), before);
  c1->Free();
  EXPECT_EQ(root->AssignedValues().ToMask(), vK);
  c2->Free();
  EXPECT_TRUE(root->AssignedValues().Empty());
  EXPECT_EQ(root->Kind(), lfUltraFlat);
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
}

TEST_F(LookAndFeelTest, SystemColourChangeFiresPrimaryNotifiersFirstNewestFirst) {
  std::vector<String> order;
  auto make = [&](const String& name, bool primary) {
    auto* n = new TcxSystemPaletteChangedNotifier(primary);
    n->OnPaletteChanged = [&order, name] { order.push_back(name); };
    return std::unique_ptr<TcxSystemPaletteChangedNotifier>(n);
  };
  auto n1 = make("normal1", false);
  auto p1 = make("primary1", true);
  auto n2 = make("normal2", false);
  auto p2 = make("primary2", true);
  ASSERT_NE(PaletteListener(), nullptr);
  HWND w = PaletteListener()->Window();
  ASSERT_TRUE(IsWindow(w));
  // Only our notifiers are of interest: the look-and-feel objects' own ones come after.
  SendMessage(w, WM_SYSCOLORCHANGE, 0, 0);
  ASSERT_GE(order.size(), 4u);
  EXPECT_EQ(std::vector<String>(order.begin(), order.begin() + 4),
            (std::vector<String>{"primary2", "primary1", "normal2", "normal1"}));
  // A look and feel recomputes its native style on a colour change.
  TRecorder r("lf", &log);
  TcxLookAndFeel lf(nullptr);
  lf.RegisterListener(&r);
  BroadcastSystemChange(WM_SYSCOLORCHANGE, 0, 0);
  // Once from its own notifier (the newer), once through the root it inherits from.
  EXPECT_EQ(log, (std::vector<TChange>{{"lf", vN}, {"lf", vN}}));
}
