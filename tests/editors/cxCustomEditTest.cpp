// The editor control base through the test kind on a headless form: the change sequence,
// validation, posting, held change events, the repository item, keys and focus.
#include <gtest/gtest.h>

#include "editors/cxEdit.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxFilterControlUtils.h"
#include "editors/cxTextEdit.h"
#include "foundation/dxUxTheme.h"
#include "tests/editors/TestEdit.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/ControlMessages.h"
#include "vcl/FormReader.h"  // WriteComponentToText
#include "vcl/Forms.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"

using editors_test::TTestEdit;
using editors_test::TTestEditProperties;

KORVAN_IMPLEMENT_CLASS(editors_test::TTestEditProperties)
KORVAN_IMPLEMENT_CLASS(editors_test::TTestEdit)
TClass editors_test::TTestEditProperties::GetContainerClass() { return TTestEdit::StaticClass(); }

namespace {

// A text helper whose value editor is the test kind.
class TTestFilterHelper : public TcxFilterTextEditHelper {
  KORVAN_CLASS(TTestFilterHelper, TcxFilterTextEditHelper)

 public:
  TClass ValueEditClass() const override { return TTestEdit::StaticClass(); }
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TTestFilterHelper)

namespace {

// A binding over a data storage whose stored value is fixed.
class TStorageProvider : public TcxCustomEditDefaultValuesProvider {
 public:
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  bool IsDataStorage() override { return true; }
};

class TStorageBinding : public TcxEditDataBinding {
 public:
  using TcxEditDataBinding::TcxEditDataBinding;
  TcxCustomEditDefaultValuesProvider* CreateDefaultValuesProvider() override {
    return new TStorageProvider(nullptr);
  }
  void GetStoredValue(Variant& value) override { value = Variant(String("WWWWWW")); }
};

// A text kind over a data storage: its copies show the stored value.
class TStorageTextEdit : public TcxCustomEdit {
  KORVAN_CLASS(TStorageTextEdit, TcxCustomEdit)

 public:
  explicit TStorageTextEdit(TComponent* owner)
      : TcxCustomEdit(owner, false, TcxTextEditProperties::StaticClass()) {}
  TcxEditDataBinding* CreateDataBinding() override { return new TStorageBinding(this); }
};

// View data whose content metrics differ at every making (to see which ones an edit uses).
class TCountingViewData : public TcxCustomEditViewData {
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  void InitContentMetrics(TcxEditContentMetrics& metrics) override {
    TcxCustomEditViewData::InitContentMetrics(metrics);
    static Integer made = 0;
    metrics.ExtraTextWidth = ++made;
  }
};

class TCountingProperties : public TTestEditProperties {
  KORVAN_CLASS(TCountingProperties, TTestEditProperties)

 public:
  explicit TCountingProperties(TPersistent* owner) : TTestEditProperties(owner) {}
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text) override {
    auto* data = new TCountingViewData(this, style, is_inplace);
    data->InitFromProperties();
    return data;
  }
};

// The test kind under a name that form text can hold.
class TFormTextEdit : public TTestEdit {
  KORVAN_CLASS(TFormTextEdit, TTestEdit)

 public:
  explicit TFormTextEdit(TComponent* owner) : TTestEdit(owner) {}
};

class TThemedBackgroundEdit : public TTestEdit {
 public:
  using TTestEdit::TTestEdit;
  bool UsesParentThemeBackground() override { return true; }
};

class TCountingEdit : public TcxCustomEdit {
 public:
  TCountingEdit(TComponent* owner, bool in_place)
      : TcxCustomEdit(owner, in_place, TCountingProperties::StaticClass()) {}
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TStorageTextEdit)
KORVAN_IMPLEMENT_CLASS(TCountingProperties)
KORVAN_IMPLEMENT_CLASS(TFormTextEdit)

namespace {

using Log = std::vector<String>;

class CustomEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxEdit();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 400, 300);
    edit_ = new TTestEdit(form_);
    edit_->SetBounds(10, 10, 120, 21);
    edit_->SetParent(form_);
    other_ = new TEdit(form_);
    other_->SetBounds(10, 60, 120, 21);
    other_->SetParent(form_);
    form_->Show();
    other_->SetFocus();
    Application->OnException = [this](TObject*, const Exception& e) {
      log_.push_back("error: " + e.Message());
    };
    Pump();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  // Logs the events of the change sequence, the own properties' and an item's.
  void LogEvents(TcxCustomEditProperties* p, const String& who) {
    p->OnChange = [this, who](TObject*) { log_.push_back(who + "change"); };
    p->OnEditValueChanged = [this, who](TObject*) { log_.push_back(who + "value changed"); };
    p->OnValidate = [this, who](TObject*, Variant& v, String&, bool& error) {
      log_.push_back(who + "validate " + VarToStr(v));
      error = error || VarToStr(v) == "bad";
    };
  }
  using THeadlessFixture::Focus;
  void Focus() { Focus(edit_); }
  void Type(const String& text) { S().TypeText(text); }

  TForm* form_ = nullptr;
  TTestEdit* edit_ = nullptr;
  TEdit* other_ = nullptr;
  Log log_;
};

