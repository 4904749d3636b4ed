// The date edit: its settings and assigned flags, text-to-date parsing, display texts,
// validation with DateOnError and SaveTime, the calendar it sets up and accepts values from,
// the filter helper, the repository item and the unit start.
#include <cmath>

#include "data/cxVariants.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxStandardMask.h"
#include "rtl/TypInfo.h"

namespace {
using TDateProps = TcxCustomDateEditProperties;
TDateProps* Mutable(const TDateProps* p) { return const_cast<TDateProps*>(p); }

PTypeInfo KindType() {
  static PTypeInfo t = EnumTypeInfo("TcxCalendarKind", {"ckDate", "ckDateTime"});
  return t;
}
PTypeInfo DateOnErrorType() {
  static PTypeInfo t = EnumTypeInfo("TDateOnError", {"deNoChange", "deToday", "deNull"});
  return t;
}
PTypeInfo InputKindType() {
  static PTypeInfo t = EnumTypeInfo("TcxInputKind", {"ikStandard", "ikMask", "ikRegExpr"});
  return t;
}

const TcxResourceStringRec scxSEditRepositoryDateItem = {"scxSEditRepositoryDateItem",
                                                         "DateEdit|Represents an edit control with a dropdown calendar"};
const TcxResourceStringRec cxSEditInvalidDate = {"cxSDateError", "Invalid Date"};
const TcxResourceStringRec cxSEditDateConvertError = {"cxSEditDateConvertError", "Could not convert to date"};

bool IsNumberValue(const Variant& v) { return IsNumericOrBcdVariant(v) || IsDateTimeVariant(v); }
Variant DateVariant(double d) { return d == NoDateValue ? Null() : VarFromDateTime(d); }
}  // namespace

// ---- repository item ---------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryDateItem)

// ---- assigned values ------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxDateEditPropertiesValues)

void TcxDateEditPropertiesValues::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxDateEditPropertiesValues*>(source)) {
    dateButtons_ = s->dateButtons_;
    inputKind_ = s->inputKind_;
  }
  TcxTextEditPropertiesValues::Assign(source);
}

void TcxDateEditPropertiesValues::RestoreDefaults() {
  dateButtons_ = inputKind_ = false;
  TcxTextEditPropertiesValues::RestoreDefaults();
}

// ---- properties ------------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomDateEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDateEditProperties) {
  p.Object("Alignment", [](const TDateProps* o) { return Mutable(o)->Alignment(); }, &TDateProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TDateProps::IsAlignmentStored);
  p.Bool("ArrowsForYear", &TDateProps::ArrowsForYear, &TDateProps::SetArrowsForYear).Default(true);
  p.Bool("AutoSelect", &TDateProps::AutoSelect, &TDateProps::SetAutoSelect).Default(true);
  p.Int("ClearKey", &TDateProps::ClearKey, &TDateProps::SetClearKey).Default(0);
  p.Enum("DateOnError", &TDateProps::DateOnError, &TDateProps::SetDateOnError, DateOnErrorType()).Default(deNoChange);
  p.Bool("ImmediatePost", &TDateProps::ImmediatePost, &TDateProps::SetImmediatePost).Default(false);
  p.Enum("InputKind", [](const TDateProps* o) { return Mutable(o)->InputKind(); }, &TDateProps::SetInputKind,
         InputKindType())
      .NoDefault()
      .Stored(&TDateProps::IsInputKindStored);
  p.Enum("Kind", &TDateProps::Kind, &TDateProps::SetKind, KindType()).Default(ckDate);
  p.Float("MaxDate", [](const TDateProps* o) { return Mutable(o)->MaxDate(); }, &TDateProps::SetMaxDate).Default(0.0);
  p.Float("MinDate", [](const TDateProps* o) { return Mutable(o)->MinDate(); }, &TDateProps::SetMinDate).Default(0.0);
  p.Bool("PostPopupValueOnTab", &TDateProps::PostPopupValueOnTab, &TDateProps::SetPostPopupValueOnTab).Default(false);
  p.Bool("ReadOnly", [](const TDateProps* o) { return Mutable(o)->ReadOnly(); }, &TDateProps::SetReadOnly)
      .NoDefault()
      .Stored(&TDateProps::IsReadOnlyStored);
  p.Bool("SaveTime", &TDateProps::SaveTime, &TDateProps::SetSaveTime).Default(true);
  p.Bool("ShowTime", &TDateProps::ShowTime, &TDateProps::SetShowTime).Default(true);
  p.Bool("ValidateOnEnter", &TDateProps::ValidateOnEnter, &TDateProps::SetValidateOnEnter).Default(true);
  p.Bool("WeekNumbers", &TDateProps::WeekNumbers, &TDateProps::SetWeekNumbers).Default(false);
  p.Bool("YearsInMonthList", &TDateProps::YearsInMonthList, &TDateProps::SetYearsInMonthList).Default(true);
}

