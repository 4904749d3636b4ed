#include "grid/cxNavigator.h"

#include <algorithm>

#include "foundation/cxClasses.h"
#include "foundation/cxContainer.h"
#include "foundation/cxControls.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxGraphics.h"
#include "rtl/TypInfo.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Resources.h"

KORVAN_IMPLEMENT_CLASS(TcxNavigatorControlNotifier)

void TcxNavigatorControlNotifier::AddNavigator(IcxNavigatorOwner* navigator) {
  if (navigator && std::find(list_.begin(), list_.end(), navigator) == list_.end()) list_.push_back(navigator);
}

void TcxNavigatorControlNotifier::RemoveNavigator(IcxNavigatorOwner* navigator) {
  list_.erase(std::remove(list_.begin(), list_.end(), navigator), list_.end());
}

void TcxNavigatorControlNotifier::RefreshNavigatorButtons() {
  // A navigator may detach itself while refreshing: walk a copy and skip the ones gone.
  std::vector<IcxNavigatorOwner*> copy = list_;
  for (IcxNavigatorOwner* n : copy)
    if (std::find(list_.begin(), list_.end(), n) != list_.end()) n->RefreshNavigator();
}

// ---- the buttons --------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxNavigatorButton) {
  using B = TcxNavigatorButton;
  p.Bool("Enabled", &B::Enabled, &B::SetEnabled).Default(true);
  p.Str("Hint", &B::Hint, &B::SetHint);
  p.Int("ImageIndex", &B::ImageIndex, &B::SetImageIndex).Default(-1);
  p.Bool("Visible", &B::Visible, &B::SetVisible).Stored(&B::IsVisibleStored);
}
KORVAN_IMPLEMENT_CLASS(TcxCustomNavigatorButtons)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxNavigatorControlButtons) {
  using B = TcxNavigatorControlButtons;
#define KORVAN_PUBLISH_BUTTON(Name) \
  p.Object(#Name, &B::Name, &B::Set##Name, TcxNavigatorButton::StaticClass());
  KORVAN_PUBLISH_BUTTON(First)
  KORVAN_PUBLISH_BUTTON(PriorPage)
  KORVAN_PUBLISH_BUTTON(Prior)
  KORVAN_PUBLISH_BUTTON(Next)
  KORVAN_PUBLISH_BUTTON(NextPage)
  KORVAN_PUBLISH_BUTTON(Last)
  KORVAN_PUBLISH_BUTTON(Insert)
  KORVAN_PUBLISH_BUTTON(Delete)
  KORVAN_PUBLISH_BUTTON(Edit)
  KORVAN_PUBLISH_BUTTON(Post)
  KORVAN_PUBLISH_BUTTON(Cancel)
  KORVAN_PUBLISH_BUTTON(Refresh)
  KORVAN_PUBLISH_BUTTON(SaveBookmark)
  KORVAN_PUBLISH_BUTTON(GotoBookmark)
  KORVAN_PUBLISH_BUTTON(Filter)
#undef KORVAN_PUBLISH_BUTTON
  p.Bool("ConfirmDelete", &B::ConfirmDelete, &B::SetConfirmDelete).Default(true);
  p.Object("Images", &B::Images, &B::SetImages, TCustomImageList::StaticClass());
}

namespace {

const TcxResourceStringRec kNavigatorHints[NavigatorButtonCount] = {
    {"cxNavigatorHint_First", "First record"},     {"cxNavigatorHint_PriorPage", "Prior page"},
    {"cxNavigatorHint_Prior", "Prior record"},     {"cxNavigatorHint_Next", "Next record"},
    {"cxNavigatorHint_NextPage", "Next page"},     {"cxNavigatorHint_Last", "Last record"},
    {"cxNavigatorHint_Insert", "Insert record"},   {"cxNavigatorHint_Delete", "Delete record"},
    {"cxNavigatorHint_Edit", "Edit record"},       {"cxNavigatorHint_Post", "Post edit"},
    {"cxNavigatorHint_Cancel", "Cancel edit"},     {"cxNavigatorHint_Refresh", "Refresh data"},
    {"cxNavigatorHint_SaveBookmark", "Save Bookmark"}, {"cxNavigatorHint_GotoBookmark", "Goto Bookmark"},
    {"cxNavigatorHint_Filter", "Filter data"},
};

}  // namespace

void TcxNavigatorButton::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxNavigatorButton*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  SetEnabled(s->enabled_);
  SetHint(s->hint_);
  SetImageIndex(s->imageIndex_);
  SetVisible(s->visible_);
  visibleAssigned_ = s->visibleAssigned_;
  SetOnClick(s->onClick_);
}