TEST_F(CustomEditTest, ChangeSequenceFromTypingToLeaving) {
  auto* item = new TcxEditRepositoryItem(form_, TTestEditProperties::StaticClass());
  edit_->SetRepositoryItem(item);
  LogEvents(edit_->Properties(), "");
  item->Properties()->OnChange = [this](TObject*) { log_.push_back("item change"); };
  edit_->OnKeyDown = [this](TObject*, Word&, TShiftState) { log_.push_back("key down"); };
  edit_->OnEditing = [this](TObject*, bool&) { log_.push_back("editing"); };
  edit_->OnExit = [this](TObject*) { log_.push_back("exit"); };
  Focus();
  Type("ab");
  EXPECT_EQ(edit_->text, "ab");
  EXPECT_TRUE(edit_->ChangedSinceEnter());
  other_->SetFocus();
  Pump();
  EXPECT_EQ(log_, (Log{"key down", "editing", "change", "item change", "key down", "change",
                       "item change", "validate ab", "value changed", "exit"}));
  EXPECT_EQ(VarToStr(edit_->EditValue()), "ab");
  EXPECT_FALSE(edit_->ChangedSinceEnter());
}

TEST_F(CustomEditTest, ValidationRunsOncePerChangeAndOnlyAfterAChange) {
  LogEvents(edit_->Properties(), "");
  Focus();
  // Unchanged since entering: valid whatever the text says.
  edit_->text = "bad";
  EXPECT_TRUE(edit_->ValidateEdit(true));
  EXPECT_TRUE(log_.empty());
  Type("x");
  log_.clear();
  EXPECT_TRUE(edit_->ValidateEdit(true));
  EXPECT_TRUE(edit_->ValidateEdit(true));
  EXPECT_EQ(log_, (Log{"validate badx", "value changed"}));
}

TEST_F(CustomEditTest, FailedValidationRaisesTheTextAndKeepsTheFocusOnLeaving) {
  LogEvents(edit_->Properties(), "");
  Focus();
  Type("bad");
  log_.clear();
  edit_->text = "bad";
  try {
    edit_->ValidateEdit(true);
    ADD_FAILURE() << "no error";
  } catch (const EcxEditValidationError& e) {
    EXPECT_EQ(e.Message(), "Invalid input value. Use escape key to abandon changes");
  }
  EXPECT_FALSE(edit_->ValidateEdit(false));
  log_.clear();
  other_->SetFocus();
  Pump();
  EXPECT_TRUE(edit_->Focused());
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.back(), "error: Invalid input value. Use escape key to abandon changes");
}

TEST_F(CustomEditTest, EditFreedWhileTheValidationErrorLetsMessagesRunIsLeftAlone) {
  bool destroyed = false;
  edit_->OnDestroyed = [&] { destroyed = true; };
  // The handler keeps the error silent (no text), so messages run; one of them frees the edit.
  HWND helper = AllocateHWnd([this](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_USER + 1) edit_->Free();
    return 0;
  });
  edit_->Properties()->OnValidate = [&](TObject*, Variant&, String& text, bool& error) {
    error = true;
    text.clear();
    PostMessage(helper, WM_USER + 1, 0, 0);
  };
  Focus();
  Type("q");
  EXPECT_FALSE(edit_->ValidateEdit(true));
  EXPECT_TRUE(destroyed);
  edit_ = nullptr;
  DeallocateHWnd(helper);
}

TEST_F(CustomEditTest, HeldChangeEventsFireOnceAtTheLastUnlockThatAsks) {
  LogEvents(edit_->Properties(), "");
  edit_->Properties()->OnValidate = nullptr;
  for (bool notify : {false, true}) {
    log_.clear();
    edit_->LockChangeEvents(true);
    edit_->LockChangeEvents(true);
    edit_->SetEditValue(Variant(String(notify ? "a" : "b")));
    edit_->SetEditValue(Variant(String(notify ? "c" : "d")));
    edit_->LockChangeEvents(false);
    EXPECT_TRUE(log_.empty());
    edit_->LockChangeEvents(false, notify);
    EXPECT_EQ(log_, notify ? Log{"value changed"} : Log{});
  }
}

TEST_F(CustomEditTest, UserChangesRefusedByReadOnlyOrEditingHandler) {
  struct Case {
    const char* name;
    bool read_only;
    bool refuse;
  };
  for (const Case& c : {Case{"read-only", true, false}, Case{"OnEditing refuses", false, true}}) {
    SCOPED_TRACE(c.name);
    edit_->SetEditValue(Variant(String("keep")));
    edit_->Properties()->SetReadOnly(c.read_only);
    edit_->OnEditing = [&](TObject*, bool& can) { can = can && !c.refuse; };
    edit_->Properties()->SetClearKey(ShortCut(VK_DELETE, {}));
    Focus();
    Type("z");
    S().PressKey(VK_BACK);
    S().PressKey(VK_DELETE);
    EXPECT_EQ(edit_->text, "keep");
    EXPECT_EQ(VarToStr(edit_->EditValue()), "keep");
    EXPECT_FALSE(edit_->ChangedSinceEnter());
    edit_->Properties()->SetReadOnly(false);
    other_->SetFocus();
    Pump();
  }
}

TEST_F(CustomEditTest, AssignmentDuringOnEditingIsIgnored) {
  edit_->OnEditing = [&](TObject*, bool&) { edit_->SetEditValue(Variant(String("from handler"))); };
  Focus();
  Type("a");
  EXPECT_EQ(edit_->text, "a");
}

TEST_F(CustomEditTest, ClearKeyAndEscape) {
  edit_->SetEditValue(Variant(String("start")));
  edit_->Properties()->SetClearKey(ShortCut(VK_DELETE, {}));
  char32_t delivered = 0;
  edit_->OnKeyPress = [&](TObject*, char32_t& c) { delivered = c; };
  Focus();
  S().PressKey(VK_DELETE);
  EXPECT_TRUE(edit_->EditValue().IsNull());
  EXPECT_EQ(edit_->text, "");
  // Esc brings back the value saved on entering and its character is swallowed.
  Type("x");
  delivered = 0;
  S().PressKey(VK_ESCAPE);
  EXPECT_EQ(VarToStr(edit_->EditValue()), "start");
  EXPECT_EQ(edit_->text, "start");
  EXPECT_TRUE(edit_->ModifiedFlag());
  EXPECT_EQ(delivered, 0u);
}

