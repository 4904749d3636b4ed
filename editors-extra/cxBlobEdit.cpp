#include "editors-extra/cxBlobEdit.h"

#include "data/cxCustomDataInternal.h"
#include "data/cxVariants.h"
#include "editors/cxEditPaintUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomBlobEditProperties)
KORVAN_IMPLEMENT_CLASS(TcxBlobEditViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxBlobEditViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomBlobEdit)
KORVAN_IMPLEMENT_CLASS(TcxPopupMemo)
KORVAN_IMPLEMENT_CLASS(TcxPopupImage)
KORVAN_IMPLEMENT_CLASS(TcxBlobEditPopupWindow)
KORVAN_IMPLEMENT_CLASS(TcxBlobEdit)
KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryBlobItem)

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxBlobEditProperties) {
  using P = TcxCustomBlobEditProperties;
  static PTypeInfo kind = EnumTypeInfo("TcxBlobEditKind", {"bekAuto", "bekMemo", "bekPict", "bekOle", "bekBlob"});
  static PTypeInfo paint_style = EnumTypeInfo("TcxBlobPaintStyle", {"bpsDefault", "bpsIcon", "bpsText"});
  p.Bool("AlwaysSaveData", &P::AlwaysSaveData, &P::SetAlwaysSaveData).Default(true);
  p.Object("AssignedValues", &P::AssignedValues, &P::SetAssignedValues, TcxCustomEditPropertiesValues::StaticClass());
  p.Enum("BlobEditKind", &P::BlobEditKind, &P::SetBlobEditKind, kind).Default(bekAuto);
  p.Enum("BlobPaintStyle", &P::BlobPaintStyle, &P::SetBlobPaintStyle, paint_style).Default(bpsIcon);
  p.Int("ClearKey", &P::ClearKey, &P::SetClearKey).Default(0);
  p.Bool("ImmediatePopup", &P::ImmediatePopup, &P::SetImmediatePopup).Default(true);
  p.Bool("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
  p.Bool("MemoAutoReplace", &P::MemoAutoReplace, &P::SetMemoAutoReplace).Default(false);
  p.Enum("MemoCharCase", &P::MemoCharCase, &P::SetMemoCharCase, EditCharCaseTypeInfo()).Default(ecNormal);
  p.Int("MemoMaxLength", &P::MemoMaxLength, &P::SetMemoMaxLength).Default(0);
  p.Bool("MemoOEMConvert", &P::MemoOEMConvert, &P::SetMemoOEMConvert).Default(false);
  p.Enum("MemoScrollBars", &P::MemoScrollBars, &P::SetMemoScrollBars, ScrollStyleTypeInfo()).Default(ssNone);
  p.Bool("MemoWantReturns", &P::MemoWantReturns, &P::SetMemoWantReturns).Default(true);
  p.Bool("MemoWantTabs", &P::MemoWantTabs, &P::SetMemoWantTabs).Default(true);
  p.Bool("MemoWordWrap", &P::MemoWordWrap, &P::SetMemoWordWrap).Default(true);
  p.Bool("PictureAutoSize", &P::PictureAutoSize, &P::SetPictureAutoSize).Default(true);
  p.Str("PictureFilter", &P::PictureFilter, &P::SetPictureFilter);
  p.Str("PictureGraphicClassName", &P::PictureGraphicClassName, &P::SetPictureGraphicClassName)
      .Stored(&P::IsPictureGraphicClassNameStored);
  p.Enum("PictureTransparency", &P::PictureTransparency, &P::SetPictureTransparency,
         ImageTransparencyTypeInfo()).Default(gtDefault);
  p.Int("PopupHeight", &P::PopupHeight, &P::SetPopupHeight).Default(200);
  p.Int("PopupWidth", &P::PopupWidth, &P::SetPopupWidth).Default(250);
  p.Bool("ReadOnly", [](const P* o) { return const_cast<P*>(o)->ReadOnly(); }, &P::SetReadOnly)
      .NoDefault()
      .Stored(&P::IsReadOnlyStored);
  p.Bool("ShowExPopupItems", &P::ShowExPopupItems, &P::SetShowExPopupItems).Default(true);
  p.Bool("ShowPicturePopup", &P::ShowPicturePopup, &P::SetShowPicturePopup).Default(true);
}

// ---- properties ---------------------------------------------------------------------------------

TcxCustomBlobEditProperties::TcxCustomBlobEditProperties(TPersistent* owner)
    : TcxCustomPopupEditProperties(owner), pictureGraphicClass_(TcxCustomImageProperties::DefaultGraphicClass()) {
  InitializeCxBlobEdit();
  SetPopupMinWidth(160);
  SetPopupMinHeight(140);
  SetImmediatePopup(true);
}

void TcxCustomBlobEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomBlobEditProperties*>(source);
  if (!s) {
    TcxCustomPopupEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomPopupEditProperties::Assign(source);
    alwaysSaveData_ = s->alwaysSaveData_;
    SetBlobEditKind(s->blobEditKind_);
    SetBlobPaintStyle(s->blobPaintStyle_);
    memoAutoReplace_ = s->memoAutoReplace_;
    memoCharCase_ = s->memoCharCase_;
    memoMaxLength_ = s->memoMaxLength_;
    memoOEMConvert_ = s->memoOEMConvert_;
    memoScrollBars_ = s->memoScrollBars_;
    memoWantReturns_ = s->memoWantReturns_;
    memoWantTabs_ = s->memoWantTabs_;
    memoWordWrap_ = s->memoWordWrap_;
    pictureAutoSize_ = s->pictureAutoSize_;
    pictureFilter_ = s->pictureFilter_;
    SetPictureGraphicClass(s->pictureGraphicClass_);
    pictureTransparency_ = s->pictureTransparency_;
    showExPopupItems_ = s->showExPopupItems_;
    showPicturePopup_ = s->showPicturePopup_;
    OnAssignPicture = s->OnAssignPicture;
    OnGetGraphicClass = s->OnGetGraphicClass;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomBlobEditProperties::SetBlobEditKind(TcxBlobEditKind v) {
  if (v == blobEditKind_) return;
  blobEditKind_ = v;
  if (Buttons()->Count() > 0)
    static_cast<TcxEditButton*>(Buttons()->Items(0))->SetKind(v == bekMemo || v == bekPict ? bkDown : bkEllipsis);
  NotifyPropertiesChanged();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClassName(const String& v) {
  TGraphicClass c;
  if (GraphicClassOfName(v, c)) SetPictureGraphicClass(c);
}

void TcxCustomBlobEditProperties::DefineProperties(TFiler* filer) {
  TcxCustomPopupEditProperties::DefineProperties(filer);
  DefineEmptyGraphicClassProperty(filer, "IsPictureGraphicClassNameEmpty", pictureGraphicClass_ == nullptr,
                                  [this] { SetPictureGraphicClass(nullptr); });
}

void TcxCustomBlobEditProperties::ResolveBlobEditKind() {
  if (blobEditKind_ != bekAuto) return;
  IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
  if (!provider) {
    blobEditKind_ = bekBlob;
    return;
  }
  if (!provider->IsDataAvailable()) return;
  // Set without the kind's setter: resolving reports no properties change.
  static const TcxBlobEditKind kKinds[] = {bekBlob, bekBlob, bekPict, bekMemo, bekOle};
  const Integer k = provider->DefaultBlobKind();
  blobEditKind_ = k >= 0 && k <= 4 ? kKinds[k] : bekBlob;
}

String GetBlobText(const Variant& value, TcxCustomBlobEditProperties* p, bool full_text) {
  const TcxBlobEditKind kind = p->BlobEditKind();
  if (full_text && kind == bekMemo && VarIsStr(value)) return VarToStr(value);
  if (p->BlobPaintStyle() == bpsDefault) {
    if (kind == bekMemo) return VarIsNull(value) ? "(memo)" : "(MEMO)";
    if (kind == bekPict) return VarIsNull(value) ? "(picture)" : "(PICTURE)";
    return {};
  }
  if (p->BlobPaintStyle() == bpsText && kind == bekMemo && VarIsStr(value)) {
    const String s = VarToStr(value);
    return s.substr(0, s.find_first_of("\r\n"));
  }
  return {};
}

String TcxCustomBlobEditProperties::ValueToDisplayText(const Variant& edit_value, bool whole_text, bool) {
  if (VarIsNull(edit_value)) return {};
  switch (blobEditKind_) {
    case bekMemo: return GetBlobText(edit_value, this, whole_text);
    case bekPict: return "(PICTURE)";
    case bekOle: return "OLE";
    case bekBlob: return "BLOB";
    default: return {};
  }
}

bool TcxCustomBlobEditProperties::UsesFieldDisplayText(bool) {
  ResolveBlobEditKind();
  return blobEditKind_ == bekMemo && (!DefaultValuesProvider() || !DefaultValuesProvider()->IsBlob());
}

bool TcxCustomBlobEditProperties::DisplayValuesEqual(const Variant& a, const Variant& b) {
  ResolveBlobEditKind();
  // Only memo texts shown as text compare; any other BLOB cell counts as changed.
  return blobPaintStyle_ == bpsText && blobEditKind_ == bekMemo && VarIsStr(a) && VarIsStr(b) &&
         VarToStr(a) == VarToStr(b);
}

TClass TcxCustomBlobEditProperties::GetPopupWindowClass() { return TcxBlobEditPopupWindow::StaticClass(); }

TClass TcxCustomBlobEditProperties::GetContainerClass() { return TcxBlobEdit::StaticClass(); }

TcxCustomEditViewData* TcxCustomBlobEditProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                   bool hide_display_text) {
  auto* data = new TcxBlobEditViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomBlobEditProperties::CreateViewInfo() { return new TcxBlobEditViewInfo(); }

// ---- icons ------------------------------------------------------------------------------------------

namespace {
TCustomImageList* blobImages = nullptr;
constexpr TColor kBlobMaskColor = TColor(32896);  // olive

void CreateBlobImages() {
  blobImages = CreateImageListFromResources({"CXBMBLOB_BLOB_NULL", "CXBMBLOB_BLOB", "CXBMBLOB_MEMO_NULL",
                                             "CXBMBLOB_MEMO", "CXBMBLOB_PICT_NULL", "CXBMBLOB_PICT",
                                             "CXBMBLOB_OLE_NULL", "CXBMBLOB_OLE"},
                                            kBlobMaskColor);
}
}  // namespace

TCustomImageList* BlobImages() {
  InitializeCxBlobEdit();
  return blobImages;
}

// ---- view data and view info ----------------------------------------------------------------------

void TcxBlobEditViewData::FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                                          TcxCustomEditViewInfo* view_info) {
  auto* vi = static_cast<TcxBlobEditViewInfo*>(view_info);
  TcxCustomBlobEditProperties* p = BlobProperties();
  p->ResolveBlobEditKind();
  if (p->BlobPaintStyle() == bpsIcon) {
    vi->Text.clear();
    switch (p->BlobEditKind()) {
      case bekMemo: vi->ImageIndex = 2; break;
      case bekPict: vi->ImageIndex = 4; break;
      case bekOle: vi->ImageIndex = 6; break;
      case bekBlob: vi->ImageIndex = 0; break;
      default: break;
    }
    if (!IsVariantNullOrEmptyText(edit_value)) ++vi->ImageIndex;
    return;
  }
  TcxCustomDropDownEditViewData::FillDisplayText(canvas, edit_value, view_info);
  vi->Text = GetBlobText(edit_value, p, false);
  vi->ImageIndex = -1;
}

void TcxBlobEditViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                                            TShiftState shift, TcxCustomEditViewInfo* view_info, bool is_mouse_event) {
  auto* vi = static_cast<TcxBlobEditViewInfo*>(view_info);
  if (Edit) FillDisplayText(canvas, Edit->EditValue(), vi);
  TcxCustomDropDownEditViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info, is_mouse_event);
  const TRect& c = vi->ClientArea;
  const Integer w = BlobImages() ? BlobImages()->Width() : 0, h = BlobImages() ? BlobImages()->Height() : 0;
  const Integer x = c.Left + (c.Width() - w) / 2, y = c.Top + (c.Height() - h) / 2;
  vi->IconRect = TRect(x, y, x + w, y + h);
}

