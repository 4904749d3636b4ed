// Look and feel: Kind, NativeStyle and SkinName, each assigned locally or inherited from a
// master look and feel up to the global root; the painter chosen from the effective values;
// listeners told which values changed; the design-time controller of the root; and the
// hidden window that turns system colour changes into notifications.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "foundation/dxThemeManager.h"
#include "vcl/Forms.h"

enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
enum TcxLookAndFeelValue { lfvKind, lfvNativeStyle, lfvSkinName };
using TcxLookAndFeelValues = TSet<TcxLookAndFeelValue, 3>;  // bits 1, 2, 4

struct TcxLookAndFeelData {
  TcxLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = false;
  String SkinName;
  bool operator==(const TcxLookAndFeelData&) const = default;
};

// Painter classes are one immutable instance each; a painter class value points to it.
// The painters' unit fills the table below; the look and feel only chooses a slot.
class TcxCustomLookAndFeelPainter;
using TcxCustomLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

enum TcxLookAndFeelPainterSlot { lpsFlat, lpsStandard, lpsUltraFlat, lpsOffice11, lpsNative };
// Called by the painters' unit start with the painter of each slot.
void RegisterLookAndFeelPainter(TcxLookAndFeelPainterSlot slot, TcxCustomLookAndFeelPainterClass painter);
TcxCustomLookAndFeelPainterClass LookAndFeelPainterOfSlot(TcxLookAndFeelPainterSlot slot);

class TcxLookAndFeel;

// Listens to a look and feel (controls, dependent look-and-feel objects, the controller).
class IcxLookAndFeelListener {
 public:
  virtual ~IcxLookAndFeelListener() = default;
  virtual TObject* GetObject() = 0;
  virtual void LookAndFeelSourceChanged(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) = 0;
  virtual void LookAndFeelSourceDestroying(TcxLookAndFeel* sender) = 0;
};

class TcxSystemPaletteChangedNotifier;

class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelListener {
  KORVAN_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)

 public:
  using CreateArgType = TPersistent*;
  // The owner constructor: takes Kind and NativeStyle from the root when one exists and
  // registers with it.
  explicit TcxLookAndFeel(TPersistent* owner);
  ~TcxLookAndFeel() override;
  static TcxLookAndFeel* CreateLookAndFeel(TPersistent* owner) { return new TcxLookAndFeel(owner); }

  // Copies own values, assigned values and the master of another look and feel; anything
  // else raises the assignment error.
  void Assign(TPersistent* source) override;

  // Properties (getters answer the effective state)
  TcxLookAndFeelValues AssignedValues() const { return assignedValues_; }
  void SetAssignedValues(const TcxLookAndFeelValues& v);
  TcxLookAndFeelKind Kind() const { return current_.Kind; }
  void SetKind(TcxLookAndFeelKind v);
  bool NativeStyle() const { return current_.NativeStyle; }
  void SetNativeStyle(bool v);
  String SkinName() const { return current_.SkinName; }
  void SetSkinName(const String& v);
  void ResetAssignedValues() { SetAssignedValues({}); }
  // Stored in form descriptions only when assigned.
  bool IsKindStored() const { return assignedValues_.Contains(lfvKind); }
  bool IsNativeStyleStored() const { return assignedValues_.Contains(lfvNativeStyle); }
  bool IsSkinNameStored() const { return assignedValues_.Contains(lfvSkinName); }

  TcxLookAndFeel* MasterLookAndFeel() const { return master_; }
  void AttachToMaster(TcxLookAndFeel* master);
  // nil for the root; else the master, or the root when there is no master.
  TcxLookAndFeel* EffectiveMaster() const;
  // The selected painter (nullptr while the painters' unit has not registered it).
  TcxCustomLookAndFeelPainterClass EffectivePainter() const;
  TcxLookAndFeelPainterSlot EffectivePainterSlot() const { return painterSlot_; }
  TcxCustomLookAndFeelPainterClass SelectPainter(const TdxThemeClasses& themeClasses = {});
  TcxCustomLookAndFeelPainterClass SelectPainterForClass(TdxThemeClass themeClass);
  bool IsRoot() const { return isRoot_; }
  // True when other is this object or one of its effective masters up to the root.
  bool DependsOn(const TcxLookAndFeel* other) const;

  // The root's constructor (used by the unit start only).
  struct TRootTag {};
  TcxLookAndFeel(TPersistent* owner, TRootTag);

  void RegisterListener(IcxLookAndFeelListener* listener);
  void UnregisterListener(IcxLookAndFeelListener* listener);
  Integer ListenerCount() const { return Integer(listeners_.size()); }
  void Recompute(const TcxLookAndFeelValues& changed);
  void RememberState() { previous_ = current_; }
  void DetectChanges();

  TcxLookAndFeelKind InheritedKind() const;
  bool InheritedNativeStyle() const;
  String InheritedSkinName() const;
  virtual TcxLookAndFeelKind OwnOrInheritedKind() const;
  virtual bool OwnOrInheritedNativeStyle() const;
  virtual String OwnOrInheritedSkinName() const;
  // There are no skin painters: always false.
  virtual bool FindSkinPainter(const String& name, TcxCustomLookAndFeelPainterClass& painter) const;
  virtual void HandleSystemPaletteChange();
  void HandleMasterChange(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed);

  // IcxLookAndFeelListener (listening to the master)
  TObject* GetObject() override { return this; }
  void LookAndFeelSourceChanged(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) override {
    HandleMasterChange(sender, changed);
  }
  void LookAndFeelSourceDestroying(TcxLookAndFeel* sender) override;

  std::function<void(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed)> OnLookAndFeelChanged;

 private:
  void Construct();
  TcxLookAndFeelPainterSlot ChoosePainterSlot(bool themesAvailable) const;

  std::vector<IcxLookAndFeelListener*> listeners_;
  TcxLookAndFeelData own_;
  TcxLookAndFeelData current_;
  TcxLookAndFeelData previous_;
  TcxLookAndFeelValues assignedValues_;
  TcxLookAndFeelPainterSlot painterSlot_ = lpsUltraFlat;
  TcxLookAndFeel* master_ = nullptr;
  bool isRoot_ = false;
  bool destroying_ = false;
  Integer controllerCount_ = 0;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> notifier_;
};

