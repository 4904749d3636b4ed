#include "foundation/cxLookAndFeels.h"

#include <algorithm>

#include "foundation/dxOffice11.h"
#include "rtl/TypInfo.h"

namespace {
TcxLookAndFeel* rootLookAndFeel = nullptr;
TcxCustomLookAndFeelPainterClass painterTable[5] = {};

PTypeInfo KindType() {
  static PTypeInfo t = EnumTypeInfo("TcxLookAndFeelKind", {"lfFlat", "lfStandard", "lfUltraFlat", "lfOffice11"});
  return t;
}
PTypeInfo ValuesType() {
  static PTypeInfo t = SetTypeInfo(
      "TcxLookAndFeelValues", EnumTypeInfo("TcxLookAndFeelValue", {"lfvKind", "lfvNativeStyle", "lfvSkinName"}));
  return t;
}

TcxLookAndFeelValues Differences(const TcxLookAndFeelData& a, const TcxLookAndFeelData& b) {
  TcxLookAndFeelValues r;
  if (a.Kind != b.Kind) r += lfvKind;
  if (a.NativeStyle != b.NativeStyle) r += lfvNativeStyle;
  if (a.SkinName != b.SkinName) r += lfvSkinName;
  return r;
}
}  // namespace

void RegisterLookAndFeelPainter(TcxLookAndFeelPainterSlot slot, TcxCustomLookAndFeelPainterClass painter) {
  if (slot >= lpsFlat && slot <= lpsNative) painterTable[slot] = painter;
}

TcxCustomLookAndFeelPainterClass LookAndFeelPainterOfSlot(TcxLookAndFeelPainterSlot slot) {
  return slot >= lpsFlat && slot <= lpsNative ? painterTable[slot] : nullptr;
}

TcxLookAndFeel* GlobalRootLookAndFeel() { return rootLookAndFeel; }

// ---- TcxLookAndFeel ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxLookAndFeel) {
  p.Set("AssignedValues", &TcxLookAndFeel::AssignedValues, &TcxLookAndFeel::SetAssignedValues, ValuesType());
  p.Enum("Kind", &TcxLookAndFeel::Kind, &TcxLookAndFeel::SetKind, KindType())
      .Stored(&TcxLookAndFeel::IsKindStored);
  p.Bool("NativeStyle", &TcxLookAndFeel::NativeStyle, &TcxLookAndFeel::SetNativeStyle)
      .Stored(&TcxLookAndFeel::IsNativeStyleStored);
  p.Str("SkinName", &TcxLookAndFeel::SkinName, &TcxLookAndFeel::SetSkinName)
      .Stored(&TcxLookAndFeel::IsSkinNameStored);
}

TcxLookAndFeel::TcxLookAndFeel(TPersistent* owner) : TcxInterfacedPersistent(owner) {
  InitializeCxLookAndFeels();
  Construct();
  if (rootLookAndFeel) {
    rootLookAndFeel->RegisterListener(this);
    current_.Kind = OwnOrInheritedKind();
    current_.NativeStyle = OwnOrInheritedNativeStyle();
    current_.SkinName = OwnOrInheritedSkinName();
  }
  SelectPainter({});
}

TcxLookAndFeel::TcxLookAndFeel(TPersistent* owner, TRootTag) : TcxInterfacedPersistent(owner) {
  Construct();
  isRoot_ = true;
  SelectPainter({});
}

void TcxLookAndFeel::Construct() {
  current_ = own_;
  previous_ = own_;
  notifier_ = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  notifier_->OnPaletteChanged = [this] { HandleSystemPaletteChange(); };
}

