// The mask modes: what a mask edit delegates to the kind of its mask. A mode decides how a typed
// character, a deletion, a caret move, a paste or a mouse click changes the text, what the empty
// text is, how a display text becomes an edit value and whether a text is valid. It works
// through two narrow interfaces: the settings of its properties, and the edit it drives (its
// text, caret and selection, keys and characters sent to the inner edit, the beep).
//
// Key operations answer True to let the inner edit process the key as well, False when the
// mode has done everything and the key is swallowed.
#pragma once

#include <functional>
#include <memory>

#include "editors/cxRegExpr.h"
#include "editors/cxStandardMask.h"
#include "vcl/StdCtrls.h"

enum TcxEditMaskKind { emkStandard, emkRegExpr, emkRegExprEx };

// Raised when a regular-expression mask does not compile: "Regular expression errors:" and
// one line per error.
KORVAN_EXCEPTION(EcxMaskEditError, EcxEditError);

// True for an empty text or one of the characters 0, 9, 10, 12, 13 and 32 only.
bool IsBlankMask(const String& text);

// The settings a mode reads from its properties.
class IcxMaskModeProperties {
 public:
  virtual ~IcxMaskModeProperties() = default;
  virtual bool BeepOnError() const = 0;
  virtual bool CaseInsensitive() const = 0;
  virtual TEditCharCase CharCase() const = 0;
  virtual bool IgnoreMaskBlank() const = 0;
};

// The edit a mode drives. Positions and lengths count characters. A selection change that the
// edit does not make through a guarded setter is reported back to the mode through its
// `NoteMouseAction`, as the inner edit's own changes are; the guarded setters report nothing.
class IcxMaskModeEdit {
 public:
  virtual ~IcxMaskModeEdit() = default;
  // The inner edit exists and is usable.
  virtual bool InnerEditAvailable() const = 0;
  virtual bool HandleAllocated() const = 0;
  virtual IcxMaskModeProperties* ModeProperties() const = 0;

  virtual String Text() const = 0;
  virtual Integer SelStart() const = 0;
  virtual Integer SelLength() const = 0;
  // Where the caret stands: at the selection's start or at its end.
  virtual Integer CaretPos() const = 0;
  virtual void SetSelStart(Integer value) = 0;
  virtual void SetSelLength(Integer value) = 0;
  virtual void SetSelStartGuarded(Integer value) = 0;
  virtual void SetSelLengthGuarded(Integer value) = 0;

  // Shift was down at the last key press.
  virtual bool ShiftFlag() const = 0;
  virtual void SetShiftFlag(bool value) = 0;
  // A key-down or a character processed by the inner edit alone (the edit's own key handling
  // is skipped).
  virtual void SendKeyDown(Word key) = 0;
  virtual void SendChar(char32_t c) = 0;

  virtual void SetValidatedDisplayValue(const String& text) = 0;
  virtual void SetInternalEditValue(const String& text) = 0;
  // The edit's check of a typed character at a 1-based position; may change it (#0: refused
  // with a beep).
  virtual bool ValidateMaskChar(char32_t& c, Integer position) = 0;
  // The edit was changed since it was entered.
  virtual bool ModifiedAfterEnter() const = 0;
  // The properties' display text of the edit's value, with the edit's focused state.
  virtual String PreparedDisplayValue() const = 0;
  virtual void Beep() = 0;
};

class TcxMaskEditCustomMode : public TObject {
  KORVAN_CLASS(TcxMaskEditCustomMode, TObject)

 public:
  // Properties are kept only when edit is nullptr.
  TcxMaskEditCustomMode(IcxMaskModeEdit* edit, IcxMaskModeProperties* properties);
  ~TcxMaskEditCustomMode() override;