void TcxBlobEditViewData::GetEditSize(TcxCanvas* canvas, bool is_inplace, const TcxEditSizeProperties& request,
                                      TSize& min_content_size, TcxCustomEditViewInfo* view_info, TSize& size) {
  TcxCustomDropDownEditViewData::GetEditSize(canvas, is_inplace, request, min_content_size, view_info, size);
  if (BlobProperties()->BlobPaintStyle() == bpsIcon && BlobImages()) size.cx += BlobImages()->Width();
}

void TcxBlobEditViewInfo::TranslateBy(Integer dx, Integer dy) {
  TcxCustomTextEditViewInfo::TranslateBy(dx, dy);
  OffsetRect(&IconRect, dx, dy);
}

void TcxBlobEditViewInfo::DrawEditor(TcxCanvas* canvas) {
  if (ImageIndex == -1 || !BlobImages()) {
    TcxCustomTextEditViewInfo::DrawEditor(canvas);
    return;
  }
  canvas->PushDeviceState();
  TRect clip;
  IntersectRect(&clip, &IconRect, &ClientArea);
  canvas->IntersectClip(clip);
  if (Transparent)
    BlobImages()->Draw(canvas->Canvas(), IconRect.Left, IconRect.Top, ImageIndex, Enabled);
  else
    DrawImageViaBitmap(canvas, BlobImages(), ImageIndex, IconRect, FillColor, Enabled);
  canvas->PopDeviceState();
  canvas->PushDeviceState();
  if (!Transparent) canvas->ExcludeFromClip(clip);
  PaintEditViewBackground(canvas, this, true, 0);
  canvas->PopDeviceState();
  if (Focused && !InPlace && !DroppedDown) {
    canvas->CurrentFont()->SetColor(clWhite);
    canvas->SetBrushColor(clBlack);
    canvas->DrawFocusFrame(TRect(ClientArea.Left + 1, ClientArea.Top + 1, ClientArea.Right - 1, ClientArea.Bottom - 1));
  }
}

