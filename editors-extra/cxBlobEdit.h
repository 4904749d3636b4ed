// The BLOB kind: a binary large object of a record (memo text, picture, OLE object or other
// data) shown in one line as an icon or a short text; the kind comes from the data field.
#pragma once

#include "editors-extra/cxImage.h"
#include "editors-extra/cxMemo.h"
#include "foundation/cxButtons.h"
#include "editors/cxPopupEdit.h"

enum TcxBlobEditKind { bekAuto, bekMemo, bekPict, bekOle, bekBlob };
enum TcxBlobPaintStyle { bpsDefault, bpsIcon, bpsText };

class TcxCustomBlobEditProperties : public TcxCustomPopupEditProperties {
  KORVAN_CLASS(TcxCustomBlobEditProperties, TcxCustomPopupEditProperties)

 public:
  explicit TcxCustomBlobEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  // Resolves bekAuto from the default-values provider: none gives bekBlob; data not available
  // keeps bekAuto; otherwise the provider's BLOB kind (0 none, 1 BLOB, 2 graphic, 3 memo, 4 OLE).
  void ResolveBlobEditKind();

  TClass GetContainerClass() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  String ValueToDisplayText(const Variant& edit_value, bool whole_text, bool for_display) override;
  bool CanValidate() override { return blobEditKind_ == bekMemo; }
  bool UsesFieldDisplayText(bool edit_focused) override;
  bool DisplayValuesEqual(const Variant& a, const Variant& b) override;
  Word GetSpecialFeatures() override {
    return TcxCustomPopupEditProperties::GetSpecialFeatures() + (blobEditKind_ == bekPict ? 1 : 0);
  }
  Word GetSupportedOperations() override { return Buttons()->Count() > 0 ? 36 : 4; }
  Byte GetDisplayFormatOptions() override { return 0; }
  TClass GetPopupWindowClass() override;
  bool IsEditValueValid(Variant&, bool) override { return true; }

  bool AlwaysSaveData() const { return alwaysSaveData_; }
  void SetAlwaysSaveData(bool v) { alwaysSaveData_ = v; }
  TcxBlobEditKind BlobEditKind() const { return blobEditKind_; }
  void SetBlobEditKind(TcxBlobEditKind v);
  TcxBlobPaintStyle BlobPaintStyle() const { return blobPaintStyle_; }
  void SetBlobPaintStyle(TcxBlobPaintStyle v) { Set(blobPaintStyle_, v); }
  bool MemoAutoReplace() const { return memoAutoReplace_; }
  void SetMemoAutoReplace(bool v) { memoAutoReplace_ = v; }
  TEditCharCase MemoCharCase() const { return memoCharCase_; }
  void SetMemoCharCase(TEditCharCase v) { memoCharCase_ = v; }
  Integer MemoMaxLength() const { return memoMaxLength_; }
  void SetMemoMaxLength(Integer v) { memoMaxLength_ = v; }
  bool MemoOEMConvert() const { return memoOEMConvert_; }
  void SetMemoOEMConvert(bool v) { memoOEMConvert_ = v; }
  TScrollStyle MemoScrollBars() const { return memoScrollBars_; }
  void SetMemoScrollBars(TScrollStyle v) { memoScrollBars_ = v; }
  bool MemoWantReturns() const { return memoWantReturns_; }
  void SetMemoWantReturns(bool v) { memoWantReturns_ = v; }
  bool MemoWantTabs() const { return memoWantTabs_; }
  void SetMemoWantTabs(bool v) { memoWantTabs_ = v; }
  bool MemoWordWrap() const { return memoWordWrap_; }
  void SetMemoWordWrap(bool v) { memoWordWrap_ = v; }
  bool PictureAutoSize() const { return pictureAutoSize_; }
  void SetPictureAutoSize(bool v) { pictureAutoSize_ = v; }
  String PictureFilter() const { return pictureFilter_; }
  void SetPictureFilter(const String& v) { pictureFilter_ = v; }
  TGraphicClass PictureGraphicClass() const { return pictureGraphicClass_; }
  void SetPictureGraphicClass(TGraphicClass v) { Set(pictureGraphicClass_, v); }
  String PictureGraphicClassName() const {
    return pictureGraphicClass_ ? pictureGraphicClass_->ClassName() : String();
  }
  // An unknown name changes nothing; an empty one clears the class.
  void SetPictureGraphicClassName(const String& v);
  bool IsPictureGraphicClassNameStored() const {
    return pictureGraphicClass_ != TcxCustomImageProperties::DefaultGraphicClass();
  }
  TcxImageTransparency PictureTransparency() const { return pictureTransparency_; }
  void SetPictureTransparency(TcxImageTransparency v) { pictureTransparency_ = v; }
  bool ShowExPopupItems() const { return showExPopupItems_; }
  void SetShowExPopupItems(bool v) { showExPopupItems_ = v; }
  bool ShowPicturePopup() const { return showPicturePopup_; }
  void SetShowPicturePopup(bool v) { showPicturePopup_ = v; }

