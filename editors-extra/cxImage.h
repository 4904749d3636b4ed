// The image kind: picture values (a saved graphic's bytes in a string), picture cells laid out
// stretched, centred or at an offset, and the image editor control with its context menu, the
// clipboard and the picture file dialogs.
#pragma once

#include "editors/cxEdit.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"

class TOpenDialog;

// ---- picture values ------------------------------------------------------------------------------

// Loads a picture from an edit value: a string of the graphic's bytes, after an optional 8-byte
// header (words 1 and 0x100, then the 32-bit length of the rest). Anything that is not a
// loadable picture clears the picture; nothing raises. Without a class the picture's bitmap
// loads the bytes.
void LoadPictureFromValue(TPicture* picture, TGraphicClass graphic_class, const Variant& value);
// The graphic's bytes as its class writes them, without a header; empty for no picture.
String SavePictureToString(TPicture* picture);
bool PictureHasNoImage(TPicture* picture);
// The largest rectangle at r's top-left with the picture's proportions that fits into r.
TRect FitRectProportionally(const TRect& r, Integer picture_width, Integer picture_height);

// ---- helpers shared with the BLOB editor ---------------------------------------------------------

// The class a graphic-class name property takes: none for an empty name, the listed class of
// that name; False (keep the old class) for an unknown name.
bool GraphicClassOfName(const String& name, TGraphicClass& graphic_class);
// The filer property that stores an empty graphic class (written as True when the class is
// none; reading True clears the class through `clear`).
void DefineEmptyGraphicClassProperty(TFiler* filer, const String& name, bool is_empty,
                                     const std::function<void()>& clear);
// An image list of the BITMAP resources named, at the first one's size, each masked with the
// colour given; none when the first resource is missing.
TCustomImageList* CreateImageListFromResources(const std::vector<const char*>& names, TColor mask);

// ---- properties --------------------------------------------------------------------------------

enum TcxPopupMenuItem { pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom };
using TcxPopupMenuItems = TSet<TcxPopupMenuItem, 7>;
enum TcxImageTransparency { gtDefault, gtOpaque, gtTransparent };

// Which context-menu items exist, and the custom item's caption and glyph.
class TcxPopupMenuLayout : public TPersistent {
  KORVAN_CLASS(TcxPopupMenuLayout, TPersistent)

 public:
  TcxPopupMenuLayout() = default;
  void Assign(TPersistent* source) override;
  TcxPopupMenuItems MenuItems() const { return menuItems_; }
  void SetMenuItems(const TcxPopupMenuItems& v) { menuItems_ = v; }
  String CustomMenuItemCaption() const { return customCaption_; }
  void SetCustomMenuItemCaption(const String& v) { customCaption_ = v; }
  // Created empty on first read; nil frees it.
  TBitmap* CustomMenuItemGlyph();
  TBitmap* CustomMenuItemGlyphIfAny() const { return glyph_.get(); }
  void SetCustomMenuItemGlyph(TBitmap* v);

 private:
  TcxPopupMenuItems menuItems_{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
  String customCaption_;
  std::unique_ptr<TBitmap> glyph_;
};

class TPicture;
using TcxImageAssignPictureEvent = std::function<void(TObject* sender, TPicture* picture)>;
// (item, record index, pasting from the clipboard, var graphic class)
using TcxImageGraphicClassEvent =
    std::function<void(TObject* item, Integer record_index, bool pasting, TGraphicClass& graphic_class)>;
using TcxImageEditGraphicClassEvent =
    std::function<void(TObject* sender, bool pasting, TGraphicClass& graphic_class)>;

class TcxCustomImageProperties : public TcxCustomEditProperties {
  KORVAN_CLASS(TcxCustomImageProperties, TcxCustomEditProperties)

 public:
  explicit TcxCustomImageProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  TClass GetContainerClass() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  String ValueToDisplayText(const Variant& edit_value, bool, bool) override {
    return VarIsNull(edit_value) ? String() : caption_;
  }
  bool CanValidate() override { return true; }
  bool UsesFieldDisplayText(bool) override { return false; }
  Word GetSpecialFeatures() override { return TcxCustomEditProperties::GetSpecialFeatures() + 1; }
  Word GetSupportedOperations() override { return TcxCustomEditProperties::GetSupportedOperations() + 6; }
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;