// ---- the control ----------------------------------------------------------------------------------

TcxCustomBlobEdit::TcxCustomBlobEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomPopupEdit(owner, in_place, properties_class) {
  InitializeCxBlobEdit();
  SetTabStop(true);
}

TcxCustomBlobEdit::~TcxCustomBlobEdit() { DestroyPopupControls(); }

void TcxCustomBlobEdit::DestroyPopupControls() {
  TcxCustomBlobEditProperties* p = EffectiveBlobProperties();
  if (p->PopupControl() && p->PopupControl() == PopupEditor()) p->SetPopupControl(nullptr);
  for (TControl** c : {reinterpret_cast<TControl**>(&okButton_), reinterpret_cast<TControl**>(&closeButton_),
                       reinterpret_cast<TControl**>(&popupMemo_), reinterpret_cast<TControl**>(&popupImage_)}) {
    if (*c) (*c)->Free();
    *c = nullptr;
  }
}

TcxCustomEdit* TcxCustomBlobEdit::PopupEditor() const {
  if (popupMemo_) return popupMemo_;
  return popupImage_;
}

bool TcxCustomBlobEdit::CanDropDown() {
  EffectiveBlobProperties()->ResolveBlobEditKind();
  const TcxBlobEditKind kind = EffectiveBlobProperties()->BlobEditKind();
  return (kind == bekMemo || kind == bekPict) && TcxCustomPopupEdit::CanDropDown();
}

