// Graphics of the class framework: colours, fonts, pens, brushes, the canvas over a device
// context, and the picture classes (bitmap, icon, JPEG image, metafile, picture).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "gdi/Gdi.h"
#include "rtl/Classes.h"

// ---- colours -------------------------------------------------------------------------------

// A colour: 0x00BBGGRR, or a system colour (clSystemColor | index), or one of the sentinels.
using TColor = Integer;

constexpr TColor clSystemColor = TColor(0xFF000000);
constexpr TColor clNone = 0x1FFFFFFF;     // draw nothing
constexpr TColor clDefault = 0x20000000;  // not assigned: the default applies

constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

// The RGB value of a colour: system colours through GetSysColor; clNone and clDefault are
// returned unchanged (callers test for them first).
COLORREF ColorToRGB(TColor color);
// Colour names of the form format: "clBtnFace" <-> value.
bool ColorToIdent(TColor color, String& ident);
bool IdentToColor(const String& ident, TColor& color);
// A name, or "$00BBGGRR" for a colour without one.
String ColorToString(TColor color);
// A name, a decimal or "$" hexadecimal number; raises EConvertError otherwise.
TColor StringToColor(const String& s);
// Character set names of the form format: "SHIFTJIS_CHARSET" <-> 128.
bool CharsetToIdent(Integer charset, String& ident);
bool IdentToCharset(const String& ident, Integer& charset);

// ---- fonts, pens, brushes ------------------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle, 4>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

using TNotifyEvent = std::function<void(TObject* sender)>;

class TBitmap;

// Common base of TFont, TPen and TBrush: change notification and a cached handle that is
// made on first use and dropped when a property changes.
class TGraphicsObject : public TPersistent {
  KORVAN_CLASS(TGraphicsObject, TPersistent)

 public:
  TGraphicsObject() = default;
  TNotifyEvent OnChange;
  // True when the handle is made and selected into some canvas (used by canvases to know
  // whether to reselect).
  bool HandleAllocated() const { return handle_ != nullptr; }

 protected:
  virtual void Changed();
  void DropHandle();
  HGDIOBJ handle_ = nullptr;
  ~TGraphicsObject() override;
};

class TFont : public TGraphicsObject {
  KORVAN_CLASS(TFont, TGraphicsObject)

 public:
  TFont();
  void Assign(TPersistent* source) override;

  HFONT Handle();
  void SetHandle(HFONT font);  // takes the description of the font
  String Name() const { return name_; }
  void SetName(const String& v);
  Integer Height() const { return height_; }
  void SetHeight(Integer v);
  Integer Size() const;
  void SetSize(Integer v);
  TFontStyles Style() const { return style_; }
  void SetStyle(const TFontStyles& v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset v);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch v);
  Integer PixelsPerInch() const { return ppi_; }
  void SetPixelsPerInch(Integer v) { ppi_ = v; }
  // Whether two fonts describe the same font (name, height, style, colour, charset, pitch).
  bool IsEqual(const TFont& other) const;

 private:
  String name_ = "MS Sans Serif";
  Integer height_ = -11;
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  Integer ppi_ = 96;
};

class TPen : public TGraphicsObject {
  KORVAN_CLASS(TPen, TGraphicsObject)

 public:
  TPen() = default;
  void Assign(TPersistent* source) override;
  HPEN Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  Integer Width() const { return width_; }
  void SetWidth(Integer v);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle v);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode v);

 private:
  TColor color_ = clBlack;
  Integer width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
  KORVAN_CLASS(TBrush, TGraphicsObject)

 public:
  TBrush() = default;
  ~TBrush() override;
  void Assign(TPersistent* source) override;
  HBRUSH Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle v);
  // A pattern bitmap; the brush does not own it.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* v);

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
};

// ---- canvas --------------------------------------------------------------------------------

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates, 4>;
enum TFillStyle { fsSurface, fsBorder };
using TCopyMode = Integer;
constexpr TCopyMode cmSrcCopy = SRCCOPY, cmSrcPaint = SRCPAINT, cmSrcAnd = SRCAND,
                    cmSrcInvert = SRCINVERT, cmDstInvert = DSTINVERT, cmPatCopy = PATCOPY,
                    cmBlackness = BLACKNESS, cmWhiteness = WHITENESS, cmMergeCopy = MERGECOPY,
                    cmNotSrcCopy = NOTSRCCOPY;
enum TTextFormats { tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis, tfPathEllipsis,
                    tfExpandTabs, tfExternalLeading, tfLeft, tfModifyString, tfNoClip, tfNoPrefix,
                    tfRight, tfRtlReading, tfSingleLine, tfTop, tfVerticalCenter, tfWordBreak };