TEST_F(CustomEditTest, EnterValidatesAndPostsWithValidateOnEnter) {
  LogEvents(edit_->Properties(), "");
  edit_->Properties()->SetValidateOnEnter(true);
  Focus();
  Type("v");
  log_.clear();
  S().PressKey(VK_RETURN);
  EXPECT_EQ(log_, (Log{"validate v", "value changed"}));
  EXPECT_EQ(VarToStr(edit_->EditValue()), "v");
  EXPECT_TRUE(edit_->Focused());
}

TEST_F(CustomEditTest, NavigationKeysGoToTheTrailingKeyEventAndTabMovesOn) {
  // In place every key reaches the edit: navigation keys and Tab go to the trailing event,
  // and Tab moves the focus on.
  auto* in_place = new TTestEdit(form_, true);
  in_place->SetBounds(10, 100, 120, 21);
  in_place->SetParent(form_);
  Log keys;
  in_place->OnAfterKeyDown = [&](TObject*, Word& key, TShiftState) { keys.push_back(IntToStr(key)); };
  in_place->SetFocus();
  Pump();
  for (int vk : {VK_PRIOR, VK_HOME, VK_LEFT, VK_DOWN}) S().PressKey(vk);
  EXPECT_EQ(keys, (Log{"33", "36", "37", "40"}));
  EXPECT_TRUE(in_place->Focused());
  keys.clear();
  S().PressKey(VK_TAB);
  EXPECT_EQ(keys, (Log{"9"}));
  EXPECT_FALSE(in_place->Focused());
  in_place->Free();
}

TEST_F(CustomEditTest, ClickKeyClicksTheDefaultButtonOnce) {
  Log clicks;
  TcxEditButton* button = edit_->Properties()->Buttons()->AddButton();
  button->SetDefault(true);
  edit_->Properties()->OnButtonClick = [&](TObject*, Integer i) { clicks.push_back(IntToStr(i)); };
  Focus();
  S().PressKey(VK_RETURN, false, true);  // Ctrl+Enter, the default click key
  EXPECT_EQ(clicks, (Log{"0"}));
  EXPECT_EQ(edit_->text, "");
}

TEST_F(CustomEditTest, InPlacePostingFiresThePostEventOnly) {
  auto* in_place = new TTestEdit(form_, true);
  EXPECT_FALSE(in_place->AutoSize());
  Integer posts = 0;
  in_place->OnPostEditValue = [&](TObject*) { ++posts; };
  in_place->SetModifiedFlag(true);
  in_place->PostEditValue(false);
  EXPECT_EQ(posts, 1);
  EXPECT_FALSE(in_place->ModifiedFlag());
  in_place->Free();
}

TEST_F(CustomEditTest, RepositoryItemAcceptanceAndRemoval) {
  auto* wrong = new TcxEditRepositoryItem(form_);  // base properties: not a test kind
  try {
    edit_->SetRepositoryItem(wrong);
    ADD_FAILURE() << "accepted";
  } catch (const EcxEditError& e) {
    EXPECT_EQ(e.Message(), "The repository item is not acceptable");
  }
  EXPECT_EQ(edit_->RepositoryItem(), nullptr);
  EXPECT_EQ(wrong->ListenerCount(), 0);
  auto* item = new TcxEditRepositoryItem(form_, TTestEditProperties::StaticClass());
  edit_->SetRepositoryItem(item);
  EXPECT_EQ(edit_->GetEffectiveProperties(), item->Properties());
  EXPECT_EQ(edit_->Properties()->DefaultValuesProvider(), nullptr);
  item->Free();
  EXPECT_EQ(edit_->RepositoryItem(), nullptr);
  EXPECT_EQ(edit_->GetEffectiveProperties(), edit_->Properties());
}

TEST_F(CustomEditTest, ModalDialogClosedWithOkValidatesItsFocusedEditSilently) {
  for (const String& typed : {String("fine"), String("bad")}) {
    SCOPED_TRACE(typed);
    log_.clear();
    auto* dialog = new TForm(Application);
    dialog->SetBounds(150, 150, 200, 120);
    auto* edit = new TTestEdit(dialog);
    edit->SetBounds(10, 10, 100, 21);
    edit->SetParent(dialog);
    LogEvents(edit->Properties(), "");
    HWND helper = AllocateHWnd([&](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
      if (msg == WM_USER + 2) {
        edit->SetFocus();
        S().TypeText(typed);
        log_.clear();
        dialog->SetModalResult(mrOk);
      }
      return 0;
    });
    PostMessage(helper, WM_USER + 2, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    ASSERT_FALSE(log_.empty());
    EXPECT_EQ(log_.front(), "validate " + typed);
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "validate " + typed), 1);
    EXPECT_EQ(VarToStr(edit->EditValue()), typed == "bad" ? "" : typed);
    for (const String& line : log_) EXPECT_EQ(line.find("error"), String::npos) << line;
    DeallocateHWnd(helper);
    dialog->Free();
  }
}

