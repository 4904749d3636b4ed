#include "editors-extra/cxImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "data/cxCustomDataInternal.h"
#include "editors/cxEditPaintUtils.h"
#include "gdi/Gdi.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Clipbrd.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/Resources.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomImageProperties)
KORVAN_IMPLEMENT_CLASS(TcxImageViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxImageViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomImage)
KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryImageItem)

namespace {
using TImageProps = TcxCustomImageProperties;
TImageProps* MutableImageProps(const TImageProps* p) { return const_cast<TImageProps*>(p); }
}  // namespace

const TTypeInfo* ImageTransparencyTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TcxImageTransparency", {"gtDefault", "gtOpaque", "gtTransparent"});
  return t;
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPopupMenuLayout) {
  using L = TcxPopupMenuLayout;
  static PTypeInfo items = SetTypeInfo(
      "TcxPopupMenuItems",
      EnumTypeInfo("TcxPopupMenuItem", {"pmiCut", "pmiCopy", "pmiPaste", "pmiDelete", "pmiLoad", "pmiSave", "pmiCustom"}));
  p.Set("MenuItems", &L::MenuItems, &L::SetMenuItems, items)
      .Default(Int64(TcxPopupMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave}.ToMask()));
  p.Str("CustomMenuItemCaption", &L::CustomMenuItemCaption, &L::SetCustomMenuItemCaption);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxImageProperties) {
  p.Object("AssignedValues", &TImageProps::AssignedValues, &TImageProps::SetAssignedValues,
           TcxCustomEditPropertiesValues::StaticClass());
  p.Str("Caption", &TImageProps::Caption, &TImageProps::SetCaption);
  p.Bool("Center", &TImageProps::Center, &TImageProps::SetCenter).Default(true);
  p.Int("ClearKey", &TImageProps::ClearKey, &TImageProps::SetClearKey).Default(0);
  p.Str("CustomFilter", &TImageProps::CustomFilter, &TImageProps::SetCustomFilter);
  p.Str("GraphicClassName", &TImageProps::GraphicClassName, &TImageProps::SetGraphicClassName)
      .Stored(&TImageProps::IsGraphicClassNameStored);
  p.Enum("GraphicTransparency", &TImageProps::GraphicTransparency, &TImageProps::SetGraphicTransparency,
         ImageTransparencyTypeInfo())
      .Default(gtDefault);
  p.Bool("ImmediatePost", &TImageProps::ImmediatePost, &TImageProps::SetImmediatePost).Default(false);
  p.Object("PopupMenuLayout", [](const TImageProps* o) { return MutableImageProps(o)->PopupMenuLayout(); },
           &TImageProps::SetPopupMenuLayout, TcxPopupMenuLayout::StaticClass());
  p.Bool("ReadOnly", [](const TImageProps* o) { return MutableImageProps(o)->ReadOnly(); }, &TImageProps::SetReadOnly)
      .NoDefault()
      .Stored(&TImageProps::IsReadOnlyStored);
  p.Bool("ShowFocusRect", &TImageProps::ShowFocusRect, &TImageProps::SetShowFocusRect).Default(true);
  p.Bool("Stretch", &TImageProps::Stretch, &TImageProps::SetStretch).Default(false);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxImage) {
  p.Object("Picture", &TcxCustomImage::Picture, &TcxCustomImage::SetPicture, TPicture::StaticClass());
  p.Object("Properties", &TcxImage::Properties, &TcxImage::SetProperties, TcxImageProperties::StaticClass());
}

// ---- picture values ------------------------------------------------------------------------------

bool PictureHasNoImage(TPicture* picture) {
  return !picture || !picture->Graphic() || picture->Graphic()->Empty();
}

