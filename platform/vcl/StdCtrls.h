// Standard controls, all painted by this framework: label, push button, check box, single-line
// edit and list box.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "vcl/Controls.h"

// Messages and styles of the edit control, at the platform's values.
constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SCROLLCARET = 0x00B7,
               EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_REPLACESEL = 0x00C2, EM_LIMITTEXT = 0x00C5,
               EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_SETPASSWORDCHAR = 0x00CC,
               EM_EMPTYUNDOBUFFER = 0x00CD, EM_SETREADONLY = 0x00CF, EM_GETPASSWORDCHAR = 0x00D2,
               EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4, EM_GETLIMITTEXT = 0x00D5,
               EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7, EM_SCROLL = 0x00B5,
               EM_LINESCROLL = 0x00B6, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB,
               EM_LINELENGTH = 0x00C1, EM_LINEFROMCHAR = 0x00C9, EM_GETFIRSTVISIBLELINE = 0x00CE;
// Notifications of an edit to its parent (WM_COMMAND, the code in the high word).
constexpr WORD EN_CHANGE = 0x0300, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;
constexpr WPARAM EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2, EC_USEFONTINFO = 0xFFFF;
constexpr DWORD ES_LEFT = 0x0, ES_CENTER = 0x1, ES_RIGHT = 0x2, ES_MULTILINE = 0x4, ES_UPPERCASE = 0x8,
                ES_LOWERCASE = 0x10, ES_PASSWORD = 0x20, ES_AUTOVSCROLL = 0x40, ES_AUTOHSCROLL = 0x80,
                ES_NOHIDESEL = 0x100, ES_READONLY = 0x800, ES_WANTRETURN = 0x1000, ES_NUMBER = 0x2000;

// Button messages, notifications and styles, owner-draw records.
constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1;
constexpr WPARAM BST_UNCHECKED = 0, BST_CHECKED = 1;
constexpr WORD BN_CLICKED = 0, BN_DOUBLECLICKED = 5;
constexpr DWORD BS_RADIOBUTTON = 0x4, BS_AUTORADIOBUTTON = 0x9, BS_OWNERDRAW = 0xB, BS_TYPEMASK = 0xF,
                BS_LEFTTEXT = 0x20, BS_MULTILINE = 0x2000;
constexpr Cardinal CN_COMMAND = CN_BASE + 0x0111, CN_DRAWITEM = CN_BASE + 0x002B,
                   CN_MEASUREITEM = CN_BASE + 0x002C;
constexpr UINT ODT_BUTTON = 4, ODA_DRAWENTIRE = 1, ODS_SELECTED = 0x1, ODS_DISABLED = 0x4,
               ODS_CHECKED = 0x8, ODS_FOCUS = 0x10;
struct DRAWITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0, itemID = 0, itemAction = 0, itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem{};
  NativeUInt itemData = 0;
};
struct MEASUREITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0, itemID = 0, itemWidth = 0, itemHeight = 0;
  NativeUInt itemData = 0;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
// TEditCharCase as the edits publish it.
const TTypeInfo* EditCharCaseTypeInfo();
// TScrollStyle as the memos publish it.
const TTypeInfo* ScrollStyleTypeInfo();

class TCustomLabel : public TGraphicControl {
  KORVAN_CLASS(TCustomLabel, TGraphicControl)

 public:
  explicit TCustomLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; Invalidate(); }
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v) { layout_ = v; Invalidate(); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { wordWrap_ = v; AdjustSize(); Invalidate(); }
  bool Transparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v) { showAccelChar_ = v; Invalidate(); }
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* v);
  void SetAutoSize(bool v) override;
  // The text's size for the current font (what AutoSize uses).
  TSize TextSize();

 protected:
  void Paint() override;
  bool CanAutoSize(Integer& w, Integer& h) override;
  void Notification(TComponent* c, TOperation op) override;
  void Dispatch(TMessage& m) override;
  UINT DrawTextFlags() const;

  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  KORVAN_CLASS(TLabel, TCustomLabel)

 public:
  using TCustomLabel::TCustomLabel;
};

class TButtonControl : public TCustomControl {
  KORVAN_CLASS(TButtonControl, TCustomControl)

 public:
  explicit TButtonControl(TComponent* owner);