  static TGraphicClass DefaultGraphicClass();
  // The graphic class when set (the event is not asked); else TBitmap when pasting, none
  // otherwise, which OnGetGraphicClass may change.
  virtual TGraphicClass GetGraphicClass(TObject* item, Integer record_index, bool pasting);

  String Caption() const { return caption_; }
  void SetCaption(const String& v) { Set(caption_, v); }
  bool Center() const { return center_; }
  void SetCenter(bool v) { Set(center_, v); }
  String CustomFilter() const { return customFilter_; }
  void SetCustomFilter(const String& v) { customFilter_ = v; }
  TGraphicClass GraphicClass() const { return graphicClass_; }
  void SetGraphicClass(TGraphicClass v) { Set(graphicClass_, v); }
  String GraphicClassName() const { return graphicClass_ ? graphicClass_->ClassName() : String(); }
  // An unknown name changes nothing; an empty one clears the class.
  void SetGraphicClassName(const String& v);
  bool IsGraphicClassNameStored() const { return graphicClass_ != DefaultGraphicClass(); }
  TcxImageTransparency GraphicTransparency() const { return transparency_; }
  void SetGraphicTransparency(TcxImageTransparency v) { Set(transparency_, v); }
  bool ImmediatePost() const { return immediatePost_; }
  void SetImmediatePost(bool v) { immediatePost_ = v; }
  TcxPopupMenuLayout* PopupMenuLayout() { return &layout_; }
  void SetPopupMenuLayout(TcxPopupMenuLayout* v) { layout_.Assign(v); }
  bool ShowFocusRect() const { return showFocusRect_; }
  void SetShowFocusRect(bool v) { Set(showFocusRect_, v); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) { Set(stretch_, v); }
  // The height of an empty cell.
  static constexpr Integer EmptyCellHeight = 15;

  TcxImageAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TcxImageGraphicClassEvent OnGetGraphicClass;

 protected:
  void DefineProperties(TFiler* filer) override;

 private:
  template <class T>
  void Set(T& field, T v) {
    if (field == v) return;
    field = v;
    NotifyPropertiesChanged();
  }
  String caption_;
  bool center_ = true;
  String customFilter_;
  TGraphicClass graphicClass_;
  TcxImageTransparency transparency_ = gtDefault;
  bool immediatePost_ = false;
  TcxPopupMenuLayout layout_;
  bool showFocusRect_ = true;
  bool stretch_ = false;
};

class TcxImageProperties : public TcxCustomImageProperties {
  KORVAN_CLASS(TcxImageProperties, TcxCustomImageProperties)

 public:
  using TcxCustomImageProperties::TcxCustomImageProperties;
};

// Applies a forced transparency to a picture's graphic (nothing for gtDefault or no graphic).
void ApplyGraphicTransparency(TPicture* picture, TcxImageTransparency transparency);
// TcxImageTransparency as the image and BLOB properties publish it.
const TTypeInfo* ImageTransparencyTypeInfo();

// ---- view data and view info ---------------------------------------------------------------------

class TcxCustomImage;

class TcxImageViewInfo : public TcxCustomEditViewInfo {
  KORVAN_CLASS(TcxImageViewInfo, TcxCustomEditViewInfo)

 public:
  ~TcxImageViewInfo() override;
  // The picture shown: the control's, or the cell's own (OwnPicture).
  TPicture* Picture = nullptr;
  String Caption;
  bool Center = true, Stretch = false, ShowFocusRect = false;
  TPoint Offset;
  // The control's client area with its scroll bars (ClientArea leaves them out).
  TRect FullClientArea;
  // The cell's own picture, made on first need.
  TPicture* CellPicture();
  bool RepaintsOnStateChange() override { return PictureHasNoImage(Picture); }
  void DrawEditor(TcxCanvas* canvas) override;
  // The rectangle the picture is drawn in for a client rectangle.
  TRect PictureRect(const TRect& client) const;

 private:
  std::unique_ptr<TPicture> ownPicture_;
  std::unique_ptr<TBitmap> tempBitmap_;
};

class TcxImageViewData : public TcxCustomEditViewData {
  KORVAN_CLASS(TcxImageViewData, TcxCustomEditViewData)

 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  TcxCustomImageProperties* ImageProperties() const { return static_cast<TcxCustomImageProperties*>(Properties); }
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                         TShiftState shift, TcxCustomEditViewInfo* view_info, bool is_mouse_event) override;
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value, TcxCustomEditViewInfo* view_info) override;
  void GetEditContentSize(TcxCanvas* canvas, const Variant& edit_value, const TcxEditSizeProperties& request,
                          TSize& size) override;
};