void LoadPictureFromValue(TPicture* picture, TGraphicClass graphic_class, const Variant& value) {
  if (!VarIsStr(value)) {
    picture->Assign(nullptr);
    return;
  }
  const String bytes = VarToStr(value);
  size_t start = 0;
  if (bytes.size() >= 8) {
    uint16_t w1, w2;
    uint32_t size;
    memcpy(&w1, bytes.data(), 2);
    memcpy(&w2, bytes.data() + 2, 2);
    memcpy(&size, bytes.data() + 4, 4);
    if (w1 == 1 && w2 == 0x100 && size == bytes.size() - 8) start = 8;
  }
  if (bytes.size() < 8 || start >= bytes.size()) {
    picture->Assign(nullptr);
    return;
  }
  try {
    TStringStream stream(bytes.substr(start));
    if (graphic_class && graphic_class->InheritsFrom(TGraphic::StaticClass())) {
      std::unique_ptr<TGraphic> graphic(static_cast<TGraphic*>(graphic_class->Create()));
      graphic->LoadFromStream(&stream);
      picture->SetGraphic(graphic.get());
    } else {
      picture->Bitmap()->LoadFromStream(&stream);
    }
  } catch (const Exception&) {
    picture->Assign(nullptr);
  }
}

String SavePictureToString(TPicture* picture) {
  if (PictureHasNoImage(picture)) return {};
  TStringStream stream;
  picture->Graphic()->SaveToStream(&stream);
  return stream.DataString();
}

TRect FitRectProportionally(const TRect& r, Integer picture_width, Integer picture_height) {
  if (picture_width <= 0 || picture_height <= 0 || r.Height() <= 0) return TRect(r.Left, r.Top, r.Left, r.Top);
  const Integer w = r.Width(), h = r.Height();
  if (double(w) / double(h) >= double(picture_width) / double(picture_height))
    return Bounds(r.Left, r.Top, h * picture_width / picture_height, h);
  return Bounds(r.Left, r.Top, w, w * picture_height / picture_width);
}

void ApplyGraphicTransparency(TPicture* picture, TcxImageTransparency transparency) {
  if (transparency == gtDefault || PictureHasNoImage(picture)) return;
  TGraphic* g = picture->Graphic();
  // The picture's change handler is detached meanwhile, and comes back also when the
  // graphic raises.
  cxdata_internal::Finally restore{[picture, saved = picture->OnChange] { picture->OnChange = saved; }};
  picture->OnChange = nullptr;
  g->SetTransparent(transparency == gtTransparent);
}

// ---- menu layout and properties --------------------------------------------------------------------

void TcxPopupMenuLayout::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxPopupMenuLayout*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  menuItems_ = s->menuItems_;
  customCaption_ = s->customCaption_;
  SetCustomMenuItemGlyph(s->glyph_.get());
}

TBitmap* TcxPopupMenuLayout::CustomMenuItemGlyph() {
  if (!glyph_) glyph_ = std::make_unique<TBitmap>();
  return glyph_.get();
}

void TcxPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* v) {
  if (!v) {
    glyph_.reset();
    return;
  }
  CustomMenuItemGlyph()->Assign(v);
}

TcxCustomImageProperties::TcxCustomImageProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner), graphicClass_(DefaultGraphicClass()) {
  InitializeCxImage();
}

TGraphicClass TcxCustomImageProperties::DefaultGraphicClass() {
  return GraphicClassList().empty() ? nullptr : GraphicClassList().front();
}

void TcxCustomImageProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomImageProperties*>(source);
  if (!s) {
    TcxCustomEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomEditProperties::Assign(source);
    SetCaption(s->caption_);
    SetCenter(s->center_);
    SetCustomFilter(s->customFilter_);
    SetGraphicClass(s->graphicClass_);
    SetGraphicTransparency(s->transparency_);
    layout_.Assign(&s->layout_);
    SetShowFocusRect(s->showFocusRect_);
    SetStretch(s->stretch_);
    OnAssignPicture = s->OnAssignPicture;
    OnCustomClick = s->OnCustomClick;
    OnGetGraphicClass = s->OnGetGraphicClass;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool GraphicClassOfName(const String& name, TGraphicClass& graphic_class) {
  TGraphicClass c = name.empty() ? nullptr : FindGraphicClassByName(name);
  if (!name.empty() && !c) return false;
  graphic_class = c;
  return true;
}

void DefineEmptyGraphicClassProperty(TFiler* filer, const String& name, bool is_empty,
                                     const std::function<void()>& clear) {
  filer->DefineProperty(
      name,
      [clear](TReader& reader) {
        if (reader.ReadBoolean()) clear();
      },
      [](TWriter& writer) { writer.WriteBoolean(true); }, is_empty);
}

void TcxCustomImageProperties::SetGraphicClassName(const String& v) {
  TGraphicClass c;
  if (GraphicClassOfName(v, c)) SetGraphicClass(c);
}

void TcxCustomImageProperties::DefineProperties(TFiler* filer) {
  TcxCustomEditProperties::DefineProperties(filer);
  DefineEmptyGraphicClassProperty(filer, "IsGraphicClassNameEmpty", graphicClass_ == nullptr,
                                  [this] { SetGraphicClass(nullptr); });
}

TGraphicClass TcxCustomImageProperties::GetGraphicClass(TObject* item, Integer record_index, bool pasting) {
  if (graphicClass_) return graphicClass_;
  TGraphicClass c = pasting ? TBitmap::StaticClass() : nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(item, record_index, pasting, c);
  return c;
}

void TcxCustomImageProperties::ValidateDisplayValue(Variant&, String&, bool&, IcxEditValidator* edit) {
  auto* image = dynamic_cast<TcxCustomImage*>(edit);
  if (!image) return;
  image->LockEditValueChanges(true);
  try {
    image->FireAssignPicture();
  } catch (...) {
    image->LockEditValueChanges(false);
    throw;
  }
  image->LockEditValueChanges(false);
  // CanModify runs the editing handler, which may raise: the modified state comes back.
  image->PushModifiedState();
  cxdata_internal::Finally pop{[image] { image->PopModifiedState(); }};
  image->SetModifiedFlag(false);
  image->CanModify();
}

TClass TcxCustomImageProperties::GetContainerClass() { return TcxImage::StaticClass(); }

TcxCustomEditViewData* TcxCustomImageProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                bool hide_display_text) {
  auto* data = new TcxImageViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomImageProperties::CreateViewInfo() { return new TcxImageViewInfo(); }

// ---- view info ------------------------------------------------------------------------------------

TcxImageViewInfo::~TcxImageViewInfo() = default;

TPicture* TcxImageViewInfo::CellPicture() {
  if (!ownPicture_) ownPicture_ = std::make_unique<TPicture>();
  Picture = ownPicture_.get();
  return Picture;
}

TRect TcxImageViewInfo::PictureRect(const TRect& r) const {
  const Integer pw = Picture->Width(), ph = Picture->Height();
  TRect p;
  if (Stretch) {
    p = FitRectProportionally(r, pw, ph);
    if (Center) OffsetRect(&p, (r.Width() - p.Width()) / 2, (r.Height() - p.Height()) / 2);
  } else {
    p = Bounds(r.Left, r.Top, pw, ph);
    if (Center)
      OffsetRect(&p, (r.Width() - pw) / 2, (r.Height() - ph) / 2);
    else
      OffsetRect(&p, -Offset.X, -Offset.Y);
  }
  return p;
}

void TcxImageViewInfo::DrawEditor(TcxCanvas* canvas) {
  TRect r = ClientArea;
  if (PictureHasNoImage(Picture)) {
    PaintEditViewBackground(canvas, this, true, 0);
    canvas->SetBrushColor(FillColor);
    if (!Caption.empty()) {
      canvas->ApplyFont(Font);
      canvas->CurrentFont()->SetColor(TextColor);
      canvas->CurrentBrush()->SetStyle(bsClear);
      canvas->OutputText(Caption, r, ctfHCenter | ctfVCenter | ctfSingleLine);
      canvas->CurrentBrush()->SetStyle(bsSolid);
    }
    if (ShowFocusRect) {
      canvas->CurrentBrush()->SetStyle(bsClear);
      canvas->Canvas()->Rectangle(r);
      canvas->CurrentBrush()->SetStyle(bsSolid);
    }
    return;
  }
  const TRect p = PictureRect(r);
  canvas->PushDeviceState();
  canvas->ExcludeFromClip(r);
  PaintEditViewBackground(canvas, this, false, 0);
  canvas->PopDeviceState();
  canvas->PushDeviceState();
  if (ShowFocusRect) {
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->Canvas()->Rectangle(r);
    canvas->CurrentBrush()->SetStyle(bsSolid);
    InflateRect(&r, -1, -1);
  }
  canvas->IntersectClip(r);
  TGraphic* g = Picture->Graphic();
  if (Transparent || !g->Transparent()) {
    canvas->Canvas()->StretchDraw(p, g);
  } else {
    // A transparent graphic over the background colour, drawn at once.
    if (!tempBitmap_) tempBitmap_ = std::make_unique<TBitmap>();
    tempBitmap_->SetSize(p.Width(), p.Height());
    tempBitmap_->Canvas()->Brush()->SetColor(FillColor);
    tempBitmap_->Canvas()->FillRect(TRect(0, 0, p.Width(), p.Height()));
    tempBitmap_->Canvas()->StretchDraw(TRect(0, 0, p.Width(), p.Height()), g);
    canvas->Canvas()->Draw(p.Left, p.Top, tempBitmap_.get());
  }
  TRect covered;
  if (!Transparent && !(IntersectRect(&covered, &p, &r) && covered == r)) {
    canvas->ExcludeFromClip(p);
    canvas->FillRectColor(r, FillColor);
  }
  canvas->PopDeviceState();
}

// ---- view data ------------------------------------------------------------------------------------

void TcxImageViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                                         TShiftState shift, TcxCustomEditViewInfo* view_info, bool is_mouse_event) {
  TcxCustomEditViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info, is_mouse_event);
  if (bounds.IsEmpty()) return;
  auto* vi = static_cast<TcxImageViewInfo*>(view_info);
  TcxCustomImageProperties* props = ImageProperties();
  vi->Caption = props->Caption();
  vi->Center = props->Center();
  vi->ShowFocusRect = props->ShowFocusRect() && Focused && !IsInplace;
  vi->Stretch = props->Stretch();
  if (vi->Center || vi->Stretch) vi->Offset = TPoint(0, 0);
  // The client area leaves out the control's scroll bars.
  vi->FullClientArea = vi->ClientArea;
  vi->FullClientArea.Bottom += HScrollBarHeight;
  vi->FullClientArea.Right += VScrollBarWidth;
  // The control shows its own picture.
  if (auto* image = dynamic_cast<TcxCustomImage*>(Edit)) vi->Picture = image->Picture();
}

