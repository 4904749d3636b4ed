// The hyperlink edit: its settings, the prefix rule, validation, the link style and cell font,
// starting the link by key, double click or single click, the hand cursor, the filter helper
// and the unit start.
#include "editors-extra/cxHyperLinkEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "foundation/cxClasses.h"
#include "foundation/cxControls.h"
#include "rtl/TypInfo.h"
#include "user/ShellOpen.h"

namespace {
using TLinkProps = TcxCustomHyperLinkEditProperties;
TLinkProps* Mutable(const TLinkProps* p) { return const_cast<TLinkProps*>(p); }
const TcxResourceStringRec scxSHyperLinkPrefix = {"scxSHyperLinkPrefix", "http://"};
const TcxResourceStringRec scxSEditRepositoryHyperLinkItem = {
    "scxSEditRepositoryHyperLinkItem", "HyperLink|Represents a text editor with hyperlink functionality"};

PTypeInfo UsePrefixType() {
  static PTypeInfo t = EnumTypeInfo("TcxHyperLinkEditUsePrefix", {"upAlways", "upOnlyOnExecute", "upNever"});
  return t;
}
}  // namespace

String HyperLinkDefaultPrefix() { return LoadReplaceableResString(scxSHyperLinkPrefix); }

// ---- properties ----------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomHyperLinkEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxHyperLinkEditProperties) {
  p.Object("Alignment", [](const TLinkProps* o) { return Mutable(o)->Alignment(); }, &TLinkProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TLinkProps::IsAlignmentStored);
  p.Bool("AutoComplete", &TLinkProps::AutoComplete, &TLinkProps::SetAutoComplete).Stored(false);
  p.Bool("AutoSelect", &TLinkProps::AutoSelect, &TLinkProps::SetAutoSelect).Default(false);
  p.Int("ClearKey", &TLinkProps::ClearKey, &TLinkProps::SetClearKey).Default(0);
  p.Int("LinkColor", &TLinkProps::LinkColor, &TLinkProps::SetLinkColor).Default(clBlue);
  p.Str("Prefix", &TLinkProps::Prefix, &TLinkProps::SetPrefix).Stored(false);
  p.Bool("ReadOnly", [](const TLinkProps* o) { return Mutable(o)->ReadOnly(); }, &TLinkProps::SetReadOnly)
      .NoDefault()
      .Stored(&TLinkProps::IsReadOnlyStored);
  p.Bool("SingleClick", &TLinkProps::SingleClick, &TLinkProps::SetSingleClick).Default(false);
  p.Int("StartKey", &TLinkProps::StartKey, &TLinkProps::SetStartKey).Default(16397);
  p.Enum("UsePrefix", &TLinkProps::UsePrefix, &TLinkProps::SetUsePrefix, UsePrefixType()).Default(upAlways);
  p.Bool("ValidateOnEnter", &TLinkProps::ValidateOnEnter, &TLinkProps::SetValidateOnEnter).Default(false);
}

TcxCustomHyperLinkEditProperties::TcxCustomHyperLinkEditProperties(TPersistent* owner)
    : TcxCustomTextEditProperties(owner), prefix_(HyperLinkDefaultPrefix()) {
  SetAutoSelect(false);
}

void TcxCustomHyperLinkEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomHyperLinkEditProperties*>(source);
  ChangeInUpdate([&] {
    TcxCustomTextEditProperties::Assign(source);
    if (s) {
      linkColor_ = s->linkColor_;
      prefix_ = s->prefix_;
      singleClick_ = s->singleClick_;
      startKey_ = s->startKey_;
      usePrefix_ = s->usePrefix_;
      OnStartClick = s->OnStartClick;
      NotifyPropertiesChanged();
    }
  });
}

