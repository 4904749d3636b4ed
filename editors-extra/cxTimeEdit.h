// The time edit: a spin edit over a fixed time mask ("hh:nn:ss", "hh:nn" or "hh", with or
// without an AM/PM designator) that steps the part under the caret, corrects typed digits
// that would leave a part's range, and keeps the date part of its value.
#pragma once

#include "editors-extra/cxSpinEdit.h"

enum TcxTimeEditTimeFormat { tfHourMinSec, tfHourMin, tfHour };

// Time part kinds.
enum : Integer { tpkHour = 0, tpkMinute = 1, tpkSecond = 2, tpkDesignator = 3 };

// The part of a time text at a position: Start is 1-based, Length 2; DesignatorStyle 0 "A"/"P",
// 1 "AM"/"PM", 2 the locale's strings.
struct TcxTimePartInfo {
  Integer Kind = tpkHour;
  Integer Start = 1;
  Integer Length = 2;
  Integer DesignatorStyle = 2;
  bool Use24Hour = true;
};

// The AM and PM designators of a style.
void TimeDesignators(Integer style, String& am, String& pm);

// Result of a typed character in a time part.
enum TcxTimeCharResult {
  tcrRejected,  // the key is refused
  tcrAccepted,  // the key (maybe changed) goes into the text at the position
  tcrConsumed   // the text and the caret were changed here; the key goes no further
};

// The character rules of a time part (also used by the date edit's date-time mask). Text is
// the edit text, Position the 1-based position of the typed character; the rules may change
// Text, the key and the 0-based Caret.
TcxTimeCharResult ValidateTimePartChar(String& text, Integer position, char32_t& key, Integer& caret,
                                       const TcxTimePartInfo& info);

// The sign a time of day takes from the date it belongs to: a negative date subtracts its
// time, any other adds it (a plain sign of 0 would wipe every time of a value without a date).
inline double DateSign(double date) { return date < 0 ? -1 : 1; }

// Runs the part rules for a character typed at a 1-based position of a mask edit's text; a
// text the rules changed goes into the edit with the caret they chose. False: the key goes no
// further.
class TcxCustomMaskEdit;
bool ApplyTimePartChar(TcxCustomMaskEdit* edit, const TcxTimePartInfo& info, char32_t& key, Integer position);

// Types a character into a fixed time text in overwrite mode, as a standard mask does: the
// caret skips literals, the part's rules run, an accepted character replaces the one at the
// caret and the caret moves past it and past the literals after it. PartAt gives the part of
// a 1-based position (False for a literal). False when the key was refused.
bool TypeTimeChar(String& text, Integer& caret, char32_t key,
                  const std::function<bool(Integer position, TcxTimePartInfo& info)>& part_at);

// The display pattern (kind 0) or edit mask (kind 1) of a format.
String TimeEditFormat(TcxTimeEditTimeFormat format, bool use24, Integer kind);
// Rebuilds the 12-hour masks from the locale's designators.
void RebuildTimeMasks();

class TcxCustomTimeEditProperties : public TcxCustomSpinEditProperties {
  KORVAN_CLASS(TcxCustomTimeEditProperties, TcxCustomSpinEditProperties)

 public:
  explicit TcxCustomTimeEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  void FormatChanged() override;