void TcxImageViewData::FillDisplayText(TcxCanvas*, const Variant& edit_value, TcxCustomEditViewInfo* view_info) {
  auto* vi = static_cast<TcxImageViewInfo*>(view_info);
  TPicture* picture = vi->CellPicture();
  if (VarIsStr(edit_value) && !VarToStr(edit_value).empty()) {
    LoadPictureFromValue(picture, ImageProperties()->GetGraphicClass(nullptr, -1, false), edit_value);
    ApplyGraphicTransparency(picture, ImageProperties()->GraphicTransparency());
  } else {
    picture->Assign(nullptr);
  }
}

void TcxImageViewData::GetEditContentSize(TcxCanvas* canvas, const Variant& edit_value,
                                          const TcxEditSizeProperties& request, TSize& size) {
  auto* image = dynamic_cast<TcxCustomImage*>(Edit);
  if (!IsInplace) {
    size = image ? TSize(image->Picture()->Width(), image->Picture()->Height()) : TSize(0, 0);
    return;
  }
  if (image) {
    TRect extent;
    GetClientExtent(extent);
    size = TSize(image->Width() - extent.Left - extent.Right, image->Height() - extent.Top - extent.Bottom);
    return;
  }
  size = TSize(0, TcxCustomImageProperties::EmptyCellHeight);
  if (VarIsStr(edit_value)) {
    TPicture picture;
    LoadPictureFromValue(&picture, ImageProperties()->GetGraphicClass(nullptr, -1, false), edit_value);
    size = TSize(picture.Width(), picture.Height());
    if (ImageProperties()->Stretch()) {
      if (request.Width > 0 && picture.Width() > 0)
        size = TSize(request.Width, Integer(std::lround(double(request.Width) * picture.Height() / picture.Width())));
      else if (request.Height > 0 && picture.Height() > 0)
        size = TSize(Integer(std::lround(double(request.Height) * picture.Width() / picture.Height())), request.Height);
    }
  } else if (!ImageProperties()->Caption().empty()) {
    if (TFont* font = StyleFont()) canvas->ApplyFont(font);
    size = canvas->MeasureTextSize(ImageProperties()->Caption());
  }
}

