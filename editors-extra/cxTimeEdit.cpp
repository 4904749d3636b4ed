// The time edit: the format table and 12-hour masks, the part rules for typed characters,
// the settings, the edit's stepping of the part under the caret and its date part, the filter
// helper and the unit start.
#include "editors-extra/cxTimeEdit.h"

#include <cmath>

#include "data/cxVariants.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxStandardMask.h"
#include "rtl/TypInfo.h"
#include "user/WinUser.h"

namespace {
using TTimeProps = TcxCustomTimeEditProperties;
TTimeProps* Mutable(const TTimeProps* p) { return const_cast<TTimeProps*>(p); }

PTypeInfo TimeFormatType() {
  static PTypeInfo t = EnumTypeInfo("TcxTimeEditTimeFormat", {"tfHourMinSec", "tfHourMin", "tfHour"});
  return t;
}

const TcxResourceStringRec scxSEditRepositoryTimeItem = {"scxSEditRepositoryTimeItem",
                                                         "TimeEdit|Represents an editor displaying time values"};
const TcxResourceStringRec cxSEditTimeConvertError = {"cxSEditTimeConvertError", "Could not convert to time"};

// Display pattern and edit mask per TimeFormat x 4 + Use24HourFormat x 2 + kind.
String timeEditFormats[12] = {
    "hh:nn:ss ampm", "00:00:00 LL;1;0", "hh:nn:ss", "00:00:00;1;0",
    "hh:nn ampm",    "00:00 LL;1;0",    "hh:nn",    "00:00;1;0",
    "hh ampm",       "00 LL;1;0",       "hh",       "00;1;0",
};

// Steps of the parts, in seconds.
constexpr double kStepSeconds[4] = {3600, 60, 1, 43200};
constexpr double kSecondsPerDay = 86400;

class TTimeFormatListener : public IcxFormatSettingsListener {
 public:
  TTimeFormatListener() {
    GlobalFormatController()->RegisterListener(this);
    RebuildTimeMasks();
  }
  ~TTimeFormatListener() override {
    GlobalFormatController()->UnregisterListener(this);
  }
  void FormatChanged() override { RebuildTimeMasks(); }
};
TTimeFormatListener* formatListener = nullptr;

char32_t UpperChar(char32_t c) {
  const String s = AnsiUpperCase(FromMaskChars(std::u32string(1, c)));
  const std::u32string u = ToMaskChars(s);
  return u.empty() ? c : u[0];
}

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }


bool TryFrameworkDateTime(const String& text, TDateTime& value) {
  try {
    return TryStrToDateTime(text, value);
  } catch (...) {
    return false;
  }
}
}  // namespace

// ---- formats and typing rules ----------------------------------------------------------------------

void TimeDesignators(Integer style, String& am, String& pm) {
  switch (style) {
    case 0: am = "A"; pm = "P"; break;
    case 1: am = "AM"; pm = "PM"; break;
    default: am = FormatSettings.TimeAMString; pm = FormatSettings.TimePMString; break;
  }
}

String TimeEditFormat(TcxTimeEditTimeFormat format, bool use24, Integer kind) {
  return timeEditFormats[Integer(format) * 4 + (use24 ? 2 : 0) + kind];
}

void RebuildTimeMasks() {
  const std::u32string s = ToMaskChars(FormatDateTime("hh:mm:ss AMPM", 1.5));
  std::u32string suffix;
  for (size_t i = 8; i < s.size(); ++i) suffix += s[i] == U' ' ? U' ' : U'c';
  while (!suffix.empty() && suffix.back() == U' ') suffix.pop_back();
  for (Integer f = 0; f < 3; ++f) {
    const std::u32string mask = ToMaskChars(timeEditFormats[f * 4 + 3]);
    timeEditFormats[f * 4 + 1] = FromMaskChars(mask.substr(0, size_t(8 - 3 * f)) + suffix) + ";1;0";
  }
}