void TcxCustomBlobEdit::DoInitPopup() {
  InitPopupControl();
  TcxCustomPopupEdit::DoInitPopup();
}

void TcxCustomBlobEdit::CreatePopupEditor(bool picture) {
  if ((picture && popupMemo_) || (!picture && popupImage_)) DestroyPopupControls();
  if (!PopupEditor()) {
    TcxCustomEdit* editor;
    if (picture) {
      popupImage_ = new TcxPopupImage(nullptr);
      popupImage_->BlobEdit = this;
      editor = popupImage_;
    } else {
      popupMemo_ = new TcxPopupMemo(nullptr);
      popupMemo_->BlobEdit = this;
      editor = popupMemo_;
    }
    editor->OnEditing = [this](TObject*, bool& allow) { allow = IsEditableEffective(); };
    editor->Style()->SetBorderStyle(ebsNone);
    // The image also reports property changes as changes: only its modified flag counts.
    editor->Properties()->OnChange = [this, editor](TObject*) {
      if (editor != popupImage_ || popupImage_->ModifiedFlag()) NotePopupChanged();
    };
  }
}

void TcxCustomBlobEdit::InitPopupControl() {
  TcxCustomBlobEditProperties* p = EffectiveBlobProperties();
  p->ResolveBlobEditKind();
  if (p->BlobEditKind() == bekPict) {
    CreatePopupEditor(true);
    TcxImageProperties* ip = popupImage_->Properties();
    ip->SetShowFocusRect(false);
    ip->SetStretch(true);
    ip->SetCustomFilter(p->PictureFilter());
    ip->SetGraphicTransparency(p->PictureTransparency());
    ip->OnPopupClosed = [this](TObject*, Integer reason) { PopupImageClosed(reason); };
    TcxPopupMenuItems items;
    if (p->ShowPicturePopup()) {
      items = {pmiCut, pmiCopy, pmiPaste, pmiDelete};
      if (p->ShowExPopupItems()) items.Include(pmiLoad).Include(pmiSave);
    }
    ip->PopupMenuLayout()->SetMenuItems(items);
    ip->SetGraphicClass(p->PictureGraphicClass());
    popupImage_->OnGetGraphicClass = [this](TObject*, bool pasting, TGraphicClass& c) {
      c = GetPictureGraphicClass(pasting);
    };
    popupImage_->Properties()->SetReadOnly(!IsEditableEffective());
    popupImage_->SetEditValue(EditValue());
    popupImage_->SetModifiedFlag(false);
    popupImage_->Style()->LookAndFeel()->SetKind(PopupControlsLookAndFeel()->Kind());
    p->SetPopupAutoSize(p->PictureAutoSize());
  } else if (p->BlobEditKind() == bekMemo) {
    CreatePopupEditor(false);
    TcxMemoProperties* mp = popupMemo_->Properties();
    mp->SetCharCase(p->MemoCharCase());
    mp->SetMaxLength(p->MemoMaxLength());
    mp->SetOEMConvert(p->MemoOEMConvert());
    mp->SetScrollBars(p->MemoScrollBars());
    mp->SetWantReturns(p->MemoWantReturns());
    mp->SetWantTabs(p->MemoWantTabs());
    mp->SetWordWrap(p->MemoWordWrap());
    mp->SetReadOnly(!IsEditableEffective());
    p->SetPopupAutoSize(false);
    popupMemo_->SetEditValue(EditValue());
  } else {
    return;
  }
  popupModified_ = false;
  p->SetPopupControl(PopupEditor());
  p->SetPopupSysPanelStyle(true);
  CreatePopupButtons();
}