TEST_F(CustomEditTest, ButtonPressedAndReleasedOverItselfClicksOnce) {
  Log events;
  edit_->ChangeAutoSize(false);  // the test kind measures no content
  edit_->SetBounds(10, 10, 120, 21);
  edit_->Properties()->Buttons()->AddButton()->SetKind(bkEllipsis);
  edit_->Properties()->OnButtonClick = [&](TObject*, Integer i) { events.push_back("click " + IntToStr(i)); };
  edit_->RefreshStateAtCursor(false);
  Pump();
  TcxCustomEditViewInfo* view_info = edit_->GetEditViewInfo();
  ASSERT_NE(view_info, nullptr);
  ASSERT_EQ(view_info->Buttons.size(), 1u);
  const TRect r = view_info->Buttons[0]->Bounds;
  ASSERT_FALSE(r.IsEmpty());
  const POINT inside{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  S().Snapshot(form_->Handle(), "editors_custom_edit_button.png", true);
  S().MouseDown(edit_->Handle(), inside);
  EXPECT_EQ(edit_->PressedButton(), 0);
  EXPECT_TRUE(events.empty());
  S().MouseUp(edit_->Handle(), inside);
  EXPECT_EQ(events, (Log{"click 0"}));
  // Released away from the button: no click.
  events.clear();
  Advance(GetDoubleClickTime() + 10);
  S().MouseDown(edit_->Handle(), inside);
  S().MoveMouse(edit_->Handle(), POINT{2, 2});
  S().MouseUp(edit_->Handle(), POINT{2, 2});
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(edit_->PressedButton(), -1);
}

TEST_F(CustomEditTest, AutoSizeTakesTheMeasuredHeightAsTheAlignmentAllows) {
  edit_->SetBounds(10, 10, 120, 50);
  const Integer measured = edit_->Height();
  EXPECT_NE(measured, 50);
  edit_->SetBounds(10, 10, 120, 80);
  EXPECT_EQ(edit_->Height(), measured);
  EXPECT_EQ(edit_->Width(), 120);
  // Aligned to a side, or without auto size, the requested height stands.
  edit_->SetAlign(alLeft);
  edit_->SetBounds(10, 10, 120, 80);
  EXPECT_NE(edit_->Height(), measured);
  edit_->SetAlign(alNone);
  edit_->ChangeAutoSize(false);
  edit_->SetBounds(10, 10, 120, 50);
  EXPECT_EQ(edit_->Height(), 50);
  edit_->ChangeAutoSize(true);
  EXPECT_EQ(edit_->Height(), measured);
}

TEST_F(CustomEditTest, HeightAndWidthInFormTextLeaveOutWhatAutoSizeDecides) {
  edit_->SetName("Edit1");
  edit_->SetBounds(10, 10, 130, 40);
  String text = WriteComponentToText(edit_);
  EXPECT_EQ(text.find("\n  Height ="), String::npos) << text;
  EXPECT_NE(text.find("\n  Width = 130"), String::npos) << text;
  edit_->ChangeAutoSize(false);
  edit_->SetBounds(10, 10, 130, 40);
  text = WriteComponentToText(edit_);
  EXPECT_NE(text.find("\n  Height = 40"), String::npos) << text;
}

TEST_F(CustomEditTest, DialogCharacterClicksTheButtonOfItsAccelerator) {
  Log clicks;
  TcxEditButtons* buttons = edit_->Properties()->Buttons();
  buttons->AddButton()->SetCaption("&Go");
  TcxEditButton* disabled = buttons->AddButton();
  disabled->SetCaption("&Stop");
  disabled->SetEnabled(false);
  edit_->Properties()->OnButtonClick = [&](TObject*, Integer i) { clicks.push_back(IntToStr(i)); };
  EXPECT_EQ(SendMessage(edit_->Handle(), CM_DIALOGCHAR, 'g', 0), 1);
  EXPECT_EQ(SendMessage(edit_->Handle(), CM_DIALOGCHAR, 's', 0), 0);
  EXPECT_EQ(clicks, (Log{"0"}));
}

// ---- in place ----------------------------------------------------------------------------------------

TEST_F(CustomEditTest, InplaceCacheKeepsOneEditorPerPropertiesAndReusesFreeOnes) {
  TcxInplaceEditList list;
  TTestEditProperties shared(nullptr), other(nullptr);
  TcxCustomEdit* a = list.ObtainEdit(&shared);
  EXPECT_EQ(list.ObtainEdit(&shared), a);  // two columns, one properties object
  EXPECT_TRUE(a->InPlace());
  EXPECT_FALSE(a->Visible());
  EXPECT_NE(dynamic_cast<TTestEdit*>(a), nullptr);
  TcxCustomEdit* b = list.ObtainEdit(&other);
  EXPECT_NE(b, a);
  // A properties object that goes leaves a free editor, re-bound to the next of its class.
  {
    TTestEditProperties passing(nullptr);
    list.UnbindProperties(&other);
    EXPECT_EQ(list.ObtainEdit(&passing), b);
  }
  TTestEditProperties next(nullptr);
  EXPECT_EQ(list.FindBoundEdit(&next), b);
  EXPECT_EQ(list.ObtainEditOfClass(TTestEditProperties::StaticClass())->ClassType(),
            TTestEdit::StaticClass());
  EXPECT_EQ(list.Count(), 3);
  list.ReleaseEdit(&next);
  EXPECT_EQ(list.Count(), 2);
  // Properties are copied into the editor at every obtaining, without change events.
  Integer changes = 0;
  a->Properties()->OnChange = [&](TObject*) { ++changes; };
  shared.SetReadOnly(true);
  list.ObtainEdit(&shared);
  EXPECT_TRUE(a->Properties()->ReadOnly());
  EXPECT_EQ(changes, 0);
}

TEST_F(CustomEditTest, HostSequenceOverManyCellsUsesOneEditor) {
  TcxInplaceEditList list;
  TTestEditProperties properties(nullptr);
  Log events;
  properties.OnChange = [&](TObject*) { events.push_back("change"); };
  properties.OnEditValueChanged = [&](TObject*) { events.push_back("value changed"); };
  TcxCustomEdit* first = nullptr;
  TcxCustomEditData* data = nullptr;
  for (Integer cell = 0; cell < 2000; ++cell) {
    TcxCustomEdit* edit = list.ObtainEdit(&properties);
    if (!first) first = edit;
    ASSERT_EQ(edit, first);
    edit->SetParent(form_);
    edit->SetBounds(10, 150, 100, 20);
    edit->LockChangeEvents(true, true);
    edit->WriteEditValue(Variant(IntToStr(cell)));
    edit->LockChangeEvents(false, false);
    edit->SelectWholeText();
    if (cell % 500 == 0) {
      edit->ActivateInPlace(data);
      EXPECT_TRUE(edit->Focused());
      EXPECT_TRUE(edit->DeactivateInPlace());
    }
    edit->SetParent(nullptr);
  }
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(events.empty());  // loading a cell fires no change events
}

TEST_F(CustomEditTest, ActivatingCharacterIsTypedOnce) {
  TcxInplaceEditList list;
  TTestEditProperties properties(nullptr);
  auto* edit = static_cast<TTestEdit*>(list.ObtainEdit(&properties));
  edit->SetParent(form_);
  edit->SetBounds(10, 150, 100, 20);
  edit->WriteEditValue(Variant(String("")));
  TcxCustomEditData* data = nullptr;
  edit->ActivateByKey(U'k', data);
  Pump();
  EXPECT_EQ(edit->text, "k");
  EXPECT_TRUE(edit->Focused());
  edit->SetParent(nullptr);
}

TEST_F(CustomEditTest, ActivatingClickAndTheNextFormADoubleClick) {
  TcxInplaceEditList list;
  TTestEditProperties properties(nullptr);
  TcxCustomEdit* edit = list.ObtainEdit(&properties);
  edit->SetParent(form_);
  edit->SetBounds(10, 150, 100, 20);
  Integer double_clicks = 0;
  edit->OnDblClick = [&](TObject*) { ++double_clicks; };
  TcxCustomEditData* data = nullptr;
  edit->ActivateByMouse(TShiftState{}, 20, 155, data);  // the button is already up
  EXPECT_TRUE(edit->DoubleClickTimer()->Enabled());
  S().Click(edit->Handle(), POINT{10, 5});
  EXPECT_EQ(double_clicks, 1);
  // Once the double-click time is over, a click is a click.
  edit->ActivateByMouse(TShiftState{}, 20, 155, data);
  Advance(GetDoubleClickTime() + 10);
  S().Click(edit->Handle(), POINT{10, 5});
  EXPECT_EQ(double_clicks, 1);
  edit->SetParent(nullptr);
}

TEST_F(CustomEditTest, DeactivationRefusedOnInvalidText) {
  TcxInplaceEditList list;
  TTestEditProperties properties(nullptr);
  auto* edit = static_cast<TTestEdit*>(list.ObtainEdit(&properties));
  edit->Properties()->OnValidate = [](TObject*, Variant& v, String& text, bool& error) {
    error = VarToStr(v) == "bad";
    text.clear();  // a silent refusal
  };
  edit->SetParent(form_);
  edit->SetBounds(10, 150, 100, 20);
  TcxCustomEditData* data = nullptr;
  edit->ActivateByKey(U'b', data);
  S().TypeText("ad");
  EXPECT_EQ(edit->text, "bad");
  EXPECT_FALSE(edit->DeactivateInPlace());
  EXPECT_TRUE(edit->Focused());
  S().PressKey(VK_BACK);
  S().TypeText("ok");
  EXPECT_TRUE(edit->DeactivateInPlace());
  EXPECT_EQ(VarToStr(edit->ReadEditValue()), "ok");
  edit->SetParent(nullptr);
}

// ---- the editor control's view data, loading and input -----------------------------------------

TEST_F(CustomEditTest, ViewDataOfAnEditorLaysOutWithItsActiveStyleAndState) {
  edit_->ChangeAutoSize(false);  // the test kind measures no content
  edit_->SetBounds(10, 10, 120, 21);
  edit_->Style()->SetColor(clAqua);
  edit_->StyleFocused()->SetColor(clYellow);
  // A view data made for the normal style takes the edit's style of its current state.
  std::unique_ptr<TcxCustomEditViewData> data(edit_->Properties()->CreateViewData(
      static_cast<TcxCustomEditStyle*>(edit_->Style()), false));
  data->Edit = edit_;
  TcxCustomEditViewInfo vi;
  Focus();
  data->CalculateViewInfo(SharedScreenCanvas(), edit_->ClientRect(), TPoint(-1, -1), 0, {}, &vi, false);
  EXPECT_EQ(vi.FillColor, clYellow);
  EXPECT_EQ(vi.Edit, edit_);
  EXPECT_TRUE(data->IsFocusedState());
  // The edit's own view info follows its focus.
  EXPECT_EQ(edit_->GetEditViewInfo()->FillColor, clYellow);
  other_->SetFocus();
  Pump();
  EXPECT_EQ(edit_->GetEditViewInfo()->FillColor, clAqua);
  EXPECT_FALSE(data->IsFocusedState());
  // A held mouse button keeps the edit hot only while the edit has the capture.
  std::unique_ptr<TcxCustomEditViewData> own(edit_->CreateViewData());
  own->CalculateViewInfo(SharedScreenCanvas(), edit_->ClientRect(), TPoint(5, 5), 0,
                         TShiftState{ssLeft}, &vi, false);
  EXPECT_FALSE(vi.StateFlags.Contains(csfHot));
  SetCapture(edit_->Handle());
  own->CalculateViewInfo(SharedScreenCanvas(), edit_->ClientRect(), TPoint(5, 5), 0,
                         TShiftState{ssLeft}, &vi, false);
  EXPECT_TRUE(vi.StateFlags.Contains(csfHot));
  ReleaseCapture();
}

// A mouse move that only changes a button's state repaints that button alone.
TEST_F(CustomEditTest, MouseRefreshRepaintsOnlyWhatChanged) {
  edit_->ChangeAutoSize(false);
  edit_->SetBounds(10, 10, 120, 21);
  edit_->Properties()->Buttons()->AddButton()->SetKind(bkEllipsis);
  edit_->Properties()->SetClearKey(ShortCut(VK_DELETE, TShiftState{ssCtrl}));
  EXPECT_TRUE(edit_->IsEditorKey(VK_DELETE, TShiftState{ssCtrl}));
  EXPECT_FALSE(edit_->IsEditorKey(VK_DELETE, {}));
  edit_->RefreshState(TPoint(5, 5), 0, {}, true);
  Pump();
  const TRect button = edit_->GetEditViewInfo()->Buttons[0]->Bounds;
  ValidateRect(edit_->Handle(), nullptr);
  edit_->RefreshState(TPoint(button.Left + 2, 5), 0, {}, true);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(edit_->Handle(), rgn, FALSE);
  RECT box;
  GetRgnBox(rgn, &box);
  EXPECT_EQ(TRect(box), button);
  // Nothing changed: nothing repainted.
  ValidateRect(edit_->Handle(), nullptr);
  edit_->RefreshState(TPoint(button.Left + 3, 6), 0, {}, true);
  GetUpdateRgn(edit_->Handle(), rgn, FALSE);
  EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
  DeleteObject(rgn);
}

TEST_F(CustomEditTest, FrameStylesStreamingAndThemesFollowTheEditsKind) {
  edit_->ChangeAutoSize(false);
  edit_->SetBounds(10, 10, 120, 30);
  edit_->Style()->SetTransparentBorder(false);
  edit_->Style()->SetBorderStyle(ebs3D);
  edit_->Style()->SetEdges(TcxBorders{bLeft, bBottom});
  edit_->RefreshStateAtCursor(false);
  TRect extent;
  edit_->FrameExtent(extent);
  EXPECT_EQ(extent, TRect(2, 0, 0, 2));
  // The button and popup values are not written with an edit's style.
  auto* style = static_cast<TcxCustomEditStyle*>(edit_->Style());
  style->SetButtonStyle(btsFlat);
  EXPECT_FALSE(style->IsValueStored(svButtonStyle));
  EXPECT_TRUE(style->IsValueStored(svBorderStyle));
  // Themes: only with a native look whose edit visual style opens.
  EXPECT_FALSE(edit_->UsesThemes());
  edit_->Style()->LookAndFeel()->SetNativeStyle(true);
  EXPECT_FALSE(edit_->UsesThemes());  // no visual styles installed
  TdxScriptedThemeLibrary engine;
  InstallThemeLibrary(&engine);
  EXPECT_TRUE(edit_->UsesThemes());
  InstallThemeLibrary(nullptr);
}

TEST_F(CustomEditTest, MeasuringObeysAStandaloneEditorsConstraints) {
  edit_->Constraints()->SetMinHeight(40);
  edit_->Constraints()->SetMinWidth(60);
  std::unique_ptr<TcxCustomEditViewData> data(edit_->CreateViewData());
  TSize size;
  MeasureEditValueExtent(data.get(), SharedScreenCanvas(), Variant(), TcxEditSizeProperties{},
                         nullptr, size);
  EXPECT_EQ(size, TSize(60, 40));
  // A cell's view data (no editor control) is not constrained.
  data->Edit = nullptr;
  MeasureEditValueExtent(data.get(), SharedScreenCanvas(), Variant(), TcxEditSizeProperties{},
                         nullptr, size);
  EXPECT_LT(size.cx, 60);
  EXPECT_LT(size.cy, 40);
}

// The dots of a pressed ellipsis button move one pixel right and down in an editor control
// (its content metrics ask for it), never in a cell.
TEST_F(CustomEditTest, PressedButtonSymbolShiftsOnlyInAnEditorControl) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(30, 30);
  TcxCanvas canvas(bitmap.Canvas());
  TcxCustomEditViewInfo vi;
  vi.SetButtonCount(1);
  auto& b = *vi.Buttons[0];
  b.Kind = bkEllipsis;
  b.Style = bts3D;
  b.State = ebsPressed;
  b.Bounds = b.VisibleBounds = TRect(0, 0, 20, 20);
  ASSERT_TRUE(edit_->CachedContentMetrics().Flags & 2);
  const COLORREF dot = ColorToRGB(clBtnText);
  for (TcxCustomEdit* edit : {static_cast<TcxCustomEdit*>(nullptr), static_cast<TcxCustomEdit*>(edit_)}) {
    FillRectWithColor(&canvas, TRect(0, 0, 30, 30), clWhite);
    vi.Edit = edit;
    vi.DrawButtons(&canvas);
    // Content (2, 2, 18, 18): dots of side 2 from x 5, y 9; shifted from x 6, y 10.
    const Integer shift = edit ? 1 : 0;
    EXPECT_EQ(GetPixel(canvas.DeviceContext(), 5 + shift, 9 + shift), dot) << shift;
    EXPECT_NE(GetPixel(canvas.DeviceContext(), 5 + 1 - shift, 9 + 1 - shift + 1), dot) << shift;
  }
}

