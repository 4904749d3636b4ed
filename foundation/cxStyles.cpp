// Styles, styles objects, style sheets and the style repository.
#include "foundation/cxStyles.h"

#include <algorithm>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using enum TcxStyleValue;

namespace {
PTypeInfo StyleValuesType() {
  static PTypeInfo element = EnumTypeInfo("TcxStyleValue", {"svBitmap", "svColor", "svFont", "svTextColor"});
  return SetTypeInfo("TcxStyleValues", element);
}
}  // namespace

// ---- TcxCustomStyle ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomStyle)

TcxCustomStyle::TcxCustomStyle(TComponent* owner) : TComponent(owner) {}

TcxCustomStyle::~TcxCustomStyle() {
  // Every listener unsubscribes itself when told that the style goes away.
  while (!listeners_.empty()) {
    size_t before = listeners_.size();
    IcxStyleListener* last = listeners_.back();
    last->StyleDetached(this);
    if (listeners_.size() == before && listeners_.back() == last) listeners_.pop_back();
  }
  MoveToRepository(nullptr);
}

void TcxCustomStyle::NotifyModified() {
  for (size_t i = listeners_.size(); i-- > 0;)
    if (i < listeners_.size()) listeners_[i]->StyleModified(this);
}

void TcxCustomStyle::Subscribe(IcxStyleListener* listener) {
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) listeners_.push_back(listener);
}

void TcxCustomStyle::Unsubscribe(IcxStyleListener* listener) {
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (it != listeners_.end()) listeners_.erase(it);
}

void TcxCustomStyle::MoveToRepository(TcxStyleRepository* repository) {
  if (repository_ == repository) return;
  if (repository_) {
    auto& list = repository_->styles_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  repository_ = repository;
  if (repository_) repository_->styles_.push_back(this);
}

TComponent* TcxCustomStyle::GetParentComponent() const { return repository_; }

void TcxCustomStyle::SetParentComponent(TComponent* value) {
  auto* repository = dynamic_cast<TcxStyleRepository*>(value);
  if (value && !repository) throw EInvalidCast("Invalid class typecast");
  MoveToRepository(repository);
}

bool HasAssignedValue(TcxCustomStyle* style, TcxStyleValue value) {
  auto* s = dynamic_cast<TcxStyle*>(style);
  return s && s->AssignedValues().Contains(value);
}

// ---- TcxStyle ------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxStyle) {
  p.Set("AssignedValues", &TcxStyle::AssignedValues, &TcxStyle::SetAssignedValues, StyleValuesType()).Default(0);
  p.Object("Bitmap", &TcxStyle::Bitmap, &TcxStyle::SetBitmap, TBitmap::StaticClass()).Stored(&TcxStyle::IsBitmapStored);
  p.Int("Color", &TcxStyle::Color, &TcxStyle::SetColor).Stored(&TcxStyle::IsColorStored);
  p.Object("Font", &TcxStyle::Font, &TcxStyle::SetFont, TFont::StaticClass()).Stored(&TcxStyle::IsFontStored);
  p.Int("TextColor", &TcxStyle::TextColor, &TcxStyle::SetTextColor).Stored(&TcxStyle::IsTextColorStored);
}

TcxStyle::TcxStyle(TComponent* owner) : TcxCustomStyle(owner) {
  bitmap_ = std::make_unique<TBitmap>();
  bitmap_->OnChange = [this](TObject* s) { BitmapChanged(s); };
  font_ = std::make_unique<TFont>();
  font_->OnChange = [this](TObject* s) { FontChanged(s); };
}

TcxStyle::~TcxStyle() {
  bitmap_->OnChange = nullptr;
  font_->OnChange = nullptr;
}

void TcxStyle::SetAssignedValues(const TcxStyleValues& v) {
  if (v == assignedValues_) return;
  assignedValues_ = v;
  NotifyModified();
}

void TcxStyle::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  if (v == clDefault) assignedValues_ -= svColor;
  else assignedValues_ += svColor;
  NotifyModified();
}

void TcxStyle::SetTextColor(TColor v) {
  if (v == textColor_) return;
  textColor_ = v;
  if (v == clDefault) assignedValues_ -= svTextColor;
  else assignedValues_ += svTextColor;
  NotifyModified();
}

void TcxStyle::BitmapChanged(TObject*) {
  if (bitmap_->Empty()) assignedValues_ -= svBitmap;
  else assignedValues_ += svBitmap;
  NotifyModified();
}

void TcxStyle::SetFont(TFont* v) {
  fontChangeSeen_ = false;
  font_->Assign(v);
  if (!fontChangeSeen_) FontChanged(nullptr);
}

void TcxStyle::FontChanged(TObject*) {
  fontChangeSeen_ = true;
  assignedValues_ += svFont;
  NotifyModified();
}

