// Field drag and drop and header resizing of the pivot grid. The dragged header's picture and
// the insert arrows are drawn on the screen; the pixels they cover are saved first and put
// back, so nothing is repainted while dragging.
#include <algorithm>
#include <cmath>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxPivotGridCustomization.h"

KORVAN_IMPLEMENT_CLASS(TcxPivotGridCustomDragDropObject)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridResizingObject)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridDragAndDropObject)

TcxCustomPivotGrid* TcxPivotGridCustomDragDropObject::PivotGrid() {
  return static_cast<TcxCustomPivotGrid*>(OwnerControl());
}

// ---- resizing ------------------------------------------------------------------------------------------

TCursor TcxPivotGridResizingObject::CursorFor(bool) { return crcxHorzSize; }

TRect TcxPivotGridResizingObject::LineRect() const {
  int delta = CurrentX - StartX;
  int x = std::min(std::max(LineBounds.Left, ResizeStart + delta), LineBounds.Right) - 1;
  return TRect(x, LineBounds.Top, x + 2, LineBounds.Bottom);
}

void TcxPivotGridResizingObject::DirtyToggled() {
  // Inverting draws the line and inverting again erases it.
  if (TcxCanvas* c = PivotGrid()->Canvas()) c->InvertArea(LineRect());
}

void TcxPivotGridResizingObject::StartDrag() {
  TcxCustomPivotGrid* grid = PivotGrid();
  TcxPivotGridViewInfo* vi = grid->ViewInfo();
  TcxPivotGridHitTest* ht = grid->HitTest();
  TPoint p = LastPoint();
  LineBounds = vi->RowHeadersBounds;
  LineBounds.Right = vi->Bounds.Right;
  if (vi->RowHeadersBounds.Top >= p.Y) {
    LineBounds.Left = vi->ColumnHeadersBounds.Left;
    LineBounds.Top = vi->ColumnHeadersBounds.Bottom - vi->RowHeight();
  }
  StartX = CurrentX = p.X;
  ResizeObject = ht->ResizeObject;
  ResizeStart = ht->ResizeStart;
  EdgeOffset = ResizeStart - StartX;
  if (ResizeObject) LineBounds.Left = ResizeStart + ResizeObject->GetMinWidth() - ResizeObject->GetActualWidth();
  lineShown_ = true;
  DirtyToggled();
}

void TcxPivotGridResizingObject::MoveDrag(const TPoint& p, bool& accepted) {
  accepted = true;
  if (p.X != CurrentX) {
    if (lineShown_) DirtyToggled();
    CurrentX = p.X;
    DirtyToggled();
    lineShown_ = true;
  }
  TcxDragAndDropObject::MoveDrag(p, accepted);
}

void TcxPivotGridResizingObject::BeforeFinishDrag(bool accepted) {
  if (lineShown_) DirtyToggled();
  lineShown_ = false;
  int delta = CurrentX - StartX;
  if (accepted && delta != 0 && ResizeObject) {
    // Dragged past the minimum gives the minimum, never 0 (which would mean automatic).
    ResizeObject->SetWidth(std::max(ResizeObject->GetMinWidth(), ResizeObject->GetActualWidth() + delta));
    PivotGrid()->NotifyDesignerModified();
  }
  TcxDragAndDropObject::BeforeFinishDrag(accepted);
}

// ---- field drag ------------------------------------------------------------------------------------------

TcxPivotGridDragAndDropObject::TcxPivotGridDragAndDropObject(TcxControl* control)
    : TcxPivotGridCustomDragDropObject(control) {}

TcxPivotGridDragAndDropObject::~TcxPivotGridDragAndDropObject() {
  // Freed with its control in the middle of the drag: the screen gets its pixels back.
  HideImage();
  HideArrows();
}

TPoint TcxPivotGridDragAndDropObject::ScreenPoint(const TPoint& p) {
  TcxCustomPivotGrid* grid = PivotGrid();
  return grid->HandleAllocated() ? grid->ClientToScreen(p) : p;
}

TcxPivotGridFieldHeaderCellViewInfo* TcxPivotGridDragAndDropObject::Header() {
  if (!DragField) return nullptr;
  if (auto* f = dynamic_cast<TcxPivotGridField*>(DragFieldObject))
    if (f->Group() && f->Group()->Visible() && f->Group()->FieldCount() > 0) return f->Group()->Fields(0)->GetHeaderViewInfo();
  return DragField->GetHeaderViewInfo();
}

