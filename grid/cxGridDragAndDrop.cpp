#include "grid/cxGridDragAndDrop.h"

#include <algorithm>

#include "foundation/cxGraphics.h"
#include "grid/cxGridCustomizationForm.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomGridDragAndDropObject)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridMovingObject)

// ---- the base ----------------------------------------------------------------------------------

TcxGridSite* TcxCustomGridDragAndDropObject::Site() const { return dynamic_cast<TcxGridSite*>(OwnerControl()); }

TcxCustomGridView* TcxCustomGridDragAndDropObject::GridView() const { return Site() ? Site()->GridView() : nullptr; }

TcxCustomGridViewInfo* TcxCustomGridDragAndDropObject::ViewInfo() const {
  return GridView() ? GridView()->ViewInfo() : nullptr;
}

TcxCustomGridController* TcxCustomGridDragAndDropObject::Controller() const {
  return GridView() ? GridView()->Controller() : nullptr;
}

TcxCustomGridDragAndDropObject* TcxCustomGridDragAndDropObject::InitDrag(const TPoint& p, TcxCustomGridHitTest*) {
  SourcePoint = p;
  return this;
}

void TcxCustomGridDragAndDropObject::FinishDrag(bool accepted) {
  TcxDragAndDropObject::FinishDrag(accepted);
  if (accepted && Controller()) Controller()->NotifyDesignerModified();
}

// ---- the moving object -------------------------------------------------------------------------

namespace {
// The pieces of `r` outside `cut` (left, top, right, bottom strips; empty ones left out).
std::vector<TRect> StripsOutside(const TRect& r, const TRect& cut) {
  std::vector<TRect> strips;
  if (cut.Left > r.Left) strips.emplace_back(r.Left, r.Top, std::min(cut.Left, r.Right), r.Bottom);
  if (cut.Top > r.Top) strips.emplace_back(std::max(r.Left, cut.Left), r.Top, std::min(r.Right, cut.Right), std::min(cut.Top, r.Bottom));
  if (cut.Right < r.Right) strips.emplace_back(std::max(cut.Right, r.Left), r.Top, r.Right, r.Bottom);
  if (cut.Bottom < r.Bottom)
    strips.emplace_back(std::max(r.Left, cut.Left), std::max(cut.Bottom, r.Top), std::min(r.Right, cut.Right), r.Bottom);
  std::vector<TRect> result;
  for (const TRect& s : strips)
    if (s.Left < s.Right && s.Top < s.Bottom) result.push_back(s);
  return result;
}

TRect Shifted(const TRect& r, const TPoint& origin) {
  return TRect(r.Left - origin.X, r.Top - origin.Y, r.Right - origin.X, r.Bottom - origin.Y);
}
}  // namespace

TcxCustomGridMovingObject::TcxCustomGridMovingObject(TcxControl* control) : TcxCustomGridDragAndDropObject(control) {}

TcxCustomGridMovingObject::~TcxCustomGridMovingObject() = default;

TPoint TcxCustomGridMovingObject::GetDragImageHotSpot() {
  const TRect source = GetSourceItemBounds();
  if (!dragImage_ || source.Width() <= 0 || source.Height() <= 0) return TPoint(0, 0);
  return TPoint(MulDiv(SourcePoint.X - source.Left, dragImage_->Width(), source.Width()),
                MulDiv(SourcePoint.Y - source.Top, dragImage_->Height(), source.Height()));
}

TRect TcxCustomGridMovingObject::GetArrowAreaBounds() { return ViewInfo() ? ViewInfo()->ClientBounds() : TRect(); }

TRect TcxCustomGridMovingObject::GetArrowBounds(Integer index) {
  TRect d = CalculateDestinationPoints();
  const TRect area = GetArrowAreaBounds();
  auto clampX = [&](Integer x) { return std::clamp(x, area.Left, std::max(area.Left, area.Right - 1)); };
  auto clampY = [&](Integer y) { return std::clamp(y, area.Top, std::max(area.Top, area.Bottom - 1)); };
  TRect r;
  if (AreArrowsVertical()) {
    const Integer x = clampX(d.Left);
    r = index == 0 ? TRect(x - 5, clampY(d.Top) - 9, x + 6, clampY(d.Top))
                   : TRect(x - 5, clampY(d.Bottom), x + 6, clampY(d.Bottom) + 9);
  } else {
    const Integer y = clampY(d.Top);
    r = index == 0 ? TRect(clampX(d.Left) - 9, y - 5, clampX(d.Left), y + 6)
                   : TRect(clampX(d.Right), y - 5, clampX(d.Right) + 9, y + 6);
  }
  const TPoint origin = OwnerControl()->ClientToScreen(TPoint(0, 0));
  return Shifted(r, TPoint(-origin.X, -origin.Y));
}

