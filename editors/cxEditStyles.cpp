// The edit styles (the container style with the button and popup values) and the edit style
// controller.
#include "editors/cxEdit.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomEditStyle)
KORVAN_IMPLEMENT_CLASS(TcxEditStyle)
KORVAN_IMPLEMENT_CLASS(TcxEditStyleController)

namespace {
const char* const kEditStyleValueNames[] = {"ButtonStyle", "ButtonTransparency",
                                            "PopupBorderStyle", "GradientButtons"};
}

TcxCustomEditStyle::TcxCustomEditStyle(TPersistent* owner, bool detached,
                                       TcxContainerStyle* baseStyle, TcxContainerStyleState state)
    : TcxContainerStyle(owner, detached, baseStyle, state) {
  // The container's constructor could not reach this class's default controller.
  if (IsBaseStyle() && !detached) SetStyleController(DefaultStyleController());
}

TcxStyleController* TcxCustomEditStyle::DefaultStyleController() {
  if (Detached()) return nullptr;
  return DefaultEditStyleController();
}

void TcxCustomEditStyle::AssignFrom(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomEditStyle*>(source);
  if (!s) {
    TcxContainerStyle::AssignFrom(source);
    return;
  }
  BeginUpdate();
  buttonStyle_ = s->buttonStyle_;
  buttonTransparency_ = s->buttonTransparency_;
  gradientButtons_ = s->gradientButtons_;
  popupBorderStyle_ = s->popupBorderStyle_;
  popupCloseButton_ = s->popupCloseButton_;
  TcxContainerStyle::AssignFrom(source);
  NotifyChanged();
  EndUpdate();
}

bool TcxCustomEditStyle::StyleValueNameOf(Integer index, String& name) {
  if (index < 10) return TcxContainerStyle::StyleValueNameOf(index, name);
  name.clear();
  if (index >= cxEditStyleValueCount) return false;
  name = kEditStyleValueNames[index - 10];
  return true;
}

bool TcxCustomEditStyle::ReadStyleValue(Integer index) {
  TcxEditButtonStyle bs;
  TcxEditButtonTransparency bt;
  TcxEditPopupBorderStyle pb;
  bool b;
  switch (index) {
    case 10: return LookupButtonStyle(bs);
    case 11: return ParentEditStyle()->LookupButtonTransparency(bt);
    case 12: return ParentEditStyle()->LookupPopupBorderStyle(pb);
    case 13: return ParentEditStyle()->LookupGradientButtons(b);
    default: return TcxContainerStyle::ReadStyleValue(index);
  }
}

TcxCustomEditStyle* TcxCustomEditStyle::ControllerEditStyle() {
  TcxStyleController* controller = ActiveStyleController();
  if (!controller) return nullptr;
  return dynamic_cast<TcxCustomEditStyle*>(controller->StyleOfState(StyleState()));
}

template <class T>
bool TcxCustomEditStyle::LookupEditValue(TcxContainerStyleValue v, T TcxCustomEditStyle::*field,
                                         T& out, bool (TcxCustomEditStyle::*next)(T&)) {
  if (assignedValues_.Contains(v)) {
    out = this->*field;
    return true;
  }
  TcxCustomEditStyle* other = ControllerEditStyle();
  return other && other != this && (other->*next)(out);
}

bool TcxCustomEditStyle::LookupButtonStyle(TcxEditButtonStyle& v) {
  return LookupEditValue(svButtonStyle, &TcxCustomEditStyle::buttonStyle_, v,
                         &TcxCustomEditStyle::LookupButtonStyle);
}
bool TcxCustomEditStyle::LookupButtonTransparency(TcxEditButtonTransparency& v) {
  return LookupEditValue(svButtonTransparency, &TcxCustomEditStyle::buttonTransparency_, v,
                         &TcxCustomEditStyle::LookupButtonTransparency);
}
bool TcxCustomEditStyle::LookupPopupBorderStyle(TcxEditPopupBorderStyle& v) {
  return LookupEditValue(svPopupBorderStyle, &TcxCustomEditStyle::popupBorderStyle_, v,
                         &TcxCustomEditStyle::LookupPopupBorderStyle);
}
bool TcxCustomEditStyle::LookupGradientButtons(bool& v) {
  return LookupEditValue(svGradientButtons, &TcxCustomEditStyle::gradientButtons_, v,
                         &TcxCustomEditStyle::LookupGradientButtons);
}