using TTextFormat = TSet<TTextFormats, 32>;

class TGraphic;

// Drawing on a device context with a font, pen and brush that are selected on demand.
// Drawing methods are virtual so that a metafile canvas can record them.
class TCanvas : public TPersistent {
  KORVAN_CLASS(TCanvas, TPersistent)

 public:
  TCanvas();
  ~TCanvas() override;

  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }
  TFont* Font() { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  TPen* Pen() { return pen_.get(); }
  void SetPen(TPen* v) { pen_->Assign(v); }
  TBrush* Brush() { return brush_.get(); }
  void SetBrush(TBrush* v) { brush_->Assign(v); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode v) { copyMode_ = v; }
  TPoint PenPos();
  void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
  TRect ClipRect();
  TColor Pixels(Integer x, Integer y);
  void SetPixels(Integer x, Integer y, TColor c);
  Integer TextFlags() const { return textFlags_; }
  void SetTextFlags(Integer v) { textFlags_ = v; }

  virtual void MoveTo(Integer x, Integer y);
  virtual void LineTo(Integer x, Integer y);
  virtual void Rectangle(Integer x1, Integer y1, Integer x2, Integer y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  virtual void FillRect(const TRect& r);
  virtual void FrameRect(const TRect& r);
  virtual void Ellipse(Integer x1, Integer y1, Integer x2, Integer y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  virtual void RoundRect(Integer x1, Integer y1, Integer x2, Integer y2, Integer x3, Integer y3);
  virtual void Polygon(const std::vector<TPoint>& points);
  virtual void Polyline(const std::vector<TPoint>& points);
  virtual void TextOut(Integer x, Integer y, const String& text);
  virtual void TextRect(const TRect& r, Integer x, Integer y, const String& text);
  // Draws text in a rectangle with the given format; with tfCalcRect only measures into r.
  virtual void TextRect(TRect& r, String& text, const TTextFormat& format);
  // The platform's DrawText with the canvas's font and brush (DT_ flags); returns the text's
  // height. With DT_CALCRECT only measures into r.
  Integer DrawText(const String& text, TRect& r, UINT flags);
  TSize TextExtent(const String& text);
  Integer TextWidth(const String& text) { return TextExtent(text).cx; }
  Integer TextHeight(const String& text) { return TextExtent(text).cy; }
  virtual void Draw(Integer x, Integer y, TGraphic* graphic);
  virtual void StretchDraw(const TRect& r, TGraphic* graphic);
  virtual void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
  virtual void DrawFocusRect(const TRect& r);
  virtual void FloodFill(Integer x, Integer y, TColor color, TFillStyle style);

  void Lock() { ++lockCount_; }
  void Unlock() { --lockCount_; }
  bool TryLock() { Lock(); return true; }
  Integer LockCount() const { return lockCount_; }
  // Deselects the font, pen and brush so that they are selected again at the next drawing.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void CreateHandle() {}
  virtual void Changed();
  virtual void Changing();
  void RequiredState(const TCanvasState& req);
  HDC dc_ = nullptr;
  TCanvasState state_;

 private:
  void DeselectHandles();
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void ObjectChanged(TObject* sender);

  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  TPoint penPos_;
  TCopyMode copyMode_ = cmSrcCopy;
  Integer textFlags_ = 0;
  Integer lockCount_ = 0;
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
};

// ---- pictures ------------------------------------------------------------------------------

// An image that can draw itself on a canvas and be stored in streams and files.
class TGraphic : public TPersistent {
  KORVAN_CLASS(TGraphic, TPersistent)

 public:
  TGraphic() = default;
  virtual bool Empty() const = 0;
  virtual Integer Width() const = 0;
  virtual Integer Height() const = 0;
  virtual void SetWidth(Integer v) = 0;
  virtual void SetHeight(Integer v) = 0;
  virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SaveToStream(TStream* stream) = 0;
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool v);
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  TNotifyEvent OnChange;
  // The stored form inside a form description ("Data" property, and a picture's data after
  // the class name). The base stores the stream format; a bitmap adds a size prefix.
  virtual void ReadData(TStream& stream);
  virtual void WriteData(TStream& stream);

 protected:
  virtual void Changed(TObject* sender);
  void DefineProperties(TFiler* filer) override;
  bool transparent_ = false;
  bool modified_ = false;
};
using TGraphicClass = TClass;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

// A bitmap with its own memory device context (Canvas). Pixels are 32-bit.
class TBitmap : public TGraphic {
  KORVAN_CLASS(TBitmap, TGraphic)

 public:
  TBitmap();
  ~TBitmap() override;
  void Assign(TPersistent* source) override;
  bool Empty() const override { return handle_ == nullptr || width_ == 0 || height_ == 0; }
  Integer Width() const override { return width_; }
  Integer Height() const override { return height_; }
  void SetWidth(Integer v) override { SetSize(v, height_); }
  void SetHeight(Integer v) override { SetSize(width_, v); }
  void SetSize(Integer w, Integer h);
  void Draw(TCanvas* canvas, const TRect& rect) override;
  // Reads BMP, PNG or JPEG data (recognised by content); writes BMP.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void SaveToPngFile(const String& fileName, bool withAlpha = false);

  TCanvas* Canvas();
  HBITMAP Handle() const { return handle_; }
  // Takes ownership of the bitmap handle.
  void SetHandle(HBITMAP bmp);
  HBITMAP ReleaseHandle();
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat v) { pixelFormat_ = v; }
  bool Monochrome() const { return monochrome_; }
  void SetMonochrome(bool v);
  TColor TransparentColor() const;
  void SetTransparentColor(TColor v);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode v) { transparentMode_ = v; }
  // The first byte of row y (32-bit pixels, top-down).
  void* ScanLine(Integer y);
  // The pixel memory (nullptr when empty).
  TSurface* Surface() const;
  void Dormant() {}
  void FreeImage() {}
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;

 private:
  friend class TBitmapCanvas;
  void Deselect();
  HBITMAP handle_ = nullptr;
  uint32_t* bits_ = nullptr;
  Integer width_ = 0, height_ = 0;
  TPixelFormat pixelFormat_ = pfDevice;
  bool monochrome_ = false;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TCanvas> canvas_;
};

