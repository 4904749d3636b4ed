// The button group and radio group: items, the column layout, the value mapping, the view
// data and view info, and the group controls with their child radio buttons.
#include "editors/cxRadioGroup.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/cxContainer.h"
#include "foundation/dxThemeConsts.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "gdi/Gdi.h"
#include "rtl/TypInfo.h"
#include "vcl/ControlMessages.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxButtonGroupItem) {
  p.Str("Caption", &TcxButtonGroupItem::Caption, &TcxButtonGroupItem::SetCaption);
  p.Int("Tag", &TcxButtonGroupItem::Tag, &TcxButtonGroupItem::SetTag).Default(0);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxRadioGroupItem) {
  p.Var("Value", &TcxRadioGroupItem::Value, &TcxRadioGroupItem::SetValue).Stored(&TcxRadioGroupItem::IsValueStored);
}
KORVAN_IMPLEMENT_CLASS(TcxButtonGroupItems)
KORVAN_IMPLEMENT_CLASS(TcxRadioGroupItems)
KORVAN_IMPLEMENT_CLASS(TcxCustomButtonGroupProperties)
KORVAN_IMPLEMENT_CLASS(TcxCustomRadioGroupProperties)
KORVAN_IMPLEMENT_CLASS(TcxGroupButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxButtonGroupViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomRadioGroupViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxButtonGroupViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomRadioGroupViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomRadioGroupButton)
KORVAN_IMPLEMENT_CLASS(TcxCustomButtonGroup)
KORVAN_IMPLEMENT_CLASS(TcxCustomRadioGroup)

namespace {

const TcxResourceStringRec scxSEditRepositoryRadioGroupItem = {"scxSEditRepositoryRadioGroupItem",
                                                               "RadioGroup|Represents a group of radio buttons"};

TcxButtonState PainterStateOf(TcxEditButtonState s) {
  switch (s) {
    case ebsDisabled: return cxbsDisabled;
    case ebsPressed: return cxbsPressed;
    case ebsSelected: return cxbsHot;
    default: return cxbsNormal;
  }
}

TcxLookAndFeelKind KindOfButtonStyle(TcxEditButtonStyle s) {
  switch (s) {
    case btsFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

Integer CeilDiv(Integer a, Integer b) { return b <= 0 ? 0 : (a + b - 1) / b; }

}  // namespace

// ---- the radio button control ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxRadioButton) {
  p.Object("LookAndFeel", &TcxRadioButton::LookAndFeel, &TcxRadioButton::SetLookAndFeel,
           TcxLookAndFeel::StaticClass());
  p.Bool("ParentBackground", &TcxRadioButton::ParentBackground, &TcxRadioButton::SetParentBackground).Default(true);
  p.Bool("Transparent", &TcxRadioButton::Transparent, &TcxRadioButton::SetTransparent).Default(false);
}

TcxRadioButton::TcxRadioButton(TComponent* owner)
    : TRadioButton(owner),
      drawCanvas_(std::make_unique<TCanvas>()),
      lookAndFeel_(std::make_unique<TcxLookAndFeel>(this)) {
  ControlStyle().Include(csDoubleClicks);
  cxCanvas_ = std::make_unique<TcxCanvas>(drawCanvas_.get());
  SharedRadioButtonImages();
}

TcxRadioButton::~TcxRadioButton() { EndMouseTracking(this); }

void TcxRadioButton::SetTransparent(bool v) {
  if (transparent_ == v) return;
  transparent_ = v;
  Invalidate();
}

void TcxRadioButton::SetCxPopupMenu(TComponent* v) {
  if (v && !dynamic_cast<TPopupMenu*>(v) && !dynamic_cast<IcxPopupMenu*>(v)) v = nullptr;
  if (v == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = v;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TcxRadioButton::Notification(TComponent* c, TOperation op) {
  TRadioButton::Notification(c, op);
  if (op == opRemove && c == popupMenu_) popupMenu_ = nullptr;
}

void TcxRadioButton::AdjustCaptionRect(TRect& r, bool native) {
  Integer l, t, rr, b = 0;
  if (IsInplace()) {
    if (native) { l = 3; t = 0; rr = 0; }
    else { l = 5; t = 0; rr = 1; }
  } else {
    const bool left = Alignment() == taLeftJustify;
    t = -1;
    if (!native) {
      if (left) { l = WordWrap() ? 5 : 2; rr = WordWrap() ? 0 : 1; }
      else { l = WordWrap() ? 5 : 2; rr = WordWrap() ? 2 : 6; }
    } else {
      if (left) { l = WordWrap() ? 3 : 0; rr = WordWrap() ? 0 : 1; }
      else { l = WordWrap() ? 3 : 0; rr = WordWrap() ? 0 : 3; }
    }
  }
  r = TRect(r.Left + l, r.Top + t, r.Right - rr, r.Bottom - b);
}

bool TcxRadioButton::ShowPopupMenuAt(TComponent* menu, Integer x, Integer y) {
  return InvokePopupMenu(this, menu, x, y);
}

void TcxRadioButton::PaintBackground() {
  if (!HasTransparentBackground()) cxCanvas_->FillRectColor(ClientRect(), Color());
}

bool TcxRadioButton::UsesParentBackground() {
  return IsNativeStyle() && parentBackground_ && !IsInplace() && !transparent_;
}

bool TcxRadioButton::IsNativeStyle() { return CanPaintNatively(lookAndFeel_->NativeStyle(), tcButton); }

void TcxRadioButton::UpdateButtonState(Integer button, TShiftState shift, const TPoint& p) {
  Byte state;
  const bool inside = TRect(0, 0, Width(), Height()).Contains(p);
  if (!Enabled()) state = cxrbsDisabled;
  else if (ComponentState().Contains(csDesigning)) state = cxrbsNormal;
  else if (HandleAllocated() && GetCapture() == Handle()) state = inside ? cxrbsPressed : cxrbsHot;
  else state = inside && shift.Empty() && button == 0 ? cxrbsHot : cxrbsNormal;
  if (state == state_) return;
  state_ = state;
  if (HandleAllocated()) {
    RECT r = TRect(buttonRect_.Left - 1, buttonRect_.Top - 1, buttonRect_.Right + 1, buttonRect_.Bottom + 1);
    InvalidateRect(Handle(), &r, false);
  }
}

void TcxRadioButton::RefreshStateAtCursor() {
  if (!HandleAllocated()) return;
  TPoint p;
  ReadCursorPos(p);
  UpdateButtonState(0, CurrentShiftState() * TShiftState{ssShift, ssAlt, ssCtrl}, ScreenToClient(p));
}

void TcxRadioButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxRadioButton> self(this);
  TRadioButton::MouseDown(button, shift, x, y);
  if (self) UpdateButtonState(MapMouseButton(button), shift, TPoint(x, y));
}

void TcxRadioButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxRadioButton> self(this);
  TRadioButton::MouseUp(button, shift, x, y);
  if (self) UpdateButtonState(MapMouseButton(button), shift, TPoint(x, y));
}

void TcxRadioButton::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxRadioButton> self(this);
  TRadioButton::MouseMove(shift, x, y);
  if (!self) return;
  UpdateButtonState(0, shift, TPoint(x, y));
  BeginMouseTracking(this, TRect(0, 0, Width(), Height()), this);
}