 protected:
  void WMLButtonDown(TMessage& m) override;
  void WMLButtonUp(TMessage& m) override;
  void WMMouseMove(TMessage& m) override;
  void WMKeyDown(TMessage& m) override;
  void WMKeyUp(TMessage& m) override;
  void WMKillFocus(TMessage& m) override;
  void CMDialogChar(TMessage& m) override;
  void CMEnabledChanged(TMessage& m) override;
  void WMCancelMode(TMessage& m) override;
  void Dispatch(TMessage& m) override;
  // A completed click (mouse release over the button, space release, accelerator); `twice`
  // for the second click of a double click.
  virtual void Clicked(bool twice) { Click(); }
  bool pressed_ = false;   // drawn pushed in
  bool secondClick_ = false;  // the press was the second one of a double click
  bool tracking_ = false;  // the mouse button went down on it
  bool spaceDown_ = false;
};

class TButton : public TButtonControl {
  KORVAN_CLASS(TButton, TButtonControl)

 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  Integer ModalResult() const { return modalResult_; }
  void SetModalResult(Integer v) { modalResult_ = v; }
  // Whether Enter presses this button now (the default button, unless another button has
  // the focus; or this button when it has the focus).
  bool Active() const { return active_; }
  void Click() override;

  void CMDialogKey(TMessage& m) override;
  void CMFocusChanged(TMessage& m) override;

 protected:
  void Paint() override;
  void WMGetDlgCode(TMessage& m) override;

  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  Integer modalResult_ = 0;
};

class TCheckBox : public TButtonControl {
  KORVAN_CLASS(TCheckBox, TButtonControl)

 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState v);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; Invalidate(); }

 protected:
  void Click() override;
  void Paint() override;
  void WMGetDlgCode(TMessage& m) override;
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = taRightJustify;
  bool toggling_ = false;
};

// A radio button: checking it unchecks the checked radio buttons of the same parent. A click
// reaches it as CN_COMMAND (BN_CLICKED, BN_DOUBLECLICKED), which checks it; BM_SETCHECK and
// BM_GETCHECK set and read the drawn mark. A window made with the BS_OWNERDRAW type is measured
// through CN_MEASUREITEM when created and painted through CN_DRAWITEM with the paint device
// context. Alignment taRightJustify puts the caption right of the mark.
class TRadioButton : public TButtonControl {
  KORVAN_CLASS(TRadioButton, TButtonControl)

 public:
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return checked_; }
  virtual void SetChecked(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  // Click is not fired while clicks are disabled (the checked state changes silently).
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool v) { clicksDisabled_ = v; }
  // The size CN_MEASUREITEM answered when the owner-drawn window was made.
  TSize OwnerDrawSize() const { return ownerDrawSize_; }
  void Dispatch(TMessage& m) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint() override;
  void Clicked(bool twice) override;
  void WMGetDlgCode(TMessage& m) override;
  virtual void CNCommand(TMessage& m);
  virtual void CNDrawItem(TMessage& m) {}
  virtual void CNMeasureItem(TMessage& m);
  virtual void BMSetCheck(TMessage& m);
  bool IsOwnerDrawn();
  bool checked_ = false;
  bool markChecked_ = false;  // the window's mark (BM_SETCHECK)
  TAlignment alignment_ = taRightJustify;
  bool wordWrap_ = false;
  bool clicksDisabled_ = false;
  TSize ownerDrawSize_;
};

class TEditLines;

// A single-line text editor: caret, selection with the keyboard and the mouse (Ctrl+arrows by
// words, double click a word), clipboard, maximum length in characters, password character,
// read-only. Alignment, HideSelection and the border live in the window style (ES_LEFT,
// ES_RIGHT, ES_CENTER, ES_NOHIDESEL, WS_BORDER, WS_EX_CLIENTEDGE): a descendant that changes
// them in CreateParams decides. The clipboard keys send WM_COPY, WM_PASTE and WM_CUT to the
// edit's own window, so a descendant handling those messages decides too.
class TCustomEdit : public TCustomControl {
  KORVAN_CLASS(TCustomEdit, TCustomControl)

