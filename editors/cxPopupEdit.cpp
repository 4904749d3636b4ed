#include "editors/cxPopupEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Forms.h"

namespace {
const TcxResourceStringRec cxSEditCircularReference = {"cxSEditCircularReference",
                                                        "Circular referencing is not allowed"};
const TcxResourceStringRec scxSEditRepositoryPopupItem = {"scxSEditRepositoryPopupItem",
                                                           "PopupEdit|Represents an edit control with a dropdown list"};
}  // namespace

// ---- properties ------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomPopupEditProperties)

TcxCustomPopupEditProperties::TcxCustomPopupEditProperties(TPersistent* owner)
    : TcxCustomDropDownEditProperties(owner) {
  popupAutoSize_ = true;
  popupHeight_ = 200;
  popupMinHeight_ = 100;
  popupMinWidth_ = 100;
  popupSizeable_ = true;
  popupWidth_ = 250;
}

TcxCustomPopupEditProperties::~TcxCustomPopupEditProperties() {
  if (popupControl_ && FreeNotificator()) FreeNotificator()->UnwatchComponent(popupControl_);
}

void TcxCustomPopupEditProperties::Assign(TPersistent* source) {
  TcxCustomDropDownEditProperties::Assign(source);
  if (auto* s = dynamic_cast<TcxCustomPopupEditProperties*>(source)) SetPopupControl(s->PopupControl());
}

TClass TcxCustomPopupEditProperties::GetContainerClass() { return TcxCustomPopupEdit::StaticClass(); }

TClass TcxCustomPopupEditProperties::GetPopupWindowClass() { return TcxPopupEditPopupWindow::StaticClass(); }

void TcxCustomPopupEditProperties::ComponentFreed(TComponent* component) {
  TcxCustomDropDownEditProperties::ComponentFreed(component);
  if (component == popupControl_) popupControl_ = nullptr;
}

void TcxCustomPopupEditProperties::SetPopupControl(TControl* v) {
  if (v == popupControl_) return;
  if (popupControl_) FreeNotificator()->UnwatchComponent(popupControl_);
  popupControl_ = v;
  if (popupControl_) FreeNotificator()->WatchComponent(popupControl_);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPopupEditProperties) {
  using P = TcxPopupEditProperties;
  p.Object("PopupControl", &P::PopupControl, &P::SetPopupControl, TControl::StaticClass());
  p.Enum("PopupAlignment", &P::PopupAlignment, &P::SetPopupAlignment, AlignmentTypeInfo()).Default(taLeftJustify);
  p.Bool("PopupAutoSize", &P::PopupAutoSize, &P::SetPopupAutoSize).Default(true);
  p.Bool("PopupClientEdge", &P::PopupClientEdge, &P::SetPopupClientEdge).Default(false);
  p.Int("PopupHeight", &P::PopupHeight, &P::SetPopupHeight).Default(200);
  p.Int("PopupMinHeight", &P::PopupMinHeight, &P::SetPopupMinHeight).Default(100);
  p.Int("PopupMinWidth", &P::PopupMinWidth, &P::SetPopupMinWidth).Default(100);
  p.Bool("PopupSizeable", &P::PopupSizeable, &P::SetPopupSizeable).Default(true);
  p.Bool("PopupSysPanelStyle", &P::PopupSysPanelStyle, &P::SetPopupSysPanelStyle).Default(false);
  p.Int("PopupWidth", &P::PopupWidth, &P::SetPopupWidth).Default(250);
  p.Bool("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown).Default(true);
  p.Bool("ImmediatePopup", &P::ImmediatePopup, &P::SetImmediatePopup).Default(true);
  p.Bool("PostPopupValueOnTab", &P::PostPopupValueOnTab, &P::SetPostPopupValueOnTab).Default(false);
}

TcxPopupEditProperties::TcxPopupEditProperties(TPersistent* owner) : TcxCustomPopupEditProperties(owner) {
  immediateDropDown_ = true;
  immediatePopup_ = true;
}

KORVAN_IMPLEMENT_CLASS(TcxPopupEditPopupWindow)

// ---- editor ------------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomPopupEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPopupEdit) {
  p.Bool("BeepOnEnter", &TcxCustomTextEdit::BeepOnEnter, &TcxCustomTextEdit::SetBeepOnEnter).Default(true);
  p.Object("Properties", &TcxPopupEdit::Properties, &TcxPopupEdit::SetProperties, TcxPopupEditProperties::StaticClass());
  p.Str("Text", &TControl::Text, &TControl::SetText);
}