TWinControl* TcxCustomBlobEdit::PopupFocusControl() {
  if (TcxCustomEdit* editor = PopupEditor()) return editor;
  return TcxCustomPopupEdit::PopupFocusControl();
}

void TcxCustomBlobEdit::PopupContentSize(TSize& size) {
  TcxCustomBlobEditProperties* p = EffectiveBlobProperties();
  if (p->BlobEditKind() == bekPict && p->PictureAutoSize() && popupImage_) {
    size = TSize(popupImage_->Picture()->Width() + 4, popupImage_->Picture()->Height() + 4);
    return;
  }
  TcxCustomPopupEdit::PopupContentSize(size);
}

TGraphicClass TcxCustomBlobEditProperties::GetPictureGraphicClass(TObject* item, Integer record_index,
                                                                  bool pasting) {
  if (pictureGraphicClass_) return pictureGraphicClass_;
  TGraphicClass c = pasting ? TBitmap::StaticClass() : nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(item, record_index, pasting, c);
  return c;
}

TGraphicClass TcxCustomBlobEdit::GetPictureGraphicClass(bool pasting) {
  if (InPlace()) return EffectiveBlobProperties()->GetPictureGraphicClass(nullptr, -1, pasting);
  TGraphicClass c = EffectiveBlobProperties()->PictureGraphicClass();
  if (!c) c = pasting ? TBitmap::StaticClass() : nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(this, pasting, c);
  return c;
}

void TcxCustomBlobEdit::PopupImageClosed(Integer reason) {
  if (DroppedDown()) return;
  if (reason == 4) SavePopupValue();
  NotifyPopupClosed(reason);
}