 public:
  explicit TCustomEdit(TComponent* owner);
  ~TCustomEdit() override;
  Integer MaxLength() const { return maxLength_; }
  void SetMaxLength(Integer v) { maxLength_ = v; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  char32_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char32_t v) { passwordChar_ = v; Invalidate(); }
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool v) { oemConvert_ = v; }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  // Positions count characters (whole UTF-8 sequences).
  Integer SelStart() const { return selStart_; }
  void SetSelStart(Integer v);
  Integer SelLength() const { return selLength_; }
  void SetSelLength(Integer v);
  // Where the caret stands: the end of the selection that moves with Shift.
  Integer CaretIndex() const { return selLength_ == 0 || anchor_ != selStart_ ? selStart_ : selStart_ + selLength_; }
  String SelText() const;
  void SetSelText(const String& v);
  void SelectAll();
  void ClearSelection() { SetSelText(""); }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Clear() { SetText(""); }
  bool CanUndo() const { return hasUndo_; }
  void Undo();
  void ClearUndo() { hasUndo_ = false; }
  Integer LeftMargin() const { return leftMargin_; }
  Integer RightMargin() const { return rightMargin_; }
  void SetMargins(Integer left, Integer right);
  // The horizontal alignment the window style gives (ES_RIGHT, ES_CENTER; left otherwise).
  TAlignment WindowAlignment();
  // A multi-line edit (the memo, an editor's inner memo) keeps its text as lines; nil for a
  // single-line edit.
  TEditLines* MultiLine() const { return lines_.get(); }

  TNotifyEvent OnChange;

  // The edit control's own messages (EM_..., WM_CUT/COPY/PASTE/CLEAR/UNDO, the text
  // messages and input-method characters).
  void Dispatch(TMessage& m) override;
  // Runs a message through the edit's own processing, past a descendant's overrides of its
  // key, character and message handlers (keys and characters without the key events).
  LRESULT EditWndProc(UINT msg, WPARAM wparam, LPARAM lparam);

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void WMGetDlgCode(TMessage& m) override;
  void WMSetFocus(TMessage& m) override;
  void WMKillFocus(TMessage& m) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override;
  void MouseMove(TShiftState s, Integer x, Integer y) override;
  void DblClick() override;
  void CMTextChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  virtual void Change();
  TColor DefaultColor() const override { return clWindow; }

  // The edit's own handling of a key and of a character (after the key events).
  void EditKeyDown(Word& key, TShiftState shift);
  void EditChar(char32_t& key);
  // The edit's own messages; False for others.
  bool EditMessage(TMessage& m);
  Integer CharCount() const;
  Integer CharAt(Integer x);
  Integer CaretX(Integer pos);
  Integer TextTop();
  Integer TextHeight();
  String DisplayText() const;
  // Replaces the selection; False (and a beep) when the maximum length refuses the input.
  bool ReplaceSelection(const String& s);
  void MoveCaret(Integer pos, bool extend);
  void UpdateCaret();
  Integer WordStart(Integer pos);
  Integer WordEnd(Integer pos);
  DWORD WindowStyle();
  // Makes the edit multi-line (constructors of multi-line kinds call it).
  void MakeMultiLine();
  String GetText() const override;
  void SetTextValue(const String& v) override;

  std::unique_ptr<TEditLines> lines_;
  friend class TEditLines;
  Integer maxLength_ = 0;
  bool readOnly_ = false;
  char32_t passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  TBorderStyle borderStyle_ = bsSingle;
  TAlignment alignment_ = taLeftJustify;
  bool hideSelection_ = true;
  bool oemConvert_ = false;
  bool autoSelect_ = true;
  bool modified_ = false;
  Integer selStart_ = 0, selLength_ = 0;
  Integer anchor_ = 0;  // the fixed end of a selection made with Shift or the mouse
  Integer scroll_ = 0;  // pixels scrolled off at the left
  bool caretCreated_ = false;
  Integer leftMargin_ = 1, rightMargin_ = 1;
  bool hasUndo_ = false;
  String undoText_;
  Integer undoSelStart_ = 0;
};

class TEdit : public TCustomEdit {
  KORVAN_CLASS(TEdit, TCustomEdit)