TcxLookAndFeel::~TcxLookAndFeel() {
  notifier_.reset();
  destroying_ = true;
  // Listeners may unregister while they are told; the list stays as it is meanwhile.
  for (size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->LookAndFeelSourceDestroying(this);
  destroying_ = false;
  listeners_.clear();
  if (TcxLookAndFeel* m = EffectiveMaster()) m->UnregisterListener(this);
  if (isRoot_ && rootLookAndFeel == this) rootLookAndFeel = nullptr;
}

void TcxLookAndFeel::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxLookAndFeel*>(source);
  if (!src) {
    TcxInterfacedPersistent::Assign(source);
    return;
  }
  if (src == this) return;
  RememberState();
  own_ = src->own_;
  assignedValues_ = src->assignedValues_;
  TcxLookAndFeel* m = src->EffectiveMaster();
  if (m == this) m = nullptr;  // the source depends on this object: inherit from the root
  if (!isRoot_ && m != EffectiveMaster() && !(m && m->DependsOn(this))) {
    // Moved to the new master without a notification of its own: the one below covers it.
    if (TcxLookAndFeel* old = EffectiveMaster()) old->UnregisterListener(this);
    master_ = m;
    if (TcxLookAndFeel* now = EffectiveMaster()) now->RegisterListener(this);
  }
  DetectChanges();
}

bool TcxLookAndFeel::DependsOn(const TcxLookAndFeel* other) const {
  for (const TcxLookAndFeel* p = this; p; p = p->EffectiveMaster())
    if (p == other) return true;
  return false;
}