TcxCustomPopupEdit::TcxCustomPopupEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomDropDownEdit(owner, in_place, properties_class) {}

TcxCustomPopupEdit::~TcxCustomPopupEdit() {
  // The control survives on its own parent.
  if (DroppedDown()) RestorePopupControl();
}

bool TcxCustomPopupEdit::CanDropDown() { return EffectivePopupProperties()->PopupControl() != nullptr; }

TWinControl* TcxCustomPopupEdit::PopupFocusControl() {
  return dynamic_cast<TWinControl*>(EffectivePopupProperties()->PopupControl());
}

void TcxCustomPopupEdit::PopupContentSize(TSize& size) {
  TControl* c = EffectivePopupProperties()->PopupControl();
  size = c ? TSize(c->Width(), c->Height()) : TSize(0, 0);
}

void TcxCustomPopupEdit::PositionPopupContent(const TRect& r) {
  if (TControl* c = shownControl_) c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TcxCustomPopupEdit::DoInitPopup() {
  TControl* c = EffectivePopupProperties()->PopupControl();
  if (c) {
    // The popup may hold neither itself nor the editor or one of its parents.
    bool circular = c == PopupWindow();
    for (TWinControl* p = this; p && !circular; p = p->Parent()) circular = p == c;
    if (circular) throw EcxEditError(LoadReplaceableResString(cxSEditCircularReference));
  }
  TcxCustomDropDownEdit::DoInitPopup();
}

void TcxCustomPopupEdit::SavePopupControlState() {
  TControl* c = EffectivePopupProperties()->PopupControl();
  if (!c) return;
  savedAlign_ = c->Align();
  if (auto* form = dynamic_cast<TCustomForm*>(c)) {
    savedBorderStyle_ = form->BorderStyle();
    form->SetBorderStyle(bsNone);
  }
  savedBounds_ = c->BoundsRect();
  savedParent_ = c->Parent();
  savedVisible_ = c->Visible();
}

void TcxCustomPopupEdit::PositionPopupWindow() {
  TControl* c = EffectivePopupProperties()->PopupControl();
  if (c && shownControl_ != c) {
    SavePopupControlState();
    shownControl_ = c;
    c->SetParent(PopupWindow());
    c->SetVisible(true);
  }
  TcxCustomDropDownEdit::PositionPopupWindow();
  if (shownControl_) shownControl_->SetAlign(alClient);
}

void TcxCustomPopupEdit::RestorePopupControl() {
  TControl* c = shownControl_;
  shownControl_ = nullptr;
  if (!c || c != EffectivePopupProperties()->PopupControl()) return;
  c->SetVisible(false);
  if (PopupWindow()) PopupWindow()->SetActiveControl(nullptr);
  c->SetParent(savedParent_);
  c->SetAlign(savedAlign_);
  c->SetBounds(savedBounds_.Left, savedBounds_.Top, savedBounds_.Width(), savedBounds_.Height());
  if (auto* form = dynamic_cast<TCustomForm*>(c)) form->SetBorderStyle(savedBorderStyle_);
  c->SetVisible(savedVisible_);
}

void TcxCustomPopupEdit::PopupWindowClosed() {
  RestorePopupControl();
  TcxCustomDropDownEdit::PopupWindowClosed();
}

void TcxCustomPopupEdit::ClosePopupDeferred(Byte reason) {
  SetCloseUpReason(reason);
  if (PopupWindow() && PopupWindow()->HandleAllocated()) PostMessage(PopupWindow()->Handle(), DXM_CLOSEPOPUPWINDOW, 0, 0);
}

void InitializeCxPopupEdit() {
  InitUnit(
      "cxPopupEdit",
      [] {
        InitializeCxDropDownEdit();
        RegisterClass(TcxPopupEdit::StaticClass());
        RegisterClass(TcxPopupEditProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxPopupEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryPopupItem));
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxPopupEditProperties::StaticClass());
      });
}