  // The picture graphic class when set (the event is not asked); else TBitmap when pasting,
  // none otherwise, which OnGetGraphicClass may change.
  TGraphicClass GetPictureGraphicClass(TObject* item, Integer record_index, bool pasting);

  TcxImageAssignPictureEvent OnAssignPicture;
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
  bool alwaysSaveData_ = true;
  TcxBlobEditKind blobEditKind_ = bekAuto;
  TcxBlobPaintStyle blobPaintStyle_ = bpsIcon;
  bool memoAutoReplace_ = false;
  TEditCharCase memoCharCase_ = ecNormal;
  Integer memoMaxLength_ = 0;
  bool memoOEMConvert_ = false;
  TScrollStyle memoScrollBars_ = ssNone;
  bool memoWantReturns_ = true, memoWantTabs_ = true, memoWordWrap_ = true;
  bool pictureAutoSize_ = true;
  String pictureFilter_;
  TGraphicClass pictureGraphicClass_;
  TcxImageTransparency pictureTransparency_ = gtDefault;
  bool showExPopupItems_ = true, showPicturePopup_ = true;
};

class TcxBlobEditProperties : public TcxCustomBlobEditProperties {
  KORVAN_CLASS(TcxBlobEditProperties, TcxCustomBlobEditProperties)

 public:
  using TcxCustomBlobEditProperties::TcxCustomBlobEditProperties;
};

// The text of a BLOB value: the whole memo (full text), "(memo)"/"(MEMO)" and
// "(picture)"/"(PICTURE)" with bpsDefault, a memo's first line with bpsText, else empty.
String GetBlobText(const Variant& value, TcxCustomBlobEditProperties* properties, bool full_text);

// The process-wide BLOB icons: blob, memo, picture and OLE, each empty then with data.
TCustomImageList* BlobImages();

class TcxBlobEditViewInfo : public TcxCustomTextEditViewInfo {
  KORVAN_CLASS(TcxBlobEditViewInfo, TcxCustomTextEditViewInfo)

 public:
  TRect IconRect;
  Integer ImageIndex = 0;
  void DrawEditor(TcxCanvas* canvas) override;
  void TranslateBy(Integer dx, Integer dy) override;
  bool QueryHintInRect(TcxCanvas*, const TPoint&, const TRect&, String&, bool&, TRect&) override { return false; }
};

class TcxBlobEditViewData : public TcxCustomDropDownEditViewData {
  KORVAN_CLASS(TcxBlobEditViewData, TcxCustomDropDownEditViewData)

 public:
  using TcxCustomDropDownEditViewData::TcxCustomDropDownEditViewData;
  TcxCustomBlobEditProperties* BlobProperties() const {
    return static_cast<TcxCustomBlobEditProperties*>(Properties);
  }
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value, TcxCustomEditViewInfo* view_info) override;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                         TShiftState shift, TcxCustomEditViewInfo* view_info, bool is_mouse_event) override;
  void GetEditSize(TcxCanvas* canvas, bool is_inplace, const TcxEditSizeProperties& request,
                   TSize& min_content_size, TcxCustomEditViewInfo* view_info, TSize& size) override;
};

class TcxCustomBlobEdit;

// The popup window of the BLOB editor: a character that opened a memo popup replaces the
// memo's text with MemoAutoReplace.
class TcxBlobEditPopupWindow : public TcxPopupEditPopupWindow {
  KORVAN_CLASS(TcxBlobEditPopupWindow, TcxPopupEditPopupWindow)

 public:
  using TcxPopupEditPopupWindow::TcxPopupEditPopupWindow;
  void ForwardCharToFocus(char32_t c) override;
};

// The memo of a memo BLOB's popup: closing keys end the popup with OK or Cancel.
class TcxPopupMemo : public TcxMemo {
  KORVAN_CLASS(TcxPopupMemo, TcxMemo)

 public:
  explicit TcxPopupMemo(TComponent* owner) : TcxMemo(owner) {}
  TcxCustomBlobEdit* BlobEdit = nullptr;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
};

// The picture of a picture BLOB's popup: closing keys (Enter among them) end the popup with OK
// or Cancel; other keys reach the image (clipboard keys).
class TcxPopupImage : public TcxImage {
  KORVAN_CLASS(TcxPopupImage, TcxImage)