TcxCustomDateEditProperties::TcxCustomDateEditProperties(TPersistent* owner) : TcxCustomPopupEditProperties(owner) {
  SetAssignedValuesObject(new TcxDateEditPropertiesValues(this));
  SetCaseInsensitive(true);
  SetImmediateDropDown(false);
  SetPopupSizeable(false);
  SetupDateMask();
}

void TcxCustomDateEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomDateEditProperties*>(source);
  ChangeInUpdate([&] {
    TcxCustomPopupEditProperties::Assign(source);
    if (s) {
      arrowsForYear_ = s->arrowsForYear_;
      AssignedValues()->SetDateButtons(false);
      if (s->AssignedValues()->DateButtons()) SetDateButtons(s->dateButtons_);
      dateOnError_ = s->dateOnError_;
      AssignedValues()->SetInputKind(false);
      if (s->AssignedValues()->InputKind()) SetInputKind(s->inputKind_);
      kind_ = s->kind_;
      saveTime_ = s->saveTime_;
      showTime_ = s->showTime_;
      weekNumbers_ = s->weekNumbers_;
      yearsInMonthList_ = s->yearsInMonthList_;
      NotifyPropertiesChanged();
    }
  });
}

void TcxCustomDateEditProperties::NotifyPropertiesChanged() {
  // Inside an update bracket (an assignment copies the mask kind and the mask one after the
  // other) the mask is set up once, from the deferred notification at the bracket's end.
  if (!settingMask_ && !IsLockedOrUpdating()) {
    BeginUpdate();
    SetupDateMask();
    EndUpdate(false);
  }
  TcxCustomPopupEditProperties::NotifyPropertiesChanged();
}

void TcxCustomDateEditProperties::SetupDateMask() {
  const bool saved = settingMask_;
  settingMask_ = true;
  auto* c = GlobalFormatController();
  switch (InputKind()) {
    case ikMask:
      SetMaskKind(emkStandard);
      SetEditMask(kind_ == ckDateTime ? c->DateTimeStandardMask() : c->DateStandardMask());
      break;
    case ikRegExpr:
      SetMaskKind(emkRegExprEx);
      SetEditMask(kind_ == ckDateTime ? c->DateTimeMaskRegExpr() : c->DateMaskRegExpr());
      break;
    case ikStandard:
      SetEditMask("");
      break;
  }
  settingMask_ = saved;
}

TClass TcxCustomDateEditProperties::GetContainerClass() { return TcxDateEdit::StaticClass(); }
TClass TcxCustomDateEditProperties::GetPopupWindowClass() { return TcxDateEditPopupWindow::StaticClass(); }

TDateButtons TcxCustomDateEditProperties::DateButtons() {
  if (AssignedValues()->DateButtons()) return dateButtons_;
  return kind_ == ckDate ? TDateButtons{btnClear, btnToday} : TDateButtons{btnClear, btnNow};
}