void TcxCustomHyperLinkEditProperties::DefineProperties(TFiler* filer) {
  TcxCustomTextEditProperties::DefineProperties(filer);
  filer->DefineProperty(
      "Prefix", [this](TReader& reader) { prefix_ = reader.ReadString(); },
      [this](TWriter& writer) { writer.WriteString(prefix_); }, prefix_ != HyperLinkDefaultPrefix());
}

TClass TcxCustomHyperLinkEditProperties::GetContainerClass() { return TcxHyperLinkEdit::StaticClass(); }

TcxCustomEditViewInfo* TcxCustomHyperLinkEditProperties::CreateViewInfo() { return new TcxHyperLinkEditViewInfo; }

Word TcxCustomHyperLinkEditProperties::GetSupportedOperations() {
  Word ops = TcxCustomTextEditProperties::GetSupportedOperations();
  if (singleClick_) ops |= esoAlwaysHotTrack;
  return ops;
}

void TcxCustomHyperLinkEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                                                            IcxEditValidator* edit) {
  if (usePrefix_ == upAlways) display_value = Variant(AddPrefix(VarToStr(display_value)));
  TcxCustomTextEditProperties::ValidateDisplayValue(display_value, error_text, error, edit);
}

String TcxCustomHyperLinkEditProperties::AddPrefix(const String& text) {
  const String trimmed = Trim(text);
  if (prefix_.empty() || trimmed.empty() || trimmed.compare(0, prefix_.size(), prefix_) == 0) return trimmed;
  return Trim(prefix_ + trimmed);
}

// ---- view info -------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxHyperLinkEditViewInfo)

void TcxHyperLinkEditViewInfo::PrepareCanvasFont(TcxCanvas* canvas) {
  TcxCustomTextEditViewInfo::PrepareCanvasFont(canvas);
  auto* p = dynamic_cast<TcxCustomHyperLinkEditProperties*>(Properties);
  if (!p) return;
  TFontStyles s = canvas->CurrentFont()->Style();
  s.Include(fsUnderline);
  canvas->CurrentFont()->SetStyle(s);
  if (!PaintsAsSelection && Enabled) {
    TextColor = p->LinkColor();
    canvas->CurrentFont()->SetColor(TextColor);
  }
}

// ---- the edit ------------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomHyperLinkEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxHyperLinkEdit) {
  p.Object("Properties", &TcxHyperLinkEdit::Properties, &TcxHyperLinkEdit::SetProperties,
           TcxHyperLinkEditProperties::StaticClass());
}

TcxCustomHyperLinkEdit::TcxCustomHyperLinkEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomTextEdit(owner, in_place, properties_class) {}

void TcxCustomHyperLinkEdit::DoStart() {
  TWeakRef<TcxCustomHyperLinkEdit> self(this);
  auto* own = static_cast<TcxCustomHyperLinkEditProperties*>(Properties());
  bool handled = false;
  if (own->OnStartClick) {
    handled = true;
    own->OnStartClick(this);
    if (!self) return;
  }
  if (TcxEditRepositoryItem* item = RepositoryItem())
    if (auto* p = dynamic_cast<TcxCustomHyperLinkEditProperties*>(item->Properties()); p && p->OnStartClick) {
      handled = true;
      p->OnStartClick(this);
      if (!self) return;
    }
  if (handled) return;
  TcxCustomHyperLinkEditProperties* p = LinkProperties();
  String link = Trim(VarToStr(CurrentDisplayText()));
  if (p->UsePrefix() != upNever) link = p->AddPrefix(link);
  ShellOpen(link);
}

void TcxCustomHyperLinkEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  if (key != 0 && ShortCut(key, shift) == LinkProperties()->StartKey()) {
    key = 0;
    DoStart();
    return;
  }
  TcxCustomTextEdit::DoEditKeyDown(key, shift);
}