// The root look and feel (null before the unit starts and after it ends).
TcxLookAndFeel* GlobalRootLookAndFeel();

// Edits the root at design time.
class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelListener {
  KORVAN_CLASS(TcxLookAndFeelController, TComponent)

 public:
  explicit TcxLookAndFeelController(TComponent* owner);
  ~TcxLookAndFeelController() override;

  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind v);
  bool NativeStyle() const;
  void SetNativeStyle(bool v);
  String SkinName() const;
  void SetSkinName(const String& v);
  // Tells the owning form's designer that the form was modified (when it has one).
  void NotifyDesigner();
  bool IsSkinNameStored() const { return !SkinName().empty(); }

  TObject* GetObject() override { return this; }
  void LookAndFeelSourceChanged(TcxLookAndFeel*, const TcxLookAndFeelValues&) override {}
  void LookAndFeelSourceDestroying(TcxLookAndFeel*) override { NotifyDesigner(); }
};

// ---- system colour changes -----------------------------------------------------------------

class TcxSystemPaletteChangedNotifier : public TObject {
  KORVAN_CLASS(TcxSystemPaletteChangedNotifier, TObject)

 public:
  using CreateArgType = bool;
  explicit TcxSystemPaletteChangedNotifier(bool isPrimary = false);
  ~TcxSystemPaletteChangedNotifier() override;
  static TcxSystemPaletteChangedNotifier* CreateNotifier(bool isPrimary) {
    return new TcxSystemPaletteChangedNotifier(isPrimary);
  }
  bool IsPrimary() const { return isPrimary_; }
  virtual void Fire();
  std::function<void()> OnPaletteChanged;

 private:
  bool isPrimary_;
};

// One hidden window while at least one notifier exists; holds the Office11 colour set.
class TcxSystemPaletteChangedListener : public TObject {
  KORVAN_CLASS(TcxSystemPaletteChangedListener, TObject)

 public:
  TcxSystemPaletteChangedListener();
  ~TcxSystemPaletteChangedListener() override;
  void Subscribe(TcxSystemPaletteChangedNotifier* notifier, bool isPrimary);
  void Unsubscribe(TcxSystemPaletteChangedNotifier* notifier, bool isPrimary);
  // Rebuilds the Office11 colours, then fires primary notifiers newest first, then the
  // others newest first.
  void BroadcastChange();
  // The hidden window; made again when something destroyed it.
  HWND Window();

 private:
  void CreateWindowHandle();
  HWND window_ = nullptr;
  std::vector<TcxSystemPaletteChangedNotifier*> primary_;
  std::vector<TcxSystemPaletteChangedNotifier*> normal_;
};

void AcquirePaletteListener();
void ReleasePaletteListener();
// The listener while it exists (null otherwise).
TcxSystemPaletteChangedListener* PaletteListener();

// Unit start: the root look and feel is created (after the theme layer); its end frees it.
void InitializeCxLookAndFeels();