std::vector<TcxPivotGridField*> TcxPivotGridDragAndDropObject::GroupMembers() {
  std::vector<TcxPivotGridField*> list;
  auto* f = dynamic_cast<TcxPivotGridField*>(DragFieldObject);
  if (!f || !f->Group() || !f->Group()->Visible()) return list;
  TcxPivotGridFieldGroup* g = f->Group();
  for (int i = 0; i < g->FieldCount(); ++i) {
    if (!g->Fields(i)->IsShownInView()) break;
    list.push_back(g->Fields(i));
  }
  return list;
}

TSize TcxPivotGridDragAndDropObject::GetDragImageSize() {
  if (ImageSizeCalculated) return ImageSize;
  ImageSize = TSize(0, 0);
  std::vector<TcxPivotGridField*> members = GroupMembers();
  if (members.empty()) {
    if (TcxPivotGridFieldHeaderCellViewInfo* h = Header())
      ImageSize = TSize(h->Bounds.Width(), h->Bounds.Height());
  } else {
    for (std::size_t i = 0; i < members.size(); ++i) {
      TRect b = members[i]->GetHeaderViewInfo()->Bounds;
      ImageSize.cx += b.Width() + (i > 0 ? 3 : 0);
      ImageSize.cy = std::max(ImageSize.cy, b.Height());
    }
  }
  if (ImageSize.cx <= 0 || ImageSize.cy <= 0) {
    TcxPivotGridViewInfo* vi = PivotGrid()->ViewInfo();
    ImageSize = TSize(std::max(1, ImageSize.cx > 0 ? ImageSize.cx : 100), std::max(1, vi->HeaderHeight));
  }
  ImageSizeCalculated = true;
  return ImageSize;
}

TBitmap* TcxPivotGridDragAndDropObject::CreateDragImage() {
  TSize size = GetDragImageSize();
  TBitmap* image = CreateSizedBitmap(size.cx, size.cy, pf32bit);
  GapColumns.assign(std::size_t(size.cx), 0);
  TcxCanvas canvas(image->Canvas());
  TcxCustomPivotGrid* grid = PivotGrid();
  TcxPivotGridFieldHeaderCustomDraw draw = [grid](TcxCanvas* c, TcxPivotGridFieldHeaderCellViewInfo* cell, bool& done) {
    grid->DoCustomDrawFieldHeader(c, cell, done);
  };
  std::vector<TcxPivotGridField*> members = GroupMembers();
  if (members.empty()) {
    if (TcxPivotGridFieldHeaderCellViewInfo* h = Header()) h->PaintTo(&canvas, TRect(0, 0, size.cx, size.cy), draw, cxbsNormal);
    return image;
  }
  int x = 0;
  for (std::size_t i = 0; i < members.size(); ++i) {
    TcxPivotGridFieldHeaderCellViewInfo* h = members[i]->GetHeaderViewInfo();
    int w = h->Bounds.Width();
    h->PaintTo(&canvas, TRect(x, 0, x + w, size.cy), draw, cxbsNormal);
    x += w;
    if (i + 1 < members.size())
      for (int g = 0; g < 3 && x + g < size.cx; ++g) GapColumns[std::size_t(x + g)] = 1;
    x += 3;
  }
  return image;
}

void TcxPivotGridDragAndDropObject::StartDrag() {
  TcxCustomPivotGrid* grid = PivotGrid();
  DragField = grid->Controller()->TakePressedField();
  if (!DragField) return;
  DragFieldObject = dynamic_cast<TObject*>(DragField);
  DragImage.reset(CreateDragImage());
  TSize size = GetDragImageSize();
  ImageBackground.reset(CreateSizedBitmap(size.cx, size.cy, pf32bit));
  WorkImage.reset(CreateSizedBitmap(size.cx, size.cy, pf32bit));
  TPoint start = LastPoint();
  TcxPivotGridFieldHeaderCellViewInfo* h = Header();
  TPoint headerTopLeft = h && h->Visible ? h->Bounds.TopLeft() : TPoint(0, 0);
  HotSpot = TPoint(headerTopLeft.X - start.X, headerTopLeft.Y - start.Y);
  // The header stays pressed while it is dragged.
  DragField->SetHeaderState(cxbsPressed);
}