// An icon: a 32-bit image with per-pixel alpha (stored as PNG).
class TIcon : public TGraphic {
  KORVAN_CLASS(TIcon, TGraphic)

 public:
  TIcon() = default;
  ~TIcon() override;
  void Assign(TPersistent* source) override;
  bool Empty() const override { return !bitmap_; }
  Integer Width() const override;
  Integer Height() const override;
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}
  void Draw(TCanvas* canvas, const TRect& rect) override;
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  // The image with its alpha channel.
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(TBitmap* bmp);

 private:
  std::unique_ptr<TBitmap> bitmap_;
};

// A JPEG image: decoded through the graphics layer, written with a quality setting.
class TJPEGImage : public TGraphic {
  KORVAN_CLASS(TJPEGImage, TGraphic)

 public:
  TJPEGImage();
  ~TJPEGImage() override;
  void Assign(TPersistent* source) override;
  bool Empty() const override { return bitmap_->Empty(); }
  Integer Width() const override { return bitmap_->Width(); }
  Integer Height() const override { return bitmap_->Height(); }
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}
  void Draw(TCanvas* canvas, const TRect& rect) override { bitmap_->Draw(canvas, rect); }
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  // In form text: a 4-byte size, then the JPEG data.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;
  Integer CompressionQuality() const { return quality_; }
  void SetCompressionQuality(Integer v) { quality_ = v; }
  TBitmap* Bitmap() const { return bitmap_.get(); }

 private:
  std::unique_ptr<TBitmap> bitmap_;
  Integer quality_ = 90;
};

// A recorded sequence of drawing calls, replayed scaled into any rectangle. Its size is
// MMWidth/MMHeight in 0.01 mm or Width/Height in pixels at 96 DPI.
// A metafile read from a file (enhanced, or a placeable metafile (WMF)) keeps the file's
// bytes: its size comes from the file's header, saving writes the same bytes back, and
// drawing shows a placeholder frame, since the records themselves are not replayed.
class TMetafile : public TGraphic {
  KORVAN_CLASS(TMetafile, TGraphic)

 public:
  // Maps recorded coordinates into the rectangle being drawn.
  struct TXform {
    TRect Dest;
    Integer Width = 1, Height = 1;
    Integer X(Integer x) const { return Dest.Left + MulDiv(x, Dest.Width(), Width); }
    Integer Y(Integer y) const { return Dest.Top + MulDiv(y, Dest.Height(), Height); }
    TPoint P(TPoint p) const { return {X(p.X), Y(p.Y)}; }
    TRect R(const TRect& r) const { return {X(r.Left), Y(r.Top), X(r.Right), Y(r.Bottom)}; }
  };
  using TRecord = std::function<void(TCanvas* canvas, const TXform& xf)>;
  TMetafile() = default;
  void Assign(TPersistent* source) override;
  bool Empty() const override { return records_.empty() && bytes_.empty(); }
  Integer Width() const override { return width_; }
  Integer Height() const override { return height_; }
  void SetWidth(Integer v) override { width_ = v; }
  void SetHeight(Integer v) override { height_ = v; }
  Integer MMWidth() const { return MulDiv(width_, 2540, 96); }
  Integer MMHeight() const { return MulDiv(height_, 2540, 96); }
  void Draw(TCanvas* canvas, const TRect& rect) override;
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void Clear();
  Integer RecordCount() const { return Integer(records_.size()); }
  // The bytes of the metafile file read last (empty for a recorded metafile).
  const String& FileBytes() const { return bytes_; }
  // Reads the size from a metafile file's header; raises EInvalidGraphic for other data.
  void LoadFromBytes(const String& bytes);