void TcxRadioButton::MouseLeave() {
  UpdateButtonState(0, {}, TPoint(-1, -1));
  EndMouseTracking(this);
}

void TcxRadioButton::CMMouseEnter(TMessage& m) {
  TRadioButton::CMMouseEnter(m);
  RefreshStateAtCursor();
  if (HandleAllocated()) BeginMouseTracking(this, TRect(0, 0, Width(), Height()), this);
}

void TcxRadioButton::CMMouseLeave(TMessage& m) {
  TRadioButton::CMMouseLeave(m);
  MouseLeave();
}

void TcxRadioButton::CMEnabledChanged(TMessage& m) {
  TRadioButton::CMEnabledChanged(m);
  RefreshStateAtCursor();
  if (!Enabled()) UpdateButtonState(0, {}, TPoint(-1, -1));
  Invalidate();
}

void TcxRadioButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case CM_SYSCOLORCHANGE: Invalidate(); break;
    case CN_BASE + WM_KEYDOWN:
    case CN_BASE + WM_SYSKEYDOWN:
      if (popupMenu_ && MenuHandlesShortCut(popupMenu_, *reinterpret_cast<TWMKey*>(&m))) {
        m.Result = 1;
        return;
      }
      break;
  }
  TRadioButton::Dispatch(m);
}

void TcxRadioButton::WMContextMenu(TMessage& m) {
  if (m.Result != 0) return;
  TPoint p(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
  const bool keyboard = p.X == -1 && p.Y == -1;
  if (!keyboard && !TRect(0, 0, Width(), Height()).Contains(ScreenToClient(p))) {
    TRadioButton::WMContextMenu(m);
    return;
  }
  bool handled = false;
  DoContextPopup(keyboard ? TPoint(-1, -1) : ScreenToClient(p), handled);
  m.Result = handled ? 1 : 0;
  if (!handled) TRadioButton::WMContextMenu(m);
}

void TcxRadioButton::DoContextPopup(TPoint mouse_pos, bool& handled) {
  TRadioButton::DoContextPopup(mouse_pos, handled);
  if (handled) return;
  if (mouse_pos.X == -1 && mouse_pos.Y == -1) mouse_pos = TPoint(0, 0);
  const TPoint s = ClientToScreen(mouse_pos);
  handled = ShowPopupMenuAt(popupMenu_, s.X, s.Y);
}

void TcxRadioButton::DoEnter() {
  TRadioButton::DoEnter();
  if (!Checked() && !ClicksDisabled()) {
    SetClicksDisabled(true);
    SetChecked(true);
    SetClicksDisabled(false);
    if (!ComponentState().Contains(csLoading)) Click();
  }
}

void TcxRadioButton::CreateParams(TCreateParams& params) {
  TRadioButton::CreateParams(params);
  params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TcxRadioButton::CreateWnd() {
  TRadioButton::CreateWnd();
  RefreshStateAtCursor();
}

void TcxRadioButton::BMSetCheck(TMessage& m) {
  TRadioButton::BMSetCheck(m);
  if (HandleAllocated()) {
    RECT r = buttonRect_;
    InvalidateRect(Handle(), &r, false);
  }
}

void TcxRadioButton::CNDrawItem(TMessage& m) {
  if (ComponentState().Contains(csDestroying)) return;
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  drawCanvas_->SetHandle(dis->hDC);
  try {
    PaintButton();
  } catch (...) {
    drawCanvas_->SetHandle(nullptr);
    throw;
  }
  drawCanvas_->SetHandle(nullptr);
}

void TcxRadioButton::PaintButton() {
  TcxCanvas* canvas = cxCanvas_.get();
  const TRect bounds(0, 0, Width(), Height());
  const bool native = IsNativeStyle();
  if (!IsTransparent() && native) PaintBackground();
  TcxCustomLookAndFeelPainterClass painter = PainterForLookAndFeel(native, lookAndFeel_->Kind());
  const TSize size = painter->RadioButtonExtent();
  const Integer top = (Height() - size.cy) / 2;
  const bool captionRight = Alignment() == taRightJustify;
  const Integer left = captionRight ? (native || IsInplace() ? 0 : 1) : Width() - size.cx;
  buttonRect_ = TRect(left, top, left + size.cx, top + size.cy);
  TcxButtonState state;
  switch (state_) {
    case cxrbsDisabled: state = cxbsDisabled; break;
    case cxrbsHot: state = cxbsHot; break;
    case cxrbsPressed: state = cxbsPressed; break;
    default: state = cxbsNormal;
  }
  if (!Enabled()) state = cxbsDisabled;
  canvas->PushDeviceState();
  if (!native && !IsTransparent()) {
    // The background goes first under the glyph too (the painter draws on it).
    canvas->FillRectColor(buttonRect_, Color());
  }
  painter->PaintRadioButton(canvas, buttonRect_.Left, buttonRect_.Top, state, Checked(), Focused(),
                            HasTransparentBackground() ? clNone : Color(),
                            ComponentState().Contains(csDesigning));
  canvas->ExcludeFromClip(buttonRect_);
  if (!native) PaintBackground();
  // The caption.
  canvas->ApplyFont(Font());
  const bool inner = dynamic_cast<TcxCustomRadioGroupButton*>(this) != nullptr;
  if (!Enabled() && !inner) canvas->CurrentFont()->SetColor(clBtnShadow);
  TRect r = captionRight ? TRect(buttonRect_.Right, 0, Width(), Height()) : TRect(0, 0, buttonRect_.Left, Height());
  AdjustCaptionRect(r, native);
  const TcxTextFlags flags = WordWrap() ? ctfLeft | ctfVCenter | ctfNoClip | ctfShowPrefix | ctfWordBreak
                                        : ctfLeft | ctfVCenter | ctfSingleLine | ctfShowPrefix;
  canvas->CurrentBrush()->SetStyle(bsClear);
  canvas->OutputText(Caption(), r, flags, inner || native || Enabled());
  canvas->CurrentBrush()->SetStyle(bsSolid);
  if (Focused() && !Caption().empty()) {
    TRect m = r;
    canvas->MeasureTextRect(Caption(), m, flags);
    TRect f(m.Left - 1, m.Top - 1, m.Right + 1, m.Bottom + 2);
    if (IsInplace()) {
      f.Top = std::max<Integer>(f.Top, 1);
      f.Bottom = std::min<Integer>(f.Bottom, Height() - 1);
      f.Right = std::min<Integer>(f.Right, Width());
    } else {
      f = TRect(std::max(f.Left, 0), std::max(f.Top, 0), std::min(f.Right, Width()), std::min(f.Bottom, Height()));
      if (!captionRight) f.Right = std::min(f.Right, buttonRect_.Left);
    }
    canvas->SetBrushColor(Color());
    canvas->DrawFocusFrame(f);
  }
  canvas->PopDeviceState();
}

// ---- items ---------------------------------------------------------------------------------------------------

TcxButtonGroupItem::TcxButtonGroupItem(TCollection* collection) : TCollectionItem(nullptr) {
  if (!collection) return;
  auto* items = dynamic_cast<TcxButtonGroupItems*>(collection);
  if (items) items->SetItemMoving(true);
  collection->BeginUpdate();
  SetCollection(collection);
  collection->EndUpdate();
  if (!items) return;
  items->SetItemMoving(false);
  items->ReportItemChange(Index(), cxbgItemAdded);
}

TcxButtonGroupItem::~TcxButtonGroupItem() {
  auto* items = dynamic_cast<TcxButtonGroupItems*>(Collection());
  if (!items) return;
  const Integer index = items->Destroying() ? -1 : Index();
  items->SetItemMoving(true);
  items->BeginUpdate();
  SetCollection(nullptr);
  items->EndUpdate();
  items->SetItemMoving(false);
  if (!items->Destroying()) items->ReportItemChange(index, cxbgItemDeleted);
}

void TcxButtonGroupItem::ReportChanged() {
  if (auto* items = dynamic_cast<TcxButtonGroupItems*>(Collection())) items->ReportItemChange(Index(), cxbgItemChanged);
}

void TcxButtonGroupItem::SetCaption(const String& v) {
  if (caption_ == v) return;
  caption_ = v;
  ReportChanged();
}

void TcxButtonGroupItem::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  ReportChanged();
}

void TcxButtonGroupItem::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxButtonGroupItem*>(source);
  if (!src) {
    TCollectionItem::Assign(source);
    return;
  }
  SetCaption(src->caption_);
  SetEnabled(src->enabled_);
  tag_ = src->tag_;
}