void TcxCustomDateEditProperties::SetDateButtons(const TDateButtons& v) {
  if (AssignedValues()->DateButtons() && dateButtons_ == v) return;
  AssignedValues()->SetDateButtons(true);
  dateButtons_ = v;
  NotifyPropertiesChanged();
}

TcxInputKind TcxCustomDateEditProperties::InputKind() {
  if (AssignedValues()->InputKind()) return inputKind_;
  return kind_ == ckDate ? ikRegExpr : ikMask;
}

void TcxCustomDateEditProperties::SetInputKind(TcxInputKind v) {
  if (AssignedValues()->InputKind() && inputKind_ == v) return;
  AssignedValues()->SetInputKind(true);
  inputKind_ = v;
  NotifyPropertiesChanged();
}

bool TcxCustomDateEditProperties::HasValueBound(Integer side) {
  const double lo = MinDate(), hi = MaxDate();
  if (lo != 0 && hi != 0) return hi > lo;
  return side == 1 ? hi != 0 : lo != 0;
}

bool TcxCustomDateEditProperties::HasValueRange() {
  const double lo = MinDate(), hi = MaxDate();
  if (lo != 0 && hi != 0) return hi > lo;
  return lo != 0 || hi != 0;
}

String TcxCustomDateEditProperties::EmptyDateText(bool for_editing) {
  String text = IsMasked() ? GetEmptyMaskText() : String();
  if (for_editing && kind_ == ckDateTime && InputKind() == ikMask && !text.empty()) {
    // The time positions show a zero time behind blank date positions.
    const Integer n = FormatTextLength(GlobalFormatController()->TimeItems());
    String zero;
    FormatDateForEdit(true, true, false, zero, 0);
    std::u32string t = ToMaskChars(text), z = ToMaskChars(zero);
    if (n > 0 && Integer(t.size()) >= n && Integer(z.size()) >= n) {
      t.replace(t.size() - size_t(n), size_t(n), z.substr(z.size() - size_t(n)));
      text = FromMaskChars(t);
    }
  }
  return text;
}

bool TcxCustomDateEditProperties::IsEmptyDateText(const String& text) {
  return text.empty() || text == EmptyDateText(false) || text == EmptyDateText(true);
}

void TcxCustomDateEditProperties::TextToDate(const String& text, Variant& value) {
  value = Null();
  if (IsEmptyDateText(text)) return;
  TDateTime d = NoDateValue;
  if (ParseDateInput(text, d) && d != NoDateValue) {
    value = VarFromDateTime(d);
  } else if (dateOnError_ == deToday) {
    value = VarFromDateTime(kind_ == ckDateTime ? Now() : Date());
  }
}

bool TcxCustomDateEditProperties::AcceptDisplayText(Variant& display_value, bool edit_focused) {
  if (InputKind() != ikStandard) return TcxCustomPopupEditProperties::AcceptDisplayText(display_value, edit_focused);
  TDateTime d = NoDateValue;
  return ParseDateInput(VarToStr(display_value), d) && d != NoDateValue;
}

bool TcxCustomDateEditProperties::IsEditValueValid(Variant& edit_value, bool) {
  try {
    // Null and an empty text mean no date.
    if (IsVariantNullOrEmptyText(edit_value)) return true;
    if (!edit_value.IsString()) return IsDateTimeVariant(edit_value) || IsNumericOrBcdVariant(edit_value);
    Variant v;
    TextToDate(VarToStr(edit_value), v);
    return !v.IsNull() && v.AsDouble() != NoDateValue;
  } catch (...) {
    return false;
  }
}

bool TcxCustomDateEditProperties::KeepsTimePart(bool for_editing, TDateTime date) {
  if (for_editing) {
    if (kind_ == ckDateTime) return true;
    return TimeFractionOf(date) != 0 && showTime_ && InputKind() == ikStandard;
  }
  return !(kind_ == ckDate && !showTime_);
}