TPersistent* TcxNavigatorButton::GetOwner() const { return buttons_; }

void TcxNavigatorButton::Changed(bool refresh, Integer kind) {
  if (refresh) buttons_->RefreshNavigator();
  buttons_->NavigatorChanged(kind);
}

void TcxNavigatorButton::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  if (visible_) Changed(true, 2);
}

void TcxNavigatorButton::SetHint(const String& v) {
  if (hint_ == v) return;
  hint_ = v;
  Changed(false, 0);
}

void TcxNavigatorButton::SetImageIndex(Integer v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  if (visible_) Changed(true, 2);
}

void TcxNavigatorButton::SetVisible(bool v) {
  visibleAssigned_ = true;
  if (visible_ == v) return;
  visible_ = v;
  Changed(true, 1);
}

void TcxNavigatorButton::SetOnClick(const TNotifyEvent& v) {
  onClick_ = v;
  Changed(false, 0);
}

TcxCustomNavigatorButtons::TcxCustomNavigatorButtons(IcxNavigatorOwner* owner) : owner_(owner) {
  imageChangeLink_ = new TChangeLink();
  imageChangeLink_->OnChange = [this](TObject*) { RefreshNavigator(); };
  imagesNotificator_ = new TcxFreeNotificator();
  imagesNotificator_->OnComponentFreed = [this](TComponent* c) {
    if (c == images_) {
      images_ = nullptr;
      RefreshNavigator();
    }
  };
  CreateButtons();
}

TcxCustomNavigatorButtons::~TcxCustomNavigatorButtons() {
  DestroyButtons();
  if (images_) images_->UnRegisterChanges(imageChangeLink_);
  delete imagesNotificator_;
  delete imageChangeLink_;
}

TPersistent* TcxCustomNavigatorButtons::GetOwner() const {
  return owner_ ? owner_->GetNavigatorOwner() : nullptr;
}

void TcxCustomNavigatorButtons::CreateButtons() {
  for (Integer i = 0; i < NavigatorButtonCount; ++i) buttons_.push_back(new TcxNavigatorButton(this, i));
}

void TcxCustomNavigatorButtons::DestroyButtons() {
  for (TcxNavigatorButton* b : buttons_) delete b;
  buttons_.clear();
}

void TcxCustomNavigatorButtons::AssignFrom(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomNavigatorButtons*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  for (Integer i = 0; i < std::min(ButtonCount(), s->ButtonCount()); ++i) Buttons(i)->Assign(s->Buttons(i));
  SetConfirmDelete(s->confirmDelete_);
  SetImages(s->images_);
  OnButtonClick = s->OnButtonClick;
}