TRect TcxCustomGridMovingObject::GetDragImageScreenBounds(const TPoint& screenPos) {
  const Integer w = dragImage_ ? dragImage_->Width() : 0, h = dragImage_ ? dragImage_->Height() : 0;
  return TRect(screenPos.X - hotSpot_.X, screenPos.Y - hotSpot_.Y, screenPos.X - hotSpot_.X + w,
               screenPos.Y - hotSpot_.Y + h);
}

TRect TcxCustomGridMovingObject::GetSourceItemBounds() {
  if (TcxCustomGridCellViewInfo* cell = GetSourceItemViewInfo()) return cell->Bounds;
  TcxCustomGridItemsListBox* list = IsDraggedFromCustomizationForm() ? GetCustomizationListBox() : nullptr;
  const Integer index = list ? list->Items()->IndexOfObject(SourceItem) : -1;
  if (index == -1 || !Site()) return TRect();
  const TRect r = list->ItemRect(index);
  const TPoint topLeft = Site()->ScreenToClient(list->ClientToScreen(r.TopLeft()));
  return TRect(topLeft.X, topLeft.Y, topLeft.X + r.Width(), topLeft.Y + r.Height());
}

void TcxCustomGridMovingObject::PaintListItem(TcxCanvas* canvas, const TRect& r, TObject* item) {
  TcxCustomGridItemsListBox* list = GetCustomizationListBox();
  const Integer index = list ? list->Items()->IndexOfObject(item) : -1;
  if (index == -1) return;
  canvas->CurrentFont()->Assign(list->Font());
  list->PaintItem(canvas, r, index, false);
}

void TcxCustomGridMovingObject::PaintDragImage() {
  const TRect bounds = GetSourceItemBounds();
  dragImage_.reset(CreateSizedBitmap(std::max(1, bounds.Width()), std::max(1, bounds.Height())));
  if (TcxCustomGridCellViewInfo* cell = GetSourceItemViewInfo()) {
    TcxCanvas canvas(dragImage_->Canvas());
    canvas.PushDeviceState();
    canvas.SetWindowOrigin(bounds.TopLeft());
    cell->Paint(&canvas);
    canvas.PopDeviceState();
  } else if (IsDraggedFromCustomizationForm()) {
    TcxCanvas canvas(dragImage_->Canvas());
    PaintListItem(&canvas, TRect(0, 0, dragImage_->Width(), dragImage_->Height()), SourceItem);
  }
}

TCursor TcxCustomGridMovingObject::CursorFor(bool accepted) {
  if (accepted) return crArrow;
  return CanRemove() ? TCursor(crcxRemove) : TCursor(crcxNoDrop);
}

TPoint TcxCustomGridMovingObject::MouseScreenPos() { return OwnerControl()->ClientToScreen(LastPoint()); }

void TcxCustomGridMovingObject::StartDrag() {
  PaintDragImage();
  screenSave_.reset(CreateSizedBitmap(dragImage_->Width(), dragImage_->Height()));
  hotSpot_ = GetDragImageHotSpot();
  TcxCustomGridDragAndDropObject::StartDrag();
}

namespace {
// A screen canvas for one drawing step, freed after it: taking it brings the screen up to date
// with what the windows painted, so the pixels saved and drawn over are the current ones.
struct TTemporaryScreenCanvas {
  std::unique_ptr<TcxScreenCanvas> canvas{TcxScreenCanvas::CreateOnScreen()};
  HDC DC() const { return canvas->DeviceContext(); }
};
}  // namespace

void TcxCustomGridMovingObject::ShowImage() {
  if (imageShown_ || !dragImage_) return;
  imagePos_ = MouseScreenPos();
  const TRect r = GetDragImageScreenBounds(imagePos_);
  TTemporaryScreenCanvas temporary;
  HDC screen = temporary.DC();
  BitBltRect(screenSave_->Canvas()->Handle(), screen, TRect(0, 0, r.Width(), r.Height()), SRCCOPY, r.TopLeft());
  BitBltRect(screen, dragImage_->Canvas()->Handle(), r, SRCCOPY, TPoint(0, 0));
  imageShown_ = true;
}