void TcxStyle::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxStyle*>(source)) {
    SetBitmap(s->Bitmap());
    SetColor(s->Color());
    SetFont(s->Font());
    SetTextColor(s->TextColor());
    SetAssignedValues(s->AssignedValues());
    return;
  }
  TcxCustomStyle::Assign(source);
}

void TcxStyle::ResetValues() {
  assignedValues_ = {};
  bitmap_->OnChange = nullptr;
  bitmap_->SetSize(0, 0);
  bitmap_->OnChange = [this](TObject* s) { BitmapChanged(s); };
  color_ = clDefault;
  textColor_ = clDefault;
  NotifyModified();
}

// ---- TcxCustomStyles -----------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomStyles)

TcxCustomStyles::TcxCustomStyles(TPersistent* owner) : TcxInterfacedPersistent(owner) {}

TcxCustomStyles::~TcxCustomStyles() {
  inTeardown_ = true;
  while (!entries_.empty()) DeleteAt(ItemCount() - 1);
  SetStyleSheet(nullptr);
}

void TcxCustomStyles::AssignFromSource(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomStyles*>(source)) {
    SetStyleSheet(s->StyleSheet());
    return;
  }
  TcxInterfacedPersistent::Assign(source);
}

bool TcxCustomStyles::FindIndex(Integer index, Integer& position) const {
  Integer low = 0, high = ItemCount() - 1;
  while (low <= high) {
    Integer middle = (low + high) / 2;
    Integer current = entries_[size_t(middle)]->RoleIndex;
    if (current == index) {
      position = middle;
      return true;
    }
    if (current < index) low = middle + 1;
    else high = middle - 1;
  }
  position = low;
  return false;
}

TcxCustomStyle* TcxCustomStyles::StyleAt(Integer index) {
  Integer position;
  if (FindIndex(index, position)) return entries_[size_t(position)]->Style;
  if (styleSheet_) {
    auto* owner = dynamic_cast<TComponent*>(GetOwner());
    if (!owner || !owner->ComponentState().Contains(csWriting)) return styleSheet_->OwnedStyles()->StyleAt(index);
  }
  return nullptr;
}

void TcxCustomStyles::SetStyleAt(Integer index, TcxCustomStyle* style) {
  if (style && !style->Name().empty()) {
    TPersistent* rootP = this;
    for (TPersistent* o = PersistentOwnerOf(rootP); o; o = PersistentOwnerOf(o)) rootP = o;
    auto* root = dynamic_cast<TComponent*>(rootP);
    TComponent* styleOwner = style->Owner();
    if (root && styleOwner && root != styleOwner && root->ClassType()->InheritsFrom(styleOwner->ClassType())) {
      TComponent* same = root->FindComponent(style->Name());
      style = dynamic_cast<TcxCustomStyle*>(same);
    }
  }
  if (style == StyleAt(index)) return;
  Integer position;
  if (FindIndex(index, position)) {
    TcxCustomStylesItem* item = entries_[size_t(position)].get();
    item->Style->Unsubscribe(this);
    if (style) {
      item->Style = style;
      style->Subscribe(this);
    } else {
      entries_.erase(entries_.begin() + position);
    }
    ReportIndexChange(index);
  } else if (style) {
    auto item = std::make_unique<TcxCustomStylesItem>();
    item->RoleIndex = index;
    item->Style = style;
    entries_.insert(entries_.begin() + position, std::move(item));
    style->Subscribe(this);
    ReportIndexChange(index);
  }
}

void TcxCustomStyles::ReportIndexChange(Integer index) {
  if (inTeardown_) return;
  IndexChanged(index);
  if (hostSheet_) hostSheet_->BroadcastIndexChange(index);
}

void TcxCustomStyles::DeleteAt(Integer position) {
  std::unique_ptr<TcxCustomStylesItem> item = std::move(entries_.at(size_t(position)));
  entries_.erase(entries_.begin() + position);
  item->Style->Unsubscribe(this);
  ReportIndexChange(item->RoleIndex);
}

void TcxCustomStyles::ClearStyles() {
  while (!entries_.empty()) DeleteAt(ItemCount() - 1);
}

void TcxCustomStyles::StyleModified(TcxCustomStyle* sender) {
  std::vector<Integer> indexes;
  for (auto& item : entries_)
    if (item->Style == sender) indexes.push_back(item->RoleIndex);
  for (Integer index : indexes) ReportIndexChange(index);
}

void TcxCustomStyles::StyleDetached(TcxCustomStyle* sender) {
  for (Integer i = ItemCount() - 1; i >= 0; --i)
    if (i < ItemCount() && entries_[size_t(i)]->Style == sender) DeleteAt(i);
}