// The effective value: own (detached: only own), else resolved, else the default operation.
template <class T>
T TcxCustomEditStyle::EditValue(TcxContainerStyleValue v, T TcxCustomEditStyle::*field,
                                bool (TcxCustomEditStyle::*lookup)(T&),
                                T (TcxCustomEditStyle::*default_value)()) {
  T out;
  if (Detached()) return assignedValues_.Contains(v) ? this->*field : (this->*default_value)();
  return (this->*lookup)(out) ? out : (this->*default_value)();
}

template <class T>
void TcxCustomEditStyle::SetEditValue(TcxContainerStyleValue v, T TcxCustomEditStyle::*field,
                                      T value) {
  if (assignedValues_.Contains(v) && this->*field == value) return;
  this->*field = value;
  assignedValues_.Include(v);
  NotifyChanged();
}

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() {
  return EditValue(svButtonStyle, &TcxCustomEditStyle::buttonStyle_,
                   &TcxCustomEditStyle::LookupButtonStyle, &TcxCustomEditStyle::DefaultButtonStyle);
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle value) {
  SetEditValue(svButtonStyle, &TcxCustomEditStyle::buttonStyle_, value);
}

// The base-only values live in the base style; a state style reads and writes them there.
TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() {
  return ParentEditStyle()->EditValue(svButtonTransparency, &TcxCustomEditStyle::buttonTransparency_,
                                      &TcxCustomEditStyle::LookupButtonTransparency,
                                      &TcxCustomEditStyle::DefaultButtonTransparency);
}

void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency value) {
  ParentEditStyle()->SetEditValue(svButtonTransparency, &TcxCustomEditStyle::buttonTransparency_, value);
}

TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() {
  return ParentEditStyle()->EditValue(svPopupBorderStyle, &TcxCustomEditStyle::popupBorderStyle_,
                                      &TcxCustomEditStyle::LookupPopupBorderStyle,
                                      &TcxCustomEditStyle::DefaultPopupBorderStyle);
}

void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle value) {
  ParentEditStyle()->SetEditValue(svPopupBorderStyle, &TcxCustomEditStyle::popupBorderStyle_, value);
}

bool TcxCustomEditStyle::GradientButtons() {
  return ParentEditStyle()->EditValue(svGradientButtons, &TcxCustomEditStyle::gradientButtons_,
                                      &TcxCustomEditStyle::LookupGradientButtons,
                                      &TcxCustomEditStyle::DefaultGradientButtons);
}

void TcxCustomEditStyle::SetGradientButtons(bool value) {
  ParentEditStyle()->SetEditValue(svGradientButtons, &TcxCustomEditStyle::gradientButtons_, value);
}

bool TcxCustomEditStyle::PopupCloseButton() { return ParentEditStyle()->popupCloseButton_; }

void TcxCustomEditStyle::SetPopupCloseButton(bool value) {
  TcxCustomEditStyle* base = ParentEditStyle();
  if (base->popupCloseButton_ == value) return;
  base->popupCloseButton_ = value;
  base->NotifyChanged();
}

TcxEditButtonStyle TcxCustomEditStyle::DefaultButtonStyle() {
  return IsBaseStyle() ? btsDefault : ParentEditStyle()->ButtonStyle();
}
TcxEditButtonTransparency TcxCustomEditStyle::DefaultButtonTransparency() {
  return IsBaseStyle() ? ebtNone : ParentEditStyle()->ButtonTransparency();
}
bool TcxCustomEditStyle::DefaultGradientButtons() {
  return IsBaseStyle() ? false : ParentEditStyle()->GradientButtons();
}
TcxEditPopupBorderStyle TcxCustomEditStyle::DefaultPopupBorderStyle() {
  return IsBaseStyle() ? epbsDefault : ParentEditStyle()->PopupBorderStyle();
}

TcxEditStyleController::TcxEditStyleController(TComponent* owner) : TcxStyleController(owner) {}