namespace {

// A control takes input only while it and every parent are enabled (a disabled grid leaves
// its view sites' own flags set).
bool EnabledWithParents(TWinControl* control) {
  for (TWinControl* c = control; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return control != nullptr;
}

}  // namespace

bool TcxCustomNavigatorButtons::IsButtonEnabled(Integer) {
  return EnabledWithParents(owner_ ? owner_->GetNavigatorControl() : nullptr);
}

void TcxCustomNavigatorButtons::GetButtonHint(Integer index, String& text) {
  if (index >= 0 && index < NavigatorButtonCount) text = LoadReplaceableResString(kNavigatorHints[index]);
}

void TcxCustomNavigatorButtons::SetConfirmDelete(bool v) {
  if (confirmDelete_ == v) return;
  confirmDelete_ = v;
  NavigatorChanged(0);
}

void TcxCustomNavigatorButtons::SetImages(TCustomImageList* v) {
  if (images_ == v) return;
  if (images_) {
    images_->UnRegisterChanges(imageChangeLink_);
    imagesNotificator_->UnwatchComponent(images_);
  }
  images_ = v;
  if (images_) {
    images_->RegisterChanges(imageChangeLink_);
    imagesNotificator_->WatchComponent(images_);
  }
  RefreshNavigator();
}

void TcxCustomNavigatorButtons::RefreshNavigator() {
  if (owner_) owner_->RefreshNavigator();
}

void TcxCustomNavigatorButtons::NavigatorChanged(Integer kind) {
  if (owner_) owner_->NavigatorChanged(kind);
}

void TcxNavigatorControlButtons::PerformButtonAction(Integer index) {
  IcxNavigator* navigator = Navigator();
  if (!navigator) return;
  navigator->DoAction(index);
  if (NavigatorOwner()) NavigatorOwner()->NavigatorStateChanged();
}

bool TcxNavigatorControlButtons::IsButtonEnabled(Integer index) {
  IcxNavigator* n = Navigator();
  if (!n || !TcxCustomNavigatorButtons::IsButtonEnabled(index)) return false;
  if (index == NBDI_FILTER) return true;
  if (!n->IsActive()) return false;
  switch (index) {
    case NBDI_FIRST:
    case NBDI_PRIORPAGE:
    case NBDI_PRIOR: return !n->IsBof();
    case NBDI_NEXT:
    case NBDI_NEXTPAGE:
    case NBDI_LAST: return !n->IsEof();
    case NBDI_INSERT: return n->CanInsert();
    case NBDI_DELETE: return n->CanDelete();
    case NBDI_EDIT: return n->CanEdit() && !n->IsEditing();
    case NBDI_POST:
    case NBDI_CANCEL: return n->IsEditing();
    case NBDI_GOTOBOOKMARK: return n->IsBookmarkAvailable();
    default: return true;
  }
}

void TcxNavigatorControlButtons::ReleaseBookmark() {
  if (IcxNavigator* n = Navigator(); n && n->IsBookmarkAvailable()) n->ClearBookmark();
}

// ---- the view info ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxNavigatorViewInfo)

namespace {

constexpr TColor kNavigatorGlyphBackground = TColor(0x008080);  // olive: red 128, green 128, blue 0

// A button's own hint, else its kind's default one.
String ButtonHint(TcxNavigatorButton* button) {
  String hint = button->Hint();
  if (hint.empty()) button->Buttons()->GetButtonHint(button->DefaultIndex(), hint);
  return hint;
}

std::unique_ptr<TCustomImageList>& DefaultImagesHolder() {
  static std::unique_ptr<TCustomImageList> images;
  return images;
}

}  // namespace

TCustomImageList* NavigatorDefaultImages() {
  std::unique_ptr<TCustomImageList>& images = DefaultImagesHolder();
  if (!images) {
    images = std::make_unique<TCustomImageList>(nullptr, 12, 11);
    if (ResourceExists("CXNAVIGATORBUTTONS", RT_BITMAP_NAME)) {
      TBitmap strip;
      LoadBitmapResource(&strip, "CXNAVIGATORBUTTONS");
      images->AddMasked(&strip, kNavigatorGlyphBackground);
    }
  }
  return images.get();
}

TcxNavigatorViewInfo::TcxNavigatorViewInfo(IcxNavigatorOwner* owner, bool inPlace)
    : owner_(owner), inPlace_(inPlace) {
  pressTimer_ = std::make_unique<TcxTimer>(nullptr);
  pressTimer_->SetEnabled(false);
  pressTimer_->SetOnTimer([this](TObject*) { PressTimerTick(); });
  hintTimer_ = std::make_unique<TcxTimer>(nullptr);
  hintTimer_->SetEnabled(false);
  hintTimer_->SetInterval(HintPause);
  hintTimer_->SetOnTimer([this](TObject*) { HintTimerTick(); });
}

TcxNavigatorViewInfo::~TcxNavigatorViewInfo() {
  pressTimer_->SetEnabled(false);
  hintTimer_->SetEnabled(false);
  if (hintWindow_) hintWindow_->Free();
}

TcxCustomLookAndFeelPainterClass TcxNavigatorViewInfo::Painter() const {
  TcxLookAndFeel* lookAndFeel = owner_->GetNavigatorLookAndFeel();
  TcxCustomLookAndFeelPainterClass painter = lookAndFeel ? lookAndFeel->SelectPainterForClass(tcButton) : nullptr;
  return painter ? painter : LookAndFeelPainterOfSlot(lpsStandard);
}

TSize TcxNavigatorViewInfo::GetButtonSize(TcxNavigatorButton* button, Integer count, Integer index,
                                          bool withGlyphHeight) {
  // Without skin painters every button measures its image list: its own list when it has an
  // image there, else the default glyphs.
  TCustomImageList* own = button->Buttons()->Images();
  TCustomImageList* images = own && button->ImageIndex() >= 0 ? own : NavigatorDefaultImages();
  const TRect frame = Painter()->ButtonGroupFrameWidths(count, index);
  TSize size(images->Width() + frame.Left + frame.Right + 1, frame.Top + frame.Bottom + 1);
  if (withGlyphHeight) size.cy += images->Height();
  return size;
}

void TcxNavigatorViewInfo::GetNeededSize(Integer& width, Integer& height, bool withGlyphHeight) {
  width = 0;
  height = 0;
  TcxCustomNavigatorButtons* buttons = NavigatorButtons();
  if (!buttons) return;
  std::vector<TcxNavigatorButton*> visible;
  for (Integer i = 0; i < buttons->ButtonCount(); ++i)
    if (buttons->Buttons(i)->Visible()) visible.push_back(buttons->Buttons(i));
  for (size_t i = 0; i < visible.size(); ++i) {
    TSize size = GetButtonSize(visible[i], Integer(visible.size()), Integer(i), withGlyphHeight);
    width += size.cx;
    height = std::max(height, size.cy);
  }
}

void TcxNavigatorViewInfo::CalculateBounds(Integer& width, Integer& height, bool withGlyphHeight) {
  buttons_.clear();
  TcxCustomNavigatorButtons* buttons = NavigatorButtons();
  if (buttons)
    for (Integer i = 0; i < buttons->ButtonCount(); ++i)
      if (buttons->Buttons(i)->Visible()) buttons_.push_back({buttons->Buttons(i), TRect(), false, String()});
  // The hot and pressed buttons stay only while they are shown.
  if (IndexOfButton(hot_) < 0) hot_ = nullptr;
  if (IndexOfButton(pressed_) < 0) pressed_ = nullptr;
  if (IndexOfButton(focused_) < 0) focused_ = nullptr;
  const Integer count = ButtonCount();
  std::vector<TSize> sizes;
  Integer neededWidth = 0, neededHeight = 0;
  for (Integer i = 0; i < count; ++i) {
    sizes.push_back(GetButtonSize(buttons_[size_t(i)].Button, count, i, withGlyphHeight));
    neededWidth += sizes.back().cx;
    neededHeight = std::max(neededHeight, sizes.back().cy);
  }
  height = std::max(height, neededHeight);
  Integer share = 0;
  if (width < neededWidth) {
    width = neededWidth;
  } else if (count > 0) {
    share = (width - neededWidth) / count;
    width = neededWidth + share * count;
  }
  const TRect bounds = owner_->GetNavigatorBounds();
  Integer x = bounds.Left;
  for (Integer i = 0; i < count; ++i) {
    const Integer w = sizes[size_t(i)].cx + share;
    buttons_[size_t(i)].Bounds = TRect(x, bounds.Top, x + w, bounds.Top + height);
    x += w;
  }
}

Integer TcxNavigatorViewInfo::IndexOfButton(TcxNavigatorButton* button) const {
  if (!button) return -1;
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i].Button == button) return Integer(i);
  return -1;
}