// The old place gets back only the pixels the new place does not cover, and only the pixels of
// the new place outside the old one are read from the screen.
void TcxCustomGridMovingObject::MoveImage() {
  const TPoint pos = MouseScreenPos();
  if (pos == imagePos_) return;
  const TRect oldRect = GetDragImageScreenBounds(imagePos_), newRect = GetDragImageScreenBounds(pos);
  TRect common(std::max(oldRect.Left, newRect.Left), std::max(oldRect.Top, newRect.Top),
               std::min(oldRect.Right, newRect.Right), std::min(oldRect.Bottom, newRect.Bottom));
  if (common.Left >= common.Right || common.Top >= common.Bottom) {
    HideImage();
    ShowImage();
    return;
  }
  TTemporaryScreenCanvas temporary;
  HDC screen = temporary.DC();
  HDC save = screenSave_->Canvas()->Handle();
  for (const TRect& s : StripsOutside(oldRect, newRect)) BitBltRect(screen, save, s, SRCCOPY, Shifted(s, oldRect.TopLeft()).TopLeft());
  std::unique_ptr<TBitmap> moved(CreateSizedBitmap(screenSave_->Width(), screenSave_->Height()));
  HDC m = moved->Canvas()->Handle();
  BitBltRect(m, save, Shifted(common, newRect.TopLeft()), SRCCOPY, Shifted(common, oldRect.TopLeft()).TopLeft());
  for (const TRect& s : StripsOutside(newRect, oldRect)) BitBltRect(m, screen, Shifted(s, newRect.TopLeft()), SRCCOPY, s.TopLeft());
  screenSave_ = std::move(moved);
  BitBltRect(screen, dragImage_->Canvas()->Handle(), newRect, SRCCOPY, TPoint(0, 0));
  imagePos_ = pos;
}

void TcxCustomGridMovingObject::HideImage() {
  if (!imageShown_) return;
  const TRect r = GetDragImageScreenBounds(imagePos_);
  TTemporaryScreenCanvas temporary;
  BitBltRect(temporary.DC(), screenSave_->Canvas()->Handle(), r, SRCCOPY, TPoint(0, 0));
  imageShown_ = false;
}

void TcxCustomGridMovingObject::ShowArrows() {
  if (arrowsShown_ || !Accepted || !IsValidDestination()) return;
  if (!arrowSave_) arrowSave_.reset(CreateSizedBitmap(22, 11));
  TTemporaryScreenCanvas temporary;
  HDC screen = temporary.DC();
  for (Integer i = 0; i < 2; ++i) {
    arrowRects_[i] = GetArrowBounds(i);
    BitBltRect(arrowSave_->Canvas()->Handle(), screen, TRect(i * 11, 0, i * 11 + arrowRects_[i].Width(), arrowRects_[i].Height()),
               SRCCOPY, arrowRects_[i].TopLeft());
  }
  // Both arrows point at the destination's edge: the rectangle between their tips.
  const TRect& a = arrowRects_[0];
  const TRect& b = arrowRects_[1];
  if (AreArrowsVertical())
    DrawDragInsertionArrows(temporary.canvas.get(), TRect(a.Left + 5, a.Bottom, a.Left + 5, b.Top), 0, TColor(0x00FF00), clBlack);
  else
    DrawDragInsertionArrows(temporary.canvas.get(), TRect(a.Right, a.Top + 5, b.Left, a.Top + 5), 1, TColor(0x00FF00), clBlack);
  arrowsShown_ = true;
}

void TcxCustomGridMovingObject::HideArrows() {
  if (!arrowsShown_) return;
  TTemporaryScreenCanvas temporary;
  HDC screen = temporary.DC();
  for (Integer i = 0; i < 2; ++i) BitBltRect(screen, arrowSave_->Canvas()->Handle(), arrowRects_[i], SRCCOPY, TPoint(i * 11, 0));
  arrowsShown_ = false;
}

void TcxCustomGridMovingObject::ShowDragImages() {
  ShowArrows();
  ShowImage();
}

void TcxCustomGridMovingObject::HideDragImages() {
  HideImage();
  HideArrows();
}

void TcxCustomGridMovingObject::DirtyToggled() {
  if (DirtyState()) HideDragImages();
  else ShowDragImages();
}

void TcxCustomGridMovingObject::MoveDrag(const TPoint& p, bool& accepted) {
  Accepted = accepted;
  TcxCustomGridDragAndDropObject::MoveDrag(p, accepted);
  if (DirtyState()) return;
  if (imageShown_) MoveImage();
  else ShowDragImages();
}

void TcxCustomGridMovingObject::BeforeFinishDrag(bool accepted) {
  HideDragImages();
  TcxCustomGridDragAndDropObject::BeforeFinishDrag(accepted);
  dragImage_.reset();
  screenSave_.reset();
}