 private:
  friend class TMetafileCanvas;
  std::vector<TRecord> records_;
  String bytes_;
  Integer width_ = 0, height_ = 0;
};

// Records what is drawn on it into a metafile; the metafile's size grows to the bounds of
// what was drawn unless it was set.
class TMetafileCanvas : public TCanvas {
  KORVAN_CLASS(TMetafileCanvas, TCanvas)

 public:
  explicit TMetafileCanvas(TMetafile* metafile);
  ~TMetafileCanvas() override;
  void MoveTo(Integer x, Integer y) override;
  void LineTo(Integer x, Integer y) override;
  void Rectangle(Integer x1, Integer y1, Integer x2, Integer y2) override;
  void FillRect(const TRect& r) override;
  void FrameRect(const TRect& r) override;
  void Ellipse(Integer x1, Integer y1, Integer x2, Integer y2) override;
  void RoundRect(Integer x1, Integer y1, Integer x2, Integer y2, Integer x3, Integer y3) override;
  void Polygon(const std::vector<TPoint>& points) override;
  void Polyline(const std::vector<TPoint>& points) override;
  void TextOut(Integer x, Integer y, const String& text) override;
  void TextRect(const TRect& r, Integer x, Integer y, const String& text) override;
  void Draw(Integer x, Integer y, TGraphic* graphic) override;
  void StretchDraw(const TRect& r, TGraphic* graphic) override;

 private:
  void Record(const TRect& bounds, TMetafile::TRecord rec);
  // Applies the pen, brush and font as they are now, at replay time.
  std::function<void(TCanvas*)> Snapshot();
  TMetafile* metafile_;
  TRect bounds_;
  bool sizeGiven_;
};

// Holds any graphic; loads and saves by file extension, registered per class.
class TPicture : public TPersistent {
  KORVAN_CLASS(TPicture, TPersistent)

 public:
  TPicture() = default;
  ~TPicture() override;
  void Assign(TPersistent* source) override;
  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(TGraphic* g);  // copies g
  // The bitmap, made (replacing the graphic) when the picture holds something else.
  TBitmap* Bitmap();
  TIcon* Icon();
  Integer Width() const { return graphic_ ? graphic_->Width() : 0; }
  Integer Height() const { return graphic_ ? graphic_->Height() : 0; }
  // By extension: .bmp, .png -> TBitmap; .jpg, .jpeg -> TJPEGImage; .ico -> TIcon;
  // .emf/.wmf -> TMetafile. Unknown extensions raise EInvalidGraphic.
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName);
  static void RegisterFileFormat(const String& extension, const String& description, TClass graphicClass);
  TNotifyEvent OnChange;

  // The stored form of the "Data" property: class name (length-prefixed) and the graphic's data.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

 protected:
  void DefineProperties(TFiler* filer) override;

 private:
  void Changed(TObject* sender);
  std::unique_ptr<TGraphic> graphic_;
};

// The file extension (without the dot) registered last for the class, else for its nearest
// registered ancestor; "" when none is: "bmp" for TBitmap, "jpg" for TJPEGImage, "emf" for
// TMetafile, "ico" for TIcon.
String GraphicExtension(TGraphicClass graphicClass);

// The dialog filter of a graphic class and its descendants: "All (masks)|masks" followed by
// one "Description (*.ext)|*.ext" pair per registered extension, in registration order.
String GraphicFilter(TGraphicClass graphicClass);

// The graphic classes pictures are loaded with by name: TBitmap, TIcon, TMetafile and
// TJPEGImage first, in this order; a class is added only once.
const std::vector<TGraphicClass>& GraphicClassList();
void RegisterGraphicClass(TGraphicClass graphicClass);
// The first listed class whose name equals the text without regard to case; none when missing.
TGraphicClass FindGraphicClassByName(const String& name);

KORVAN_EXCEPTION(EInvalidGraphic, Exception);
KORVAN_EXCEPTION(EInvalidGraphicOperation, Exception);

// An 8 x 8 bitmap whose pixels alternate between the two colours (a halftone pattern for
// pattern brushes). The bitmap is shared per colour pair and stays owned by the library:
// callers never delete it.
HBITMAP AllocPatternBitmap(TColor bkColor, TColor fgColor);

void InitializeGraphics();