void TcxLookAndFeel::SetAssignedValues(const TcxLookAndFeelValues& v) {
  if (v == assignedValues_) return;
  RememberState();
  assignedValues_ = v;
  DetectChanges();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind v) {
  TcxLookAndFeelKind before = current_.Kind;
  assignedValues_ += lfvKind;
  own_.Kind = v;
  if (OwnOrInheritedKind() != before) Recompute({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool v) {
  bool before = current_.NativeStyle;
  assignedValues_ += lfvNativeStyle;
  own_.NativeStyle = v;
  if (OwnOrInheritedNativeStyle() != before) Recompute({lfvNativeStyle});
}

void TcxLookAndFeel::SetSkinName(const String& v) {
  String before = current_.SkinName;
  assignedValues_ += lfvSkinName;
  own_.SkinName = v;
  if (OwnOrInheritedSkinName() != before) Recompute({lfvSkinName});
}

void TcxLookAndFeel::AttachToMaster(TcxLookAndFeel* master) {
  if (isRoot_ || master == this || master == EffectiveMaster()) return;
  // A master that (through its own masters) inherits from this object would make a cycle.
  if (master && master->DependsOn(this)) return;
  RememberState();
  if (TcxLookAndFeel* old = EffectiveMaster()) old->UnregisterListener(this);
  master_ = master;
  if (TcxLookAndFeel* now = EffectiveMaster()) now->RegisterListener(this);
  DetectChanges();
}

TcxLookAndFeel* TcxLookAndFeel::EffectiveMaster() const {
  if (isRoot_) return nullptr;
  return master_ ? master_ : rootLookAndFeel;
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::EffectivePainter() const {
  return LookAndFeelPainterOfSlot(painterSlot_);
}

TcxLookAndFeelPainterSlot TcxLookAndFeel::ChoosePainterSlot(bool themesAvailable) const {
  if (current_.NativeStyle && themesAvailable) return lpsNative;
  switch (current_.Kind) {
    case lfFlat: return lpsFlat;
    case lfStandard: return lpsStandard;
    case lfOffice11: return lpsOffice11;
    default: return lpsUltraFlat;
  }
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::SelectPainter(const TdxThemeClasses& themeClasses) {
  painterSlot_ = ChoosePainterSlot(current_.NativeStyle && AreThemesAvailable(themeClasses));
  return EffectivePainter();
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::SelectPainterForClass(TdxThemeClass themeClass) {
  painterSlot_ = ChoosePainterSlot(current_.NativeStyle && IsThemeClassAvailable(themeClass));
  return EffectivePainter();
}

void TcxLookAndFeel::RegisterListener(IcxLookAndFeelListener* listener) {
  if (!listener) return;
  bool isController = dynamic_cast<TcxLookAndFeelController*>(listener->GetObject()) != nullptr;
  if (isController && !isRoot_) return;
  if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) return;
  listeners_.push_back(listener);
  if (isController) ++controllerCount_;
}

void TcxLookAndFeel::UnregisterListener(IcxLookAndFeelListener* listener) {
  if (!listener) return;
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (it == listeners_.end()) return;
  bool isController = dynamic_cast<TcxLookAndFeelController*>(listener->GetObject()) != nullptr;
  if (!destroying_) listeners_.erase(it);
  if (isController && isRoot_ && controllerCount_ > 0) {
    if (--controllerCount_ == 0) ResetAssignedValues();
  }
}

void TcxLookAndFeel::Recompute(const TcxLookAndFeelValues& changed) {
  if (changed.Empty() || destroying_) return;
  current_.Kind = OwnOrInheritedKind();
  current_.NativeStyle = OwnOrInheritedNativeStyle();
  current_.SkinName = OwnOrInheritedSkinName();
  SelectPainter({});
  if (!current_.NativeStyle) {
    TcxCustomLookAndFeelPainterClass skin = nullptr;
    FindSkinPainter(current_.SkinName, skin);
  }
  // A listener that removes itself does not make the next one be skipped.
  TWeakRef<TcxLookAndFeel> self(this);
  size_t i = 0;
  while (self && i < listeners_.size()) {
    size_t n = listeners_.size();
    listeners_[i]->LookAndFeelSourceChanged(this, changed);
    if (!self) return;
    if (listeners_.size() == n) ++i;
  }
  if (self && OnLookAndFeelChanged) OnLookAndFeelChanged(this, changed);
}

void TcxLookAndFeel::DetectChanges() {
  TcxLookAndFeelData now{OwnOrInheritedKind(), OwnOrInheritedNativeStyle(), OwnOrInheritedSkinName()};
  Recompute(Differences(now, previous_));
}

TcxLookAndFeelKind TcxLookAndFeel::InheritedKind() const {
  if (isRoot_) return lfUltraFlat;
  TcxLookAndFeel* m = EffectiveMaster();
  return m ? m->Kind() : lfUltraFlat;
}

bool TcxLookAndFeel::InheritedNativeStyle() const {
  if (isRoot_) return false;
  TcxLookAndFeel* m = EffectiveMaster();
  return m ? m->NativeStyle() : false;
}

String TcxLookAndFeel::InheritedSkinName() const {
  if (isRoot_) return String();
  TcxLookAndFeel* m = EffectiveMaster();
  return m ? m->SkinName() : String();
}

TcxLookAndFeelKind TcxLookAndFeel::OwnOrInheritedKind() const {
  return assignedValues_.Contains(lfvKind) ? own_.Kind : InheritedKind();
}

bool TcxLookAndFeel::OwnOrInheritedNativeStyle() const {
  return assignedValues_.Contains(lfvNativeStyle) ? own_.NativeStyle : InheritedNativeStyle();
}

String TcxLookAndFeel::OwnOrInheritedSkinName() const {
  return assignedValues_.Contains(lfvSkinName) ? own_.SkinName : InheritedSkinName();
}

bool TcxLookAndFeel::FindSkinPainter(const String&, TcxCustomLookAndFeelPainterClass& painter) const {
  painter = nullptr;
  return false;
}

void TcxLookAndFeel::HandleSystemPaletteChange() { Recompute({lfvNativeStyle}); }

void TcxLookAndFeel::HandleMasterChange(TcxLookAndFeel*, const TcxLookAndFeelValues& changed) {
  Recompute(changed - assignedValues_);
}

void TcxLookAndFeel::LookAndFeelSourceDestroying(TcxLookAndFeel* sender) {
  if (sender == EffectiveMaster() && sender != rootLookAndFeel) AttachToMaster(nullptr);
}

// ---- controller ----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxLookAndFeelController) {
  p.Enum("Kind", &TcxLookAndFeelController::Kind, &TcxLookAndFeelController::SetKind, KindType())
      .Default(lfUltraFlat);
  p.Bool("NativeStyle", &TcxLookAndFeelController::NativeStyle, &TcxLookAndFeelController::SetNativeStyle)
      .Default(false);
  p.Str("SkinName", &TcxLookAndFeelController::SkinName, &TcxLookAndFeelController::SetSkinName)
      .Stored(&TcxLookAndFeelController::IsSkinNameStored);
}

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* owner) : TComponent(owner) {
  InitializeCxLookAndFeels();
  if (rootLookAndFeel) rootLookAndFeel->RegisterListener(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (rootLookAndFeel) rootLookAndFeel->UnregisterListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  return rootLookAndFeel ? rootLookAndFeel->Kind() : lfUltraFlat;
}
void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind v) {
  if (rootLookAndFeel) rootLookAndFeel->SetKind(v);
}
bool TcxLookAndFeelController::NativeStyle() const { return rootLookAndFeel && rootLookAndFeel->NativeStyle(); }
void TcxLookAndFeelController::SetNativeStyle(bool v) {
  if (rootLookAndFeel) rootLookAndFeel->SetNativeStyle(v);
}
String TcxLookAndFeelController::SkinName() const { return rootLookAndFeel ? rootLookAndFeel->SkinName() : String(); }
void TcxLookAndFeelController::SetSkinName(const String& v) {
  if (rootLookAndFeel) rootLookAndFeel->SetSkinName(v);
}

void TcxLookAndFeelController::NotifyDesigner() {
  // There is no visual designer in this system.
}

// ---- system colour changes -----------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxSystemPaletteChangedNotifier)
KORVAN_IMPLEMENT_CLASS(TcxSystemPaletteChangedListener)

namespace {
TcxSystemPaletteChangedListener* paletteListener = nullptr;
Integer paletteListenerUsers = 0;
}  // namespace

void AcquirePaletteListener() {
  if (paletteListenerUsers++ == 0) paletteListener = new TcxSystemPaletteChangedListener();
}

void ReleasePaletteListener() {
  if (paletteListenerUsers <= 0) return;
  if (--paletteListenerUsers == 0) {
    delete paletteListener;
    paletteListener = nullptr;
  }
}

TcxSystemPaletteChangedListener* PaletteListener() { return paletteListener; }

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool isPrimary) : isPrimary_(isPrimary) {
  AcquirePaletteListener();
  paletteListener->Subscribe(this, isPrimary_);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  if (paletteListener) paletteListener->Unsubscribe(this, isPrimary_);
  ReleasePaletteListener();
}

void TcxSystemPaletteChangedNotifier::Fire() {
  if (OnPaletteChanged) OnPaletteChanged();
}

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener() {
  AcquireOffice11Colors();
  CreateWindowHandle();
}

void TcxSystemPaletteChangedListener::CreateWindowHandle() {
  window_ = AllocateHWnd([this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg == WM_SYSCOLORCHANGE) BroadcastChange();
    return DefWindowProc(wnd, msg, wParam, lParam);
  });
}

