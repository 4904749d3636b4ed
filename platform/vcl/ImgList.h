// Image lists: equally sized images with transparency, drawn normal or disabled, stored in
// form descriptions; and the drag image list that shows an image under the mouse while
// something is dragged.
#pragma once

#include <memory>
#include <vector>

#include "vcl/Controls.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

KORVAN_EXCEPTION(EInvalidImageListOperation, Exception);

class TCustomImageList;

// A link through which an image list tells a user of it about every change. The list knows
// its links: a link freed while registered leaves the list, a list freed first clears the
// links' Sender.
class TChangeLink : public TObject {
  KORVAN_CLASS(TChangeLink, TObject)

 public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return sender_; }
  void SetSender(TCustomImageList* v) { sender_ = v; }
  virtual void Change();
  TNotifyEvent OnChange;

 private:
  TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
  KORVAN_CLASS(TCustomImageList, TComponent)

 public:
  explicit TCustomImageList(TComponent* owner);
  TCustomImageList(TComponent* owner, Integer width, Integer height);
  ~TCustomImageList() override;
  void Assign(TPersistent* source) override;

  Integer Width() const { return width_; }
  void SetWidth(Integer v);
  Integer Height() const { return height_; }
  void SetHeight(Integer v);
  Integer Count() const { return Integer(images_.size()); }
  bool Masked() const { return masked_; }
  void SetMasked(bool v) { masked_ = v; }
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor v) { bkColor_ = v; Change(); }
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor v) { blendColor_ = v; }
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle v) { drawingStyle_ = v; }
  TImageType ImageType() const { return imageType_; }
  void SetImageType(TImageType v) { imageType_ = v; }
  Integer AllocBy() const { return allocBy_; }
  void SetAllocBy(Integer v) { allocBy_ = v; }

  // Adds the images of a strip (each Width wide); `mask` marks transparent pixels in white
  // (nullptr: none). Returns the index of the first image added.
  Integer Add(TBitmap* image, TBitmap* mask);
  // Pixels of `maskColor` become transparent.
  // Pixels of the mask colour become transparent; clDefault takes the bitmap's transparent colour.
  Integer AddMasked(TBitmap* image, TColor maskColor);
  // A 32-bit image whose alpha channel is the transparency.
  Integer AddAlpha(TBitmap* image);
  Integer AddIcon(TIcon* icon);
  void Replace(Integer index, TBitmap* image, TBitmap* mask);
  void Delete(Integer index);
  void Clear();
  void Move(Integer curIndex, Integer newIndex);
  void Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled = true);
  void DrawOverlay(TCanvas* canvas, Integer x, Integer y, Integer index, Integer overlay, bool enabled = true);
  // Copies an image onto a bitmap of the list's size (transparent parts in the bitmap's
  // background colour, clBtnFace).
  void GetBitmap(Integer index, TBitmap* image);
  // The image with alpha (32-bit).
  TBitmap* Image(Integer index) const;

  TNotifyEvent OnChange;

  // Links told about every change (each once; nil ignored).
  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);

 protected:
  void DefineProperties(TFiler* filer) override;
  virtual void Change();
  void CheckIndex(Integer index) const;
  void ReadData(TStream& s);
  void WriteData(TStream& s);

  Integer width_ = 16, height_ = 16;
  bool masked_ = true;
  TColor bkColor_ = clNone, blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  Integer allocBy_ = 4;
  std::vector<std::unique_ptr<TBitmap>> images_;
  std::vector<TChangeLink*> links_;
};

// A list that can show one of its images under the mouse while dragging.
class TDragImageList : public TCustomImageList {
  KORVAN_CLASS(TDragImageList, TCustomImageList)

 public:
  using TCustomImageList::TCustomImageList;
  ~TDragImageList() override;
  // Which image is dragged and where the mouse holds it.
  bool SetDragImage(Integer index, Integer hotSpotX, Integer hotSpotY);
  TPoint DragHotspot() const { return hotSpot_; }
  // Starts showing the drag image at a point of `window`'s client area (null: screen).
  bool BeginDrag(HWND window, Integer x, Integer y);
  bool DragMove(Integer x, Integer y);
  bool EndDrag();
  void HideDragImage();
  void ShowDragImage();
  bool Dragging() const { return dragging_; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor v) { dragCursor_ = v; }
  TPoint DragPosition() const { return pos_; }

 private:
  void Paint(TPoint screen);
  Integer dragIndex_ = 0;
  TPoint hotSpot_;
  bool dragging_ = false;
  bool shown_ = false;
  HWND window_ = nullptr;
  TPoint pos_;
  TCursor dragCursor_ = crNone;
};

class TImageList : public TDragImageList {
  KORVAN_CLASS(TImageList, TDragImageList)

 public:
  using TDragImageList::TDragImageList;
};

void InitializeImgList();