 public:
  explicit TcxPopupImage(TComponent* owner) : TcxImage(owner) {}
  TcxCustomBlobEdit* BlobEdit = nullptr;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
};

class TcxCustomBlobEdit : public TcxCustomPopupEdit {
  KORVAN_CLASS(TcxCustomBlobEdit, TcxCustomPopupEdit)

 public:
  explicit TcxCustomBlobEdit(TComponent* owner)
      : TcxCustomBlobEdit(owner, false, TcxCustomBlobEditProperties::StaticClass()) {}
  TcxCustomBlobEdit(TComponent* owner, bool in_place, TClass properties_class);
  ~TcxCustomBlobEdit() override;
  TcxCustomBlobEditProperties* BlobProperties() const {
    return static_cast<TcxCustomBlobEditProperties*>(Properties());
  }
  TcxCustomBlobEditProperties* EffectiveBlobProperties() {
    return static_cast<TcxCustomBlobEditProperties*>(GetEffectiveProperties());
  }
  // The popup's editor and buttons (none before the first popup of a memo or picture BLOB).
  TcxPopupMemo* PopupMemo() const { return popupMemo_; }
  TcxPopupImage* PopupImage() const { return popupImage_; }
  TcxButton* OkButton() const { return okButton_; }
  TcxButton* CloseButton() const { return closeButton_; }

  bool CanDropDown() override;
  void DoInitPopup() override;
  TWinControl* PopupFocusControl() override;
  // A picture popup with PictureAutoSize is 4 pixels larger than the picture each way.
  void PopupContentSize(TSize& size) override;
  void PositionPopupWindow() override;
  void PopupWindowClosed() override;
  // Keys inside the popup: the closing keys end it with OK or Cancel; others reach the memo.
  void PopupKeyDown(Word& key, TShiftState shift) override;
  // The popup's modal result for a key inside it (F4, Esc, Alt+Up/Down, Ctrl+Enter, and Enter
  // without returns wanted); 0 when the key does not close the popup.
  Integer PopupCloseKeyResult(Word key, TShiftState shift, bool wants_returns);
  // Ends the popup with a modal result (1 OK, 2 Cancel).
  void ClosePopupWithResult(Integer result);
  // The popup's editor changed: OK becomes available.
  void NotePopupChanged();
  virtual void InitPopupControl();
  virtual void DestroyPopupControls();
  // The popup image closed one of its dialogs: a picture loaded from a file (reason 4) is
  // saved at once when the popup is no longer shown.
  void PopupImageClosed(Integer reason);
  // The graphic class of the popup's picture: in place the properties' answer, standalone the
  // picture graphic class (else TBitmap when pasting), which OnGetGraphicClass may change.
  TGraphicClass GetPictureGraphicClass(bool pasting);
  // The class of the last picture saved from the popup (none without a graphic).
  TGraphicClass LastPictureClass() const { return lastPictureClass_; }

  TcxImageEditGraphicClassEvent OnGetGraphicClass;

 private:
  void CreatePopupButtons();
  void SavePopupValue();
  void PictureSaved();
  // The popup editor of a kind: an existing one of the other class is destroyed first.
  void CreatePopupEditor(bool picture);
  TcxCustomEdit* PopupEditor() const;
  TcxPopupMemo* popupMemo_ = nullptr;
  TcxPopupImage* popupImage_ = nullptr;
  TGraphicClass lastPictureClass_ = nullptr;
  TcxButton* okButton_ = nullptr;
  TcxButton* closeButton_ = nullptr;
  bool popupModified_ = false;
  Integer buttonWidth_ = 0, buttonHeight_ = 0;
};

class TcxBlobEdit : public TcxCustomBlobEdit {
  KORVAN_CLASS(TcxBlobEdit, TcxCustomBlobEdit)

 public:
  explicit TcxBlobEdit(TComponent* owner) : TcxCustomBlobEdit(owner, false, TcxBlobEditProperties::StaticClass()) {}
  TcxBlobEditProperties* Properties() const { return static_cast<TcxBlobEditProperties*>(TcxCustomEdit::Properties()); }
};

class TcxEditRepositoryBlobItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryBlobItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryBlobItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxBlobEditProperties::StaticClass()) {}
  TcxBlobEditProperties* Properties() const {
    return static_cast<TcxBlobEditProperties*>(TcxEditRepositoryItem::Properties());
  }
};

// The unit start: class registrations, the BLOB icons and the editor registry entry.
void InitializeCxBlobEdit();