bool TcxCustomStyles::IsSheetUsable(TcxCustomStyleSheet* sheet) const {
  if (!sheet) return true;
  if (sheet == hostSheet_) return false;
  if (sheet->StylesClass() != ClassType()) return false;
  if (hostSheet_) {
    // The candidate's fallback chain must not lead back to the sheet that owns us.
    std::vector<TcxCustomStyleSheet*> seen;
    for (TcxCustomStyleSheet* s = sheet; s; s = s->OwnedStyles()->StyleSheet()) {
      if (s == hostSheet_ || std::find(seen.begin(), seen.end(), s) != seen.end()) return false;
      seen.push_back(s);
    }
  }
  return true;
}

void TcxCustomStyles::CollectSheetIndexes(TcxCustomStyleSheet* sheet, std::vector<Integer>& indexes) const {
  std::vector<TcxCustomStyleSheet*> seen;
  for (TcxCustomStyleSheet* s = sheet; s && std::find(seen.begin(), seen.end(), s) == seen.end();
       s = s->OwnedStyles()->StyleSheet()) {
    seen.push_back(s);
    TcxCustomStyles* styles = s->OwnedStyles();
    for (Integer i = 0; i < styles->ItemCount(); ++i) {
      Integer index = styles->ItemAt(i)->RoleIndex;
      if (std::find(indexes.begin(), indexes.end(), index) == indexes.end()) indexes.push_back(index);
    }
  }
}

void TcxCustomStyles::SetStyleSheet(TcxCustomStyleSheet* sheet) {
  if (sheet == styleSheet_ || !IsSheetUsable(sheet)) return;
  std::vector<Integer> indexes;
  if (styleSheet_) {
    auto& users = styleSheet_->users_;
    users.erase(std::remove(users.begin(), users.end(), this), users.end());
    if (!inTeardown_) CollectSheetIndexes(styleSheet_, indexes);
  }
  styleSheet_ = sheet;
  if (styleSheet_) {
    styleSheet_->users_.push_back(this);
    CollectSheetIndexes(styleSheet_, indexes);
  }
  for (Integer index : indexes) ReportIndexChange(index);
}

// ---- TcxStyles -----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxStyles)

void TcxStyles::DefaultViewParams(Integer index, TObject*, TcxStyleParams& params) {
  params.Bitmap = nullptr;
  maxDefaultIndex_ = std::max(maxDefaultIndex_, index);
}

void TcxStyles::ResolveViewParams(Integer index, TObject* data, TcxStyle* style, TcxStyleParams& params) {
  auto* s = dynamic_cast<TcxStyle*>(StyleAt(index));
  auto has = [](TcxStyle* st, TcxStyleValue v) { return st && st->AssignedValues().Contains(v); };
  params = TcxStyleParams();
  if (wantsBitmap_) {
    if (has(style, svBitmap)) params.Bitmap = style->Bitmap();
    else if (has(s, svBitmap)) params.Bitmap = s->Bitmap();
  }
  params.Color = has(style, svColor) ? style->Color() : has(s, svColor) ? s->Color() : clDefault;
  params.Font = has(style, svFont) ? style->Font() : has(s, svFont) ? s->Font() : nullptr;
  params.TextColor = has(style, svTextColor) ? style->TextColor() : has(s, svTextColor) ? s->TextColor() : clDefault;
  bool complete = (!wantsBitmap_ || params.Bitmap) && params.Color != clDefault && params.Font &&
                  params.TextColor != clDefault;
  if (complete) return;
  TcxStyleParams defaults;
  DefaultViewParams(index, data, defaults);
  if (!params.Bitmap) params.Bitmap = defaults.Bitmap;
  if (params.Color == clDefault) params.Color = defaults.Color;
  if (!params.Font) params.Font = defaults.Font;
  if (params.TextColor == clDefault) params.TextColor = defaults.TextColor;
}

TBitmap* TcxStyles::GetStyleBitmap(Integer index) {
  auto* s = dynamic_cast<TcxStyle*>(StyleAt(index));
  if (s && s->AssignedValues().Contains(svBitmap) && !s->Bitmap()->Empty()) return s->Bitmap();
  return nullptr;
}

void TcxStyles::HandleDefaultFontChange(TObject*, TFont* font) {
  for (Integer index = 0; index <= maxDefaultIndex_; ++index) {
    if (HasAssignedValue(StyleAt(index), svFont)) continue;
    TcxStyleParams defaults;
    DefaultViewParams(index, nullptr, defaults);
    if (defaults.Font == font) ReportIndexChange(index);
  }
}

// ---- TcxCustomStyleSheet -------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomStyleSheet) {
  p.Str("Caption", &TcxCustomStyleSheet::Caption, &TcxCustomStyleSheet::SetCaption)
      .Stored(&TcxCustomStyleSheet::IsCaptionStored);
}

