// Drag and drop of TcxControl: the internal drag with its drag-and-drop object, the
// framework drag (drag object, drag images) and the drag-detection loop.
#include "foundation/cxControls.h"
#include "foundation/cxControlsInternal.h"

namespace {
TDragObject* gCurrentVclDragObject = nullptr;
}  // namespace

TDragObject*& cxcontrols_internal::CurrentVclDragObject() { return gCurrentVclDragObject; }

// ---- the drag-and-drop object --------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxDragAndDropObject)

TcxDragAndDropObject::TcxDragAndDropObject(TcxControl* control)
    : feedbackCanvas_(control ? control->Canvas() : nullptr), ownerControl_(control) {}

void TcxDragAndDropObject::MoveDrag(const TPoint&, bool& accepted) {
  dirtyState_ = false;
  Screen->SetCursor(CursorFor(accepted));
}

void TcxDragAndDropObject::UpdateDirty(bool value) {
  if (value == dirtyState_) return;
  dirtyState_ = value;
  DirtyToggled();
}

void TcxDragAndDropObject::BeginAtCursor() {
  TPoint p;
  QueryCursorPos(p);
  if (ownerControl_) p = ownerControl_->ScreenToClient(p);
  lastPoint_ = previousPoint_ = p;
  StartDrag();
}

void TcxDragAndDropObject::MoveTo(const TPoint& p, bool& accepted) {
  previousPoint_ = lastPoint_;
  lastPoint_ = p;
  MoveDrag(p, accepted);
}

void TcxDragAndDropObject::EndWith(bool accepted) {
  BeforeFinishDrag(accepted);
  FinishDrag(accepted);
}

// ---- the framework drag object -------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxDragControlObject)
KORVAN_IMPLEMENT_CLASS(TcxDragImageList)

TCursor TcxDragControlObject::GetDragCursor(bool accepted, Integer x, Integer y) {
  auto* source = dynamic_cast<TcxControl*>(Control());
  if (accepted && source && source->IsCopyDrag()) return crDragCopy;
  return TDragControlObject::GetDragCursor(accepted, x, y);
}

// ---- the internal drag ---------------------------------------------------------------------

TcxDragAndDropObjectClass TcxControl::DragObjectClass() {
  if (dragOperationClass_) return dragOperationClass_;
  return [](TcxControl* control) { return new TcxDragAndDropObject(control); };
}

TcxDragAndDropObject* TcxControl::EnsureDragAndDropObject() {
  if (!dragOperation_) dragOperation_ = DragObjectClass()(this);
  return dragOperation_;
}

void TcxControl::SetDragPhase(TcxDragPhase v) {
  if (v == dragPhase_) return;
  dragPhase_ = v;
  if (v == dphNone && !endingDrag_) CancelMouseOperation();
}

void TcxControl::BeginDragAndDropMode() {
  EnsureDragAndDropObject()->BeginAtCursor();
  SetMouseCapture(true);
  cursorBeforeDrag_ = Screen->Cursor();
  SetDragPhase(dphActive);
}

void TcxControl::TrackDragAndDrop(const TPoint& p, bool& accepted) {
  if (dragOperation_) dragOperation_->MoveTo(p, accepted);
}

void TcxControl::StopDragAndDrop(bool accepted) {
  SetDragPhase(dphNone);
  Screen->SetCursor(cursorBeforeDrag_);
  SetMouseCapture(false);
  SetMouseCaptureHolder(nullptr);
  if (dragOperation_) dragOperation_->EndWith(accepted);
}

void TcxControl::CompleteDragAndDrop(bool accepted) {
  if (endingDrag_) return;
  endingDrag_ = true;
  TcxObjectLinkGuard link(this);
  struct TReset {
    TcxObjectLinkGuard& link;
    TcxControl* self;
    ~TReset() {
      if (link.Alive()) self->endingDrag_ = false;
    }
  } reset{link, this};
  if (dragPhase_ == dphActive) StopDragAndDrop(accepted);
  else SetDragPhase(dphNone);
  if (!link.Alive()) return;
  TcxDragAndDropObject* object = dragOperation_;
  dragOperation_ = nullptr;
  if (object) object->Free();
}