void TcxPivotGridDragAndDropObject::FieldFreed(TObject* field) {
  if (field != DragFieldObject) return;
  HideImage();
  HideArrows();
  DragField = nullptr;
  DragFieldObject = nullptr;
  HasDropArea = false;
  Accepted = false;
}

bool TcxPivotGridDragAndDropObject::IsOverCustomizationForm() {
  TcxPivotGridCustomization* c = PivotGrid()->Customization();
  if (!c || !c->Visible()) return false;
  TcxPivotGridCustomCustomizationForm* form = c->FormIfCreated();
  return form->BoundsRect().Contains(ScreenPoint(CurrentPoint()));
}

// A field dragged out of every drop area is hidden while the field list shows: anywhere with
// OptionsCustomize.Hiding, else only over the field list.
bool TcxPivotGridDragAndDropObject::CanRemove() {
  TcxCustomPivotGrid* grid = PivotGrid();
  if (!DragField || !grid->Customization() || !grid->Customization()->Visible() || !DragField->CanHide()) return false;
  return grid->OptionsCustomize()->Hiding() || IsOverCustomizationForm();
}

bool TcxPivotGridDragAndDropObject::FindDropArea(const TPoint& p, TcxPivotGridDragDropAreaInfo*& area) {
  area = nullptr;
  for (auto& a : PivotGrid()->ViewInfo()->DropAreas)
    if (a->Bounds.Contains(p)) {
      area = a.get();
      break;
    }
  return area && DragField && DragField->IsAreaAllowed(area->Area);
}

bool TcxPivotGridDragAndDropObject::IsSamePosition() {
  if (!DragField || !HasDropArea || !DragField->GetVisible()) return false;
  TcxPivotGridFieldHeaderCellViewInfo* h = DragField->GetHeaderViewInfo();
  if (!h || h->AreaIndex < 0 || h->Area != DropArea.Area) return false;
  std::vector<TcxPivotGridField*> members = GroupMembers();
  if (!members.empty()) {
    int start = members.front()->GetHeaderViewInfo()->AreaIndex;
    return DropArea.AreaIndex >= start && DropArea.AreaIndex <= start + int(members.size());
  }
  int d = DropArea.AreaIndex - h->AreaIndex;
  return d == 0 || d == 1 || DropArea.Field == DragFieldObject;
}

namespace {

// No field group may be split: the insert position must not fall inside another group's run.
bool GroupsAcceptPosition(TcxCustomPivotGrid* grid, TcxPivotGridFieldArea area, int index, TObject* dragged) {
  auto* draggedField = dynamic_cast<TcxPivotGridField*>(dragged);
  TcxPivotGridViewInfo* vi = grid->ViewInfo();
  for (int i = 0; i < vi->FieldHeaders.Count(); ++i) {
    auto* h = static_cast<TcxPivotGridFieldHeaderCellViewInfo*>(vi->FieldHeaders[i]);
    if (h->Area != area || !h->Group || h->AreaIndex <= 0) continue;
    if (draggedField && draggedField->Group() == h->Group) continue;
    TcxPivotGridField* f = h->Field();
    if (f && h->Group->IndexOf(f) > 0 && h->AreaIndex == index) return false;
  }
  return true;
}

}  // namespace

TCursor TcxPivotGridDragAndDropObject::CursorFor(bool accepted) {
  bool remove = CanRemove();
  if (accepted || (remove && IsOverCustomizationForm())) return crArrow;
  return remove ? crcxRemove : crcxNoDrop;
}

void TcxPivotGridDragAndDropObject::BlendImage() {
  TRGBColors image, background;
  ReadBitmapPixels(DragImage.get(), true, image);
  ReadBitmapPixels(ImageBackground.get(), true, background);
  int w = DragImage->Width(), h = DragImage->Height();
  int middle = h / 2;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
      bool gap = x < int(GapColumns.size()) && GapColumns[std::size_t(x)] && y != middle;
      if (gap) continue;
      TRGBQuadValue a = image[i], b = background[i], r = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        long v = std::lround(((a >> shift) & 0xFF) * 0.7843137254901961) +
                 std::lround(((b >> shift) & 0xFF) * 0.21568627450980393);
        r |= TRGBQuadValue(std::min(255L, v)) << shift;
      }
      background[i] = r | 0xFF000000u;
    }
  WriteBitmapPixels(WorkImage.get(), background, true);
}