String TcxCustomDateEditProperties::DateToText(const Variant& value, bool for_editing) {
  if (IsVariantNullOrEmptyText(value) || value.IsEmpty() || IsNoDateValue(value)) return EmptyDateText(for_editing);
  if (!value.IsString() && !IsNumberValue(value))
    throw EConvertError(LoadReplaceableResString(cxSEditDateConvertError));
  TDateTime d = 0;
  if (value.IsString()) {
    Variant v;
    TextToDate(VarToStr(value), v);
    if (v.IsNull() || v.AsDouble() == NoDateValue) throw EConvertError(LoadReplaceableResString(cxSEditDateConvertError));
    d = v.AsDouble();
  } else {
    d = value.AsDouble();
  }
  if (!KeepsTimePart(for_editing, d)) d = std::trunc(d);
  String text;
  if (for_editing) FormatDateForEdit(InputKind() == ikMask, kind_ == ckDateTime, false, text, d);
  else FormatDateLocale(false, text, d);
  return TrimRight(text);
}

void TcxCustomDateEditProperties::PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                                                      bool edit_focused) {
  display_value = Variant(DateToText(edit_value, edit_focused));
}

void TcxCustomDateEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                                                       IcxEditValidator* edit) {
  auto* date_edit = dynamic_cast<TcxCustomDateEdit*>(edit);
  error_text = LoadReplaceableResString(cxSEditInvalidDate);
  TDateTime result = 0;
  bool text_changed = false;
  try {
    String text = VarToStr(display_value);
    if (!IsEmptyDateText(text)) error = !ParseDateInput(text, result);
    if (edit && edit->HasValidateHandler()) {
      if (!IsEmptyDateText(text) && !error) {
        String formatted;
        FormatDateForEdit(InputKind() == ikMask, kind_ == ckDateTime, false, formatted, result);
        display_value = Variant(TrimRight(formatted));
      }
      const String before = VarToStr(display_value);
      RunValidateEvents(display_value, error_text, error, edit);
      text = VarToStr(display_value);
      text_changed = text != before;
      if (!error && !IsEmptyDateText(text) && !ParseDateInput(text, result)) error = true;
    } else if (error) {
      switch (dateOnError_) {
        case deNoChange: break;
        case deToday:
          result = kind_ == ckDateTime ? Now() : Date();
          error = false;
          break;
        case deNull:
          result = NoDateValue;
          error = false;
          break;
      }
    }
  } catch (...) {
    error = true;
  }
  if (error) {
    if (!text_changed && edit) display_value = edit->CurrentDisplayText();
    return;
  }
  const String text = VarToStr(display_value);
  if (result != NoDateValue && !IsEmptyDateText(text)) {
    if (HasValueRange()) {
      Variant as_date = VarFromDateTime(result);
      CheckValueBounds(as_date, error_text, error);
      if (error) {
        if (edit) display_value = edit->CurrentDisplayText();
        return;
      }
    }
    if (kind_ == ckDate && date_edit) {
      if (TimeFractionOf(result) != 0) date_edit->SetSavedTime(std::fabs(TimeFractionOf(result)));
      else if (saveTime_) result += DateSign(result) * date_edit->SavedTime();
      else date_edit->SetSavedTime(0);
    }
    display_value = VarFromDateTime(result);
    return;
  }
  // No date: Null, or the saved time alone.
  if (!date_edit) {
    display_value = Null();
    return;
  }
  const Variant before = date_edit->EditValue();
  if (result != NoDateValue && kind_ == ckDate && saveTime_ && date_edit->SavedTime() != 0) {
    display_value = VarFromDateTime(date_edit->SavedTime());
  } else {
    date_edit->SetSavedTime(0);
    display_value = Null();
  }
  if (!VariantsEqualStrict(before, display_value)) date_edit->NotifyEditValueChanged();
}