 public:
  using TCustomEdit::TCustomEdit;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
// The text of a multi-line edit: lines with their wrapped rows, the caret and selection by
// character index (a line break counts as two characters, CR LF), vertical scrolling by rows
// and horizontal scrolling by pixels, the window's scroll bars (WS_VSCROLL, WS_HSCROLL) kept
// in step, EN_VSCROLL and EN_HSCROLL told to the parent. Character counts of lines and rows are
// held in prefix-sum trees, so typing a character costs its own line's layout and a logarithm
// of the line count, never a copy or a re-wrap of the whole text.
class TEditLines {
 public:
  explicit TEditLines(TCustomEdit* edit);
  ~TEditLines();
  TStrings* Lines() { return strings_.get(); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  // Column X in row (line) Y of the caret; setting selects the empty range there.
  TPoint CaretPos();
  void SetCaretPos(const TPoint& p);

  Integer LineCount() const { return Integer(lines_.size()); }
  String Line(Integer i) const { return lines_[size_t(i)].text; }
  Integer LineIndex(Integer line) const;  // character index of the line's start; -1 past the end
  Integer LineFromChar(Integer index) const;
  Integer CharCount() const;
  Integer RowCount() const;
  Integer TopRow() const { return topRow_; }
  Integer VisibleRows();
  // Scrolls by rows and by average character widths; False when nothing moved.
  bool ScrollBy(Integer columns, Integer rows);
  String Text() const;
  void SetText(const String& s);
  // Counts every change of the text (a key's effect is told without copying the text).
  Integer ChangeCount() const { return changeCount_; }
  String Range(Integer start, Integer count) const;
  // Replaces [start, start + count) with s (split at CR LF, CR or LF); returns the characters
  // inserted.
  Integer Replace(Integer start, Integer count, const String& s);

  // The edit's processing in multi-line form.
  bool ReplaceSelection(const String& input);
  void EditKeyDown(Word& key, TShiftState shift);
  void EditChar(char32_t& key);
  bool EditMessage(TMessage& m);
  void MouseAt(Integer x, Integer y, bool extend);
  void SelectWord();
  void Undo();
  void Paint(TCanvas* c);
  void UpdateCaret();
  void MoveCaret(Integer pos, bool extend, bool forward = true);
  LRESULT DlgCode();
  void LayoutChanged();
  void UpdateScrollBars();

 private:
  struct TextLine {
    String text;
    Integer chars = 0;
    Integer width = 0;             // pixels of the whole line
    std::vector<Integer> breaks;   // character offsets where its second, third ... rows start
  };
  class Sums;
  void Rebuild();
  void LayOut(TextLine& l, HDC dc);
  Integer WrapWidth();
  bool Wraps() const;
  HDC MeasureDC();
  void ReleaseMeasureDC(HDC dc);
  Integer RowOfIndex(Integer index, Integer* rowStart = nullptr, Integer* line = nullptr);
  Integer IndexAt(Integer row, Integer x);
  Integer XOf(Integer line, Integer from, Integer to);
  Integer RowHeight();
  Integer Caret() const;
  void KeepCaretVisible();
  void SetTop(Integer row, Integer scroll_x);
  void Notify(WORD code);
  Integer MaxWidth();

  TCustomEdit* edit_;
  std::vector<TextLine> lines_;
  std::unique_ptr<Sums> charSums_, rowSums_;
  std::unique_ptr<TStrings> strings_;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true, wantTabs_ = false, wordWrap_ = true;
  Integer topRow_ = 0;
  Integer wrapWidth_ = -1;
  Integer maxWidth_ = -1;  // -1: to be found again
  Integer rowHeight_ = 0;
  Integer goalX_ = -1;
  Integer changeCount_ = 0;  // the column (pixels into the text) that vertical moves keep
  // The last change, for Undo: at undoStart_, undoInserted_ characters replaced undoText_.
  Integer undoStart_ = 0, undoInserted_ = 0;
  String undoText_;
};

// The platform's multi-line edit.
class TCustomMemo : public TCustomEdit {
  KORVAN_CLASS(TCustomMemo, TCustomEdit)