void TcxCustomBlobEdit::CreatePopupButtons() {
  const bool read_only = EffectiveBlobProperties()->ReadOnly() || !DataBinding()->HasDataAvailable();
  const String close_caption = read_only ? "&Close" : "&Cancel";
  Canvas()->ApplyFont(Style()->Font());
  buttonWidth_ = std::max(Canvas()->MeasureTextWidth(close_caption + "00"), Canvas()->MeasureTextWidth("&OK00"));
  buttonHeight_ = MulDiv(Canvas()->MeasureTextHeight("Wg"), 20, 13);
  auto make = [this](TcxButton*& b, const String& caption, TModalResult result) {
    if (!b) b = new TcxButton(nullptr);
    b->SetCaption(caption);
    b->SetModalResult(result);
    b->OnClick = [this, result](TObject*) { ClosePopupWithResult(result); };
    b->SetBounds(0, 0, buttonWidth_, buttonHeight_);
    b->SetParent(PopupWindow());
  };
  make(closeButton_, close_caption, mrCancel);
  closeButton_->SetCancel(true);
  if (read_only) {
    if (okButton_) okButton_->Free();
    okButton_ = nullptr;
  } else {
    make(okButton_, "&OK", mrOk);
    okButton_->SetEnabled(popupModified_);
  }
  PopupWindow()->SetMinSysPanelHeight(buttonHeight_ + buttonHeight_ / 3);
  EffectiveBlobProperties()->SetPopupMinWidth((buttonHeight_ / 3 + buttonWidth_) * (okButton_ ? 2 : 1) +
                                              GetSystemMetrics(SM_CXVSCROLL) + buttonHeight_ / 2);
}

void TcxCustomBlobEdit::PositionPopupWindow() {
  TcxCustomPopupEdit::PositionPopupWindow();
  if (!closeButton_) return;
  // The OK and Close buttons replace the popup's own close button.
  PopupWindow()->SetCloseButton(false);
  // The buttons stand in the system panel, which is at the top when the popup opens upwards,
  // left of a size grip in a right corner.
  TcxCustomEditPopupWindowViewInfo* vi = PopupWindow()->GetPopupViewInfo();
  const TRect c = PopupWindow()->ClientRect();
  const Integer h = buttonHeight_, w = buttonWidth_;
  const bool grip = vi->Sizeable && !vi->SizeGripRect.IsEmpty();
  const TRect g = grip ? vi->SizeGripRect : vi->FrameRect;
  const Integer right = grip && !vi->GripOnLeft() ? g.Left - h / 6 : c.Right - std::max(2 * (h / 6), g.Left);
  const Integer panel = vi->SysPanelHeight;
  const bool at_bottom = vi->PanelAtBottom();
  const Integer top = at_bottom ? g.Bottom - (panel - h) / 2 + 2 - h : g.Top + (panel - h) / 2 - 2;
  const TAnchors anchors = at_bottom ? TAnchors{akRight, akBottom} : TAnchors{akRight, akTop};
  closeButton_->SetBounds(right - w, top, w, h);
  closeButton_->SetAnchors(anchors);
  if (okButton_) {
    okButton_->SetBounds(right - w - h / 3 - w, top, w, h);
    okButton_->SetAnchors(anchors);
  }
}

Integer TcxCustomBlobEdit::PopupCloseKeyResult(Word key, TShiftState shift, bool wants_returns) {
  const bool save = EffectiveBlobProperties()->AlwaysSaveData();
  if (key == VK_ESCAPE) return mrCancel;
  if ((key == VK_F4 && !shift.Contains(ssAlt)) || ((key == VK_UP || key == VK_DOWN) && shift.Contains(ssAlt)))
    return save ? mrOk : mrCancel;
  if (key == VK_RETURN && (shift.Contains(ssCtrl) || !wants_returns)) return mrOk;
  return 0;
}

void TcxCustomBlobEdit::ClosePopupWithResult(Integer result) {
  TcxCustomEditPopupWindow* w = PopupWindow();
  w->SetModalResult(result);
  // Without the popup's own loop the result is acted on at once.
  if (!w->RunsModalLoop()) w->FinishModal();
}

void TcxCustomBlobEdit::NotePopupChanged() {
  popupModified_ = true;
  if (okButton_) okButton_->SetEnabled(true);
}

void TcxCustomBlobEdit::PopupKeyDown(Word& key, TShiftState shift) {
  TcxCustomEdit* editor = PopupEditor();
  if (!editor || EffectiveBlobProperties()->PopupControl() != editor) {
    TcxCustomPopupEdit::PopupKeyDown(key, shift);
    return;
  }
  // Enter closes a picture popup always, a memo popup only when returns are not wanted.
  const bool wants_returns = popupMemo_ && popupMemo_->Properties()->WantReturns();
  if (Integer r = PopupCloseKeyResult(key, shift, wants_returns)) {
    key = 0;
    ClosePopupWithResult(r);
  }
}