TEST_F(CustomEditTest, InplaceEditMeasuresItsContentMetricsOnce) {
  std::unique_ptr<TCountingEdit> in_place(new TCountingEdit(nullptr, true));
  std::unique_ptr<TcxCustomEditViewData> a(in_place->CreateViewData()), b(in_place->CreateViewData());
  EXPECT_EQ(a->ContentMetrics.ExtraTextWidth, in_place->CachedContentMetrics().ExtraTextWidth);
  EXPECT_EQ(b->ContentMetrics.ExtraTextWidth, a->ContentMetrics.ExtraTextWidth);
  // A standalone edit lays out with fresh metrics.
  std::unique_ptr<TCountingEdit> standalone(new TCountingEdit(nullptr, false));
  std::unique_ptr<TcxCustomEditViewData> c(standalone->CreateViewData()), d(standalone->CreateViewData());
  EXPECT_NE(c->ContentMetrics.ExtraTextWidth, d->ContentMetrics.ExtraTextWidth);
}

TEST_F(CustomEditTest, MouseWheelInPlaceNeedsCtrlUnlessThePropertiesAllowIt) {
  TcxInplaceEditList list;
  TTestEditProperties properties(nullptr);
  properties.SetUseMouseWheel(false);
  TcxCustomEdit* in_place = list.ObtainEdit(&properties);
  const TShiftState ctrl{ssCtrl};
  EXPECT_FALSE(in_place->AcceptsMouseWheel({}));
  EXPECT_TRUE(in_place->AcceptsMouseWheel(ctrl));
  properties.SetUseMouseWheel(true);
  list.ObtainEdit(&properties);
  EXPECT_TRUE(in_place->AcceptsMouseWheel({}));
  edit_->Properties()->SetUseMouseWheel(false);
  EXPECT_TRUE(edit_->AcceptsMouseWheel({}));
  // The unit start put the wheel cursor at its number.
  EXPECT_NE(Screen->Cursors(crcxEditMouseWheel), Screen->Cursors(crDefault));
}