bool TcxCustomHyperLinkEdit::InTextArea(Integer x, Integer y) {
  if (TcxCustomInnerTextEdit* inner = InnerTextEdit(); inner && inner->Visible()) return inner->BoundsRect().Contains(TPoint(x, y));
  TcxCustomEditViewInfo* vi = GetEditViewInfo();
  return vi && vi->ClientArea.Contains(TPoint(x, y));
}

void TcxCustomHyperLinkEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomHyperLinkEdit> self(this);
  TcxCustomTextEdit::MouseDown(button, shift, x, y);
  if (self && button == mbLeft && shift.Contains(ssDouble) && !LinkProperties()->SingleClick() && InTextArea(x, y))
    DoStart();
}

void TcxCustomHyperLinkEdit::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomHyperLinkEdit> self(this);
  TcxCustomTextEdit::MouseUp(button, shift, x, y);
  if (self && button == mbLeft && LinkProperties()->SingleClick() && SelLength() == 0 && InTextArea(x, y)) DoStart();
}

void TcxCustomHyperLinkEdit::ShowHandCursor() {
  if (handShown_ || !LinkProperties()->SingleClick() || Cursor() != crDefault) return;
  savedCursor_ = Cursor();
  handShown_ = true;
  SetCursor(crcxHandPoint);
  if (TcxCustomInnerTextEdit* inner = InnerTextEdit()) inner->SetCursor(crcxHandPoint);
}

void TcxCustomHyperLinkEdit::NotifyMouseEnter(TControl* control) {
  TcxCustomTextEdit::NotifyMouseEnter(control);
  ShowHandCursor();
}

void TcxCustomHyperLinkEdit::NotifyMouseLeave(TControl* control) {
  TcxCustomTextEdit::NotifyMouseLeave(control);
  if (!handShown_) return;
  handShown_ = false;
  SetCursor(savedCursor_);
  if (TcxCustomInnerTextEdit* inner = InnerTextEdit()) inner->SetCursor(savedCursor_);
}

void TcxCustomHyperLinkEdit::ActivateByMouse(TShiftState shift, Integer x, Integer y, TcxCustomEditData*& edit_data) {
  ShowHandCursor();
  TcxCustomTextEdit::ActivateByMouse(shift, x, y, edit_data);
}

void TcxCustomHyperLinkEdit::SelectWholeText() {
  if (InPlace() && LinkProperties()->SingleClick()) return;
  TcxCustomTextEdit::SelectWholeText();
}

void TcxCustomHyperLinkEdit::ApplyStyleToInnerEdit() {
  TcxCustomTextEdit::ApplyStyleToInnerEdit();
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  if (!inner || IsInnerEditUnavailable()) return;
  TFontStyles s = inner->Font()->Style();
  s.Include(fsUnderline);
  inner->Font()->SetStyle(s);
  if (Enabled()) inner->Font()->SetColor(LinkProperties()->LinkColor());
}

void TcxCustomHyperLinkEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  TcxCustomTextEdit::PropertiesChanged(properties);
  ApplyStyleToInnerEdit();
}

// ---- filter helper and unit start ----------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxFilterHyperLinkEditHelper)

TClass TcxFilterHyperLinkEditHelper::ValueEditClass() const { return TcxHyperLinkEdit::StaticClass(); }

void InitializeCxHyperLinkEdit() {
  InitUnit(
      "cxHyperLinkEdit",
      [] {
        InitializeCxTextEdit();
        RegisterClass(TcxHyperLinkEdit::StaticClass());
        RegisterClass(TcxHyperLinkEditProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxHyperLinkEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryHyperLinkItem));
        FilterEditsController()->RegisterHelper(TcxHyperLinkEditProperties::StaticClass(),
                                                TcxFilterHyperLinkEditHelper::StaticClass());
      },
      [] {
        if (EditPropertiesRegistry())
          EditPropertiesRegistry()->RemoveClass(TcxHyperLinkEditProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxHyperLinkEditProperties::StaticClass(),
                                                  TcxFilterHyperLinkEditHelper::StaticClass());
      });
}