void TcxRadioGroupItem::Assign(TPersistent* source) {
  if (auto* src = dynamic_cast<TcxRadioGroupItem*>(source)) SetValue(src->value_);
  TcxButtonGroupItem::Assign(source);
}

void TcxRadioGroupItem::SetValue(const Variant& v) {
  if (VariantsEqualStrict(value_, v)) return;
  value_ = v;
  ReportChanged();
}

TcxButtonGroupItems::TcxButtonGroupItems(TPersistent* owner, TCollectionItemClass item_class)
    : TOwnedCollection(owner, item_class) {}

TcxButtonGroupItems::~TcxButtonGroupItems() {
  destroying_ = true;
  Clear();
}

void TcxButtonGroupItems::ReportItemChange(Integer index, Byte action) {
  auto* props = dynamic_cast<TcxCustomEditProperties*>(Owner());
  if (!props || destroying_ || props->IsLockedOrUpdating()) {
    if (props && props->IsLockedOrUpdating() && !destroying_) props->NotifyPropertiesChanged();
    return;
  }
  changedIndex_ = index;
  changeAction_ = action;
  changing_ = true;
  try {
    props->NotifyPropertiesChanged();
  } catch (...) {
    changing_ = false;
    throw;
  }
  changing_ = false;
}

void TcxButtonGroupItems::Update(TCollectionItem* item) {
  TOwnedCollection::Update(item);
  // An item being added or removed reports itself with its index.
  if (destroying_ || itemMoving_) return;
  if (auto* props = dynamic_cast<TcxCustomEditProperties*>(Owner())) props->NotifyPropertiesChanged();
}

// ---- properties ------------------------------------------------------------------------------------------------

TcxCustomButtonGroupProperties::TcxCustomButtonGroupProperties(TPersistent* owner)
    : TcxCustomGroupBoxProperties(owner),
      items_(std::make_unique<TcxButtonGroupItems>(this, TcxButtonGroupItem::StaticClass())) {}

TcxCustomButtonGroupProperties::~TcxCustomButtonGroupProperties() {
  BeginUpdate();
  items_.reset();
  EndUpdate(false);
}

TcxButtonGroupItems* TcxCustomButtonGroupProperties::CreateItems() {
  return new TcxButtonGroupItems(this, TcxButtonGroupItem::StaticClass());
}