// ---- menu images ------------------------------------------------------------------------------------

// The pictures of editors-extra/resources, embedded at build time.
void RegisterEditorsExtraResources();

TCustomImageList* CreateImageListFromResources(const std::vector<const char*>& names, TColor mask) {
  if (names.empty() || !ResourceExists(names[0], RT_BITMAP_NAME)) return nullptr;
  TBitmap first;
  LoadBitmapResource(&first, names[0]);
  auto* list = new TCustomImageList(nullptr, first.Width(), first.Height());
  for (const char* name : names) {
    TBitmap b;
    LoadBitmapResource(&b, name);
    list->AddMasked(&b, mask);
  }
  return list;
}

namespace {
TCustomImageList* menuImages = nullptr;

void CreateMenuImages() {
  menuImages = CreateImageListFromResources({"CXMENUIMAGE_CUT", "CXMENUIMAGE_COPY", "CXMENUIMAGE_PASTE",
                                             "CXMENUIMAGE_DELETE", "CXMENUIMAGE_LOAD", "CXMENUIMAGE_SAVE"},
                                            clDefault);
}
}  // namespace

TCustomImageList* MenuImages() {
  InitializeCxImage();
  return menuImages;
}

// ---- the control ----------------------------------------------------------------------------------

TcxCustomImage::TcxCustomImage(TComponent* owner, TClass properties_class)
    : TcxCustomEdit(owner, false, properties_class) {
  InitializeCxImage();
  picture_ = std::make_unique<TPicture>();
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  ChangeAutoSize(false);
  SetBounds(Left(), Top(), 140, 100);
}

TcxCustomImage::~TcxCustomImage() {
  if (menu_) menu_->Free();
  picture_->OnChange = nullptr;
}

Variant TcxCustomImage::ReadEditValue() {
  if (PictureHasNoImage(picture_.get())) return Null();
  return Variant(SavePictureToString(picture_.get()));
}

void TcxCustomImage::InternalSetEditValue(const Variant& value, bool) {
  loadingValue_ = true;
  try {
    if (VarIsStr(value))
      LoadPictureFromValue(picture_.get(), GetGraphicClass(false), value);
    else
      picture_->Assign(nullptr);
  } catch (...) {
    SetModifiedFlag(false);
    loadingValue_ = false;
    throw;
  }
  SetModifiedFlag(false);
  loadingValue_ = false;
}

void TcxCustomImage::PropertiesChanged(TcxCustomEditProperties* properties) {
  if (picture_) PictureChanged();  // which refreshes the scroll bars
  TcxCustomEdit::PropertiesChanged(properties);
}

// ---- scroll bars ------------------------------------------------------------------------------------

void TcxCustomImage::ContentBounds(TRect& r) {
  auto* vi = dynamic_cast<TcxImageViewInfo*>(GetEditViewInfo());
  r = vi ? vi->FullClientArea : ClientRect();
  if (IsHScrollBarShown()) r.Bottom -= HorizontalBar()->Height();
  if (IsVScrollBarShown()) r.Right -= VerticalBar()->Width();
}

void TcxCustomImage::ComputeScrollBarData() {
  if (!picture_) return;
  TcxCustomImageProperties* props = EffectiveImageProperties();
  TRect r;
  ContentBounds(r);
  const bool allowed = !IsInplace() && !AutoSize() && !r.IsEmpty() && !PictureHasNoImage(picture_.get()) &&
                       !props->Center() && !props->Stretch();
  auto* vi = dynamic_cast<TcxImageViewInfo*>(GetEditViewInfo());
  const TPoint offset = vi ? vi->Offset : TPoint(0, 0);
  StoreScrollBarParams(sbHorizontal, 0, picture_->Width() - 1, 8, r.Width(), offset.X, allowed, true);
  StoreScrollBarParams(sbVertical, 0, picture_->Height() - 1, 8, r.Height(), offset.Y, allowed, true);
}

