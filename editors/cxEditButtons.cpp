// The content alignment and the edit buttons.
#include "editors/cxEdit.h"

#include "foundation/cxControls.h"
#include "rtl/TypInfo.h"

PTypeInfo EditEchoModeTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TcxEditEchoMode", {"eemNormal", "eemPassword"});
  return t;
}
PTypeInfo EditMaskKindTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TcxEditMaskKind", {"emkStandard", "emkRegExpr", "emkRegExprEx"});
  return t;
}
PTypeInfo CheckBoxStateTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TcxCheckBoxState", {"cbsUnchecked", "cbsChecked", "cbsGrayed"});
  return t;
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxEditAlignment) {
  PTypeInfo horz = AlignmentTypeInfo();
  static PTypeInfo vert =
      EnumTypeInfo("TcxEditVertAlignment", {"taTopJustify", "taBottomJustify", "taVCenter"});
  p.Enum("Horz", &TcxEditAlignment::Horz, &TcxEditAlignment::SetHorz, horz)
      .NoDefault()
      .Stored(&TcxEditAlignment::ShouldStoreHorz);
  p.Enum("Vert", &TcxEditAlignment::Vert, &TcxEditAlignment::SetVert, vert)
      .NoDefault()
      .Stored(&TcxEditAlignment::ShouldStoreVert);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxEditButton) {
  // What form text lists of a button (a kind that publishes Buttons reads them).
  static PTypeInfo kind = EnumTypeInfo("TcxEditButtonKind", {"bkEllipsis", "bkDown", "bkGlyph", "bkText"});
  using B = TcxEditButton;
  p.Str("Caption", [](const B* b) { return String(b->Caption()); }, &B::SetCaption);
  p.Bool("Default", &B::Default, &B::SetDefault).Default(false);
  p.Bool("Enabled", &B::Enabled, &B::SetEnabled).Default(true);
  p.Enum("Kind", &B::Kind, &B::SetKind, kind).Default(bkDown);
  p.Bool("LeftAlignment", &B::LeftAlignment, &B::SetLeftAlignment).Default(false);
  p.Bool("Visible", &B::Visible, &B::SetVisible).Default(true);
  p.Int("Width", &B::Width, &B::SetWidth).Default(0);
}
KORVAN_IMPLEMENT_CLASS(TcxEditButtons)

// ---- alignment ------------------------------------------------------------------------------------

void TcxEditAlignment::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxEditAlignment*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  vert_ = other->vert_;
  horz_ = other->horz_;
  horzAssigned_ = other->horzAssigned_;
  Changed();
}

void TcxEditAlignment::ClearHorzAssignment() {
  horzAssigned_ = false;
  Changed();
}

void TcxEditAlignment::SetHorz(TAlignment value) {
  if (horzAssigned_ && horz_ == value) return;
  horzAssigned_ = true;
  horz_ = value;
  Changed();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment value) {
  if (vert_ == value) return;
  vert_ = value;
  Changed();
}

void TcxEditAlignment::Reset() {
  horz_ = taLeftJustify;
  horzAssigned_ = false;
  vert_ = taTopJustify;
}

// ---- buttons --------------------------------------------------------------------------------------

TcxEditButton::TcxEditButton(TCollection* collection) : TCollectionItem(collection) {}
TcxEditButton::~TcxEditButton() = default;

TcxEditButtons* TcxEditButton::Buttons() const { return dynamic_cast<TcxEditButtons*>(Collection()); }

void TcxEditButton::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxEditButton*>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  try {
    SetCaption(other->caption_);
    visibleCaption_ = other->visibleCaption_;
    SetContentAlignment(other->contentAlignment_);
    SetDefault(other->default_);
    SetEnabled(other->enabled_);
    SetGlyph(other->glyph_.get());
    SetKind(other->kind_);
    SetLeftAlignment(other->leftAlignment_);
    SetStretchable(other->stretchable_);
    SetTextColor(other->textColor_);
    SetVisible(other->visible_);
    SetWidth(other->width_);
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

void TcxEditButton::SetCaption(const String& value) {
  if (caption_ == value) return;
  caption_ = value;
  visibleCaption_ = StripAccelChars(value);
  Changed(false);
}

void TcxEditButton::SetContentAlignment(TAlignment value) {
  if (contentAlignment_ == value) return;
  contentAlignment_ = value;
  Changed(false);
}

void TcxEditButton::SetDefault(bool value) {
  if (default_ == value) return;
  if (value)
    if (TcxEditButtons* buttons = Buttons())
      for (Integer i = 0; i < buttons->Count(); ++i)
        if (buttons->GetButton(i) != this) buttons->GetButton(i)->default_ = false;
  default_ = value;
  Changed(value);
}

void TcxEditButton::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Changed(false);
}

TBitmap* TcxEditButton::Glyph() {
  if (!glyph_) {
    glyph_ = std::make_unique<TBitmap>();
    glyph_->OnChange = [this](TObject* sender) { GlyphChanged(sender); };
  }
  return glyph_.get();
}

void TcxEditButton::SetGlyph(TBitmap* value) {
  if (!value) {
    glyph_.reset();
  } else {
    Glyph()->Assign(value);
  }
  Changed(false);
}

void TcxEditButton::SetKind(TcxEditButtonKind value) {
  if (kind_ == value) return;
  kind_ = value;
  Changed(false);
}

void TcxEditButton::SetLeftAlignment(bool value) {
  if (leftAlignment_ == value) return;
  leftAlignment_ = value;
  Changed(false);
}

void TcxEditButton::SetStretchable(bool value) {
  if (stretchable_ == value) return;
  stretchable_ = value;
  Changed(false);
}

void TcxEditButton::SetTextColor(TColor value) {
  if (textColor_ == value) return;
  textColor_ = value;
  Changed(false);
}

void TcxEditButton::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed(false);
}

void TcxEditButton::SetWidth(Integer value) {
  if (value < 0 || width_ == value) return;
  width_ = value;
  Changed(false);
}

TcxEditButtons::TcxEditButtons(TPersistent* owner)
    : TOwnedCollection(owner, TcxEditButton::StaticClass()) {}

Integer TcxEditButtons::VisibleCount() const {
  Integer n = 0;
  for (Integer i = 0; i < Count(); ++i)
    if (GetButton(i)->Visible()) ++n;
  return n;
}

void TcxEditButtons::Update(TCollectionItem* item) {
  if (OnChange) OnChange(this);
}