void TcxCustomButtonGroupProperties::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxCustomButtonGroupProperties*>(source);
  BeginUpdate();
  try {
    TcxCustomGroupBoxProperties::Assign(source);
    if (src) {
      SetColumns(src->columns_);
      items_->Assign(src->items_.get());
      SetWordWrap(src->wordWrap_);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomButtonGroupProperties::SetColumns(Integer v) {
  v = std::max<Integer>(v, 1);
  if (columns_ == v) return;
  columns_ = v;
  NotifyPropertiesChanged();
}

void TcxCustomButtonGroupProperties::SetWordWrap(bool v) {
  if (wordWrap_ == v) return;
  wordWrap_ = v;
  NotifyPropertiesChanged();
}

Integer TcxCustomButtonGroupProperties::GetColumnCount() {
  const Integer count = items_->Count();
  Integer c = std::min(columns_, count);
  if (count == 0) return c;
  if (c == 0) c = 1;
  const Integer r = CeilDiv(count, c);
  return CeilDiv(count, r);
}

// Without items there are no rows (and no division by a zero column count).
Integer TcxCustomButtonGroupProperties::RowCount() {
  const Integer cols = GetColumnCount();
  return cols <= 0 ? 0 : CeilDiv(items_->Count(), cols);
}

TcxCustomEditViewData* TcxCustomButtonGroupProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                      bool hide_display_text) {
  // The button group itself is abstract: its cells lay out as radio buttons.
  auto* data = new TcxCustomRadioGroupViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomButtonGroupProperties::CreateViewInfo() { return new TcxCustomRadioGroupViewInfo(); }

TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties(TPersistent* owner)
    : TcxCustomButtonGroupProperties(owner) {
  ReplaceItems(new TcxRadioGroupItems(this, TcxRadioGroupItem::StaticClass()));
}

TcxButtonGroupItems* TcxCustomRadioGroupProperties::CreateItems() {
  return new TcxRadioGroupItems(this, TcxRadioGroupItem::StaticClass());
}

void TcxCustomRadioGroupProperties::Assign(TPersistent* source) {
  BeginUpdate();
  try {
    TcxCustomButtonGroupProperties::Assign(source);
    if (auto* src = dynamic_cast<TcxCustomRadioGroupProperties*>(source)) {
      SetDefaultCaption(src->defaultCaption_);
      SetDefaultValue(src->defaultValue_);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TClass TcxCustomRadioGroupProperties::GetContainerClass() { return TcxRadioGroup::StaticClass(); }

Integer TcxCustomRadioGroupProperties::GetColumnCount() {
  return std::max<Integer>(1, std::min(Columns(), Items()->Count()));
}

Integer TcxCustomRadioGroupProperties::IndexOfValue(const Variant& value) {
  TcxRadioGroupItems* items = Items();
  for (Integer i = 0; i < items->Count(); ++i) {
    TcxRadioGroupItem* item = items->Item(i);
    if (item->Value().IsNull()) {
      if (!value.IsNull() && !value.IsEmpty() && VarToStr(value) == item->Caption()) return i;
    } else if (SameVariantValues(value, item->Value())) {
      return i;
    }
  }
  return -1;
}

Variant TcxCustomRadioGroupProperties::ValueOfIndex(Integer index) {
  if (index < 0 || index >= Items()->Count()) return defaultValue_;
  TcxRadioGroupItem* item = Items()->Item(index);
  return item->Value().IsNull() ? Variant(item->Caption()) : item->Value();
}

String TcxCustomRadioGroupProperties::ValueToDisplayText(const Variant& edit_value, bool, bool) {
  const Integer i = IndexOfValue(edit_value);
  return i < 0 ? defaultCaption_ : Items()->Item(i)->Caption();
}

void TcxCustomRadioGroupProperties::SetDefaultCaption(const String& v) {
  if (defaultCaption_ == v) return;
  defaultCaption_ = v;
  NotifyPropertiesChanged();
}

void TcxCustomRadioGroupProperties::SetDefaultValue(const Variant& v) {
  if (VariantsEqualStrict(defaultValue_, v)) return;
  defaultValue_ = v;
  NotifyPropertiesChanged();
}

TcxCustomEditViewData* TcxCustomRadioGroupProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                     bool hide_display_text) {
  return TcxCustomButtonGroupProperties::CreateViewData(style, is_inplace, hide_display_text);
}

TcxCustomEditViewInfo* TcxCustomRadioGroupProperties::CreateViewInfo() { return new TcxCustomRadioGroupViewInfo(); }

// ---- view data ---------------------------------------------------------------------------------------------------

UINT TcxButtonGroupViewData::GetButtonDrawTextFlags() {
  return (PaintOptions & 2) && GroupProperties()->WordWrap() ? 1697 : 609;
}

bool TcxButtonGroupViewData::IsButtonNativeStyle() {
  return Style && CanPaintNatively(Style->LookAndFeel()->NativeStyle(), tcButton);
}

void TcxButtonGroupViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                               Integer button, TShiftState shift, TcxCustomEditViewInfo* view_info,
                                               bool is_mouse_event) {
  TcxGroupBoxViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info, is_mouse_event);
  auto* vi = static_cast<TcxButtonGroupViewInfo*>(view_info);
  vi->DrawTextFlags = Integer(GetButtonDrawTextFlags());
  vi->CaptionExtent = GetCaptionExtent();
}

void TcxButtonGroupViewData::InitButtons(TcxButtonGroupViewInfo* vi) {
  TcxEditButtonStyle style;
  if (IsInplace) {
    switch (Style ? Style->LookAndFeel()->Kind() : lfStandard) {
      case lfFlat: style = btsFlat; break;
      case lfUltraFlat: style = btsUltraFlat; break;
      case lfOffice11: style = btsOffice11; break;
      default: style = bts3D;
    }
  } else {
    const TcxEditBorderStyle own = Style ? Style->BorderStyle() : ebsNone;
    if (own == ebsUltraFlat) style = btsUltraFlat;
    else if (own == ebsOffice11) style = btsOffice11;
    else
      switch (vi->EditBorderStyle) {
        case ebsSingle: case ebsThick: case ebsFlat: style = btsFlat; break;
        case ebsUltraFlat: style = btsUltraFlat; break;
        case ebsOffice11: style = btsOffice11; break;
        default: style = bts3D;
      }
  }
  const Integer rows = GroupProperties()->RowCount();
  for (size_t i = 0; i < vi->Buttons.size(); ++i) {
    auto* b = vi->GroupButton(Integer(i));
    b->Style = style;
    b->Index = Integer(i);
    b->Caption = GroupProperties()->Items()->Item(Integer(i))->Caption();
    b->Column = rows > 0 ? Integer(i) / rows : 0;
    b->Row = rows > 0 ? Integer(i) % rows : 0;
  }
}

void TcxButtonGroupViewData::CalculateButtonPositions(TcxCanvas* canvas, TcxButtonGroupViewInfo* vi) {
  TRect e;
  CalculateEditRect(canvas, vi, e);
  const Integer cols = GroupProperties()->GetColumnCount(), rows = GroupProperties()->RowCount();
  if (cols <= 0 || rows <= 0) return;
  TcxButtonGroupMetrics m;
  GetButtonMetrics(false, canvas, m);
  const TRect& b = Bounds;
  const Integer width = (b.Width() - e.Left - e.Right + m.WidthCorrection - (cols - 1) * m.ColumnSpacing) / cols;
  const Integer avail = b.Height() - e.Top - e.Bottom;
  const Integer height = avail / rows;
  const Integer top0 = b.Top + e.Top + (avail % rows) / 2;
  for (size_t i = 0; i < vi->Buttons.size(); ++i) {
    auto* btn = vi->GroupButton(Integer(i));
    const Integer left = b.Left + e.Left + (width + m.ColumnSpacing) * btn->Column + m.LeftMargin;
    btn->Bounds = ::Bounds(left, top0 + btn->Row * height, width, height);
    btn->VisibleBounds = btn->Bounds;
  }
}

void TcxButtonGroupViewData::CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect&, const TPoint& p,
                                                      Integer button, TShiftState shift,
                                                      TcxCustomEditViewInfo* view_info, bool) {
  auto* vi = static_cast<TcxButtonGroupViewInfo*>(view_info);
  const Integer count = GroupProperties()->Items()->Count();
  vi->Buttons.clear();
  for (Integer i = 0; i < count; ++i) vi->Buttons.push_back(std::make_unique<TcxGroupButtonViewInfo>());
  vi->PressedButton = vi->HotButton = -1;
  if (count == 0) return;
  InitButtons(vi);
  CalculateButtonPositions(canvas, vi);
  const bool native = IsButtonNativeStyle();
  const TcxEditButtonTransparency transparency = Style ? Style->ButtonTransparency() : ebtNone;
  TColor background, text;
  GetColorSettings(background, text);
  for (Integer i = 0; i < count; ++i) {
    auto* b = vi->GroupButton(i);
    b->NativeStyle = native;
    b->Transparent = transparency == ebtAlways || (transparency == ebtInactive && !ActiveOrHot);
    b->BackgroundColor = background;
    if (!Enabled) b->State = ebsDisabled;
    else if (b->Bounds.Contains(p)) {
      if (shift.Contains(ssLeft) && (button == 1 || CapturedButton == i)) {
        b->State = ebsPressed;
        vi->PressedButton = i;
      } else {
        b->State = ebsSelected;
        vi->HotButton = i;
      }
    } else {
      b->State = ebsNormal;
    }
    CalculateButtonNativeState(vi, b);
  }
}

void TcxButtonGroupViewData::CalculateEditSizeForValue(TcxCanvas* canvas, const TcxEditSizeProperties& request,
                                                       TSize&, TcxCustomEditViewInfo* view_info, TSize& size) {
  TcxCustomButtonGroupProperties* props = GroupProperties();
  if (TFont* font = StyleFont()) canvas->ApplyFont(font);
  TSize borders;
  GetBorderSizes(borders);
  const Integer line = canvas->MeasureTextHeight("Zg") + borders.cy;
  const Integer count = props->Items()->Count();
  if (count == 0) {
    size = TSize(request.Width > 0 ? request.Width : 0, line);
    return;
  }
  const Integer cols = props->GetColumnCount(), rows = props->RowCount();
  TcxButtonGroupMetrics m;
  GetButtonMetrics(true, canvas, m);
  if (request.Width > 0) {
    const Integer columnWidth = std::max<Integer>(
        1, (request.Width - InplaceEditContentOffsets.Left - InplaceEditContentOffsets.Right + m.SizeWidthCorrection -
            (cols - 1) * m.ColumnSpacing) / cols - m.GlyphSize.cx - m.GlyphTextGap);
    Integer rowHeight = line;
    if (props->WordWrap())
      for (Integer i = 0; i < count; ++i) {
        const String caption = props->Items()->Item(i)->Caption();
        if (caption.empty()) continue;
        TRect r(0, 0, columnWidth, 0);
        canvas->Canvas()->DrawText(caption, r, DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
        rowHeight = std::max(rowHeight, r.Height() + borders.cy);
      }
    Integer height = rowHeight * rows;
    if (!IsInplace) {
      TRect e;
      std::unique_ptr<TcxCustomEditViewInfo> temp(view_info ? nullptr : Properties->CreateViewInfo());
      CalculateEditRect(canvas, view_info ? view_info : temp.get(), e);
      height += e.Top + e.Bottom;
    }
    size = TSize(request.Width, height);
    return;
  }
  Integer widest = 0;
  for (Integer i = 0; i < count; ++i)
    widest = std::max(widest, canvas->MeasureTextWidth(StripAccelChars(props->Items()->Item(i)->Caption())));
  size.cx = (widest + m.GlyphTextGapWide + m.GlyphSize.cx) * cols + (cols - 1) * m.ColumnSpacing + m.SizeMargin;
  size.cy = std::max(m.GlyphSize.cy, line) * rows;
}

void TcxCustomRadioGroupViewData::GetButtonMetrics(bool with_sizes, TcxCanvas*, TcxButtonGroupMetrics& m) {
  const Integer inplace = IsInplace ? 1 : 0;
  m.LeftMargin = 6 - 5 * inplace;
  m.WidthCorrection = 4 * inplace - 6;
  m.ColumnSpacing = 0;
  if (!with_sizes) return;
  const bool native = IsButtonNativeStyle();
  m.GlyphSize = PainterForLookAndFeel(native, Style ? Style->LookAndFeel()->Kind() : lfStandard)->RadioButtonExtent();
  m.GlyphTextGapWide = native ? 5 : 7;
  m.GlyphTextGap = native ? 1 : 3;
  m.SizeMargin = 6 - 5 * inplace;
  m.SizeWidthCorrection = inplace - 6;
}

void TcxCustomRadioGroupViewData::CalculateButtonNativeState(TcxButtonGroupViewInfo* view_info,
                                                             TcxGroupButtonViewInfo* b) {
  if (!b->NativeStyle) return;
  auto* vi = static_cast<TcxCustomRadioGroupViewInfo*>(view_info);
  const bool selected = vi->ItemIndex == b->Index;
  Integer id;
  switch (b->State) {
    case ebsDisabled: id = 4; break;
    case ebsPressed: id = 3; break;
    case ebsSelected: id = 2; break;
    default: id = 1;
  }
  b->NativePart = BP_RADIOBUTTON;
  b->NativeState = selected ? id + 4 : id;
  b->PartiallyTransparent = UxIsThemeBackgroundPartiallyTransparent(OpenThemeCached(tcButton), BP_RADIOBUTTON, b->NativeState);
}

void TcxCustomRadioGroupViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                                    Integer button, TShiftState shift,
                                                    TcxCustomEditViewInfo* view_info, bool is_mouse_event) {
  auto* vi = static_cast<TcxCustomRadioGroupViewInfo*>(view_info);
  vi->ButtonAlignment = taRightJustify;
  TcxButtonGroupViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info, is_mouse_event);
  const bool native = IsButtonNativeStyle();
  vi->GlyphSize =
      PainterForLookAndFeel(native, Style ? Style->LookAndFeel()->Kind() : lfStandard)->RadioButtonExtent();
  vi->SetFillColor(vi->FillColor);
}

