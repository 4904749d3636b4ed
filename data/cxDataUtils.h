// Small routines shared by the data layer: the start of the week by the locale, a currency
// display format, whole and fraction parts of a float, an upper-case whole-or-prefix text
// match, a collection whose assignment keeps its item objects, and the minimal data binding
// between a control and a data component.
#pragma once

#include <functional>

#include "rtl/Classes.h"

// The locale's first day of the week (FormatSettings.FirstDayOfWeek) as 0 = Sunday ...
// 6 = Saturday; 1 (Monday) when the setting is out of range.
int GetFirstWeekDay();
// The most recent first day of the week on or before `date`, at 00:00.
TDateTime WeekStartOf(TDateTime date);
// A number format for currency values built from FormatSettings, e.g. "$ ,0.00".
String CurrencyDisplayFormat();
double TruncAsFloat(double x);
double FracAsFloat(double x);
// Both upper-cased by the locale: an empty `sub` matches only an empty text; otherwise the
// whole text equals `sub`, or with `partial` begins with it.
bool TextMatches(const String& text, const String& sub, bool partial);

// A collection whose Assign from another collection keeps the existing item objects: item i
// takes over source item i by its own Assign; missing items are added, surplus ones deleted.
class TcxCollection : public TCollection {
 public:
  using TCollection::TCollection;
  void Assign(TPersistent* source) override;
};

// The link between a control and a data component.
class TcxCustomDataBinding : public TPersistent {
 public:
  TcxCustomDataBinding(TComponent* owner, TComponent* dataComponent)
      : dataComponent_(dataComponent), owner_(owner) {}

  virtual void DoDataChanged() {
    if (OnDataChange) OnDataChange();
  }
  virtual void DoDataSetChanged() {
    if (OnDataSetChange) OnDataSetChange();
  }
  virtual bool GetReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value) { readOnly_ = value; }
  virtual void DoUpdateData() {
    if (OnUpdateData) OnUpdateData();
  }
  virtual void VisualControlChanged() {}
  virtual bool IsEditable() const { return !GetReadOnly(); }
  virtual bool ExecuteBoundAction(TObject* action) { return false; }
  virtual bool IsDataAvailable() const { return true; }
  virtual void UpdateDisplayValue() {}
  virtual bool CanModify() const { return IsEditable(); }
  virtual bool UpdateBoundAction(TObject* action) { return false; }
  virtual void UpdateDataSource() {}

  TComponent* DataComponent() const { return dataComponent_; }
  TComponent* VisualControl() const { return visualControl_; }
  void SetVisualControl(TComponent* control) {
    if (control == visualControl_) return;
    visualControl_ = control;
    VisualControlChanged();
  }

  std::function<void()> OnDataChange;
  std::function<void()> OnDataSetChange;
  std::function<void()> OnUpdateData;

 protected:
  TPersistent* GetOwner() const override { return owner_; }

 private:
  TComponent* dataComponent_;
  TComponent* owner_;
  bool readOnly_ = false;
  TComponent* visualControl_ = nullptr;
};