TcxTimeCharResult ValidateTimePartChar(String& text, Integer position, char32_t& key, Integer& caret,
                                       const TcxTimePartInfo& info) {
  std::u32string t = ToMaskChars(text);
  const Integer offset = position - info.Start;  // 0-based offset inside the part
  if (offset < 0 || info.Start < 1) return tcrRejected;
  if (info.Kind == tpkDesignator) {
    String am8, pm8;
    TimeDesignators(info.DesignatorStyle, am8, pm8);
    const std::u32string a = ToMaskChars(am8), b = ToMaskChars(pm8);
    size_t d = 0;
    while (d < a.size() && d < b.size() && UpperChar(a[d]) == UpperChar(b[d])) ++d;
    const char32_t k = UpperChar(key);
    if (size_t(offset) < d) {
      if (size_t(offset) >= a.size() || UpperChar(a[size_t(offset)]) != k) return tcrRejected;
      key = a[size_t(offset)];
      return tcrAccepted;
    }
    if (size_t(offset) > d) {
      if (size_t(position - 1) >= t.size() || UpperChar(t[size_t(position - 1)]) != k) return tcrRejected;
      key = t[size_t(position - 1)];
      return tcrAccepted;
    }
    const std::u32string* chosen = nullptr;
    if (d < a.size() && UpperChar(a[d]) == k) chosen = &a;
    else if (d < b.size() && UpperChar(b[d]) == k) chosen = &b;
    if (!chosen) return tcrRejected;
    const size_t start = size_t(info.Start - 1);
    if (t.size() < start) t.resize(start, U' ');
    t = t.substr(0, start) + *chosen;
    text = FromMaskChars(t);
    caret = Integer(start) + info.Length;
    return tcrConsumed;
  }
  if (!IsDigit(key) || offset > 1) return tcrRejected;
  const size_t first = size_t(info.Start - 1);
  if (t.size() < first + 2) t.resize(first + 2, U'0');
  std::u32string part = t.substr(first, 2);
  part[size_t(offset)] = key;
  const Integer value = Integer(part[0] - U'0') * 10 + Integer(part[1] - U'0');
  Integer lo = 0, hi = 59;
  if (info.Kind == tpkHour) {
    lo = info.Use24Hour ? 0 : 1;
    hi = info.Use24Hour ? 23 : 12;
  }
  if (IsDigit(part[0]) && IsDigit(part[1]) && value >= lo && value <= hi) return tcrAccepted;
  const char32_t max_first = info.Kind == tpkHour ? (info.Use24Hour ? U'2' : U'1') : U'5';
  if (offset == 0) {
    if (key == U'0') {
      // "0" followed by the digit that stood here.
      t[first + 1] = IsDigit(t[first]) ? ToMaskChars(text)[first] : U'0';
      t[first] = U'0';
      text = FromMaskChars(t);
      caret = Integer(first) + 1;
      return tcrConsumed;
    }
    if (key > max_first) {
      t[first] = U'0';
      text = FromMaskChars(t);
      caret = Integer(first) + 1;
      // The key continues into the second digit.
      return ValidateTimePartChar(text, position + 1, key, caret, info);
    }
    t[first] = key;
    t[first + 1] = U'0';
    text = FromMaskChars(t);
    caret = Integer(first) + 1;
    return tcrConsumed;
  }
  if (key == U'0') return tcrRejected;
  t[first] = U'0';
  text = FromMaskChars(t);
  return tcrAccepted;
}

bool TypeTimeChar(String& text, Integer& caret, char32_t key,
                  const std::function<bool(Integer position, TcxTimePartInfo& info)>& part_at) {
  std::u32string t = ToMaskChars(text);
  TcxTimePartInfo info;
  // A caret on a literal moves over it first.
  while (caret < Integer(t.size()) && !part_at(caret + 1, info)) ++caret;
  if (caret >= Integer(t.size())) return false;
  Integer position = caret + 1;
  const TcxTimeCharResult r = ValidateTimePartChar(text, position, key, caret, info);
  if (r == tcrRejected) return false;
  if (r == tcrAccepted) {
    t = ToMaskChars(text);
    // The rules may have moved the caret to the next digit of the part.
    position = caret + 1 > position ? caret + 1 : position;
    if (position - 1 < Integer(t.size())) t[size_t(position - 1)] = key;
    text = FromMaskChars(t);
    caret = position;
  }
  t = ToMaskChars(text);
  while (caret < Integer(t.size()) && !part_at(caret + 1, info)) ++caret;
  return true;
}