// ---- the control ---------------------------------------------------------------------------------

// The process-wide images of the context menu (cut, copy, paste, delete, load, save), made at
// the unit start from the CXMENUIMAGE_ bitmap resources.
TCustomImageList* MenuImages();

class TcxCustomImage : public TcxCustomEdit {
  KORVAN_CLASS(TcxCustomImage, TcxCustomEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomImage(TComponent* owner) : TcxCustomImage(owner, TcxCustomImageProperties::StaticClass()) {}
  TcxCustomImage(TComponent* owner, TClass properties_class);
  ~TcxCustomImage() override;

  TcxCustomImageProperties* ImageProperties() const {
    return static_cast<TcxCustomImageProperties*>(Properties());
  }
  TcxCustomImageProperties* EffectiveImageProperties() {
    return static_cast<TcxCustomImageProperties*>(GetEffectiveProperties());
  }
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* v) { picture_->Assign(v); }
  // The context menu (none before its first use).
  TPopupMenu* ContextMenu() const { return menu_; }

  Variant ReadEditValue() override;
  void InternalSetEditValue(const Variant& value, bool flag) override;
  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  bool CanAutoHeight() override { return TcxCustomEdit::CanAutoHeight() && !PictureHasNoImage(Picture()); }
  bool CanAutoWidth() override { return true; }
  void ClearValue() override;
  void CopyTextOut() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  // The focus stays inside while a picture dialog is open.
  bool HasFocusInside() override { return dialogOpen_ || TcxCustomEdit::HasFocusInside(); }

  // Scroll bars: a standalone picture that is neither centred nor stretched scrolls when it is
  // larger than the client area, by 8 pixels a line.
  bool WantsScrollBars() override { return true; }
  void ComputeScrollBarData() override;
  void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  void RefreshScrollBars() override;
  void PlaceScrollParts() override { TcxControl::PlaceScrollParts(); }
  // The client area less the scroll bars shown (the bars stand below and right of it).
  void ContentBounds(TRect& r) override;
  // The picture's offset follows the bars' positions; both go back to 0 with a new picture.
  void UpdateScrollOffset();
  void ResetScrollPosition();

  virtual bool CanPasteFromClipboard();
  virtual void CustomClick();
  virtual TGraphicClass GetGraphicClass(bool pasting);
  void FireAssignPicture();
  void LoadPictureFromFile();
  void SavePictureToFile();
  void PreparePopupMenu();
  void ExecuteMenuCommand(Integer tag);

  TcxImageEditGraphicClassEvent OnGetGraphicClass;

 protected:
  void DoContextPopup(TPoint mouse_pos, bool& handled) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void Resize() override;

 private:
  void PictureChanged();
  // Runs a file dialog with the dialog-open flag set meanwhile.
  bool ExecuteDialog(TOpenDialog& dialog);
  // Runs a command with the user-command flag set.
  void UserCommand(const std::function<void()>& command);
  std::unique_ptr<TPicture> picture_;
  TPopupMenu* menu_ = nullptr;
  bool dialogOpen_ = false;
  bool loadingValue_ = false;
  bool userCommand_ = false;
};

class TcxImage : public TcxCustomImage {
  KORVAN_CLASS(TcxImage, TcxCustomImage)

 public:
  explicit TcxImage(TComponent* owner) : TcxCustomImage(owner, TcxImageProperties::StaticClass()) {}
  TcxImageProperties* Properties() const { return static_cast<TcxImageProperties*>(TcxCustomEdit::Properties()); }
  void SetProperties(TcxImageProperties* value) { Properties()->Assign(value); }
};

class TcxEditRepositoryImageItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryImageItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryImageItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxImageProperties::StaticClass()) {}
  TcxImageProperties* Properties() const {
    return static_cast<TcxImageProperties*>(TcxEditRepositoryItem::Properties());
  }
};

// The unit start: class registrations, the menu images and the editor registry entry.
void InitializeCxImage();