bool TcxCustomDateEditProperties::TimePartInfo(Integer position, TcxTimePartInfo& info) {
  if (kind_ != ckDateTime || InputKind() != ikMask) return false;
  const TcxDateTimeFormatInfo& items = GlobalFormatController()->DateTimeItems();
  Byte kind = 0;
  Integer start = 0, length = 0, style = 0;
  if (!FindFormatItemAt(items, position, kind, start, length, style)) return false;
  switch (kind) {
    case cxdtfkHour: info.Kind = tpkHour; break;
    case cxdtfkMinute: info.Kind = tpkMinute; break;
    case cxdtfkSecond: info.Kind = tpkSecond; break;
    case cxdtfkDesignator: info.Kind = tpkDesignator; break;
    default: return false;
  }
  info.Start = start;
  info.Length = length;
  info.DesignatorStyle = style;
  info.Use24Hour = !items.DefinedItems[cxdtfkDesignator];
  return true;
}

char32_t TcxCustomDateEditProperties::TimePartBlankChar(Integer position) {
  TcxTimePartInfo info;
  if (TimePartInfo(position, info)) return info.Kind == tpkDesignator ? U'\0' : U'0';
  return U' ';
}

// ---- the edit ------------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomDateEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDateEdit) {
  p.Object("Properties", &TcxDateEdit::Properties, &TcxDateEdit::SetProperties,
           TcxDateEditProperties::StaticClass());
}

TcxCustomDateEdit::TcxCustomDateEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomPopupEdit(owner, in_place, properties_class) {
  ControlStyle().Exclude(csSetCaption);
}

TcxCustomDateEdit::~TcxCustomDateEdit() {
  destroying_ = true;
  if (DroppedDown()) RestorePopupControl();
  if (calendar_ && EffectivePopupProperties()->PopupControl() == calendar_)
    EffectivePopupProperties()->SetPopupControl(nullptr);
  delete calendar_;
  calendar_ = nullptr;
}

TDateTime TcxCustomDateEdit::Date() {
  const Variant v = ReadEditValue();
  if (v.IsNull()) return NoDateValue;
  if (IsNumberValue(v)) return v.AsDouble();
  if (v.IsString()) {
    Variant d;
    DisplayToEditValue(v, d, false);
    return d.IsNull() ? NoDateValue : d.AsDouble();
  }
  return NoDateValue;
}

void TcxCustomDateEdit::SetDate(TDateTime value) {
  if (value == NoDateValue) {
    SetEditValue(Null());
    return;
  }
  TcxCustomDateEditProperties* p = DateProperties();
  if (p->Kind() == ckDate && TimeFractionOf(value) == 0) {
    if (p->SaveTime()) value += DateSign(value) * savedTime_;
  }
  if (p->Kind() == ckDate && !p->SaveTime()) value = std::trunc(value);
  SetEditValue(VarFromDateTime(value));
}

void TcxCustomDateEdit::DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool) {
  TcxCustomDateEditProperties* p = DateProperties();
  p->TextToDate(VarToStr(display_value), edit_value);
  if (!edit_value.IsNull() && edit_value.AsDouble() != NoDateValue && p->Kind() == ckDate && p->SaveTime()) {
    const double d = edit_value.AsDouble();
    if (TimeFractionOf(d) == 0) edit_value = VarFromDateTime(d + DateSign(d) * savedTime_);
  }
}

void TcxCustomDateEdit::InternalSetEditValue(const Variant& value, bool validate) {
  if (destroying_) return;
  TcxCustomDateEditProperties* p = DateProperties();
  if (p->Kind() == ckDate) {
    savedTime_ = 0;
    if (p->SaveTime()) {
      if (value.IsString()) {
        Variant d;
        p->TextToDate(VarToStr(value), d);
        savedTime_ = d.IsNull() ? 0 : std::fabs(TimeFractionOf(d.AsDouble()));
      } else if (IsNumberValue(value) && value.AsDouble() != NoDateValue) {
        savedTime_ = std::fabs(TimeFractionOf(value.AsDouble()));
      }
    }
  }
  TcxCustomPopupEdit::InternalSetEditValue(value, validate);
}