 public:
  explicit TCustomMemo(TComponent* owner);
  TStrings* Lines() const { return lines_->Lines(); }
  void SetLines(TStrings* v) { lines_->Lines()->Assign(v); }
  TScrollStyle ScrollBars() const { return lines_->ScrollBars(); }
  void SetScrollBars(TScrollStyle v) { lines_->SetScrollBars(v); }
  bool WantReturns() const { return lines_->WantReturns(); }
  void SetWantReturns(bool v) { lines_->SetWantReturns(v); }
  bool WantTabs() const { return lines_->WantTabs(); }
  void SetWantTabs(bool v) { lines_->SetWantTabs(v); }
  bool WordWrap() const { return lines_->WordWrap(); }
  void SetWordWrap(bool v) { lines_->SetWordWrap(v); }
  TPoint CaretPos() { return lines_->CaretPos(); }
  void SetCaretPos(const TPoint& p) { lines_->SetCaretPos(p); }
};

class TMemo : public TCustomMemo {
  KORVAN_CLASS(TMemo, TCustomMemo)

 public:
  using TCustomMemo::TCustomMemo;
};

// odComboBoxEdit: the item is drawn in a combo box's text area, not in its list.
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem, 16>;
using TDrawItemEvent = std::function<void(TWinControl* control, Integer index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, Integer index, Integer& height)>;
// Virtual mode: the text and the object of an item, and the index of a text (-1 when none).
using TLBGetDataEvent = std::function<void(TWinControl* control, Integer index, String& data)>;
using TLBGetDataObjectEvent = std::function<void(TWinControl* control, Integer index, TObject*& object)>;
using TLBFindDataEvent = std::function<Integer(TWinControl* control, const String& text)>;

// List box messages (the range 0x0180-0x01B0) and its selection-change notification.
constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
               LB_SELITEMRANGEEX = 0x0183, LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185,
               LB_SETCURSEL = 0x0186, LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188, LB_GETTEXT = 0x0189,
               LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B, LB_SELECTSTRING = 0x018C,
               LB_GETTOPINDEX = 0x018E, LB_FINDSTRING = 0x018F, LB_GETSELCOUNT = 0x0190,
               LB_SETTABSTOPS = 0x0192, LB_GETHORIZONTALEXTENT = 0x0193,
               LB_SETHORIZONTALEXTENT = 0x0194, LB_SETCOLUMNWIDTH = 0x0195, LB_SETTOPINDEX = 0x0197,
               LB_GETITEMRECT = 0x0198, LB_GETITEMDATA = 0x0199, LB_SETITEMDATA = 0x019A,
               LB_SETCARETINDEX = 0x019E, LB_GETCARETINDEX = 0x019F, LB_SETITEMHEIGHT = 0x01A0,
               LB_GETITEMHEIGHT = 0x01A1, LB_FINDSTRINGEXACT = 0x01A2, LB_SETCOUNT = 0x01A7,
               LB_ITEMFROMPOINT = 0x01A9, LB_MSGMAX = 0x01B0;
constexpr NativeInt LB_ERR = -1;
constexpr WORD LBN_SELCHANGE = 1, LBN_DBLCLK = 2;

// A list of strings with one selected item, or several with MultiSelect (ExtendedSelect: Ctrl
// toggles, Shift selects a range; otherwise a click toggles). Owner-drawn items are drawn by
// OnDrawItem (and measured by OnMeasureItem in lbOwnerDrawVariable); the virtual styles hold
// only a count (SetCount) and ask OnData/OnDataObject/OnDataFind. With Columns the items flow
// top to bottom through that many columns. The LB_ messages act on the list; a selection
// changed by the user sends LBN_SELCHANGE to the parent through WM_COMMAND.
class TCustomListBox : public TCustomControl {
  KORVAN_CLASS(TCustomListBox, TCustomControl)