  virtual TcxEditMaskKind ModeKind() const { return emkStandard; }
  virtual void FinishPaste() = 0;
  virtual void SetModeMask(const String& mask) = 0;
  virtual String EmptyEditValueText() = 0;
  virtual String FormatText(const String& text, bool literals_included) = 0;
  virtual void AbsorbRest() = 0;
  virtual bool CaretAtFirst() = 0;
  virtual bool CaretAtLast() = 0;
  virtual bool IsTextValid(const String& text) = 0;
  virtual void NoteMouseAction() = 0;
  virtual void PreparePaste() = 0;
  virtual bool DeleteBackward() = 0;
  virtual bool DeleteForward() = 0;
  virtual bool GoToEnd() = 0;
  virtual bool GoToHome() = 0;
  virtual bool MoveLeft() = 0;
  virtual bool MoveRight() = 0;
  virtual bool PressChar(char32_t& c) = 0;
  virtual void SetModeText(const String& text) = 0;
  virtual void RefreshDisplayValue();
  virtual void ApplyEmptyEditValue() = 0;
  virtual String EditValueOfText(const String& text, bool literals_included) = 0;

  const String& Mask() const { return mask_; }
  IcxMaskModeEdit* Edit() const { return edit_; }
  bool EditAvailable() const { return edit_ && edit_->InnerEditAvailable(); }
  IcxMaskModeProperties* ResolveProperties() const;
  void BeepIfAllowed();

  // What the edit remembers of its properties at the last alignment.
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value) { charCase_ = value; }
  Byte EchoMode() const { return echoMode_; }
  void SetEchoMode(Byte value) { echoMode_ = value; }
  // The length of the text being pasted, 0 otherwise (set by the edit).
  Integer PendingPasteLength() const { return pendingPasteLength_; }
  void SetPendingPasteLength(Integer value) { pendingPasteLength_ = value; }

 protected:
  TEditCharCase charCase_ = ecNormal;
  Byte echoMode_ = 0;
  String mask_;
  IcxMaskModeProperties* properties_ = nullptr;
  Integer pendingPasteLength_ = 0;
  IcxMaskModeEdit* edit_ = nullptr;
  bool needsEmptyValue_ = false;
};

// Makes the mode of a mask kind for an edit, or without one for properties.
using TcxMaskEditModeFactory =
    std::function<std::unique_ptr<TcxMaskEditCustomMode>(IcxMaskModeEdit*, IcxMaskModeProperties*)>;
std::unique_ptr<TcxMaskEditCustomMode> CreateMaskEditMode(TcxEditMaskKind kind, IcxMaskModeEdit* edit,
                                                          IcxMaskModeProperties* properties);

// Fixed positions (the standard edit mask). The caret is shown as a one-character selection
// that typing overwrites.
class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
  KORVAN_CLASS(TcxMaskEditStandardMode, TcxMaskEditCustomMode)

 public:
  TcxMaskEditStandardMode(IcxMaskModeEdit* edit, IcxMaskModeProperties* properties);
  ~TcxMaskEditStandardMode() override;

  void FinishPaste() override;
  void SetModeMask(const String& mask) override;
  String EmptyEditValueText() override { return standardMask_->EmptyValueText(); }
  String FormatText(const String& text, bool literals_included) override;
  void AbsorbRest() override {}
  bool CaretAtFirst() override;
  bool CaretAtLast() override;
  bool IsTextValid(const String& text) override;
  void NoteMouseAction() override;
  void PreparePaste() override;
  bool DeleteBackward() override;
  bool DeleteForward() override;
  bool GoToEnd() override;
  bool GoToHome() override;
  bool MoveLeft() override;
  bool MoveRight() override;
  bool PressChar(char32_t& c) override;
  void SetModeText(const String&) override { NoteMouseAction(); }
  void RefreshDisplayValue() override;
  void ApplyEmptyEditValue() override;
  String EditValueOfText(const String& text, bool literals_included) override;
  // The character left in a deleted position (1-based); #0 leaves the position unchanged.
  virtual char32_t EmptyCharAt(Integer position) { return standardMask_->BlankChar(); }

  TcxStandardMask* StandardMask() const { return standardMask_.get(); }

 private:
  Integer TextLength() const;
  std::unique_ptr<TcxStandardMask> standardMask_;
  Integer pasteSelStart_ = 0;
};