void TcxPivotGridDragAndDropObject::ShowImage(const TPoint& pos) {
  if (!DragImage || ImageShown) return;
  HDC screen = LazyScreenCanvas()->DeviceContext();
  TSize size = GetDragImageSize();
  ImagePos = pos;
  TRect local(0, 0, size.cx, size.cy);
  BitBltRect(ImageBackground->Canvas()->Handle(), screen, local, SRCCOPY, pos);
  BlendImage();
  BitBltRect(screen, WorkImage->Canvas()->Handle(), RectFromPosSize(pos.X, pos.Y, size.cx, size.cy), SRCCOPY,
             TPoint(0, 0));
  ImageShown = true;
}

// Moves a shown picture to an overlapping place in one screen update: the old place gets its
// saved pixels back and the new place's pixels are saved, all in a buffer over both places.
void TcxPivotGridDragAndDropObject::MoveImage(const TPoint& pos) {
  HDC screen = LazyScreenCanvas()->DeviceContext();
  TSize size = GetDragImageSize();
  TRect oldRect = RectFromPosSize(ImagePos.X, ImagePos.Y, size.cx, size.cy);
  TRect newRect = RectFromPosSize(pos.X, pos.Y, size.cx, size.cy);
  TRect u(std::min(oldRect.Left, newRect.Left), std::min(oldRect.Top, newRect.Top),
          std::max(oldRect.Right, newRect.Right), std::max(oldRect.Bottom, newRect.Bottom));
  std::unique_ptr<TBitmap> buffer(CreateSizedBitmap(u.Width(), u.Height(), pf32bit));
  HDC b = buffer->Canvas()->Handle();
  BitBltRect(b, screen, TRect(0, 0, u.Width(), u.Height()), SRCCOPY, u.TopLeft());
  BitBltRect(b, ImageBackground->Canvas()->Handle(),
             RectFromPosSize(oldRect.Left - u.Left, oldRect.Top - u.Top, size.cx, size.cy), SRCCOPY, TPoint(0, 0));
  BitBltRect(ImageBackground->Canvas()->Handle(), b, TRect(0, 0, size.cx, size.cy), SRCCOPY,
             TPoint(newRect.Left - u.Left, newRect.Top - u.Top));
  BlendImage();
  BitBltRect(b, WorkImage->Canvas()->Handle(),
             RectFromPosSize(newRect.Left - u.Left, newRect.Top - u.Top, size.cx, size.cy), SRCCOPY, TPoint(0, 0));
  BitBltRect(screen, b, u, SRCCOPY, TPoint(0, 0));
  ImagePos = pos;
}

void TcxPivotGridDragAndDropObject::HideImage() {
  if (!ImageShown) return;
  HDC screen = LazyScreenCanvas()->DeviceContext();
  TSize size = GetDragImageSize();
  BitBltRect(screen, ImageBackground->Canvas()->Handle(), RectFromPosSize(ImagePos.X, ImagePos.Y, size.cx, size.cy),
             SRCCOPY, TPoint(0, 0));
  ImageShown = false;
}

void TcxPivotGridDragAndDropObject::ShowArrows(const TRect& mark) {
  HDC screen = LazyScreenCanvas()->DeviceContext();
  if (!ArrowsBackground) ArrowsBackground.reset(CreateSizedBitmap(20, 40, pf32bit));
  MarkBounds = mark;
  HDC bg = ArrowsBackground->Canvas()->Handle();
  BitBltRect(bg, screen, TRect(0, 0, 20, 20), SRCCOPY, TPoint(mark.Left - 10, mark.Top - 10));
  BitBltRect(bg, screen, TRect(0, 20, 20, 40), SRCCOPY, TPoint(mark.Left - 10, mark.Bottom));
  DrawDragInsertionArrows(LazyScreenCanvas(), mark, 0, PivotGrid()->OptionsView()->DropArrowColor(), clBtnText);
  ArrowsShown = true;
}

void TcxPivotGridDragAndDropObject::HideArrows() {
  if (!ArrowsShown) return;
  HDC screen = LazyScreenCanvas()->DeviceContext();
  HDC bg = ArrowsBackground->Canvas()->Handle();
  BitBltRect(screen, bg, TRect(MarkBounds.Left - 10, MarkBounds.Top - 10, MarkBounds.Left + 10, MarkBounds.Top), SRCCOPY,
             TPoint(0, 0));
  BitBltRect(screen, bg, TRect(MarkBounds.Left - 10, MarkBounds.Bottom, MarkBounds.Left + 10, MarkBounds.Bottom + 10),
             SRCCOPY, TPoint(0, 20));
  ArrowsShown = false;
}