void TcxCustomDateEdit::SetDisplayValue(const Variant& value) {
  if (value.IsString()) {
    TcxCustomPopupEdit::SetDisplayValue(value);
    return;
  }
  PushModifiedState();
  try {
    SetEditValue(value);
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

Variant TcxCustomDateEdit::GetDisplayValue() {
  Variant v;
  DisplayToEditValue(CurrentDisplayText(), v, true);
  return v;
}

TDateTime TcxCustomDateEdit::CurrentDate() {
  if (Focused() && ChangedSinceEnter()) {
    Variant v;
    DisplayToEditValue(CurrentDisplayText(), v, true);
    return v.IsNull() ? NoDateValue : v.AsDouble();
  }
  return Date();
}

void TcxCustomDateEdit::EnforceValueRange() {
  const TDateTime d = Date();
  if (d == NoDateValue) return;
  TcxCustomDateEditProperties* p = DateProperties();
  if (p->HasValueBound(0) && p->MinDate() > d) SetDate(p->MinDate());
  else if (p->HasValueBound(1) && p->MaxDate() < d) SetDate(p->MaxDate());
}

bool TcxCustomDateEdit::ValidateMaskChar(char32_t& c, Integer position) {
  TcxTimePartInfo info;
  return !DateProperties()->TimePartInfo(position, info) || ApplyTimePartChar(this, info, c, position);
}

// ---- the calendar of the drop-down ------------------------------------------------------------------------

TcxPopupCalendar* TcxCustomDateEdit::CreateCalendar() {
  if (calendar_) return calendar_;
  calendar_ = new TcxPopupCalendar(nullptr);
  calendar_->OwnerDate = [this] { return Date(); };
  calendar_->PopupShown = [this] { return DroppedDown(); };
  calendar_->OnHidePopup = [this](TObject*, Integer reason) { CloseUp(Byte(reason)); };
  for (TCalendarButton b : {btnClear, btnNow, btnOk, btnToday})
    calendar_->Button(b)->LookAndFeel()->AttachToMaster(Style()->LookAndFeel());
  calendar_->TimeEdit()->Style()->LookAndFeel()->AttachToMaster(Style()->LookAndFeel());
  return calendar_;
}

void TcxCustomDateEdit::DropDown() {
  EffectivePopupProperties()->SetPopupControl(CreateCalendar());
  // The popup window may have been made before this kind could say so.
  if (PopupWindow()) PopupWindow()->SetRunsModalLoop(false);
  TcxCustomPopupEdit::DropDown();
}

void TcxCustomDateEdit::CreatePopupWindow() {
  TcxCustomPopupEdit::CreatePopupWindow();
  // The popup shows without a message loop of its own.
  PopupWindow()->SetRunsModalLoop(false);
}

void TcxCustomDateEdit::PopupWindowShown() {
  TcxCustomPopupEdit::PopupWindowShown();
  if (calendar_) {
    calendar_->LayoutChanged();
    calendar_->UpdateHotElement();
  }
}

void TcxCustomDateEdit::PopupWindowClosed() {
  TcxCustomPopupEdit::PopupWindowClosed();
  if (calendar_) calendar_->UpdateHotElement();
}

void TcxCustomDateEdit::SetupPopupWindow() {
  TcxCustomPopupEdit::SetupPopupWindow();
  TcxPopupCalendar* c = CreateCalendar();
  c->HandleNeeded();
  TcxCustomDateEditProperties* p = DateProperties();
  c->SetColor(GetActiveEditStyle()->Color());
  c->SetFlat(Style()->LookAndFeel()->Kind() != lfStandard);
  c->SetButtonSet(p->DateButtons());
  c->OnDateTimeChanged = nullptr;
  popupStartTime_ = CurrentDate();
  TDateTime d = popupStartTime_ == NoDateValue ? ::Date() : popupStartTime_;
  if (p->Kind() == ckDateTime) c->TimeEdit()->SetTime(std::fabs(TimeFractionOf(d)));
  c->SetFirstDate(std::trunc(d));
  c->SetSelectDate(std::trunc(d));
  c->SetFont(GetActiveEditStyle()->Font());
  c->Font()->SetColor(clBtnText);
  c->OnDateTimeChanged = [this](TObject* sender) { AcceptCalendarValue(sender); };
  c->SetArrowsForYear(p->ArrowsForYear());
  c->SetKind(p->Kind());
  c->SetWeekNumbers(p->WeekNumbers());
  c->SetYearsInMonthList(p->YearsInMonthList());
  c->PostPopupValueOnTab = p->PostPopupValueOnTab();
  c->OnOwnerKeyDown = [this](Word& key, TShiftState shift) { DoEditKeyDown(key, shift); };
  const TcxDateTimeFormatInfo& items = GlobalFormatController()->DateTimeItems();
  c->SetTimeFormat(items.DefinedItems[cxdtfkSecond] ? tfHourMinSec
                   : items.DefinedItems[cxdtfkMinute] ? tfHourMin
                   : items.DefinedItems[cxdtfkHour]   ? tfHour
                                                      : tfHourMinSec);
  bool use24 = false;
  for (const TcxDateTimeFormatItem& item : items.Items)
    if (item.Kind == cxdtfkHour) use24 = item.Data.size() >= 2 && item.Data.substr(0, 2) == "24";
  // A clock without a designator item counts hours to 24.
  c->SetUse24HourFormat(use24 || !items.DefinedItems[cxdtfkDesignator]);
  c->LayoutChanged();
}

String TcxCustomDateEdit::DateToEditText(TDateTime d) {
  TcxCustomDateEditProperties* p = DateProperties();
  Variant display;
  p->PrepareDisplayValue(DateVariant(d), display, true);
  if (p->InputKind() == ikStandard && d != NoDateValue) {
    Variant back;
    DisplayToEditValue(display, back, true);
    if (back.IsNull() || std::trunc(back.AsDouble()) != std::trunc(d)) {
      // A two-digit year read back into another century: write four digits.
      String text;
      FormatDateForEdit(false, p->Kind() == ckDateTime, true, text, p->KeepsTimePart(true, d) ? d : std::trunc(d));
      return text;
    }
  }
  return VarToStr(display);
}

void TcxCustomDateEdit::AcceptCalendarValue(TObject*) {
  if (!calendar_) return;
  TcxCustomDateEditProperties* p = DateProperties();
  TDateTime d = calendar_->SelectDate();
  if (p->Kind() == ckDateTime && d != NoDateValue) {
    d = std::trunc(d) + DateSign(d) * std::fabs(TimeFractionOf(calendar_->TimeEdit()->Time()));
  } else if (p->Kind() == ckDate && p->SaveTime() && d != NoDateValue && popupStartTime_ != NoDateValue) {
    d = std::trunc(d) + DateSign(d) * std::fabs(TimeFractionOf(popupStartTime_));
  }
  const String text = DateToEditText(d);
  if (Date() == d && VarToStr(CurrentDisplayText()) == text) return;
  if (!CanModify()) return;
  LockChangeEvents(true);
  try {
    SetEditValue(DateVariant(d));
    SetChangedSinceEnter(true);
    SetValidatedDisplayValue(Variant(text));
      SelectWholeText();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

// ---- filter helper and unit start ---------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxDateEditPopupWindow)

TcxDateEditPopupWindow::TcxDateEditPopupWindow(TWinControl* owner_control)
    : TcxPopupEditPopupWindow(owner_control) {
  SetKeyPreview(true);
}

bool TcxDateEditPopupWindow::IsPopupKey(Word key, TShiftState shift) {
  switch (key) {
    case VK_ESCAPE: {
      TWinControl* active = ActiveControl();
      if (dynamic_cast<TcxButton*>(active)) return true;
      auto* time_edit = dynamic_cast<TcxTimeEdit*>(active);
      if (!time_edit) {
        if (auto* inner = dynamic_cast<TcxCustomInnerTextEdit*>(active))
          time_edit = dynamic_cast<TcxTimeEdit*>(inner->OwnerEdit());
      }
      return time_edit && !time_edit->ChangedSinceEnter();
    }
    case VK_UP:
    case VK_DOWN:
      return shift.Contains(ssAlt);
    case VK_F4:
      return !shift.Contains(ssAlt);
    default:
      return false;
  }
}

void TcxDateEditPopupWindow::KeyDown(Word& key, TShiftState shift) {
  TWeakRef<TcxDateEditPopupWindow> self(this);
  // Enter and Escape belong to the control that has the focus inside the popup: the calendar
  // picks its day on Enter (or closes its month list on Escape first), the time edit resets
  // its text on Escape. Handing them to the edit's drop-down keys would close the popup
  // before the calendar sees them, dropping the picked day.
  if ((key == VK_RETURN || key == VK_ESCAPE) && !shift.Contains(ssAlt)) TcxCustomPopupWindow::KeyDown(key, shift);
  else TcxPopupEditPopupWindow::KeyDown(key, shift);
  if (!self || key == 0 || !IsPopupKey(key, shift)) return;
  if (auto* edit = dynamic_cast<TcxCustomDateEdit*>(OwnerControl()))
    if (TcxPopupCalendar* c = edit->Calendar()) {
      c->KeyDown(key, shift);
      key = 0;
    }
}

KORVAN_IMPLEMENT_CLASS(TcxFilterDateEditHelper)

TClass TcxFilterDateEditHelper::ValueEditClass() const { return TcxDateEdit::StaticClass(); }

void TcxFilterDateEditHelper::SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass,
                                                 TcxFilterControlOperators& operators, bool extended) const {
  // The base set without like and not like; extended, also the date periods.
  TcxFilterDropDownEditHelper::SupportedOperators(properties, nullptr, operators, extended);
  if (extended)
    for (TcxFilterControlOperator op = 15; op <= 36; ++op) operators.push_back(op);
}

void TcxFilterDateEditHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                      TcxCustomEditProperties* source, bool keep_buttons) const {
  TcxFilterDropDownEditHelper::PrepareFilterProperties(properties, source, keep_buttons);
  auto* p = dynamic_cast<TcxCustomDateEditProperties*>(properties);
  if (!p) return;
  p->SetDateButtons(TDateButtons{btnClear, btnToday});
  p->SetDateOnError(deNull);
  p->SetInputKind(ikRegExpr);
  p->SetSaveTime(true);
}

void InitializeCxCalendar() {
  InitUnit(
      "cxCalendar",
      [] {
        InitializeCxTimeEdit();
        InitializeCxPopupEdit();
        RegisterClass(TcxDateEdit::StaticClass());
        RegisterClass(TcxDateEditProperties::StaticClass());
        RegisterClass(TcxEditRepositoryDateItem::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxDateEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryDateItem));
        FilterEditsController()->RegisterHelper(TcxDateEditProperties::StaticClass(),
                                                TcxFilterDateEditHelper::StaticClass());
        // The default editors of date and time fields.
        TcxEditDBRegisteredRepositoryItems* registry = GetDefaultEditDBRepositoryItems();
        TcxEditRepositoryItem* date_item = DefaultEditRepository()->CreateItem(TcxEditRepositoryDateItem::StaticClass());
        for (TFieldType type : {ftDate, ftDateTime, ftTimeStamp}) registry->RegisterItem(type, -1, date_item);
        registry->RegisterItem(
            ftTime, -1, DefaultEditRepository()->CreateItem(TcxEditRepositoryTimeItem::StaticClass()));
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxDateEditProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxDateEditProperties::StaticClass(),
                                                  TcxFilterDateEditHelper::StaticClass());
      });
}
