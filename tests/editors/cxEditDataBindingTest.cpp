// The editor's data binding, its per-cell edit data and the change-event catcher, driven by a
// stand-in editor that logs what its companions ask of it.
#include <gtest/gtest.h>

#include <memory>

#include "editors/cxEdit.h"

namespace {

class TLogEdit : public TComponent, public IcxEditControl {
 public:
  explicit TLogEdit(std::vector<String>& log) : TComponent(nullptr), log_(log) {}
  TComponent* EditComponent() override { return this; }
  TcxCustomEditProperties* GetEffectiveProperties() override {
    return item ? item->Properties() : &own;
  }
  bool UsesRepositoryItem() override { return item != nullptr; }
  void PropertiesChanged(TcxCustomEditProperties* p) override {
    log_.push_back(p == &own ? "own properties changed" : "item properties changed");
  }
  Variant CurrentDisplayText() override { return Variant(String("shown")); }
  bool ModifiedFlag() override { return modified; }
  Variant ReadEditValue() override { return Variant(Integer(7)); }
  void ResetValue() override { log_.push_back("reset"); }
  void SetValidatedDisplayValue(const Variant& v) override { log_.push_back("validated " + VarToStr(v)); }
  void SynchronizeDisplayValue() override { log_.push_back("synchronized"); }
  bool HasChangeHandlers() override { return handlers; }
  void FireChange() override { log_.push_back("change"); }
  bool HasEditValueChangedHandlers() override { return handlers; }
  void DoEditValueChanged() override { log_.push_back("value changed"); }
  void ClearEditData(TcxCustomEditData*) override { log_.push_back("edit data cleared"); }
  void MarkLoading() { SetComponentState(TComponentState{csLoading}); }

  TcxCustomEditProperties own{nullptr};
  TcxEditRepositoryItem* item = nullptr;
  bool modified = false;
  bool handlers = true;

 private:
  std::vector<String>& log_;
};

using Log = std::vector<String>;

TEST(EditDataBindingTest, ReadsAndWritesThroughTheEditor) {
  Log log;
  TLogEdit edit(log);
  TcxEditDataBinding binding(&edit);
  EXPECT_EQ(binding.GetOwner(), &edit);
  Variant v;
  binding.GetDisplayValue(v);
  EXPECT_EQ(VarToStr(v), "shown");
  binding.GetStoredValue(v);
  EXPECT_EQ(VarToStr(v), "7");
  binding.SetDisplayValue(Variant(String("x")));
  binding.Reset();
  binding.SynchronizeEditor();
  EXPECT_EQ(log, (Log{"validated x", "reset", "synchronized"}));
  EXPECT_TRUE(binding.CanModifyData());
  EXPECT_TRUE(binding.HasDataAvailable());
  EXPECT_TRUE(binding.GetDefaultValuesProvider()->DefaultCanModify());

  // Posting and value checks follow the editor's modified flag.
  EXPECT_FALSE(binding.ShouldPostEditorValue());
  EXPECT_TRUE(binding.AcceptsEditorValueCheck());
  edit.modified = true;
  EXPECT_TRUE(binding.ShouldPostEditorValue());
  EXPECT_FALSE(binding.AcceptsEditorValueCheck());
}

TEST(EditDataBindingTest, ProviderLeavesThePropertiesWithTheBinding) {
  Log log;
  TLogEdit edit(log);
  auto binding = std::make_unique<TcxEditDataBinding>(&edit);
  edit.own.AttachDefaultValuesProvider(binding->GetDefaultValuesProvider());
  EXPECT_NE(edit.own.DefaultValuesProvider(), nullptr);
  binding.reset();
  EXPECT_EQ(edit.own.DefaultValuesProvider(), nullptr);
}

TEST(EditDataBindingTest, DefaultValuesChangedReachesOnlyThisEditorOfASharedItem) {
  Log log;
  TLogEdit edit(log);
  TcxEditDataBinding binding(&edit);
  Integer itemNotices = 0;
  auto* item = new TcxEditRepositoryItem(nullptr);
  item->Properties()->PropertiesChangedHandler = [&](TObject*) { ++itemNotices; };
  edit.item = item;
  binding.DefaultValuesChanged();
  EXPECT_EQ(itemNotices, 0);
  EXPECT_EQ(log, (Log{"item properties changed"}));
  item->Free();
}

TEST(EditDataBindingTest, EditDataLosesAFreedEditor) {
  Log log;
  auto* edit = new TLogEdit(log);
  TcxCustomEditData a(edit), b(edit);
  EXPECT_TRUE(a.Cleared());
  EXPECT_EQ(log, (Log{"edit data cleared", "edit data cleared"}));
  a.SetCleared(false);
  {
    TcxCustomEditData gone(edit);  // freed before the editor: no dangling watch
  }
  edit->Free();
  EXPECT_EQ(a.Edit(), nullptr);
  EXPECT_EQ(b.Edit(), nullptr);
  log.clear();
  a.Clear();
  EXPECT_TRUE(a.Cleared());
  EXPECT_TRUE(log.empty());
}

TEST(EditChangeEventsCatcherTest, HeldEventsFireOnceAtTheLastUnlockThatAsks) {
  struct Case {
    const char* name;
    bool invoke;
    bool handlers;
    bool loading;
    Log expected;
  };
  const Case cases[] = {
      {"notify", true, true, false, {"change", "value changed"}},
      {"no notify", false, true, false, {}},
      {"no handlers", true, false, false, {}},
      {"loading", true, true, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    TLogEdit edit(log);
    edit.handlers = c.handlers;
    if (c.loading) edit.MarkLoading();
    TcxEditChangeEventsCatcher catcher(&edit);
    catcher.Lock(true);
    catcher.Lock(true);
    EXPECT_TRUE(catcher.IsLocked());
    catcher.OnChangeEvent = catcher.OnEditValueChangedEvent = true;
    catcher.Lock(false, true);
    EXPECT_TRUE(log.empty());
    catcher.Lock(false, c.invoke);
    EXPECT_FALSE(catcher.IsLocked());
    EXPECT_EQ(log, c.expected);
    // Unlocking an unlocked catcher fires nothing again.
    log.clear();
    catcher.Lock(false, true);
    EXPECT_TRUE(log.empty());
  }
}

TEST(EditChangeEventsCatcherTest, FirstLockForgetsEarlierPendingEvents) {
  Log log;
  TLogEdit edit(log);
  TcxEditChangeEventsCatcher catcher(&edit);
  catcher.OnChangeEvent = true;
  catcher.Lock(true);
  catcher.OnEditValueChangedEvent = true;
  catcher.Lock(false, true);
  EXPECT_EQ(log, (Log{"value changed"}));
}

}  // namespace
