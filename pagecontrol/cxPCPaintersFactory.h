// The painter factory of the page control: painter classes registered under integer style
// ids, chosen by a control's Style or, for Style 0, by its look and feel.
//
// A painter class is an immutable descriptor (TcxPCPainterMeta) answering the class-level
// operations of a painter and making instances; each tab control owns one instance.
#pragma once

#include <vector>

#include "rtl/System.h"

class TcxLookAndFeel;
class TcxPCCustomPainter;
class TcxCustomTabControl;

using TcxPCStyleID = Integer;  // -1 .. 2147483647; 0 follows the look and feel
constexpr TcxPCStyleID cxPCDefaultStyle = 0;

// The platform's tab styles, which the standard painter draws.
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

// The class-level operations of a painter class.
class TcxPCPainterMeta {
 public:
  virtual ~TcxPCPainterMeta() = default;
  virtual const char* ClassName() const = 0;
  // A new painter instance for the control.
  virtual TcxPCCustomPainter* Create(TcxCustomTabControl* control) const = 0;
  virtual bool AllowRotate() const { return true; }
  virtual TTabStyle GetStandardStyle() const { return tsTabs; }
  virtual TcxPCStyleID GetStyleID() const { return -1; }
  virtual String GetStyleName() const { return ""; }
  virtual bool IsDefaultForLookAndFeel(TcxLookAndFeel* lookAndFeel) const { return false; }
  virtual bool IsNativeDefault(TcxLookAndFeel* lookAndFeel) const { return false; }
  virtual bool IsTabAttachedToPage() const { return true; }
  virtual bool AllowMultiSelect() const { return false; }
  virtual bool IsButtonLikeTabs() const { return false; }
};
using TcxPCPainterClass = const TcxPCPainterMeta*;

class TcxPCPaintersFactory {
 public:
  // The one factory (nullptr before the first registration and after the last removal).
  static TcxPCPaintersFactory* Instance();

  Integer Count() const { return Integer(classes_.size()); }
  TcxPCPainterClass Classes(Integer i) const { return classes_[size_t(i)]; }
  // The first registered class with that style id, else nullptr.
  TcxPCPainterClass GetPainterClass(TcxPCStyleID id) const;
  // The id of the last registered class that is the default for the look and feel, -1 when
  // none.
  TcxPCStyleID GetStyleIDByLookAndFeel(TcxLookAndFeel* lookAndFeel) const;
  // The last native default, else the first registered class; raises without classes.
  TcxPCStyleID GetDefaultStyleID(TcxLookAndFeel* lookAndFeel) const;
  // A new painter of the class for the control; raises for a null class.
  TcxPCCustomPainter* GetPainterInstance(TcxPCPainterClass cls, TcxCustomTabControl* control) const;
  void ReleasePainterInstance(TcxPCCustomPainter* painter) const;

 private:
  friend void RegisterPainterClass(TcxPCPainterClass);
  friend void UnregisterPainterClass(TcxPCPainterClass);
  std::vector<TcxPCPainterClass> classes_;
};

// Adds a class once (creating the factory); removing the last class frees the factory.
void RegisterPainterClass(TcxPCPainterClass cls);
void UnregisterPainterClass(TcxPCPainterClass cls);
// The factory, or raises "There are no styles registered" when there is none.
TcxPCPaintersFactory* PaintersFactory();