HWND TcxSystemPaletteChangedListener::Window() {
  if (!window_ || !IsWindow(window_)) CreateWindowHandle();
  return window_;
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() {
  primary_.clear();
  normal_.clear();
  if (window_ && IsWindow(window_)) DeallocateHWnd(window_);
  window_ = nullptr;
  ReleaseOffice11ColorSet();
}

void TcxSystemPaletteChangedListener::Subscribe(TcxSystemPaletteChangedNotifier* notifier, bool isPrimary) {
  if (!notifier) return;
  auto& list = isPrimary ? primary_ : normal_;
  if (std::find(list.begin(), list.end(), notifier) == list.end()) list.push_back(notifier);
}

void TcxSystemPaletteChangedListener::Unsubscribe(TcxSystemPaletteChangedNotifier* notifier, bool isPrimary) {
  auto& list = isPrimary ? primary_ : normal_;
  auto it = std::find(list.begin(), list.end(), notifier);
  if (it != list.end()) list.erase(it);
}

void TcxSystemPaletteChangedListener::BroadcastChange() {
  RebuildOffice11Colors();
  // Newest first; a notifier freed by an earlier one is skipped.
  for (auto* list : {&primary_, &normal_}) {
    std::vector<TcxSystemPaletteChangedNotifier*> snapshot(list->rbegin(), list->rend());
    for (TcxSystemPaletteChangedNotifier* n : snapshot) {
      if (paletteListener != this) return;
      if (std::find(list->begin(), list->end(), n) != list->end()) n->Fire();
    }
  }
}

void InitializeCxLookAndFeels() {
  InitUnit(
      "cxLookAndFeels",
      [] {
        InitializeDxThemeManager();
        InitializeDxOffice11();
        RegisterClass(TcxLookAndFeelController::StaticClass());
        rootLookAndFeel = new TcxLookAndFeel(nullptr, TcxLookAndFeel::TRootTag{});
      },
      [] {
        delete rootLookAndFeel;
        rootLookAndFeel = nullptr;
      });
}