// ---- the framework drag --------------------------------------------------------------------

void TcxControl::DoStartDrag(TDragObject*& dragObject) {
  Update();
  TCustomControl::DoStartDrag(dragObject);
  // The class a descendant names is made through its registered constructor; a class that is
  // no control drag object cannot take the control and gives no object.
  TClass cls = VclDragObjectClass();
  if (!dragObject && cls && cls->InheritsFrom(TcxDragControlObject::StaticClass()) && !cls->IsAbstract())
    dragObject = static_cast<TcxDragControlObject*>(cls->Create(this));
  if (dragObject && !AllowsVclDragObject(dragObject)) {
    dragObject->Free();
    dragObject = nullptr;
    TDragManager::Instance().Finish(false);
  }
}

void TcxControl::DoEndDrag(TObject* target, Integer x, Integer y) {
  TCustomControl::DoEndDrag(target, x, y);
  dragImageList_.reset();
}

void TcxControl::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  if (auto* drag = dynamic_cast<TDragObject*>(source))
    gCurrentVclDragObject = state == dsDragLeave ? nullptr : drag;
  TCustomControl::DragOver(source, x, y, state, accept);
}

TDragImageList* TcxControl::DoGetDragImages() {
  if (!UsesDragImages()) return nullptr;
  if (!dragImageList_) {
    auto* list = dynamic_cast<TDragImageList*>(DragImagesClass()->Create(nullptr));
    if (!list) return nullptr;
    dragImageList_.reset(list);
    FillDragImages(list);
  }
  return dragImageList_->Count() > 0 ? dragImageList_.get() : nullptr;
}

void TcxControl::FillDragImages(TDragImageList* list) {
  TSize size;
  DragImagesExtent(size);
  // The image list refuses an empty size: without both extents it keeps its own and stays
  // empty.
  if (size.cx <= 0 || size.cy <= 0) return;
  list->SetWidth(size.cx);
  list->SetHeight(size.cy);
  TBitmap bitmap;
  bitmap.SetSize(size.cx, size.cy);
  {
    TcxCanvas canvas(bitmap.Canvas());
    DrawDragImage(&canvas, TRect(0, 0, size.cx, size.cy));
  }
  list->AddMasked(&bitmap, bitmap.TransparentColor());
}

void TcxControl::HideVclDragImage() {
  if (gCurrentVclDragObject) gCurrentVclDragObject->HideDragImage();
}

void TcxControl::ShowVclDragImage() {
  if (gCurrentVclDragObject) gCurrentVclDragObject->ShowDragImage();
}

// ---- drag detection ------------------------------------------------------------------------

Integer DetectDragStart(HWND wnd) {
  Integer result = 2;
  TPoint cursor;
  QueryCursorPos(cursor);
  Integer t = GetSystemMetrics(SM_CXDRAG);
  TRect square(cursor.X - t, cursor.Y - t, cursor.X + t, cursor.Y + t);
  SetCapture(wnd);
  struct TRelease {
    HWND wnd;
    ~TRelease() {
      if (GetCapture() == wnd) ReleaseCapture();
    }
  } release{wnd};
  while (GetCapture() == wnd) {
    MSG msg;
    BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    bool leave = false;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE) {
      leave = true;
    } else if (msg.message == WM_MOUSEMOVE && msg.hwnd == wnd) {
      TPoint p(SHORT(LOWORD(uintptr_t(msg.lParam))), SHORT(HIWORD(uintptr_t(msg.lParam))));
      ClientToScreen(wnd, &p);
      if (!square.Contains(p)) {
        result = 1;
        leave = true;
      }
    } else if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP || msg.message == WM_MBUTTONUP) {
      result = 0;
      leave = true;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    if (leave) break;
  }
  return result;
}