void TcxBlobEditPopupWindow::ForwardCharToFocus(char32_t c) {
  auto* edit = dynamic_cast<TcxCustomBlobEdit*>(GetOwnerControl());
  TcxPopupMemo* memo = edit ? edit->PopupMemo() : nullptr;
  if (memo && edit->EffectiveBlobProperties()->PopupControl() == memo && !memo->Properties()->ReadOnly() &&
      edit->EffectiveBlobProperties()->MemoAutoReplace()) {
    String text;
    AppendUtf8(text, c);
    memo->SetEditValue(Variant(text));
    memo->SetSelStart(1);
    memo->ModifiedByUser();
    edit->NotePopupChanged();
    return;
  }
  TcxPopupEditPopupWindow::ForwardCharToFocus(c);
}

void TcxPopupMemo::DoEditKeyDown(Word& key, TShiftState shift) {
  if (BlobEdit) {
    if (Integer r = BlobEdit->PopupCloseKeyResult(key, shift, Properties()->WantReturns())) {
      key = 0;
      BlobEdit->ClosePopupWithResult(r);
      return;
    }
  }
  TcxMemo::DoEditKeyDown(key, shift);
}

void TcxPopupImage::KeyDown(Word& key, TShiftState shift) {
  if (BlobEdit) {
    if (Integer r = BlobEdit->PopupCloseKeyResult(key, shift, false)) {
      key = 0;
      BlobEdit->ClosePopupWithResult(r);
    }
  }
  TcxImage::KeyDown(key, shift);
}

void TcxCustomBlobEdit::SavePopupValue() {
  if (!PopupEditor() || !popupModified_) return;
  TcxCustomBlobEditProperties* p = EffectiveBlobProperties();
  const TModalResult r = PopupWindow()->ModalResult();
  if (!(r == mrOk || (r != mrCancel && p->AlwaysSaveData()))) return;
  if (!CanModify()) return;
  if (popupMemo_) {
    InternalSetEditValue(Variant(popupMemo_->Lines()->Text()), true);
  } else {
    TGraphic* graphic = popupImage_->Picture()->Graphic();
    lastPictureClass_ = graphic ? graphic->ClassType() : nullptr;
    InternalSetEditValue(popupImage_->EditValue(), true);
  }
  SetModifiedFlag(true);
  SetChangedSinceEnter(true);
  popupModified_ = false;
  if (popupImage_) PictureSaved();
  if (p->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) PostEditValue();
}

void TcxCustomBlobEdit::PictureSaved() {
  LockEditValueChanges(true);
  {
    cxdata_internal::Finally unlock{[this] { LockEditValueChanges(false); }};
    TPicture* picture = popupImage_->Picture();
    if (BlobProperties()->OnAssignPicture) BlobProperties()->OnAssignPicture(this, picture);
    if (RepositoryItem() && EffectiveBlobProperties()->OnAssignPicture)
      EffectiveBlobProperties()->OnAssignPicture(this, picture);
  }
  // CanModify runs the editing handler, which may raise: the modified state comes back.
  PushModifiedState();
  cxdata_internal::Finally pop{[this] { PopModifiedState(); }};
  SetModifiedFlag(false);
  CanModify();
}

void TcxCustomBlobEdit::PopupWindowClosed() {
  LockChangeEvents(true);
  try {
    SavePopupValue();
    TcxCustomPopupEdit::PopupWindowClosed();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  RefreshStateAtCursor(false);
}

// ---- unit start -------------------------------------------------------------------------------------

void InitializeCxBlobEdit() {
  InitUnit(
      "cxBlobEdit",
      [] {
        InitializeCxImage();  // registers the pictures of editors-extra/resources
        InitializeCxPopupEdit();
        RegisterClass(TcxBlobEdit::StaticClass());
        RegisterClass(TcxPopupImage::StaticClass());
        RegisterClass(TcxBlobEditProperties::StaticClass());
        RegisterClass(TcxEditRepositoryBlobItem::StaticClass());
        CreateBlobImages();
        EditPropertiesRegistry()->AddDescribedClass(TcxBlobEditProperties::StaticClass(),
                                                    "BlobEdit|Represents the BLOB editor");
      },
      [] {
        EditPropertiesRegistry()->RemoveClass(TcxBlobEditProperties::StaticClass());
        delete blobImages;
        blobImages = nullptr;
      });
}