 public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  Integer ItemIndex() const { return itemIndex_; }
  void SetItemIndex(Integer v);
  Integer TopIndex() const { return topIndex_; }
  void SetTopIndex(Integer v);
  Integer ItemHeight() const;
  void SetItemHeight(Integer v) { itemHeight_ = v; Invalidate(); }
  bool Sorted() const;
  void SetSorted(bool v);
  // The item count: the strings, or the virtual count.
  Integer Count() const { return IsVirtual() ? virtualCount_ : items_->Count(); }
  void SetCount(Integer v);
  bool IsVirtual() const { return style_ == lbVirtual || style_ == lbVirtualOwnerDraw; }
  // The text and the object of an item (virtual mode: from the events).
  String ItemText(Integer index);
  TObject* ItemObject(Integer index);
  // The item at a point; with `existing` -1 past the items, else the row's index (it may be
  // past the last item).
  Integer ItemAtPos(TPoint p, bool existing);
  TRect ItemRect(Integer index);
  // The height of one item: measured for lbOwnerDrawVariable, else ItemHeight.
  Integer ItemHeightOf(Integer index);
  void Clear();
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool v) { extendedSelect_ = v; }
  // The selection state of an item (the item index alone without MultiSelect).
  bool Selected(Integer index) const;
  void SetSelected(Integer index, bool v);
  Integer SelCount() const;
  void ClearSelection();
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle v);
  Integer Columns() const { return columns_; }
  void SetColumns(Integer v);
  // Tab stops every TabWidth dialog units (0: the default of 8 characters).
  Integer TabWidth() const { return tabWidth_; }
  void SetTabWidth(Integer v);
  // The width the items can be scrolled across (0: no horizontal scrolling) and the pixels
  // scrolled off at the left.
  Integer ScrollWidth() const { return scrollWidth_; }
  void SetScrollWidth(Integer v);
  Integer HorzOffset() const { return horzOffset_; }
  void SetHorzOffset(Integer v);
  // Rows that fit from the top index (per column with Columns).
  Integer VisibleCount();
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;
  TLBGetDataObjectEvent OnDataObject;
  TLBFindDataEvent OnDataFind;

  void WndProc(TMessage& m) override;

 protected:
  // The list's own scroll bars, as a system list box keeps them: the vertical one while more
  // items than rows fit, the horizontal one while ScrollWidth exceeds the client width.
  void SyncSystemBar();
  // Called after SyncSystemBar changed a bar's visibility, range or position.
  virtual void SystemBarChanged() {}
  // WM_VSCROLL / WM_HSCROLL: moves the top index or the horizontal offset.
  void Scroll(bool vertical, Integer code, Integer thumb);
  // The list box messages and everything else, before the bars are synchronised.
  void HandleMessage(TMessage& m);
  // Draws one item: the canvas has the item's colours (highlight when selected); the base
  // calls DrawItem, then the focus rectangle for the focused item.
  virtual void DrawListItem(Integer index, const TRect& rect, TOwnerDrawState state);
  // OnDrawItem for an owner-drawn list, else the item's text.
  virtual void DrawItem(Integer index, const TRect& rect, TOwnerDrawState state);
  // OnMeasureItem for lbOwnerDrawVariable.
  virtual void MeasureItem(Integer index, Integer& height);
  bool IsOwnerDrawn() const { return style_ == lbOwnerDrawFixed || style_ == lbOwnerDrawVariable || style_ == lbVirtualOwnerDraw; }
  void SelectRange(Integer from, Integer to, bool clearOthers);
  // Tells the parent of a selection the user changed (LBN_SELCHANGE).
  void NotifySelChange();
  // The first index whose text begins with (or equals) the text, from `start` + 1 on.
  Integer FindText(const String& text, Integer start, bool exact);
  void Paint() override;
  void WMGetDlgCode(TMessage& m) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) override;
  void CMFocusChanged(TMessage& m) override;
  TColor DefaultColor() const override { return clWindow; }
  void ItemsChanged();

  std::unique_ptr<TStringList> items_;
  Integer itemIndex_ = -1;
  Integer topIndex_ = 0;
  Integer itemHeight_ = 0;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  std::vector<bool> selected_;
  Integer anchor_ = -1;  // the fixed end of a Shift selection
  TListBoxStyle style_ = lbStandard;
  Integer scrollWidth_ = 0;
  Integer horzOffset_ = 0;
  Integer columns_ = 0;
  Integer columnWidth_ = 0;  // LB_SETCOLUMNWIDTH; 0: the client width divided by Columns
  Integer tabWidth_ = 0;
  Integer virtualCount_ = 0;
  bool syncingBar_ = false;
};

class TListBox : public TCustomListBox {
  KORVAN_CLASS(TListBox, TCustomListBox)

 public:
  using TCustomListBox::TCustomListBox;
};

void InitializeStdCtrls();
