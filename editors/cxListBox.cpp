#include "editors/cxListBox.h"

#include <algorithm>

#include "rtl/TypInfo.h"

// ---- inner list box --------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxInnerListBox)

TcxInnerListBox::TcxInnerListBox(TComponent* owner) : TcxCustomInnerListBox(owner) {}

TcxInnerListBox::~TcxInnerListBox() = default;

TcxListBox* TcxInnerListBox::GetListBox() const { return dynamic_cast<TcxListBox*>(Owner()); }

TcxCanvas* TcxInnerListBox::CxCanvas() {
  if (!cxCanvas_) cxCanvas_ = std::make_unique<TcxCanvas>(Canvas());
  return cxCanvas_.get();
}

bool TcxInnerListBox::AllowsModification() const {
  TcxListBox* box = GetListBox();
  return !box || box->DataBinding()->AllowsModification();
}

bool TcxInnerListBox::CanFocus() {
  TcxListBox* box = GetListBox();
  return box ? box->CanFocus() : TcxCustomInnerListBox::CanFocus();
}

void TcxInnerListBox::Click() {
  if (AllowsModification()) TcxCustomInnerListBox::Click();
}

void TcxInnerListBox::CreateWnd() {
  TcxCustomInnerListBox::CreateWnd();
  if (container_) container_->PostScrollBarsUpdate();
}

void TcxInnerListBox::DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  TcxListBox* box = GetListBox();
  if (box && box->DrawItem(CxCanvas(), index, rect, state)) return;
  TcxCustomInnerListBox::DrawItem(index, rect, state);
}

void TcxInnerListBox::MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) {
  TcxListBox* box = GetListBox();
  if (b != mbLeft || !box || !box->LocksSelection()) {
    TcxCustomInnerListBox::MouseDown(b, s, x, y);
    return;
  }
  // Read-only: the list only takes the focus and reports the press; the selection stays.
  TWeakRef<TcxInnerListBox> self(this);
  if (CanFocus() && !Focused()) SetFocus();
  if (!self) return;
  controlState_ -= csClicked;
  TControl::MouseDown(b, s, x, y);
  if (self) box->InnerMouseDown(b, s, x + Left(), y + Top());
}

void TcxInnerListBox::WndProc(TMessage& m) {
  // A read-only list keeps its selection under the press: the press goes to MouseDown above,
  // not through the drag handling of the base that selects first.
  if (m.Msg == WM_LBUTTONDOWN && GetListBox() && GetListBox()->LocksSelection()) {
    TListBox::WndProc(m);
    return;
  }
  TcxCustomInnerListBox::WndProc(m);
}

// ---- list box ----------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxListBox) {
  using L = TcxListBox;
  p.Bool("AutoComplete", &L::AutoComplete, &L::SetAutoComplete).Default(true);
  p.Int64Prop("AutoCompleteDelay", &L::AutoCompleteDelay, &L::SetAutoCompleteDelay).Default(500);
  p.Int("Columns", &L::Columns, &L::SetColumns).Default(0);
  p.Bool("ExtendedSelect", &L::ExtendedSelect, &L::SetExtendedSelect).Default(true);
  p.Bool("IntegralHeight", &L::IntegralHeight, &L::SetIntegralHeight).Default(false);
  p.Int("ItemHeight", &L::ItemHeight, &L::SetItemHeight);
  p.Object("Items", &L::Items, &L::SetItems, TStrings::StaticClass());
  p.Enum("ListStyle", &L::ListStyle, &L::SetListStyle,
         EnumTypeInfo("TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual",
                                        "lbVirtualOwnerDraw"}))
      .Default(lbStandard);
  p.Bool("MultiSelect", &L::MultiSelect, &L::SetMultiSelect).Default(false);
  p.Bool("ReadOnly", &L::ReadOnly, &L::SetReadOnly).Default(false);
  p.Int("ScrollWidth", &L::ScrollWidth, &L::SetScrollWidth).Default(0);
  p.Bool("Sorted", &L::Sorted, &L::SetSorted).Default(false);
  p.Int("TabWidth", &L::TabWidth, &L::SetTabWidth).Default(0);
  p.Bool("TabStop", &L::TabStop, &L::SetTabStop).Default(true);
}

TcxListBox::TcxListBox(TComponent* owner, TClass inner_class) : TcxContainer(owner), innerClass_(inner_class) {
  SyncScrollPartsExistence();
  inner_ = static_cast<TcxInnerListBox*>(inner_class->Create(this));
  inner_->SetContainer(this);
  inner_->SetParent(this);
  SetInnerControl(inner_);
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
}

TcxListBox::~TcxListBox() {
  if (binding_) {
    DataBinding()->OnDataChange = nullptr;
    DataBinding()->OnUpdateData = nullptr;
  }
}

TcxListDataBinding* TcxListBox::DataBinding() const {
  if (!binding_) {
    auto* self = const_cast<TcxListBox*>(this);
    binding_.reset(self->CreateDataBinding());
    DataBinding()->OnDataChange = [self] { self->DataChange(); };
    DataBinding()->OnUpdateData = [self] { self->UpdateData(); };
    DataBinding()->SetVisualControl(inner_);
  }
  return binding_.get();
}

void TcxListBox::SetColumns(Integer v) {
  inner_->SetColumns(v);
  UpdateScrollBarsFromInner(false);
}

void TcxListBox::SetItems(TStrings* v) {
  inner_->Items()->Assign(v);
  DataChange();
}

void TcxListBox::SetOnMeasureItem(TcxListBoxMeasureItemEvent v) {
  onMeasureItem_ = std::move(v);
  if (onMeasureItem_)
    inner_->OnMeasureItem = [this](TWinControl*, Integer index, Integer& height) { onMeasureItem_(this, index, height); };
  else
    inner_->OnMeasureItem = nullptr;
}