void TcxCustomRadioGroupViewData::FillDisplayText(TcxCanvas*, const Variant& edit_value,
                                                  TcxCustomEditViewInfo* view_info) {
  auto* vi = static_cast<TcxCustomRadioGroupViewInfo*>(view_info);
  vi->ItemIndex = HideDisplayText ? 0 : RadioProperties()->IndexOfValue(edit_value);
  vi->PaintOptions |= PaintOptions & 2;
  for (size_t i = 0; i < vi->Buttons.size(); ++i) CalculateButtonNativeState(vi, vi->GroupButton(Integer(i)));
}

// ---- view info -----------------------------------------------------------------------------------------------------

TRect TcxGroupButtonViewInfo::GlyphBoundsFor(const TSize& glyph, TAlignment alignment, bool paint_copy) {
  const Integer top = Bounds.Top + (Bounds.Height() - glyph.cy) / 2;
  TRect r = alignment == taRightJustify ? Rect(Bounds.Left, top, Bounds.Left + glyph.cx, top + glyph.cy)
                                        : Rect(Bounds.Right - glyph.cx, top, Bounds.Right, top + glyph.cy);
  if (paint_copy && !NativeStyle) r = TRect(r.Left + 1, r.Top, r.Right + 1, r.Bottom);
  return r;
}

void TcxButtonGroupViewInfo::DrawEditor(TcxCanvas* canvas) {
  TcxGroupBoxViewInfo::DrawEditor(canvas);
  // The buttons are painted here for cells and copies; a standalone group has child buttons.
  if (InPlace || PaintCopy || !Edit)
    for (size_t i = 0; i < Buttons.size(); ++i) PaintButtonAt(canvas, Integer(i));
}

void TcxButtonGroupViewInfo::PaintButtonAt(TcxCanvas* canvas, Integer index) {
  TcxGroupButtonViewInfo* b = GroupButton(index);
  const TRect glyph = b->GlyphBoundsFor(GlyphSize, ButtonAlignment, PaintCopy);
  if (!PaintCopy && !IsBackgroundTransparent()) {
    canvas->PushDeviceState();
    if (!IsButtonGlyphTransparent(b)) canvas->ExcludeFromClip(glyph);
    canvas->FillRectColor(b->Bounds, FillColor);
    canvas->PopDeviceState();
  }
  DrawButtonGlyph(canvas, b, glyph);
  DrawButtonCaption(canvas, b, glyph);
}

bool TcxCustomRadioGroupViewInfo::IsButtonGlyphTransparent(TcxGroupButtonViewInfo* b) {
  return IsBackgroundTransparent() || (b->NativeStyle && b->PartiallyTransparent);
}

void TcxCustomRadioGroupViewInfo::DrawButtonGlyph(TcxCanvas* canvas, TcxGroupButtonViewInfo* b, const TRect& glyph) {
  canvas->PushDeviceState();
  canvas->IntersectClip(b->Bounds);
  if (b->NativeStyle && CanPaintNatively(true, tcButton)) {
    UxDrawThemeBackground(OpenThemeCached(tcButton), canvas->DeviceContext(), BP_RADIOBUTTON, b->NativeState, glyph,
                          glyph);
  } else {
    PainterForLookAndFeel(false, KindOfButtonStyle(b->Style))
        ->PaintRadioButton(canvas, glyph.Left, glyph.Top, PainterStateOf(b->State), b->Index == ItemIndex, false,
                           IsBackgroundTransparent() ? clNone : b->BackgroundColor, DesignMode);
  }
  canvas->PopDeviceState();
}

void TcxCustomRadioGroupViewInfo::DrawButtonCaption(TcxCanvas* canvas, TcxGroupButtonViewInfo* b,
                                                    const TRect& glyph) {
  if (Font) canvas->ApplyFont(Font);
  canvas->CurrentFont()->SetColor(TextColor);
  PrepareCanvasFont(canvas);
  TRect r = ButtonAlignment == taRightJustify ? TRect(glyph.Right, b->Bounds.Top, b->Bounds.Right, b->Bounds.Bottom)
                                              : TRect(b->Bounds.Left, b->Bounds.Top, glyph.Left, b->Bounds.Bottom);
  r = b->NativeStyle ? TRect(r.Left + 3, r.Top - 1, r.Right, r.Bottom + 1) : TRect(r.Left + 5, r.Top, r.Right - 1, r.Bottom);
  if (PaintCopy) {
    --r.Top;
    --r.Bottom;
  }
  // DrawTextFlags hold the canvas text flags (ctf...).
  canvas->CurrentBrush()->SetStyle(bsClear);
  canvas->OutputText(b->Caption, r, TcxTextFlags(DrawTextFlags), true);
  canvas->CurrentBrush()->SetStyle(bsSolid);
  if (Focused && !InPlace && b->Index == ItemIndex) {
    TRect m = r;
    canvas->MeasureTextRect(b->Caption, m, TcxTextFlags(DrawTextFlags));
    canvas->SetBrushColor(b->BackgroundColor);
    canvas->DrawFocusFrame(TRect(m.Left - 1, m.Top - 1, m.Right + 1, m.Bottom + 2));
  }
}