void TcxCustomImage::PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (!picture_) return;
  if (code == scLineUp) position -= 8;
  if (code == scLineDown) position += 8;
  TcxControlScrollBar* bar = kind == sbHorizontal ? HorizontalBar() : VerticalBar();
  if (bar) {
    const Integer extent = kind == sbHorizontal ? picture_->Width() : picture_->Height();
    position = std::max(0, std::min(position, extent - bar->PageSize()));
    bar->SetPosition(position);
    position = bar->Position();
  }
  UpdateScrollOffset();
}

void TcxCustomImage::RefreshScrollBars() {
  TcxControl::RefreshScrollBars();
  UpdateScrollOffset();
}

void TcxCustomImage::UpdateScrollOffset() {
  auto* vi = dynamic_cast<TcxImageViewInfo*>(GetEditViewInfo());
  if (!HandleAllocated() || !vi) return;
  vi->Offset = TPoint(IsHScrollBarShown() ? HorizontalBar()->Position() : 0,
                      IsVScrollBarShown() ? VerticalBar()->Position() : 0);
  UpdateViewInfoAtCursor();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TcxCustomImage::ResetScrollPosition() {
  for (TcxControlScrollBar* bar : {HorizontalBar(), VerticalBar()})
    if (bar) bar->SetPosition(0);
  UpdateScrollOffset();
}

void TcxCustomImage::Resize() {
  TcxCustomEdit::Resize();
  // The bars follow the client area of the new size.
  RefreshScrollBars();
}

void TcxCustomImage::PictureChanged() {
  LockChangeEvents(true);
  try {
    TcxCustomImageProperties* props = EffectiveImageProperties();
    ApplyGraphicTransparency(picture_.get(), props->GraphicTransparency());
    if (!ComponentState().Contains(csLoading)) {
      ResetScrollPosition();
      AlignInnerControl();
    }
    if (!loadingValue_) {
      if (userCommand_) SetChangedSinceEnter(true);
      NotifyChange();
      NotifyEditValueChanged();
      RefreshStateAtCursor(false);
    }
    if (props->ImmediatePost() && !loadingValue_ && CanPostEditValue() && ValidateEdit(true)) PostEditValue();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  RefreshScrollBars();
  Invalidate();
}

TGraphicClass TcxCustomImage::GetGraphicClass(bool pasting) {
  if (IsInplace()) return EffectiveImageProperties()->GetGraphicClass(nullptr, -1, pasting);
  TGraphicClass c = EffectiveImageProperties()->GraphicClass();
  if (!c) c = pasting ? TBitmap::StaticClass() : nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(this, pasting, c);
  return c;
}

void TcxCustomImage::CustomClick() {
  if (ImageProperties()->OnCustomClick) ImageProperties()->OnCustomClick(this);
  if (RepositoryItem() && EffectiveImageProperties()->OnCustomClick) EffectiveImageProperties()->OnCustomClick(this);
}

void TcxCustomImage::FireAssignPicture() {
  if (ImageProperties()->OnAssignPicture) ImageProperties()->OnAssignPicture(this, picture_.get());
  if (RepositoryItem() && EffectiveImageProperties()->OnAssignPicture)
    EffectiveImageProperties()->OnAssignPicture(this, picture_.get());
}

void TcxCustomImage::ClearValue() {
  if (CanModify()) picture_->Assign(nullptr);
}

void TcxCustomImage::CopyTextOut() {
  if (picture_->Graphic()) Clipboard()->Assign(picture_.get());
}

void TcxCustomImage::CutToClipboard() {
  CopyTextOut();
  ClearValue();
}

bool TcxCustomImage::CanPasteFromClipboard() {
  TGraphicClass c = GetGraphicClass(true);
  if (c == TBitmap::StaticClass() || c == TJPEGImage::StaticClass()) return Clipboard()->HasFormat(CF_BITMAP);
  if (c == TIcon::StaticClass()) return false;
  if (c == TMetafile::StaticClass()) return Clipboard()->HasFormat(CF_METAFILEPICT);
  return Clipboard()->HasFormat(CF_PICTURE());
}

void TcxCustomImage::PasteFromClipboard() {
  if (!CanPasteFromClipboard() || !CanModify()) return;
  // The format taken is the one the graphic class asks for (as CanPasteFromClipboard checks):
  // the clipboard holds every picture as a bitmap too, and taking that bitmap first would
  // turn a copied metafile or a picture of another class into a bitmap.
  const TGraphicClass c = GetGraphicClass(true);
  if (c == TMetafile::StaticClass()) {
    TMetafile metafile;
    Clipboard()->AssignTo(&metafile);
    picture_->SetGraphic(&metafile);
  } else if (c != TBitmap::StaticClass() && c != TJPEGImage::StaticClass()) {
    Clipboard()->AssignTo(picture_.get());
  } else if (c == TJPEGImage::StaticClass()) {
    TJPEGImage jpeg;
    Clipboard()->AssignTo(jpeg.Bitmap());
    // Compressed as a JPEG is stored: the picture holds what its bytes give back.
    TStringStream s;
    jpeg.SaveToStream(&s);
    s.SetPosition(0);
    jpeg.LoadFromStream(&s);
    picture_->SetGraphic(&jpeg);
  } else {
    TBitmap b;
    Clipboard()->AssignTo(&b);
    picture_->SetGraphic(&b);
  }
}

bool TcxCustomImage::ExecuteDialog(TOpenDialog& dialog) {
  dialogOpen_ = true;
  bool accepted;
  try {
    accepted = dialog.Execute();
  } catch (...) {
    dialogOpen_ = false;
    throw;
  }
  dialogOpen_ = false;
  return accepted;
}

void TcxCustomImage::LoadPictureFromFile() {
  if (!IsEditableEffective()) return;
  TOpenPictureDialog dialog(nullptr);
  const String custom = EffectiveImageProperties()->CustomFilter();
  TGraphicClass c = GetGraphicClass(false);
  if (!custom.empty())
    dialog.SetFilter(custom);
  else if (c && !GraphicFilter(c).empty())
    dialog.SetFilter(GraphicFilter(c));
  const bool accepted = ExecuteDialog(dialog);
  if (accepted && CanModify()) {
    picture_->LoadFromFile(dialog.FileName());
    NotifyPopupClosed(4);
  } else {
    NotifyPopupClosed(3);
  }
}

void TcxCustomImage::SavePictureToFile() {
  if (!picture_->Graphic()) return;
  TSavePictureDialog dialog(Application);
  const String custom = EffectiveImageProperties()->CustomFilter();
  TGraphicClass c = picture_->Graphic()->ClassType();
  dialog.SetFilter(!custom.empty() ? custom : GraphicFilter(c));
  dialog.SetDefaultExt(GraphicExtension(c));
  const bool accepted = ExecuteDialog(dialog);
  if (accepted) picture_->SaveToFile(dialog.FileName());
}

void TcxCustomImage::UserCommand(const std::function<void()>& command) {
  const bool saved = userCommand_;
  userCommand_ = true;
  try {
    command();
  } catch (...) {
    userCommand_ = saved;
    throw;
  }
  userCommand_ = saved;
}

void TcxCustomImage::ExecuteMenuCommand(Integer tag) {
  UserCommand([this, tag] {
    switch (tag) {
      case 0: CutToClipboard(); break;
      case 1: CopyTextOut(); break;
      case 2: PasteFromClipboard(); break;
      case 3: ClearValue(); break;
      case 4: LoadPictureFromFile(); break;
      case 5: SavePictureToFile(); break;
      case 6: CustomClick(); break;
      default: break;
    }
  });
}

void TcxCustomImage::PreparePopupMenu() {
  static const char* const kCaptions[] = {"Cu&t", "&Copy", "&Paste", "&Delete", "-", "&Load...", "Save &As...", "-", ""};
  static const Integer kImages[] = {0, 1, 2, 3, -1, 4, 5, -1, -1};
  static const Integer kTags[] = {0, 1, 2, 3, -1, 4, 5, -1, 6};
  TcxPopupMenuLayout* layout = EffectiveImageProperties()->PopupMenuLayout();
  if (!menu_) {
    menu_ = new TPopupMenu(nullptr);
    menu_->SetImages(MenuImages());
    for (Integer i = 0; i < 9; ++i) {
      auto* item = new TMenuItem(menu_);
      item->SetCaption(kCaptions[i]);
      item->SetImageIndex(kImages[i]);
      item->SetTag(kTags[i]);
      const Integer tag = kTags[i];
      if (tag >= 0) item->OnClick = [this, tag](TObject*) { ExecuteMenuCommand(tag); };
      menu_->Items()->Add(item);
    }
  }
  TMenuItem* items = menu_->Items();
  for (Integer i : {0, 1, 2, 3, 5, 6}) items->Items(i)->SetCaption(kCaptions[i]);
  const TcxPopupMenuItems shown = layout->MenuItems();
  const TcxPopupMenuItem kinds[] = {pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
  const Integer positions[] = {0, 1, 2, 3, 5, 6};
  for (Integer k = 0; k < 6; ++k) items->Items(positions[k])->SetVisible(shown.Contains(kinds[k]));
  items->Items(8)->SetVisible(shown.Contains(pmiCustom));
  items->Items(4)->SetVisible(shown.Contains(pmiLoad) || shown.Contains(pmiSave));
  items->Items(7)->SetVisible(shown.Contains(pmiCustom));
  items->Items(8)->SetCaption(layout->CustomMenuItemCaption());
  const bool empty = PictureHasNoImage(picture_.get());
  const bool editable = IsEditableEffective();
  const bool icon = GetGraphicClass(false) == TIcon::StaticClass();
  items->Items(0)->SetEnabled(!empty && editable && !icon);
  items->Items(1)->SetEnabled(!empty && !icon);
  items->Items(2)->SetEnabled(editable && CanPasteFromClipboard());
  items->Items(3)->SetEnabled(!empty && editable);
  items->Items(5)->SetEnabled(editable);
  items->Items(6)->SetEnabled(!empty);
  items->Items(8)->SetEnabled(true);
}

void TcxCustomImage::DoContextPopup(TPoint mouse_pos, bool& handled) {
  if (PopupMenu() || EffectiveImageProperties()->PopupMenuLayout()->MenuItems().Empty()) {
    TcxCustomEdit::DoContextPopup(mouse_pos, handled);
    return;
  }
  handled = true;
  const TPoint p = mouse_pos == TPoint(-1, -1) ? TPoint(10, 10) : mouse_pos;
  PreparePopupMenu();
  const TPoint screen = ClientToScreen(p);
  menu_->SetPopupComponent(this);
  menu_->Popup(screen.X, screen.Y);
}

void TcxCustomImage::KeyDown(Word& key, TShiftState shift) {
  TcxCustomEdit::KeyDown(key, shift);
  if (key == 0) return;
  UserCommand([&] {
    if (key == VK_INSERT && shift == TShiftState{ssShift}) {
      PasteFromClipboard();
      key = 0;
    } else if (key == VK_INSERT && shift == TShiftState{ssCtrl}) {
      CopyTextOut();
      key = 0;
    } else if (key == VK_DELETE && shift == TShiftState{ssShift}) {
      CutToClipboard();
      key = 0;
    }
  });
}

void TcxCustomImage::KeyPress(char32_t& key) {
  TcxCustomEdit::KeyPress(key);
  UserCommand([&] {
    switch (key) {
      case 3: CopyTextOut(); key = 0; break;
      case 22: PasteFromClipboard(); key = 0; break;
      case 24: CutToClipboard(); key = 0; break;
      default: break;
    }
  });
}

// ---- unit start -------------------------------------------------------------------------------------

void InitializeCxImage() {
  InitUnit(
      "cxImage",
      [] {
        RegisterClass(TcxImage::StaticClass());
        RegisterClass(TcxImageProperties::StaticClass());
        RegisterClass(TcxEditRepositoryImageItem::StaticClass());
        RegisterEditorsExtraResources();
        CreateMenuImages();
        EditPropertiesRegistry()->AddDescribedClass(TcxImageProperties::StaticClass(), "Image|Represents an image editor");
      },
      [] {
        EditPropertiesRegistry()->RemoveClass(TcxImageProperties::StaticClass());
        delete menuImages;
        menuImages = nullptr;
      });
}