TcxCustomStyleSheet::TcxCustomStyleSheet(TComponent* owner) : TcxComponent(owner) {
  builtIn_ = ComponentState().Contains(csDesigning);
}

TcxCustomStyleSheet::~TcxCustomStyleSheet() {
  if (!ComponentState().Contains(csDestroying)) Destroying();
  while (!users_.empty()) users_.back()->SetStyleSheet(nullptr);
  MoveToRepository(nullptr);
  if (ownedStyles_) {
    ownedStyles_->SetStyleSheet(nullptr);
    ownedStyles_->Free();
    ownedStyles_ = nullptr;
  }
}

TcxCustomStyles* TcxCustomStyleSheet::OwnedStyles() {
  if (!ownedStyles_) {
    auto* styles = dynamic_cast<TcxCustomStyles*>(StylesClass()->Create(this));
    if (!styles) throw EInvalidCast("Invalid class typecast");
    ownedStyles_ = styles;
    ownedStyles_->hostSheet_ = this;
  }
  return ownedStyles_;
}

String TcxCustomStyleSheet::Caption() const { return captionText_.empty() ? Name() : captionText_; }

void TcxCustomStyleSheet::SetCaption(const String& v) {
  if (v == captionText_) return;
  if (SameText(v, Name())) captionText_.clear();
  else captionText_ = v;
}

void TcxCustomStyleSheet::MoveToRepository(TcxStyleRepository* repository) {
  if (repository_ == repository) return;
  if (repository_) {
    auto& list = repository_->sheets_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  repository_ = repository;
  if (repository_) repository_->sheets_.push_back(this);
}

TComponent* TcxCustomStyleSheet::GetParentComponent() const { return repository_; }

void TcxCustomStyleSheet::SetParentComponent(TComponent* value) {
  auto* repository = dynamic_cast<TcxStyleRepository*>(value);
  if (value && !repository) throw EInvalidCast("Invalid class typecast");
  MoveToRepository(repository);
}

void TcxCustomStyleSheet::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomStyleSheet*>(source)) {
    SetCaption(s->Caption());
    AssignStyles(s->OwnedStyles());
    return;
  }
  TcxComponent::Assign(source);
}

void TcxCustomStyleSheet::BroadcastIndexChange(Integer index) {
  std::vector<TcxCustomStyles*> users = users_;
  for (TcxCustomStyles* u : users)
    if (std::find(users_.begin(), users_.end(), u) != users_.end()) u->ReportIndexChange(index);
  RefreshFakeLinks();
}

void TcxCustomStyleSheet::DefineProperties(TFiler* filer) {
  TcxComponent::DefineProperties(filer);
  filer->DefineProperty(
      "BuiltIn", [this](TReader& r) { builtIn_ = r.ReadBoolean(); },
      [this](TWriter& w) { w.WriteBoolean(builtIn_); }, true);
}

void TcxCustomStyleSheet::ListLinkedComponents(std::vector<TComponent*>& list) {
  if (!Owner()) return;
  for (TcxCustomStyles* u : users_) {
    auto* owner = dynamic_cast<TComponent*>(PersistentOwnerOf(u));
    if (owner && owner != Owner() && std::find(list.begin(), list.end(), owner) == list.end()) list.push_back(owner);
  }
}

// ---- TcxStyleRepository --------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxStyleRepository)

TcxStyleRepository::TcxStyleRepository(TComponent* owner) : TComponent(owner) {}

TcxStyleRepository::~TcxStyleRepository() {
  while (!styles_.empty()) styles_.back()->Free();
  while (!sheets_.empty()) sheets_.back()->Free();
}

TcxCustomStyle* TcxStyleRepository::NewStyleOwnedBy(TClass styleClass, TComponent* owner) {
  auto* style = dynamic_cast<TcxCustomStyle*>(styleClass->Create(owner));
  if (!style) throw EInvalidCast("Invalid class typecast");
  style->MoveToRepository(this);
  return style;
}

TcxCustomStyleSheet* TcxStyleRepository::NewStyleSheetOwnedBy(TClass sheetClass, TComponent* owner) {
  auto* sheet = dynamic_cast<TcxCustomStyleSheet*>(sheetClass->Create(owner));
  if (!sheet) throw EInvalidCast("Invalid class typecast");
  sheet->MoveToRepository(this);
  return sheet;
}

void TcxStyleRepository::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TcxCustomStyle* s : styles_)
    if (s->Owner() == root) proc(s);
  for (TcxCustomStyleSheet* s : sheets_)
    if (s->Owner() == root) proc(s);
}

void InitializeCxStyles() {
  InitUnit("cxStyles", [] {
    InitializeCxControls();
    RegisterClass(TcxStyle::StaticClass());
    RegisterClass(TcxStyleRepository::StaticClass());
    RegisterClass(TcxCustomStyleSheet::StaticClass());
  });
}