// ---- the group button ------------------------------------------------------------------------------------------

TcxCustomRadioGroupButton::TcxCustomRadioGroupButton(TComponent* owner) : TcxRadioButton(owner) {
  if (TcxCustomRadioGroup* g = Group()) {
    g->buttons_.push_back(this);
    LookAndFeel()->AttachToMaster(g->Style()->LookAndFeel());
  }
}

TcxCustomRadioGroupButton::~TcxCustomRadioGroupButton() {
  // The group may be past its radio part already (freeing its buttons).
  if (auto* g = dynamic_cast<TcxCustomButtonGroup*>(Owner())) {
    auto& list = g->buttons_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TcxCustomRadioGroup* TcxCustomRadioGroupButton::Group() const { return dynamic_cast<TcxCustomRadioGroup*>(Owner()); }

bool TcxCustomRadioGroupButton::IsInplace() { return Group() && Group()->InPlace(); }
bool TcxCustomRadioGroupButton::IsNativeStyle() {
  return Group() && CanPaintNatively(Group()->Style()->LookAndFeel()->NativeStyle(), tcButton);
}
bool TcxCustomRadioGroupButton::IsTransparent() { return Group() && Group()->IsTransparent(); }
bool TcxCustomRadioGroupButton::UsesParentBackground() { return false; }

bool TcxCustomRadioGroupButton::ExecuteAction(TBasicAction* action) {
  return TcxRadioButton::ExecuteAction(action) || (Group() && Group()->DataBinding()->ExecuteAction(action));
}

bool TcxCustomRadioGroupButton::UpdateAction(TBasicAction* action) {
  return TcxRadioButton::UpdateAction(action) || (Group() && Group()->DataBinding()->UpdateAction(action));
}

bool TcxCustomRadioGroupButton::CanFocus() { return TcxRadioButton::CanFocus() && Group() && Group()->CanFocus(); }

void TcxCustomRadioGroupButton::SetChecked(bool v) {
  TcxRadioButton::SetChecked(v);
  if (v && IsInplace()) SelectInGroup();
}

void TcxCustomRadioGroupButton::SelectInGroup() {
  TcxCustomRadioGroup* g = Group();
  if (!g) return;
  TWeakRef<TcxCustomRadioGroup> group(g);
  g->LockChangeEvents(true);
  try {
    if (!Focused() || g->CanModify()) {
      const bool saved = g->UserChange();
      g->SetUserChange(Focused());
      const auto& list = g->buttons_;
      g->SetItemIndex(Integer(std::find(list.begin(), list.end(), this) - list.begin()));
      if (group) g->SetUserChange(saved);
    }
    if (group && Focused() && g->ActiveProperties()->ImmediatePost() && g->CanPostEditValue() &&
        g->ValidateEdit(true))
      g->PostEditValue();
  } catch (...) {
    if (group) g->LockChangeEvents(false);
    throw;
  }
  if (group) g->LockChangeEvents(false);
}

void TcxCustomRadioGroupButton::CNCommand(TMessage& m) {
  if (inClickNotification_) return;
  TcxCustomRadioGroup* g = Group();
  inClickNotification_ = true;
  TWeakRef<TcxCustomRadioGroupButton> self(this);
  try {
    if (Checked() || (g && g->IsEditableEffective() && g->CanModify())) TcxRadioButton::CNCommand(m);
  } catch (const Exception&) {
    if (Application) Application->HandleException(this);
  }
  if (self) inClickNotification_ = false;
}

// The arrows are the group's (moving across its columns), standalone too: the form would
// move them through the tab order instead. In place Tab (without Ctrl) is wanted as well.
void TcxCustomRadioGroupButton::WMGetDlgCode(TMessage& m) {
  TcxRadioButton::WMGetDlgCode(m);
  m.Result |= DLGC_WANTARROWS;
  if (IsInplace() && !(GetKeyState(VK_CONTROL) & 0x8000)) m.Result |= DLGC_WANTTAB;
}

void TcxCustomRadioGroupButton::KeyDown(Word& key, TShiftState shift) {
  if (TcxCustomRadioGroup* g = Group()) {
    g->KeyDown(key, shift);
    if (key == 0) return;
  }
  TcxRadioButton::KeyDown(key, shift);
}

void TcxCustomRadioGroupButton::KeyPress(char32_t& key) {
  TcxCustomRadioGroup* g = Group();
  if ((key == U'\b' || key == U' ') && g && !g->IsEditableEffective()) key = 0;
  if (key != 0 && g) g->KeyPress(key);
  if (key != 0) TcxRadioButton::KeyPress(key);
}

void TcxCustomRadioGroupButton::KeyUp(Word& key, TShiftState shift) {
  if (TcxCustomRadioGroup* g = Group()) {
    g->KeyUp(key, shift);
    if (key == 0) return;
  }
  TcxRadioButton::KeyUp(key, shift);
}

// Entering selects through the group (which asks CanModify), not by checking the button
// itself: a read-only group keeps its value when a button takes the focus.
void TcxCustomRadioGroupButton::DoEnter() {
  TRadioButton::DoEnter();
  TcxCustomRadioGroup* g = Group();
  if (!g) return;
  g->RefreshStateAtCursor(false);
  if (Checked() || g->InPlace()) return;
  TWeakRef<TcxCustomRadioGroupButton> self(this);
  SelectInGroup();
  // Selected on entering: one click, as the button's own entering gives.
  if (self && Checked() && !ComponentState().Contains(csLoading)) Click();
}

void TcxCustomRadioGroupButton::DoExit() {
  TcxRadioButton::DoExit();
  if (TcxCustomRadioGroup* g = Group()) g->RefreshStateAtCursor(false);
}

void TcxCustomRadioGroupButton::Click() {
  TcxRadioButton::Click();
  TcxCustomRadioGroup* g = Group();
  if (g && !g->ComponentState().Contains(csLoading) && !g->ComponentState().Contains(csReading)) g->Click();
}

void TcxCustomRadioGroupButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomRadioGroupButton> self(this);
  TcxRadioButton::MouseDown(button, shift, x, y);
  if (self && Group()) Group()->MouseDown(button, shift, x + Left(), y + Top());
}

void TcxCustomRadioGroupButton::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomRadioGroupButton> self(this);
  TcxRadioButton::MouseMove(shift, x, y);
  if (self && Group()) Group()->MouseMove(shift, x + Left(), y + Top());
}

void TcxCustomRadioGroupButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomRadioGroupButton> self(this);
  TcxRadioButton::MouseUp(button, shift, x, y);
  if (self && Group()) Group()->MouseUp(button, shift, x + Left(), y + Top());
}

// ---- the button group control ------------------------------------------------------------------------------