// Regular expressions: every typed character is checked against the compiled expression. The
// text is split at the caret into a head already fed to the expression and a tail not fed.
class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
  KORVAN_CLASS(TcxMaskEditRegExprMode, TcxMaskEditCustomMode)

 public:
  TcxMaskEditRegExprMode(IcxMaskModeEdit* edit, IcxMaskModeProperties* properties);
  ~TcxMaskEditRegExprMode() override;

  TcxEditMaskKind ModeKind() const override { return emkRegExpr; }
  void FinishPaste() override {}
  void SetModeMask(const String& mask) override;
  String EmptyEditValueText() override { return String(); }
  String FormatText(const String& text, bool literals_included) override;
  void AbsorbRest() override;
  bool CaretAtFirst() override;
  bool CaretAtLast() override;
  bool IsTextValid(const String& text) override;
  void NoteMouseAction() override { resync_ = true; }
  void PreparePaste() override {}
  bool DeleteBackward() override;
  bool DeleteForward() override;
  bool GoToEnd() override;
  bool GoToHome() override;
  bool MoveLeft() override;
  bool MoveRight() override;
  bool PressChar(char32_t& c) override;
  void SetModeText(const String& text) override;
  void RefreshDisplayValue() override;
  void ApplyEmptyEditValue() override {}
  String EditValueOfText(const String& text, bool) override { return text; }
  virtual void CutSelection();
  virtual void PutSelectionBack();

  TcxRegExpr* RegExpr() const { return regExpr_.get(); }
  // The head and the tail (for tests and the edit's diagnostics).
  const String& Head() const { return head_; }
  const String& Tail() const { return tail_; }

 protected:
  // Compiles a private expression from the mode's source; nullptr when the mode has none.
  std::unique_ptr<TcxRegExpr> PrivateExpr() const;
  void Resynchronise();
  bool TailFits();
  void DropTail();
  void MoveToHead(Integer count, bool feed);
  void MoveToTail(Integer count, bool step_back);
  // Ends a key operation: empties the cut selection and, for a swallowed key, beeps.
  bool Finish(bool result, bool beep_on_false = true);

  bool selectionAtStart_ = false;
  String head_;
  Integer headChars_ = 0;
  std::unique_ptr<TcxRegExpr> regExpr_;
  String cutSelection_;
  String tail_;
  bool resync_ = false;
  // The expression stands where feeding the head from the start puts it (FormatText, which
  // feeds another text, clears it).
  bool synced_ = false;
};

// Regular expressions that type the literals they force (the separators of a date) and remove
// them together with the character before them. A typed character and the literals forced
// after it form one unit; the caret never rests inside a unit.
class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
  KORVAN_CLASS(TcxMaskEditRegExprExMode, TcxMaskEditRegExprMode)

 public:
  TcxMaskEditRegExprExMode(IcxMaskModeEdit* edit, IcxMaskModeProperties* properties);
  ~TcxMaskEditRegExprExMode() override;

  TcxEditMaskKind ModeKind() const override { return emkRegExprEx; }
  void FinishPaste() override;
  void SetModeMask(const String& mask) override;
  String EmptyEditValueText() override;
  String FormatText(const String& text, bool literals_included) override;
  void AbsorbRest() override;
  bool IsTextValid(const String& text) override;
  void PreparePaste() override { ResynchroniseUnits(); }
  bool DeleteBackward() override;
  bool DeleteForward() override;
  bool GoToEnd() override;
  bool GoToHome() override;
  bool MoveLeft() override;
  bool MoveRight() override;
  bool PressChar(char32_t& c) override;
  void SetModeText(const String& text) override;
  void ApplyEmptyEditValue() override;
  void CutSelection() override;
  void PutSelectionBack() override;

 private:
  void Begin();
  void ResynchroniseUnits();
  // The literals the expression forces at its start (re-collected at the current state).
  String LeadingLiterals();
  // Switches auto-completion back on without letting it type literals into the state.
  void RestoreAutoComplete();
  // Restarts with the head at the literals forced at the start when the text begins with them
  // (they are its first unit); answers the head's length.
  Integer RestartHead();
  // A selection from the start gives the leading literals back to the head and begins after
  // them; answers their count.
  Integer ReleaseLeadingLiterals(Integer length);
  Integer MoveUnitRight();
  Integer MoveUnitLeft();
  void RefitTail();
  void SendText(const String& text);

  String privateLiterals_;
  Integer removedCount_ = 0;
  Integer pendingCaret_ = -1;
  String inserted_;
};