KORVAN_IMPLEMENT_CLASS(TcxCustomTimeEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTimeEditProperties) {
  p.Object("Alignment", [](const TTimeProps* o) { return Mutable(o)->Alignment(); }, &TTimeProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TTimeProps::IsAlignmentStored);
  p.Bool("AutoCorrectHours", &TTimeProps::AutoCorrectHours, &TTimeProps::SetAutoCorrectHours).Default(true);
  p.Bool("AutoSelect", &TTimeProps::AutoSelect, &TTimeProps::SetAutoSelect).Default(true);
  p.Bool("BeepOnError", &TTimeProps::BeepOnError, &TTimeProps::SetBeepOnError).Default(false);
  p.Bool("Circular", &TTimeProps::Circular, &TTimeProps::SetCircular).Default(false);
  p.Int("ClearKey", &TTimeProps::ClearKey, &TTimeProps::SetClearKey).Default(0);
  p.Bool("HideSelection", &TTimeProps::HideSelection, &TTimeProps::SetHideSelection).Default(true);
  p.Bool("ImmediatePost", &TTimeProps::ImmediatePost, &TTimeProps::SetImmediatePost).Default(false);
  p.Bool("ReadOnly", [](const TTimeProps* o) { return Mutable(o)->ReadOnly(); }, &TTimeProps::SetReadOnly)
      .NoDefault()
      .Stored(&TTimeProps::IsReadOnlyStored);
  p.Bool("ShowDate", &TTimeProps::ShowDate, &TTimeProps::SetShowDate).Default(false);
  p.Enum("TimeFormat", &TTimeProps::TimeFormat, &TTimeProps::SetTimeFormat, TimeFormatType()).Default(tfHourMinSec);
  p.Bool("UseCtrlIncrement", &TTimeProps::UseCtrlIncrement, &TTimeProps::SetUseCtrlIncrement).Default(false);
  p.Bool("Use24HourFormat", &TTimeProps::Use24HourFormat, &TTimeProps::SetUse24HourFormat).Default(true);
  p.Bool("UseTimeFormatWhenUnfocused", &TTimeProps::UseTimeFormatWhenUnfocused,
         &TTimeProps::SetUseTimeFormatWhenUnfocused)
      .Default(true);
  p.Bool("ValidateOnEnter", &TTimeProps::ValidateOnEnter, &TTimeProps::SetValidateOnEnter).Default(true);
}
KORVAN_IMPLEMENT_CLASS(TcxCustomTimeEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTimeEdit) {
  p.Object("Properties", &TcxTimeEdit::Properties, &TcxTimeEdit::SetProperties,
           TcxTimeEditProperties::StaticClass());
}
KORVAN_IMPLEMENT_CLASS(TcxFilterTimeEditHelper)
KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryTimeItem)

// ---- properties ------------------------------------------------------------------------------------------

TcxCustomTimeEditProperties::TcxCustomTimeEditProperties(TPersistent* owner)
    : TcxCustomSpinEditProperties(owner) {
  BeginUpdate();
  SetValueType(vtFloat);
  SetIgnoreMaskBlank(true);
  SetIncrement(1.0);
  SetMinValue(0);
  SetMaxValue(kSecondsPerDay - 1);
  SetAlwaysShowBlanksAndLiterals(true);
  SetupTimeMask();
  EndUpdate(false);
}

void TcxCustomTimeEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomTimeEditProperties*>(source);
  ChangeInUpdate([&] {
    TcxCustomSpinEditProperties::Assign(source);
    if (s) {
      autoCorrectHours_ = s->autoCorrectHours_;
      showDate_ = s->showDate_;
      timeFormat_ = s->timeFormat_;
      use24HourFormat_ = s->use24HourFormat_;
      useTimeFormatWhenUnfocused_ = s->useTimeFormatWhenUnfocused_;
      SetupTimeMask();
      NotifyPropertiesChanged();
    }
  });
}

void TcxCustomTimeEditProperties::FormatChanged() {
  BeginUpdate();
  SetupTimeMask();
  EndUpdate(true);
  TcxCustomSpinEditProperties::FormatChanged();
}

void TcxCustomTimeEditProperties::SetupTimeMask() { SetEditMask(TimeEditFormat(timeFormat_, use24HourFormat_, 1)); }