  bool ClampsOutOfRange() override { return false; }
  bool ChecksTextRange() override { return false; }
  bool KeepsSelectionOnSpin() override { return true; }
  Variant ConvertValue(const Variant&) override { return Variant(0.0); }
  TClass GetContainerClass() override;
  bool AcceptDisplayText(Variant& display_value, bool edit_focused) override;
  bool IsEditValueValid(Variant& edit_value, bool edit_focused) override;
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool edit_focused) override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;

  virtual bool TimePartInfo(Integer position, TcxTimePartInfo& info);
  virtual Integer TimePartLength() { return 2; }
  virtual Integer TimePartStart(Integer kind);
  virtual Integer DesignatorStyle() { return 2; }
  // The part kind under a 0-based caret.
  Integer TimePartAt(Integer caret);
  String TimeDisplayText(const Variant& v, bool editing);
  String BlankValueDisplayText();
  String DisplayPattern() { return TimeEditFormat(timeFormat_, use24HourFormat_, 0); }
  void SetupTimeMask();

  bool AutoCorrectHours() const { return autoCorrectHours_; }
  void SetAutoCorrectHours(bool v) { autoCorrectHours_ = v; }
  bool ShowDate() const { return showDate_; }
  void SetShowDate(bool v) { SetAndNotify(showDate_, v); }
  TcxTimeEditTimeFormat TimeFormat() const { return timeFormat_; }
  void SetTimeFormat(TcxTimeEditTimeFormat v);
  bool Use24HourFormat() const { return use24HourFormat_; }
  void SetUse24HourFormat(bool v);
  bool UseTimeFormatWhenUnfocused() const { return useTimeFormatWhenUnfocused_; }
  void SetUseTimeFormatWhenUnfocused(bool v) { SetAndNotify(useTimeFormatWhenUnfocused_, v); }

 private:
  bool autoCorrectHours_ = true;
  bool showDate_ = false;
  TcxTimeEditTimeFormat timeFormat_ = tfHourMinSec;
  bool use24HourFormat_ = true;
  bool useTimeFormatWhenUnfocused_ = true;
};

class TcxTimeEditProperties : public TcxCustomTimeEditProperties {
  KORVAN_CLASS(TcxTimeEditProperties, TcxCustomTimeEditProperties)

 public:
  using TcxCustomTimeEditProperties::TcxCustomTimeEditProperties;
};

class TcxCustomTimeEdit : public TcxCustomSpinEdit {
  KORVAN_CLASS(TcxCustomTimeEdit, TcxCustomSpinEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomTimeEdit(TComponent* owner)
      : TcxCustomTimeEdit(owner, false, TcxCustomTimeEditProperties::StaticClass()) {}
  TcxCustomTimeEdit(TComponent* owner, bool in_place, TClass properties_class);

  TcxCustomTimeEditProperties* TimeProperties() {
    return static_cast<TcxCustomTimeEditProperties*>(GetEffectiveProperties());
  }
  // The time of day (a fraction of a day) and the whole-day part kept with it.
  TDateTime Time();
  void SetTime(TDateTime value);
  double DatePart() const { return datePart_; }

  Variant GetIncrement(Integer kind) override;
  Variant GetValue() override;
  String ValueToDisplayText(const Variant& v) override;
  void SetValue(const Variant& v) override;
  bool DoSpin(Integer kind) override;
  void DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) override;
  void InternalSetEditValue(const Variant& value, bool validate) override;
  Variant GetDisplayValue() override;
  bool AcceptsChar(char32_t) override { return true; }
  void ClearValue() override { SetTime(0); }
  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  bool ValidateMaskChar(char32_t& c, Integer position) override;

 private:
  double datePart_ = 0;
};

class TcxTimeEdit : public TcxCustomTimeEdit {
  KORVAN_CLASS(TcxTimeEdit, TcxCustomTimeEdit)

 public:
  explicit TcxTimeEdit(TComponent* owner)
      : TcxCustomTimeEdit(owner, false, TcxTimeEditProperties::StaticClass()) {}
  TcxTimeEditProperties* Properties() const {
    return static_cast<TcxTimeEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxTimeEditProperties* value) { Properties()->Assign(value); }
};

class TcxEditRepositoryTimeItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryTimeItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryTimeItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxTimeEditProperties::StaticClass()) {}
  TcxTimeEditProperties* Properties() const {
    return static_cast<TcxTimeEditProperties*>(TcxEditRepositoryItem::Properties());
  }
  void SetProperties(TcxTimeEditProperties* value) { TcxEditRepositoryItem::SetProperties(value); }
};

class TcxFilterTimeEditHelper : public TcxFilterSpinEditHelper {
  KORVAN_CLASS(TcxFilterTimeEditHelper, TcxFilterSpinEditHelper)

 public:
  TClass ValueEditClass() const override;
};

void InitializeCxTimeEdit();