TEST_F(CustomEditTest, DoubleClickOverAButtonPressesItAgain) {
  Log events;
  edit_->ChangeAutoSize(false);
  edit_->SetBounds(10, 10, 120, 21);
  edit_->Properties()->Buttons()->AddButton()->SetKind(bkEllipsis);
  edit_->Properties()->OnButtonClick = [&](TObject*, Integer i) { events.push_back("button " + IntToStr(i)); };
  edit_->OnDblClick = [&](TObject*) { events.push_back("double click"); };
  edit_->RefreshStateAtCursor(false);
  Pump();
  const TRect r = edit_->GetEditViewInfo()->Buttons[0]->Bounds;
  const POINT inside{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  EXPECT_EQ(edit_->ButtonAt(TPoint(inside.X, inside.Y)), 0);
  EXPECT_EQ(edit_->ButtonAt(TPoint(2, 2)), -1);
  S().DoubleClick(edit_->Handle(), inside);
  EXPECT_EQ(events, (Log{"button 0", "button 0"}));
  events.clear();
  Advance(GetDoubleClickTime() + 10);
  S().DoubleClick(edit_->Handle(), POINT{2, 2});
  EXPECT_EQ(events, (Log{"double click"}));
}

TEST_F(CustomEditTest, HeightAndWidthRoundTripThroughFormText) {
  RegisterClass(TFormTextEdit::StaticClass());
  edit_->Free();
  edit_ = new TFormTextEdit(form_);
  edit_->SetParent(form_);
  edit_->SetName("Edit1");
  edit_->ChangeAutoSize(false);
  edit_->SetBounds(10, 10, 130, 40);
  const String fixed = WriteComponentToText(edit_);
  edit_->ChangeAutoSize(true);
  edit_->SetBounds(10, 10, 140, 40);
  const Integer measured = edit_->Height();
  const String automatic = WriteComponentToText(edit_);
  auto* copy = new TFormTextEdit(form_);
  copy->ChangeAutoSize(false);
  ReadComponentFromText(copy, fixed);
  EXPECT_EQ(copy->Width(), 130);
  EXPECT_EQ(copy->Height(), 40);
  auto* sized = new TFormTextEdit(form_);
  sized->SetParent(form_);
  ReadComponentFromText(sized, automatic);
  EXPECT_EQ(sized->Width(), 140);
  EXPECT_EQ(sized->Height(), measured);
  // Loaded hooks the own properties again: their changes reach the edit.
  EXPECT_FALSE(sized->Transparent());
  sized->Properties()->SetTransparent(true);
  EXPECT_TRUE(sized->Transparent());
}

TEST_F(CustomEditTest, ShownAgainAnAutoSizedEditMeasuresWhatChangedMeanwhile) {
  auto* hidden = new TForm(Application);
  auto* edit = new TTestEdit(hidden);
  edit->SetParent(hidden);
  edit->SetBounds(0, 0, 100, 20);
  const Integer before = edit->Height();
  TcxEditButton* button = edit->Properties()->Buttons()->AddButton();
  button->SetKind(bkGlyph);
  button->Glyph()->SetSize(10, before + 20);
  hidden->Show();
  Pump();
  EXPECT_GT(edit->Height(), before + 20);
  hidden->Free();
}

TEST_F(CustomEditTest, ShownInPlaceEditStandsForItsHostInTheTabOrder) {
  auto* host = new TPanel(form_);
  host->SetParent(form_);
  host->SetBounds(200, 10, 150, 100);
  TcxInplaceEditList list;
  TTestEditProperties properties(nullptr);
  TcxCustomEdit* in_place = list.ObtainEdit(&properties);
  in_place->SetParent(host);
  std::vector<TWinControl*> order;
  form_->GetTabOrderList(order);
  EXPECT_NE(std::find(order.begin(), order.end(), host), order.end());  // hidden: the host stays
  in_place->SetVisible(true);
  order.clear();
  form_->GetTabOrderList(order);
  EXPECT_EQ(std::find(order.begin(), order.end(), host), order.end());
  EXPECT_NE(std::find(order.begin(), order.end(), in_place), order.end());
  in_place->SetParent(nullptr);
}

// A transparent standalone edit's background is what lies under it; one that uses its
// parent's themed background asks the parent for it.
TEST_F(CustomEditTest, TransparentEditBackgroundIsTheParentUnderIt) {
  form_->SetColor(clLime);
  edit_->RefreshStateAtCursor(false);
  TcxCustomEditViewInfo* vi = edit_->GetEditViewInfo();
  EXPECT_EQ(vi->GetBackgroundMode(), 1);
  edit_->SetTransparent(true);
  EXPECT_EQ(vi->GetBackgroundMode(), 4);
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(40, 20);
  TcxCanvas canvas(bitmap.Canvas());
  FillRectWithColor(&canvas, TRect(0, 0, 40, 20), clRed);
  vi->DrawBackgroundPart(&canvas, TRect(0, 0, 40, 20), TRect(), false);
  EXPECT_EQ(GetPixel(canvas.DeviceContext(), 20, 10), ColorToRGB(clLime));
  edit_->SetTransparent(false);
  auto* themed = new TThemedBackgroundEdit(form_);
  themed->SetParent(form_);
  themed->RefreshStateAtCursor(false);
  EXPECT_EQ(themed->GetEditViewInfo()->GetBackgroundMode(), 5);
}

TEST_F(CustomEditTest, CopiesOfADataBoundEditShowTheStoredValue) {
  auto* edit = new TStorageTextEdit(form_);
  edit->SetParent(form_);
  edit->ChangeAutoSize(false);
  edit->SetBounds(10, 120, 120, 24);
  edit->Style()->SetColor(clWhite);
  Pump();
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(120, 24);
  auto dark_pixels = [&] {
    Integer count = 0;
    for (Integer y = 3; y < 21; ++y)
      for (Integer x = 3; x < 117; ++x) {
        const COLORREF c = GetPixel(bitmap.Canvas()->Handle(), x, y);
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++count;
      }
    return count;
  };
  TcxCanvas canvas(bitmap.Canvas());
  FillRectWithColor(&canvas, TRect(0, 0, 120, 24), clWhite);
  edit->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(dark_pixels(), 0);  // the live edit shows no value of its own
  edit->ControlState().Include(csPaintCopy);
  edit->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
  edit->ControlState().Exclude(csPaintCopy);
  EXPECT_GT(dark_pixels(), 20);
  bitmap.SaveToPngFile(testing_support::SheetPath("editors_paint_copy.png"));
  // A copy paints every part of an edit, the inner edit of a text edit too.
  auto* text_edit = new TcxTextEdit(form_);
  text_edit->SetParent(form_);
  EXPECT_TRUE(text_edit->ControlStyle().Contains(csReplicatable));
  ASSERT_TRUE(text_edit->InnerControl());
  EXPECT_TRUE(text_edit->InnerControl()->ControlStyle().Contains(csReplicatable));
}

TEST_F(CustomEditTest, FilterValueEditorsArePreparedForTheirProperties) {
  TTestEditProperties source(nullptr);
  source.SetReadOnly(true);
  source.Buttons()->AddButton();
  source.OnChange = [](TObject*) {};
  // Without a list: a new editor; with one: the list's free editor of the class, kept.
  TcxInplaceEditList list;
  TcxCustomEdit* own = CreateFilterEdit(TTestFilterHelper::StaticClass(), &source);
  TcxCustomEdit* listed = CreateFilterEdit(TTestFilterHelper::StaticClass(), &source, &list);
  EXPECT_EQ(CreateFilterEdit(TTestFilterHelper::StaticClass(), &source, &list), listed);
  EXPECT_EQ(list.Count(), 1);
  TcxCustomEdit* text_edit = CreateFilterEdit(TcxFilterTextEditHelper::StaticClass(), &source);
  EXPECT_EQ(text_edit->ClassType(), TcxTextEdit::StaticClass());
  text_edit->Free();
  for (TcxCustomEdit* edit : {own, listed}) {
    ASSERT_NE(dynamic_cast<TTestEdit*>(edit), nullptr);
    TcxCustomEditProperties* p = edit->GetEffectiveProperties();
    EXPECT_FALSE(p->ReadOnly());
    EXPECT_TRUE(p->ValidateOnEnter());
    EXPECT_EQ(p->Buttons()->Count(), 0);
    EXPECT_FALSE(bool(p->OnChange));
  }
  // The text helper writes the value into the editor and reads it back with its text.
  TcxTextEditProperties text_properties(nullptr);
  const TcxCustomFilterEditHelper* helper = FilterEditHelper(TTestFilterHelper::StaticClass());
  helper->ApplyFilterValue(own, &text_properties, Variant(Integer(42)));
  Variant value;
  String display;
  helper->GetFilterValue(own, &text_properties, value, display);
  EXPECT_EQ(VarToStr(value), "42");
  EXPECT_EQ(display, "42");
  own->Free();
}

}  // namespace