void TcxCustomTimeEditProperties::SetTimeFormat(TcxTimeEditTimeFormat v) {
  if (timeFormat_ == v) return;
  timeFormat_ = v;
  SetupTimeMask();
  NotifyPropertiesChanged();
}

void TcxCustomTimeEditProperties::SetUse24HourFormat(bool v) {
  if (use24HourFormat_ == v) return;
  use24HourFormat_ = v;
  SetupTimeMask();
  NotifyPropertiesChanged();
}

TClass TcxCustomTimeEditProperties::GetContainerClass() { return TcxTimeEdit::StaticClass(); }

Integer TcxCustomTimeEditProperties::TimePartStart(Integer kind) {
  return kind == tpkDesignator ? 10 - 3 * Integer(timeFormat_) : 3 * kind + 1;
}

Integer TcxCustomTimeEditProperties::TimePartAt(Integer caret) {
  Integer p = caret + 1;
  if (MaxLength() > 0) p = std::min(p, MaxLength());
  if (!use24HourFormat_ && p > 8 - 3 * Integer(timeFormat_)) return tpkDesignator;
  const std::u32string pattern = ToMaskChars(UpperCase(DisplayPattern()));
  auto at = [&](Integer q) {
    q = std::min<Integer>(std::max<Integer>(q, 1), Integer(pattern.size()));
    return pattern.empty() ? U' ' : pattern[size_t(q - 1)];
  };
  char32_t c = at(p);
  if (c != U'H' && c != U'N' && c != U'S') c = at(p + 1);
  return c == U'H' ? tpkHour : c == U'N' ? tpkMinute : tpkSecond;
}

bool TcxCustomTimeEditProperties::TimePartInfo(Integer position, TcxTimePartInfo& info) {
  const Integer kind = TimePartAt(position - 1);
  const Integer start = TimePartStart(kind);
  const Integer length = kind == tpkDesignator ? CharCount(FormatSettings.TimeAMString) : TimePartLength();
  if (position < start || position >= start + std::max<Integer>(length, TimePartLength())) return false;
  info.Kind = kind;
  info.Start = start;
  info.Length = length;
  info.DesignatorStyle = DesignatorStyle();
  info.Use24Hour = use24HourFormat_;
  return true;
}

String TcxCustomTimeEditProperties::TimeDisplayText(const Variant& v, bool editing) {
  const TDateTime t = v.AsDouble();
  String text;
  if (!editing && t != 0 && showDate_ && std::trunc(t) != 0) {
    text = DateTimeToStr(t);
  } else if (!editing && !useTimeFormatWhenUnfocused_) {
    text = TimeToStr(t);
  } else {
    text = FormatDateTime(DisplayPattern(), t);
  }
  return TrimRight(text);
}

String TcxCustomTimeEditProperties::BlankValueDisplayText() { return TrimRight(FormatDateTime(DisplayPattern(), 0)); }

bool TcxCustomTimeEditProperties::AcceptDisplayText(Variant& display_value, bool) {
  TDateTime t = 0;
  if (!TryFrameworkDateTime(VarToStr(display_value), t)) return false;
  display_value = Variant(TrimRight(FormatDateTime(DisplayPattern(), t)));
  return true;
}

bool TcxCustomTimeEditProperties::IsEditValueValid(Variant& edit_value, bool edit_focused) {
  if (edit_value.IsString()) return AcceptDisplayText(edit_value, edit_focused);
  return edit_value.IsNull() || IsDateTimeVariant(edit_value) || IsNumericOrBcdVariant(edit_value);
}

void TcxCustomTimeEditProperties::PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                                                      bool edit_focused) {
  if (edit_value.IsNull() || edit_value.IsEmpty()) {
    display_value = Variant(edit_focused ? BlankValueDisplayText() : String());
    return;
  }
  if (!IsDateTimeVariant(edit_value) && !IsNumericOrBcdVariant(edit_value) && !edit_value.IsString())
    throw EConvertError(LoadReplaceableResString(cxSEditTimeConvertError));
  try {
    Variant v = edit_value;
    if (v.IsString()) {
      TDateTime t = 0;
      if (!TryFrameworkDateTime(VarToStr(v), t)) throw EConvertError(VarToStr(v));
      v = Variant(t);
    }
    display_value = Variant(TimeDisplayText(v, edit_focused));
  } catch (...) {
    display_value = Variant(TimeDisplayText(Variant(double(Now())), edit_focused));
  }
}

void TcxCustomTimeEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                                                       IcxEditValidator* edit) {
  if (error_text.empty()) error_text = LoadReplaceableResString(cxSEditTimeConvertError);
  RunValidateEvents(display_value, error_text, error, edit);
}

// ---- the edit --------------------------------------------------------------------------------------------

TcxCustomTimeEdit::TcxCustomTimeEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomSpinEdit(owner, in_place, properties_class) {
  ControlStyle().Exclude(csSetCaption);
}

TDateTime TcxCustomTimeEdit::Time() {
  TDateTime t = Now();
  if (Focused()) {
    Variant v;
    DisplayToEditValue(CurrentDisplayText(), v, true);
    t = v.IsNull() || v.IsEmpty() ? 0 : v.AsDouble();
  } else {
    const Variant ev = ReadEditValue();
    if (ev.IsString()) {
      if (!TryFrameworkDateTime(VarToStr(ev), t)) t = 0;
    } else if (ev.IsNull() || ev.IsEmpty()) {
      t = 0;
    } else {
      t = ev.AsDouble();
    }
  }
  return std::fabs(t - std::trunc(t));
}

void TcxCustomTimeEdit::SetTime(TDateTime value) {
  const double frac = std::fabs(value - std::trunc(value));
  InternalSetEditValue(VarFromDateTime(DateSign(datePart_) * frac + datePart_), true);
}

Variant TcxCustomTimeEdit::GetIncrement(Integer kind) {
  const Integer part = TimeProperties()->TimePartAt(SelStart());
  if (part == tpkDesignator) {
    const double value = GetValue().AsDouble();
    return Variant(value >= kSecondsPerDay / 2 ? -kStepSeconds[3] : kStepSeconds[3]);
  }
  double step = kStepSeconds[part];
  if (kind >= cxSpinFastDown && part != tpkHour) step *= 10;
  return Variant(IsIncreasingSpinKind(kind) ? step : -step);
}

Variant TcxCustomTimeEdit::GetValue() {
  TcxCustomTimeEditProperties* p = TimeProperties();
  const std::u32string text = ToMaskChars(VarToStr(CurrentDisplayText()));
  auto number = [&](size_t at) {
    Integer n = 0;
    for (size_t i = at; i < at + 2 && i < text.size(); ++i)
      if (IsDigit(text[i])) n = n * 10 + Integer(text[i] - U'0');
    return n;
  };
  double seconds = (p->Use24HourFormat() ? number(0) : number(0) % 12) * 3600.0;
  if (p->TimeFormat() != tfHour) seconds += number(3) * 60.0;
  if (p->TimeFormat() == tfHourMinSec) seconds += number(6);
  if (!p->Use24HourFormat()) {
    const std::u32string pm = ToMaskChars(FormatSettings.TimePMString);
    if (!pm.empty() && text.size() >= pm.size() && text.compare(text.size() - pm.size(), pm.size(), pm) == 0)
      seconds += kSecondsPerDay / 2;
  }
  return Variant(seconds);
}

String TcxCustomTimeEdit::ValueToDisplayText(const Variant& v) {
  return TcxCustomSpinEdit::ValueToDisplayText(Variant(v.AsDouble() * 1000 / 86400000));
}

void TcxCustomTimeEdit::SetValue(const Variant& v) { SetTime(v.AsDouble() * 1000 / 86400000); }

bool TcxCustomTimeEdit::DoSpin(Integer kind) {
  TcxCustomTimeEditProperties* p = TimeProperties();
  const Integer caret = SelStart();
  const Integer part = p->TimePartAt(caret);
  Integer sel_start = 0, sel_length = 1;
  if (part == tpkDesignator) {
    const std::u32string text = ToMaskChars(VarToStr(CurrentDisplayText()));
    sel_start = 9 - 3 * Integer(p->TimeFormat()) - 1;
    while (sel_start < Integer(text.size()) && text[size_t(sel_start)] == U' ') ++sel_start;
    const bool after_noon = GetValue().AsDouble() >= kSecondsPerDay / 2;
    sel_length = CharCount(after_noon ? FormatSettings.TimeAMString : FormatSettings.TimePMString);
  } else {
    sel_start = part == tpkHour ? 1 : part == tpkMinute ? 4 : 7;
  }
  const bool changed = TcxCustomSpinEdit::DoSpin(kind);
  SelectRange(sel_start, sel_length);
  return changed;
}