TcxCustomButtonGroup::TcxCustomButtonGroup(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomGroupBox(owner, in_place, properties_class) {
  SetAutoSize(false);
  SetTabStop(true);
}

TcxCustomButtonGroup::~TcxCustomButtonGroup() {
  destroyingButtons_ = true;
  while (!buttons_.empty()) buttons_.back()->Free();
}

Integer TcxCustomButtonGroup::FocusedButtonIndex() {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->Focused()) return Integer(i);
  return -1;
}

bool TcxCustomButtonGroup::HasFocusInside() { return Focused() || FocusedButtonIndex() >= 0; }

void TcxCustomButtonGroup::InitializeButton(TcxRadioButton* button) {
  button->SetParentShowHint(false);
  button->SetParent(this);
}

void TcxCustomButtonGroup::SetButtonCount(Integer count) {
  TcxButtonGroupItems* items = GroupProperties()->Items();
  if (items->Changing()) {
    if (items->ChangeAction() == cxbgItemAdded) {
      InitializeButton(CreateButton());
      // The new button stands at its item's place in the list.
      const Integer index = items->ChangedItemIndex();
      if (index >= 0 && index < Integer(buttons_.size()) - 1) {
        TcxRadioButton* b = buttons_.back();
        buttons_.pop_back();
        buttons_.insert(buttons_.begin() + index, b);
      }
    } else if (items->ChangeAction() == cxbgItemDeleted) {
      const Integer index = items->ChangedItemIndex();
      if (index >= 0 && index < Integer(buttons_.size())) buttons_[size_t(index)]->Free();
    }
    if (Integer(buttons_.size()) == count) return;
  }
  while (Integer(buttons_.size()) > count) buttons_.back()->Free();
  while (Integer(buttons_.size()) < count) InitializeButton(CreateButton());
}

void TcxCustomButtonGroup::ArrangeButtons() {
  TcxButtonGroupViewInfo* vi = ButtonsViewInfo();
  if (!vi) return;
  for (size_t i = 0; i < buttons_.size() && i < vi->Buttons.size(); ++i)
    buttons_[i]->SetBoundsRect(vi->Buttons[i]->Bounds);
}

void TcxCustomButtonGroup::UpdateButtonsStyle() {
  TcxContainerStyle* style = StyleForCurrentState();
  for (TcxRadioButton* b : buttons_) {
    b->SetColor(style->Color());
    b->Font()->Assign(Style()->Font());
    b->Font()->SetColor(style->Font()->Color());
  }
}

void TcxCustomButtonGroup::SynchronizeButtons() {
  TcxButtonGroupItems* items = GroupProperties()->Items();
  // The buttons exist only while the control has a window (CreateWnd makes them).
  if (!HandleAllocated()) {
    while (!buttons_.empty()) buttons_.back()->Free();
    return;
  }
  SetButtonCount(items->Count());
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->SetEnabled(Enabled() && items->Item(Integer(i))->Enabled());
    buttons_[i]->SetCursor(Cursor());
  }
  RefreshStateAtCursor(false);
}

void TcxCustomButtonGroup::PropertiesChanged(TcxCustomEditProperties* properties) {
  TcxCustomGroupBox::PropertiesChanged(properties);
  if (!ComponentState().Contains(csReading) && !ComponentState().Contains(csDestroying)) SynchronizeButtons();
}

bool TcxCustomButtonGroup::RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) {
  TWeakRef<TcxCustomButtonGroup> self(this);
  const bool result = TcxCustomGroupBox::RefreshState(p, button, shift, is_mouse_event);
  if (!self) return false;
  if (TcxButtonGroupViewInfo* vi = ButtonsViewInfo()) {
    std::unique_ptr<TcxCustomEditViewData> data(GetEffectiveProperties()->CreateViewData(
        dynamic_cast<TcxCustomEditStyle*>(StyleForCurrentState()), InPlace()));
    data->FillDisplayText(SharedScreenCanvas(), ReadEditValue(), vi);
  }
  ArrangeButtons();
  UpdateButtonsStyle();
  return result;
}

void TcxCustomButtonGroup::CreateWnd() {
  TcxCustomGroupBox::CreateWnd();
  SynchronizeButtons();
  SynchronizeDisplayValue();
}

void TcxCustomButtonGroup::CMEnabledChanged(TMessage& m) {
  TcxCustomGroupBox::CMEnabledChanged(m);
  SynchronizeButtons();
}

void TcxCustomButtonGroup::DoEditKeyDown(Word& key, TShiftState shift) {
  const Integer f = FocusedButtonIndex();
  if (f < 0) return;
  const Integer rows = GroupProperties()->RowCount();
  const Integer n = Integer(buttons_.size());
  if (rows <= 0) return;
  const Integer c = f / rows, r = f % rows;
  const Integer inColumn = std::min(rows, n - c * rows);
  Integer target = -1;
  switch (key) {
    case VK_LEFT: if (c > 0) target = f - rows; break;
    case VK_UP: if (r > 0) target = f - 1; break;
    case VK_RIGHT: if (f + rows < n) target = f + rows; break;
    case VK_DOWN: if (r < inColumn - 1) target = f + 1; break;
  }
  if (target >= 0) {
    if (buttons_[size_t(target)]->CanFocus()) buttons_[size_t(target)]->SetFocus();
    key = 0;
    return;
  }
  TcxCustomGroupBox::DoEditKeyDown(key, shift);
}

// ---- the radio group control ----------------------------------------------------------------------------------

TcxCustomRadioGroup::TcxCustomRadioGroup(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomButtonGroup(owner, in_place, properties_class) {
  ControlStyle() = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable,
                                 csParentBackground};
  SetBounds(Left(), Top(), 185, 105);
}

bool TcxCustomRadioGroup::Busy() const {
  const auto& s = ComponentState();
  return s.Contains(csLoading) || s.Contains(csReading) || s.Contains(csUpdating);
}

Integer TcxCustomRadioGroup::ItemIndex() {
  if (Busy() || ComponentState().Contains(csDesigning)) return keptIndex_;
  // Without a window there are no buttons yet: the value tells.
  if (buttons_.empty()) return ActiveProperties()->IndexOfValue(ReadEditValue());
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->Checked()) return Integer(i);
  return -1;
}

void TcxCustomRadioGroup::SetItemIndex(Integer v) {
  if (!Busy()) {
    const Integer count = ActiveProperties()->Items()->Count();
    v = std::clamp<Integer>(v, -1, std::max<Integer>(count, buttons_.empty() ? count : Integer(buttons_.size())) - 1);
    ApplyValueAndIndex(DisplayToEditValue(v), v);
  }
  if (Busy() || ComponentState().Contains(csDesigning)) keptIndex_ = v;
}

void TcxCustomRadioGroup::InternalSetEditValue(const Variant& value, bool) {
  ApplyValueAndIndex(value, ActiveProperties()->IndexOfValue(value));
}

void TcxCustomRadioGroup::ApplyValueAndIndex(const Variant& value, Integer index) {
  TWeakRef<TcxCustomRadioGroup> self(this);
  LockChangeEvents(true);
  try {
    TcxCustomButtonGroup::InternalSetEditValue(value, true);
    if (!self) return;
    if (ItemIndex() != index || (HandleAllocated() && index >= 0 && index < Integer(buttons_.size()) &&
                                 !buttons_[size_t(index)]->Checked())) {
      SelectButton(index);
      NotifyChange();
    } else if (!UserChange()) {
      SetModifiedFlag(false);
    }
  } catch (...) {
    if (self) LockChangeEvents(false);
    throw;
  }
  if (!self) return;
  LockChangeEvents(false);
  if (self) RefreshStateAtCursor(false);
}