bool TcxListBox::DrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
  if (!OnDrawItem) return false;
  OnDrawItem(this, canvas, index, rect, state);
  return true;
}

Integer TcxListBox::ItemAtPoint(const TPoint& p, bool existing) {
  return inner_->ItemAtPos(TPoint(p.X - inner_->Left(), p.Y - inner_->Top()), existing);
}

TRect TcxListBox::ItemRect(Integer index) {
  return ShiftedRect(inner_->ItemRect(index), inner_->Left(), inner_->Top());
}

void TcxListBox::DataChange() {
  if (!DataBinding()->HasData()) {
    inner_->SetItemIndex(-1);
    return;
  }
  const String text = VarToStr(DataBinding()->DisplayValue(Focused()));
  inner_->SetItemIndex(inner_->Items()->IndexOf(text));
}

void TcxListBox::UpdateData() {
  const Integer i = inner_->ItemIndex();
  DataBinding()->StoreValue(Variant(i >= 0 ? inner_->ItemText(i) : String()));
}

void TcxListBox::WndProc(TMessage& m) {
  if (m.Msg >= LB_ADDSTRING && m.Msg <= LB_MSGMAX && inner_) {
    m.Result = SendMessage(inner_->Handle(), m.Msg, m.WParam, m.LParam);
    return;
  }
  TcxContainer::WndProc(m);
  if (m.Msg == WM_COMMAND && HIWORD(m.WParam) == LBN_SELCHANGE && inner_) UpdateScrollBarsFromInner(false);
}

void TcxListBox::KeyDown(Word& key, TShiftState shift) {
  TcxContainer::KeyDown(key, shift);
  if (key >= VK_PRIOR && key <= VK_DOWN && LocksSelection()) key = 0;
}

void TcxListBox::KeyPress(char32_t& key) {
  TcxContainer::KeyPress(key);
  if (key == U'\x1b') DataBinding()->Reset();
  else if (key >= 32 && LocksSelection()) key = 0;
}

void TcxListBox::DoExit() {
  if (ComponentState().Contains(csDestroying) || inExit_) return;
  inExit_ = true;
  TWeakRef<TcxListBox> self(this);
  try {
    DataBinding()->DoUpdateData();
  } catch (...) {
    if (self) {
      inExit_ = false;
      SetFocus();
    }
    throw;
  }
  if (!self) return;
  inExit_ = false;
  TcxContainer::DoExit();
}

void TcxListBox::CMFontChanged(TMessage& m) {
  TcxContainer::CMFontChanged(m);
  AlignInnerControl();
  if (inner_->HandleAllocated()) inner_->RecreateWnd();
}

// ---- integral height -----------------------------------------------------------------------------

void TcxListBox::SetIntegralHeight(bool v) {
  if (v == integralHeight_) return;
  integralHeight_ = v;
  AlignInnerControl();
}

bool TcxListBox::IntegralHeightApplies() {
  return integralHeight_ && !ComponentState().Contains(csLoading) && Align() != alLeft && Align() != alRight &&
         Align() != alClient;
}

Integer TcxListBox::RowHeight(Integer index) {
  switch (ListStyle()) {
    case lbOwnerDrawFixed:
    case lbVirtualOwnerDraw: return ItemHeight();
    case lbOwnerDrawVariable: {
      Integer h = ItemHeight();
      if (index >= 0 && index < Count() && inner_->OnMeasureItem) inner_->OnMeasureItem(inner_, index, h);
      return h;
    }
    default: {
      // The text height of the control's font.
      HDC dc = GetDC(nullptr);
      HGDIOBJ old = SelectObject(dc, Font()->Handle());
      TEXTMETRIC tm;
      GetTextMetrics(dc, &tm);
      SelectObject(dc, old);
      ReleaseDC(nullptr, dc);
      return tm.tmHeight;
    }
  }
}

Integer TcxListBox::IntegralHeightFor(Integer height) {
  TRect extent;
  FrameExtent(extent);
  const Integer vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
  const Integer textSpace = Width() - extent.Left - extent.Right;
  const Integer scrollWidth = ScrollWidth() > 0 ? ScrollWidth() + 4 : 0;
  // The total after `rows` rows, with a horizontal bar when the text space (less a vertical
  // bar while items remain after them) is narrower than the scroll width.
  auto total = [&](Integer rows, Integer sum) {
    const Integer space = textSpace - (rows < Count() ? vbar : 0);
    return extent.Top + extent.Bottom + sum + (space < scrollWidth ? hbar : 0);
  };
  Integer sum = 0, previous = -1;
  for (Integer i = 0; i < 10000; ++i) {
    sum += std::max(1, RowHeight(i));
    const Integer t = total(i + 1, sum);
    if (t == height) return t;
    if (t > height) return previous >= 0 ? previous : t;
    previous = t;
  }
  return height;
}

bool TcxListBox::CanResize(Integer& width, Integer& height) {
  if (!TcxContainer::CanResize(width, height)) return false;
  if (IntegralHeightApplies()) height = IntegralHeightFor(height);
  return true;
}

void TcxListBox::AlignInnerControl() {
  if (IntegralHeightApplies() && inner_) {
    const Integer h = IntegralHeightFor(Height());
    if (h != Height()) SetBounds(Left(), Top(), Width(), h);
  }
  TcxContainer::AlignInnerControl();
}

void InitializeCxListBox() {
  InitUnit("cxListBox", [] {
    InitializeCxEdit();
    RegisterClass(TcxListBox::StaticClass());
  });
}