Integer TcxNavigatorViewInfo::GetButtonIndexAt(const TPoint& p) const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i].Bounds.Contains(p)) return Integer(i);
  return -1;
}

bool TcxNavigatorViewInfo::IsButtonEnabled(TcxNavigatorButton* button) const {
  return button->Enabled() && button->Buttons()->IsButtonEnabled(button->DefaultIndex());
}

void TcxNavigatorViewInfo::UpdateButtons() {
  dirty_ = false;
  const TRect bounds = owner_->GetNavigatorBounds();
  Integer width = bounds.Width(), height = bounds.Height();
  CalculateBounds(width, height);
  for (TcxNavigatorButtonViewInfo& info : buttons_) {
    info.Enabled = IsButtonEnabled(info.Button);
    info.Hint = ButtonHint(info.Button);
  }
}

void TcxNavigatorViewInfo::RefreshEnabledStates() {
  if (dirty_) return;  // the coming update takes every state
  for (TcxNavigatorButtonViewInfo& info : buttons_) {
    const bool enabled = IsButtonEnabled(info.Button);
    if (enabled == info.Enabled) continue;
    info.Enabled = enabled;
    InvalidateButton(info.Button);
  }
}

TcxButtonState TcxNavigatorViewInfo::GetButtonState(const TcxNavigatorButtonViewInfo& info) const {
  if (!info.Enabled) return cxbsDisabled;
  if (info.Button == pressed_ && info.Button == hot_) return cxbsPressed;
  if (info.Button == hot_) return cxbsHot;
  return cxbsNormal;
}