void TcxCustomTimeEdit::DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool) {
  TcxCustomTimeEditProperties* p = TimeProperties();
  const std::u32string given = ToMaskChars(VarToStr(display_value));
  std::u32string text = given;
  if (!p->Use24HourFormat()) text = text.substr(0, size_t(std::min<Integer>(8 - 3 * Integer(p->TimeFormat()), Integer(text.size()))));
  if (text.size() == 2) text += U":00";
  if (!p->Use24HourFormat()) {
    const std::u32string rest = given.size() > text.size() ? given.substr(text.size()) : std::u32string();
    const std::u32string am = ToMaskChars(FormatSettings.TimeAMString);
    text += U' ';
    text += !am.empty() && rest.find(am) != std::u32string::npos ? am : ToMaskChars(FormatSettings.TimePMString);
  }
  TDateTime t = 0;
  try {
    if (!TryStrToTime(FromMaskChars(text), t)) t = 0;
  } catch (...) {
    t = 0;
  }
  const double v = DateSign(datePart_) * t + datePart_;
  edit_value = v != 0 ? VarFromDateTime(v) : Variant(0.0);
}

void TcxCustomTimeEdit::InternalSetEditValue(const Variant& value, bool validate) {
  Variant v = value;
  if ((validate && !TimeProperties()->IsEditValueValid(v, Focused())) || value.IsNull()) {
    datePart_ = 0;
  } else if (value.IsString()) {
    TDateTime t = 0;
    datePart_ = TryFrameworkDateTime(VarToStr(value), t) ? std::trunc(t) : 0;
  } else if (IsDateTimeVariant(value) || IsNumericOrBcdVariant(value)) {
    datePart_ = std::trunc(value.AsDouble());
  }
  TcxCustomSpinEdit::InternalSetEditValue(value, validate);
}

Variant TcxCustomTimeEdit::GetDisplayValue() {
  Variant v;
  DisplayToEditValue(CurrentDisplayText(), v, true);
  return v;
}

void TcxCustomTimeEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  if (!Focused()) DataBinding()->SynchronizeEditor();
  TcxCustomSpinEdit::PropertiesChanged(properties);
  SetSelStart(CharCount(VarToStr(CurrentDisplayText())));
}

bool ApplyTimePartChar(TcxCustomMaskEdit* edit, const TcxTimePartInfo& info, char32_t& key, Integer position) {
  const String before = VarToStr(edit->CurrentDisplayText());
  String text = before;
  Integer caret = edit->SelStart();
  const TcxTimeCharResult r = ValidateTimePartChar(text, position, key, caret, info);
  if (r == tcrConsumed || text != before) {
    edit->SetValidatedDisplayValue(Variant(text));
    edit->SetSelStartGuarded(caret);
  }
  return r == tcrAccepted;
}

bool TcxCustomTimeEdit::ValidateMaskChar(char32_t& c, Integer position) {
  TcxTimePartInfo info;
  return !TimeProperties()->TimePartInfo(position, info) || ApplyTimePartChar(this, info, c, position);
}

// ---- filter helper and unit start ---------------------------------------------------------------------

TClass TcxFilterTimeEditHelper::ValueEditClass() const { return TcxTimeEdit::StaticClass(); }

void InitializeCxTimeEdit() {
  InitUnit(
      "cxTimeEdit",
      [] {
        InitializeCxSpinEdit();
        RegisterClass(TcxTimeEdit::StaticClass());
        RegisterClass(TcxTimeEditProperties::StaticClass());
        RegisterClass(TcxEditRepositoryTimeItem::StaticClass());
        formatListener = new TTimeFormatListener;
        EditPropertiesRegistry()->AddDescribedClass(TcxTimeEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryTimeItem));
        FilterEditsController()->RegisterHelper(TcxTimeEditProperties::StaticClass(),
                                                TcxFilterTimeEditHelper::StaticClass());
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxTimeEditProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxTimeEditProperties::StaticClass(),
                                                  TcxFilterTimeEditHelper::StaticClass());
        delete formatListener;
        formatListener = nullptr;
      });
}