void TcxPivotGridDragAndDropObject::MoveDrag(const TPoint& p, bool& accepted) {
  TcxCustomPivotGrid* grid = PivotGrid();
  TcxPivotGridDragDropAreaInfo* area = nullptr;
  accepted = DragField && FindDropArea(p, area);
  HasDropArea = area != nullptr;
  if (area) DropArea = *area;
  bool same = accepted && IsSamePosition();
  if (accepted && !same) accepted = GroupsAcceptPosition(grid, DropArea.Area, DropArea.AreaIndex, DragFieldObject);
  TcxDragAndDropObject::MoveDrag(p, accepted);
  if (!DragField) {
    Accepted = false;
    return;
  }
  TPoint screenPoint = ScreenPoint(p);
  TPoint pos(screenPoint.X + HotSpot.X, screenPoint.Y + HotSpot.Y);
  if (!ImageShown) {
    ShowImage(pos);
  } else if (!(pos == ImagePos)) {
    TSize size = GetDragImageSize();
    bool overlap = std::abs(pos.X - ImagePos.X) < size.cx && std::abs(pos.Y - ImagePos.Y) < size.cy;
    if (overlap) {
      MoveImage(pos);
    } else {
      HideImage();
      ShowImage(pos);
    }
  }
  if (!accepted || same) {
    if (ArrowsShown) {
      HideImage();
      HideArrows();
      ShowImage(pos);
    }
  } else {
    TRect mark = DropArea.MarkBounds;
    TPoint tl = ScreenPoint(mark.TopLeft()), br = ScreenPoint(mark.BottomRight());
    TRect screenMark(tl, br);
    if (!ArrowsShown || !(screenMark == MarkBounds)) {
      HideImage();
      HideArrows();
      ShowArrows(screenMark);
      ShowImage(pos);
    }
  }
  Accepted = accepted;
}

void TcxPivotGridDragAndDropObject::DropTo(TcxPivotGridFieldArea area, int index) {
  TcxCustomPivotGrid* grid = PivotGrid();
  if (!DragField) return;
  auto* field = dynamic_cast<TcxPivotGridField*>(DragFieldObject);
  TcxObjectLinkGuard link(field ? static_cast<TObject*>(field) : grid);
  if (!IsSamePosition()) {
    PushHourglassCursor();
    struct TPop {
      ~TPop() { PopHourglassCursor(); }
    } pop;
    if (!field) {
      // The "Data" header reports its move itself, after its own update bracket.
      DragField->SetAreaPosition(area, index);
      grid->NotifyDesignerModified();
      return;
    }
    grid->BeginUpdate();
    try {
      field->SetAreaPosition(area, index);
    } catch (...) {
      grid->EndUpdate();
      throw;
    }
    grid->EndUpdate();
    grid->NotifyDesignerModified();
  }
  // Every drop is reported, one at the place it came from too: the handler may act on the
  // field's area whether or not it moved.
  grid->DoFieldPosChanged(field && link.Alive() ? field : nullptr);
}

void TcxPivotGridDragAndDropObject::BeforeFinishDrag(bool accepted) {
  HideImage();
  HideArrows();
  if (DragField) DragField->SetHeaderState(cxbsNormal);
  dropPending_ = accepted && Accepted && HasDropArea && DragField;
  hidePending_ = accepted && !dropPending_ && CanRemove();
  DragImage.reset();
  ImageBackground.reset();
  WorkImage.reset();
  ArrowsBackground.reset();
  GapColumns.clear();
  TcxDragAndDropObject::BeforeFinishDrag(accepted);
}

// The drop comes last: a handler of the field's move may free the grid and with it this object.
void TcxPivotGridDragAndDropObject::FinishDrag(bool) {
  if (hidePending_ && DragField) {
    hidePending_ = false;
    // Hidden by dragging out: the whole field group when the field has one.
    auto* field = dynamic_cast<TcxPivotGridField*>(DragFieldObject);
    if (field && field->Group())
      field->Group()->SetVisible(false);
    else
      DragField->SetVisible(false);
    PivotGrid()->NotifyDesignerModified();
  }
  if (!dropPending_) return;
  dropPending_ = false;
  DropTo(DropArea.Area, DropArea.AreaIndex);
}