void TcxNavigatorViewInfo::InvalidateButton(TcxNavigatorButton* button) {
  const Integer index = IndexOfButton(button);
  TWinControl* control = owner_->GetNavigatorControl();
  if (index >= 0 && control) InvalidateControlRect(control, buttons_[size_t(index)].Bounds, false);
}

void TcxNavigatorViewInfo::CheckSelected() {
  if (!Painter()->ButtonHotTracks()) return;
  const bool selected = hot_ || pressed_ || owner_->GetNavigatorFocused();
  if (selected == selected_) return;
  selected_ = selected;
  // Only the one-pixel frame around the navigator changes.
  TWinControl* control = owner_->GetNavigatorControl();
  if (control && control->HandleAllocated()) {
    const TRect bounds = owner_->GetNavigatorBounds();
    InvalidateAroundRect(control->Handle(), bounds, GrowRect(bounds, -1, -1), false);
  }
}

// ---- painting

void TcxNavigatorViewInfo::PaintButton(TcxCanvas* canvas, Integer index) {
  const TcxNavigatorButtonViewInfo& info = buttons_[size_t(index)];
  const TRect r = info.Bounds;
  if (r.IsEmpty() || !canvas->IsRectPartlyVisible(r)) return;
  TcxCustomLookAndFeelPainterClass painter = Painter();
  const Integer count = ButtonCount();
  const TRect face = painter->AdjustGroupedButtonRect(r, count, index);
  const TRect frame = painter->ButtonGroupFrameWidths(count, index);
  const TcxButtonState state = GetButtonState(info);
  // The button is drawn off screen in the owner's coordinates and copied in one block.
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(r.Width(), r.Height());
  TcxCanvas buffer(bitmap.Canvas());
  buffer.SetWindowOrigin(r.TopLeft());
  PaintParentUnderControl(owner_->GetNavigatorControl(), &buffer, r, true);
  painter->PaintBlankButton(&buffer, face, state, count, index, clWindow);
  TCustomImageList* own = info.Button->Buttons()->Images();
  const bool userGlyph = own && info.Button->ImageIndex() >= 0;
  TCustomImageList* images = userGlyph ? own : NavigatorDefaultImages();
  const Integer imageIndex = userGlyph ? info.Button->ImageIndex() : info.Button->DefaultIndex();
  TRect content(face.Left + frame.Left, face.Top + frame.Top, face.Right - frame.Right, face.Bottom - frame.Bottom);
  TRect glyph = Bounds(content.Left + (content.Width() - images->Width()) / 2,
                       content.Top + (content.Height() - images->Height()) / 2, images->Width(), images->Height());
  if (state == cxbsPressed) glyph = ShiftedRect(glyph, 1, 1);
  painter->PaintNavigatorGlyph(&buffer, images, imageIndex, info.Button->DefaultIndex(), glyph,
                               state != cxbsDisabled, userGlyph);
  buffer.SetWindowOrigin(TPoint(0, 0));
  BitBlt(canvas->DeviceContext(), r.Left, r.Top, r.Width(), r.Height(), bitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
  if (owner_->GetNavigatorTabStop() && owner_->GetNavigatorFocused() && info.Button == focused_)
    canvas->DrawFocusFrame(GrowRect(glyph, 1, 1));
  if (painter->PainterStyle() == lfsNative) canvas->ExcludeFromClip(r);
}

void TcxNavigatorViewInfo::Paint(TcxCanvas* canvas) {
  std::unique_ptr<TcxCanvas> own;
  if (!canvas) {
    TCanvas* target = owner_->GetNavigatorCanvas();
    if (!target) return;
    own = std::make_unique<TcxCanvas>(target);
    canvas = own.get();
  }
  if (dirty_) UpdateButtons();
  for (Integer i = 0; i < ButtonCount(); ++i) PaintButton(canvas, i);
  TWinControl* control = owner_->GetNavigatorControl();
  const bool enabled = inPlace_ && EnabledWithParents(control);
  const bool selected =
      selected_ || (!inPlace_ && control && control->ComponentState().Contains(csDesigning) && control->Enabled());
  const TRect bounds = owner_->GetNavigatorBounds();
  Painter()->PaintNavigatorBorder(canvas, bounds, enabled, selected);
  if (inPlace_) canvas->ExcludeFromClip(bounds);
}

// ---- mouse

void TcxNavigatorViewInfo::SetHotButton(TcxNavigatorButton* button) {
  if (button == hot_) return;
  TcxNavigatorButton* old = hot_;
  hot_ = button;
  for (TcxNavigatorButton* b : {old, hot_}) {
    const Integer index = IndexOfButton(b);
    if (index >= 0 && buttons_[size_t(index)].Enabled) InvalidateButton(b);
  }
  CheckSelected();
}

void TcxNavigatorViewInfo::MouseDown(Integer x, Integer y) {
  HideHint();
  const Integer index = GetButtonIndexAt(TPoint(x, y));
  if (index < 0 || !buttons_[size_t(index)].Enabled) return;
  TcxNavigatorButton* button = buttons_[size_t(index)].Button;
  pressTimer_->SetInterval(PressDelay);
  pressTimer_->SetEnabled(true);
  pressed_ = button;
  hot_ = button;
  if (focused_ != button) {
    InvalidateButton(focused_);
    focused_ = button;
  }
  InvalidateButton(button);
  CheckSelected();
}

void TcxNavigatorViewInfo::MouseMove(Integer x, Integer y) {
  const Integer index = GetButtonIndexAt(TPoint(x, y));
  TcxNavigatorButton* button = index >= 0 ? buttons_[size_t(index)].Button : nullptr;
  if (button == hot_) return;
  SetHotButton(button);
  if (!button) {
    HideHint();
  } else if (hintWindow_) {
    ShowHint();  // a shown hint follows the mouse to the new button at once
  } else {
    hintTimer_->SetEnabled(false);
    hintTimer_->SetEnabled(true);
  }
}

void TcxNavigatorViewInfo::MouseUp(Integer x, Integer y) {
  pressTimer_->SetEnabled(false);
  TcxNavigatorButton* released = pressed_;
  pressed_ = nullptr;
  if (!released) return;
  InvalidateButton(released);
  CheckSelected();
  hintTimer_->SetEnabled(true);
  const Integer index = GetButtonIndexAt(TPoint(x, y));
  if (index >= 0 && buttons_[size_t(index)].Button == released) Click(released);
}

void TcxNavigatorViewInfo::Click(TcxNavigatorButton* button) {
  if (button->OnClick()) {
    button->OnClick()(button);
    return;
  }
  TcxCustomNavigatorButtons* buttons = button->Buttons();
  bool done = false;
  if (buttons->OnButtonClick) buttons->OnButtonClick(buttons, button->DefaultIndex(), done);
  if (!done) buttons->PerformButtonAction(button->DefaultIndex());
}

void TcxNavigatorViewInfo::PressTimerTick() {
  if (!CurrentShiftState().Contains(ssLeft)) {
    pressTimer_->SetEnabled(false);
    MouseUp(-1, -1);
    return;
  }
  pressTimer_->SetInterval(PressRepeat);
  TcxNavigatorButton* button = pressed_;
  const Integer index = IndexOfButton(button);
  if (!button || button != hot_ || index < 0 || !buttons_[size_t(index)].Enabled) return;
  if (button->DefaultIndex() != NBDI_PRIOR && button->DefaultIndex() != NBDI_NEXT) return;
  try {
    Click(button);
  } catch (...) {
    pressTimer_->SetEnabled(false);
    throw;
  }
}

// ---- hints

void TcxNavigatorViewInfo::HintTimerTick() { ShowHint(); }

void TcxNavigatorViewInfo::HideHint() {
  hintTimer_->SetEnabled(false);
  if (hintWindow_) {
    hintWindow_->Free();
    hintWindow_ = nullptr;
  }
}

void TcxNavigatorViewInfo::ShowHint() {
  HideHint();
  const Integer index = IndexOfButton(hot_);
  if (index < 0 || !owner_->GetNavigatorShowHint()) return;
  // The button's hint as it is now (a hint set since the last update counts).
  buttons_[size_t(index)].Hint = ButtonHint(hot_);
  const String text = GetShortHint(buttons_[size_t(index)].Hint);
  TWinControl* control = owner_->GetNavigatorControl();
  if (text.empty() || !ControlUnderCursorInActiveForm(control)) return;
  hintWindow_ = CreateHintWindow(nullptr);
  hintWindow_->SetColor(Application->HintColor());
  if (Application->Handle()) hintWindow_->SetParentWindow(Application->Handle());
  TRect r = hintWindow_->CalcHintRect(Screen->Width(), text);
  TPoint cursor;
  GetCursorPos(&cursor);
  const Integer below = GetCursorHeightBelowHotSpot(GetCursor());
  hintWindow_->ActivateHint(Bounds(cursor.X, cursor.Y + below, r.Width(), r.Height()), text);
}