void TcxCustomRadioGroup::SelectButton(Integer index) {
  if (index < 0) {
    for (TcxRadioButton* b : buttons_)
      if (b->Checked()) {
        b->SetClicksDisabled(true);
        b->SetChecked(false);
        b->SetClicksDisabled(false);
      }
  } else if (index < Integer(buttons_.size())) {
    TcxRadioButton* b = buttons_[size_t(index)];
    b->SetClicksDisabled(true);
    static_cast<TRadioButton*>(b)->TRadioButton::SetChecked(true);
    b->SetClicksDisabled(false);
    if (HasFocusInside() && !Focused() && b->CanFocus() && !b->Focused()) b->SetFocus();
  }
  if (Busy() || ComponentState().Contains(csDesigning)) keptIndex_ = index;
}

TcxRadioButton* TcxCustomRadioGroup::CreateButton() { return new TcxCustomRadioGroupButton(this); }

void TcxCustomRadioGroup::SynchronizeButtons() {
  const Integer before = ItemIndex();
  TcxCustomButtonGroup::SynchronizeButtons();
  TcxRadioGroupItems* items = ActiveProperties()->Items();
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->SetCaption(items->Item(Integer(i))->Caption());
    buttons_[i]->SetWordWrap(ActiveProperties()->WordWrap());
  }
  if (!Busy()) {
    const Integer index = ActiveProperties()->IndexOfValue(ReadEditValue());
    if (index != ItemIndex() || before != ItemIndex()) SelectButton(index);
  }
  ArrangeButtons();
  UpdateButtonsStyle();
}

void TcxCustomRadioGroup::UpdateButtonsStyle() {
  TcxCustomButtonGroup::UpdateButtonsStyle();
  TcxButtonGroupViewInfo* vi = ButtonsViewInfo();
  const TcxLookAndFeelKind kind =
      vi && !vi->Buttons.empty() ? KindOfButtonStyle(vi->Buttons[0]->Style) : lfStandard;
  for (TcxRadioButton* b : buttons_) {
    b->LookAndFeel()->SetKind(kind);
    if (!b->Enabled()) b->Font()->SetColor(StyleDisabled()->Font()->Color());
    b->SetTransparent(Transparent());
  }
}

void TcxCustomRadioGroup::Dispatch(TMessage& m) {
  if (m.Msg == CM_CXRADIOGROUPFOCUSITEM) {
    const Integer i = Integer(m.WParam);
    if (i >= 0 && i < Integer(buttons_.size()) && buttons_[size_t(i)]->CanFocus()) buttons_[size_t(i)]->SetFocus();
    return;
  }
  TcxCustomButtonGroup::Dispatch(m);
}

void TcxCustomRadioGroup::GetTabOrderList(std::vector<TWinControl*>& list) {
  TcxCustomButtonGroup::GetTabOrderList(list);
  // Tab goes into the group's buttons (the checked one is the tab stop), not the group.
  list.erase(std::remove_if(list.begin(), list.end(),
                            [this](TWinControl* w) {
                              return w == this ||
                                     std::find(buttons_.begin(), buttons_.end(), w) != buttons_.end();
                            }),
             list.end());
  if ((TabStop() || HasFocusInside()) && ItemIndex() != -1)
    for (TcxRadioButton* b : buttons_)
      if (b->Enabled()) list.push_back(b);
}

void TcxCustomRadioGroup::CMDialogChar(TMessage& m) {
  if (IsAccel(char32_t(m.WParam), Caption()) && CanFocus()) {
    if (!buttons_.empty()) {
      TcxRadioButton* target = ItemIndex() >= 0 ? buttons_[size_t(ItemIndex())] : buttons_.front();
      if (target->CanFocus()) target->SetFocus();
    }
    m.Result = 1;
    return;
  }
  TcxCustomButtonGroup::CMDialogChar(m);
}

void TcxCustomRadioGroup::Loaded() {
  TcxCustomButtonGroup::Loaded();
  TWeakRef<TcxCustomRadioGroup> self(this);
  LockChangeEvents(true);
  LockValueAssignment(true);
  try {
    if (!DataBinding()->GetDefaultValuesProvider()->IsDataStorage())
      TcxCustomButtonGroup::InternalSetEditValue(ActiveProperties()->DefaultValue(), false);
    if (self) SetItemIndex(keptIndex_);
  } catch (...) {
    if (self) {
      LockValueAssignment(false);
      LockChangeEvents(false, false);
    }
    throw;
  }
  if (!self) return;
  LockValueAssignment(false);
  LockChangeEvents(false, false);
  SynchronizeButtons();
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxRadioGroupProperties) {
  using P = TcxRadioGroupProperties;
  p.Int("Columns", &P::Columns, &P::SetColumns).Default(1);
  p.Str("DefaultCaption", &P::DefaultCaption, &P::SetDefaultCaption).Stored(&P::IsDefaultCaptionStored);
  p.Var("DefaultValue", &P::DefaultValue, &P::SetDefaultValue).Stored(&P::IsDefaultValueStored);
  p.Object("Items", &P::Items, &P::SetItems, TcxRadioGroupItems::StaticClass());
  p.Bool("WordWrap", &P::WordWrap, &P::SetWordWrap).Default(false);
  p.Bool("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
  p.Bool("ReadOnly", [](const P* o) { return const_cast<P*>(o)->ReadOnly(); }, &P::SetReadOnly).Default(false);
  p.Event("OnChange", static_cast<TNotifyEvent P::*>(&TcxCustomEditProperties::OnChange));
  p.Event("OnEditValueChanged", static_cast<TNotifyEvent P::*>(&TcxCustomEditProperties::OnEditValueChanged));
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxRadioGroup) {
  p.Object("Properties", &TcxRadioGroup::Properties, &TcxRadioGroup::SetProperties,
           TcxRadioGroupProperties::StaticClass());
  p.Int("ItemIndex", [](const TcxRadioGroup* o) { return const_cast<TcxRadioGroup*>(o)->ItemIndex(); },
        &TcxRadioGroup::SetItemIndex)
      .Default(-1);
  p.Enum("Alignment", &TcxRadioGroup::Alignment, &TcxRadioGroup::SetAlignment, TypeInfoOfCaptionAlignment())
      .Default(alTopLeft);
  p.Str("Caption", [](const TcxRadioGroup* o) { return o->Caption(); },
        [](TcxRadioGroup* o, const String& v) { o->SetCaption(v); });
  p.Bool("TabStop", &TcxRadioGroup::TabStop, &TcxRadioGroup::SetTabStop).Default(true);
}

void InitializeCxRadioGroup() {
  InitUnit(
      "cxRadioGroup",
      [] {
        InitializeCxGroupBox();
        InitializeCxCheckBox();
        RegisterClass(TcxRadioGroup::StaticClass());
        RegisterClass(TcxRadioButton::StaticClass());
        RegisterClass(TcxRadioGroupProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxRadioGroupProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryRadioGroupItem));
      },
      [] { EditPropertiesRegistry()->RemoveClass(TcxRadioGroupProperties::StaticClass()); });
}
