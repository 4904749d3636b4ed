// The editing controller: its states, keys in the editor, validation failures, the editor
// kept across records, parked when its cell scrolls away, and OnInitEdit.
#include <gtest/gtest.h>

#include "editors/cxTextEdit.h"
#include "tests/grid/RecordViewTestSupport.h"

namespace gridtest {
namespace {

class EditingTest : public RecordViewFixture {
 protected:
  TcxGridEditingController* Editing() { return Ctrl()->EditingController(); }
  TcxCustomEdit* Edit() { return Editing()->Edit(); }
  TcxGridTableDataCellViewInfo* FocusedCell() {
    TcxCustomGridRecord* r = Ctrl()->FocusedRecord();
    return r && r->ViewInfo ? r->ViewInfo->GetCellViewInfoByItem(Ctrl()->FocusedItem()) : nullptr;
  }
  // Types into the editor: its value changes as by the user.
  void TypeIntoEditor(const String& text) {
    Edit()->SetFocus();
    Pump();
    // A key asks the editor whether it may modify; that starts the record's edit.
    ASSERT_TRUE(Edit()->CanModify());
    Edit()->ModifiedByUser();
    Edit()->SetEditValue(Variant(text));
    Edit()->SetChangedSinceEnter(true);
    Edit()->SetModifiedFlag(true);
  }
  Word EditorKey(Word key, TShiftState shift = {}) {
    Editing()->EditKeyDown(key, shift);
    Pump();
    return key;
  }
};

TEST_F(EditingTest, ShowingAndHidingTheEditorAndRefusedReentry) {
  Start();
  TcxCustomGridTableItem* item = view_->Items(1);
  Integer initEdits = 0;
  bool nestedShow = true;
  view_->OnInitEdit = [&](TcxCustomGridTableView*, TcxCustomGridTableItem*, TcxCustomEdit*) {
    ++initEdits;
    // A show asked for while the editor is being prepared does nothing.
    nestedShow = Editing()->ShowEdit(view_->Items(2), false);
  };
  view_->OnEditing = [&](TcxCustomGridTableView*, TcxCustomGridTableItem* i, bool&) {
    // Setting the editing item from inside its own change is refused.
    i->SetEditing(true);
  };
  item->SetEditing(true);
  Pump();
  ASSERT_TRUE(Ctrl()->IsEditing());
  // Showing the editor does not start the record's edit; the first change does.
  EXPECT_FALSE(dc_->IsEditing());
  EXPECT_EQ(Editing()->EditingItem(), item);
  EXPECT_EQ(Ctrl()->FocusedItem(), item);
  EXPECT_FALSE(nestedShow);
  EXPECT_GE(initEdits, 1);
  ASSERT_NE(Edit(), nullptr);
  EXPECT_EQ(Edit()->Parent(), view_->Site());
  EXPECT_EQ(VarToStr(Edit()->EditValue()), "r0c1");
  TRect bounds;
  FocusedCell()->GetEditBounds(bounds);
  EXPECT_EQ(Edit()->BoundsRect(), bounds);
  EXPECT_FALSE(view_->Site()->TabStop());
  // Hiding without accepting: idle again, the editor stays cached for the next show.
  TcxCustomEdit* edit = Edit();
  Editing()->HideEdit(false);
  EXPECT_FALSE(Ctrl()->IsEditing());
  EXPECT_EQ(Edit(), nullptr);
  EXPECT_EQ(edit->Parent(), nullptr);
  item->SetEditing(true);
  EXPECT_EQ(Edit(), edit);
  // A hide asked for while hiding does nothing more.
  Integer hides = 0;
  view_->OnFocusedItemChanged = [&](TcxCustomGridTableView*, TcxCustomGridTableItem*, TcxCustomGridTableItem*) {
    ++hides;
    Editing()->HideEdit(false);
  };
  Ctrl()->SetFocusedItem(view_->Items(0));
  EXPECT_FALSE(Ctrl()->IsEditing());
  EXPECT_EQ(hides, 1);
}

TEST_F(EditingTest, EnterPostsAndEscRestores) {
  Start();
  view_->Items(0)->SetEditing(true);
  TypeIntoEditor("new value");
  EXPECT_EQ(EditorKey(VK_RETURN), 0);
  EXPECT_FALSE(Ctrl()->IsEditing());
  EXPECT_EQ(VarToStr(view_->Items(0)->GetEditValue(Ctrl()->FocusedRecord())), "new value");
  dc_->Post();
  EXPECT_EQ(VarToStr(dc_->GetValue(0, 0)), "new value");
  // Esc in a modified editor restores the cell value and keeps the record in edit mode.
  EXPECT_TRUE(view_->Site()->Focused());
  EXPECT_TRUE(view_->Items(1)->CanEdit());
  view_->Items(1)->SetEditing(true);
  ASSERT_TRUE(Ctrl()->IsEditing());
  dc_->Edit();
  TypeIntoEditor("typed");
  EXPECT_EQ(EditorKey(VK_ESCAPE), 0);
  EXPECT_FALSE(Ctrl()->IsEditing());
  EXPECT_TRUE(dc_->IsEditing());
  EXPECT_EQ(VarToStr(dc_->GetValue(0, 1)), "r0c1");
  // A second Esc (the editor closed) reaches the grid, which cancels the record edit.
  Word esc = VK_ESCAPE;
  Ctrl()->KeyDown(esc, {});
  EXPECT_FALSE(dc_->IsEditing());
}

TEST_F(EditingTest, StartingTheRecordEditKeepsTheEditorsText) {
  Start();
  view_->Items(0)->SetEditing(true);
  TypeIntoEditor("half typed");
  dc_->Edit();
  Pump();
  EXPECT_TRUE(Ctrl()->IsEditing());
  EXPECT_EQ(VarToStr(Edit()->EditValue()), "half typed");
}

TEST_F(EditingTest, EnterWithGoToNextCellOpensTheNextEditor) {
  Start();
  view_->TableOptionsBehavior()->SetGoToNextCellOnEnter(true);
  view_->Items(0)->SetEditing(true);
  TypeIntoEditor("first");
  EditorKey(VK_RETURN);
  EXPECT_EQ(Ctrl()->FocusedItem(), view_->Items(1));
  EXPECT_EQ(Editing()->EditingItem(), view_->Items(1));
  EXPECT_EQ(VarToStr(view_->Items(0)->GetEditValue(Ctrl()->FocusedRecord())), "first");
}

TEST_F(EditingTest, TabInTheEditorReachesTheGrid) {
  Start();
  view_->TableOptionsBehavior()->SetFocusCellOnTab(true);
  view_->Items(0)->SetEditing(true);
  ASSERT_TRUE(Ctrl()->IsEditing());
  Word tab = VK_TAB;
  Editing()->EditAfterKeyDown(tab, {});
  Pump();
  EXPECT_EQ(Ctrl()->FocusedItem(), view_->Items(1));
  // Without the option the editor keeps the key to itself.
  view_->TableOptionsBehavior()->SetFocusCellOnTab(false);
  EXPECT_FALSE(Ctrl()->IsEditorNavigationKey(VK_TAB, {}));
}

// A typed character opens the focused cell's editor when it is any code point from 32 up, or
// Backspace, Ctrl+V or Ctrl+X; other control characters do not.
TEST_F(EditingTest, TypedCharactersThatOpenTheEditor) {
  Start();
  struct {
    char32_t key;
    bool opens;
  } cases[] = {{7, false},  {8, true},     {13, false},   {22, true},    {24, true},
               {31, false}, {U'a', true}, {U'\u00e9', true}, {U'\u20ac', true}, {U'\U0001F600', true}};
  for (auto& c : cases) {
    char32_t key = c.key;
    Ctrl()->FocusedRecord()->KeyPress(key);
    EXPECT_EQ(Ctrl()->IsEditing(), c.opens) << uint32_t(c.key);
    EXPECT_EQ(key == 0, c.opens) << uint32_t(c.key);
    if (Ctrl()->IsEditing()) Editing()->HideEdit(false);
  }
}

TEST_F(EditingTest, AValueThatDoesNotValidateKeepsTheEditor) {
  Start();
  auto* properties = static_cast<TcxTextEditProperties*>(view_->Items(0)->GetProperties());
  String errorText = "not valid";
  properties->OnValidate = [&errorText](TObject*, Variant&, String& text, bool& error) {
    error = true;
    text = errorText;
  };
  std::vector<String> shown;
  Application->SetMessageBoxHook([&](const String& text, const String&, UINT) {
    shown.push_back(text);
    return IDOK;
  });
  struct TUnhook {
    ~TUnhook() { Application->SetMessageBoxHook(nullptr); }
  } unhook;
  view_->Items(0)->SetEditing(true);
  TypeIntoEditor("bad");
  // Enter: the editor's message is shown once, and the key ends silently (EAbort) with the
  // editor in place; without a text only the silent end remains.
  for (const char* text : {"not valid", ""}) {
    SCOPED_TRACE(text);
    errorText = text;
    shown.clear();
    Edit()->SetChangedSinceEnter(true);
    Word key = VK_RETURN;
    EXPECT_THROW(Editing()->EditKeyDown(key, {}), EAbort);
    EXPECT_EQ(shown, errorText.empty() ? std::vector<String>{} : std::vector<String>{"not valid."});
    EXPECT_TRUE(Ctrl()->IsEditing());
    EXPECT_EQ(VarToStr(Edit()->EditValue()), "bad");
    EXPECT_FALSE(Editing()->EditHiding());
  }
  errorText = "not valid";
  Edit()->SetChangedSinceEnter(true);
  // Losing the focus: the error passes on after the editor took the focus back.
  Edit()->SetFocus();
  Pump();
  EXPECT_ANY_THROW(Editing()->EditExit());
  EXPECT_TRUE(Ctrl()->IsEditing());
  EXPECT_TRUE(Editing()->IsErrorOnEditExit());
  EXPECT_TRUE(Edit()->Focused());
  EXPECT_EQ(Ctrl()->FocusedRowIndex(), 0);
  // Moving to another record fails the same way and leaves the focus where it was.
  EXPECT_ANY_THROW(Ctrl()->GoToNextRecord(false, false));
  EXPECT_EQ(Ctrl()->FocusedRowIndex(), 0);
  properties->OnValidate = nullptr;
}

TEST_F(EditingTest, AlwaysShowEditorKeepsOneEditorAcrossRecords) {
  Start();
  view_->TableOptionsBehavior()->SetAlwaysShowEditor(true);
  Ctrl()->CheckEdit();
  Pump();
  ASSERT_TRUE(Ctrl()->IsEditing());
  TcxCustomEdit* edit = Edit();
  EXPECT_FALSE(Editing()->HideEditOnFocusedRecordChange());
  Ctrl()->GoToNextRecord(false, false);
  Pump();
  EXPECT_EQ(Ctrl()->FocusedRowIndex(), 1);
  EXPECT_TRUE(Ctrl()->IsEditing());
  EXPECT_EQ(Edit(), edit);
  EXPECT_EQ(VarToStr(Edit()->EditValue()), "r1c0");
  TRect bounds;
  FocusedCell()->GetEditBounds(bounds);
  EXPECT_EQ(Edit()->BoundsRect(), bounds);
  // With an OnInitEdit handler the editor is hidden and shown again instead; the handler
  // runs on every move.
  Integer inits = 0;
  view_->OnInitEdit = [&](TcxCustomGridTableView*, TcxCustomGridTableItem*, TcxCustomEdit*) { ++inits; };
  EXPECT_TRUE(Editing()->HideEditOnFocusedRecordChange());
  Ctrl()->GoToNextRecord(false, false);
  Pump();
  EXPECT_EQ(Ctrl()->FocusedRowIndex(), 2);
  EXPECT_TRUE(Ctrl()->IsEditing());
  EXPECT_EQ(VarToStr(Edit()->EditValue()), "r2c0");
  EXPECT_GE(inits, 1);
  Integer before = inits;
  Ctrl()->SetTopRecordIndex(1);
  Pump();
  EXPECT_GT(inits, before);
}

TEST_F(EditingTest, AnEditorWhoseCellScrollsAwayIsParked) {
  Start(100);
  Ctrl()->FocusRowAtIndex(2);
  view_->Items(0)->SetEditing(true);
  ASSERT_TRUE(Ctrl()->IsEditing());
  TcxCustomEdit* edit = Edit();
  Ctrl()->SetTopRecordIndex(10);
  Pump();
  EXPECT_TRUE(Ctrl()->IsEditing());
  EXPECT_EQ(Edit(), edit);
  EXPECT_EQ(edit->Left(), 30000);
  // Back in view, the editor returns over its cell.
  Ctrl()->SetTopRecordIndex(0);
  Pump();
  TRect bounds;
  FocusedCell()->GetEditBounds(bounds);
  EXPECT_EQ(edit->BoundsRect(), bounds);
}

}  // namespace
}  // namespace gridtest
