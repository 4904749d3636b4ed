// The hyperlink edit: a text editor whose text is a link, drawn underlined in the link colour,
// completed with a prefix ("http://") and opened with the desktop's application for it by a
// start key, a double click or (optionally) a single click.
#pragma once

#include "editors/cxFilterControlUtils.h"
#include "editors/cxTextEdit.h"

enum TcxHyperLinkEditUsePrefix { upAlways, upOnlyOnExecute, upNever };

// The default prefix text (replaceable).
String HyperLinkDefaultPrefix();

class TcxCustomHyperLinkEditProperties : public TcxCustomTextEditProperties {
  KORVAN_CLASS(TcxCustomHyperLinkEditProperties, TcxCustomTextEditProperties)

 public:
  explicit TcxCustomHyperLinkEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TClass GetContainerClass() override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  Word GetSupportedOperations() override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;
  // "Prefix" is written only when it differs from the default text, so an empty one is kept.
  void DefineProperties(TFiler* filer) override;

  // The trimmed text, with the prefix in front when both are non-empty and the text does not
  // start with it (case-sensitive).
  String AddPrefix(const String& text);

  bool AutoComplete() const { return usePrefix_ != upNever; }
  void SetAutoComplete(bool v) { SetUsePrefix(v ? upAlways : upNever); }
  TColor LinkColor() const { return linkColor_; }
  void SetLinkColor(TColor v) { SetAndNotify(linkColor_, v); }
  String Prefix() const { return prefix_; }
  void SetPrefix(const String& v) { SetAndNotify(prefix_, v); }
  bool SingleClick() const { return singleClick_; }
  void SetSingleClick(bool v) { SetAndNotify(singleClick_, v); }
  TShortCut StartKey() const { return startKey_; }
  void SetStartKey(TShortCut v) { startKey_ = v; }
  TcxHyperLinkEditUsePrefix UsePrefix() const { return usePrefix_; }
  void SetUsePrefix(TcxHyperLinkEditUsePrefix v) { SetAndNotify(usePrefix_, v); }
  TNotifyEvent OnStartClick;

 private:
  TColor linkColor_ = clBlue;
  String prefix_;
  bool singleClick_ = false;
  TShortCut startKey_ = 16397;  // Ctrl+Enter
  TcxHyperLinkEditUsePrefix usePrefix_ = upAlways;
};

class TcxHyperLinkEditProperties : public TcxCustomHyperLinkEditProperties {
  KORVAN_CLASS(TcxHyperLinkEditProperties, TcxCustomHyperLinkEditProperties)

 public:
  using TcxCustomHyperLinkEditProperties::TcxCustomHyperLinkEditProperties;
};

// The link is drawn underlined in the link colour, except as a selection. (An edit's styles
// are made while its base is constructed, before a kind could name a style class of its own,
// so the link look is applied here and to the inner edit rather than by a style class.)
class TcxHyperLinkEditViewInfo : public TcxCustomTextEditViewInfo {
  KORVAN_CLASS(TcxHyperLinkEditViewInfo, TcxCustomTextEditViewInfo)

 public:
  void PrepareCanvasFont(TcxCanvas* canvas) override;
};

class TcxCustomHyperLinkEdit : public TcxCustomTextEdit {
  KORVAN_CLASS(TcxCustomHyperLinkEdit, TcxCustomTextEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomHyperLinkEdit(TComponent* owner)
      : TcxCustomHyperLinkEdit(owner, false, TcxCustomHyperLinkEditProperties::StaticClass()) {}
  TcxCustomHyperLinkEdit(TComponent* owner, bool in_place, TClass properties_class);

  TcxCustomHyperLinkEditProperties* LinkProperties() {
    return static_cast<TcxCustomHyperLinkEditProperties*>(GetEffectiveProperties());
  }
  // Fires OnStartClick (own and repository item's), or opens the link.
  virtual void DoStart();

  void ApplyStyleToInnerEdit() override;
  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  void SelectWholeText() override;
  void ActivateByMouse(TShiftState shift, Integer x, Integer y, TcxCustomEditData*& edit_data) override;

 protected:
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void NotifyMouseEnter(TControl* control) override;
  void NotifyMouseLeave(TControl* control) override;

 private:
  bool InTextArea(Integer x, Integer y);
  void ShowHandCursor();
  TCursor savedCursor_ = crDefault;
  bool handShown_ = false;
};

class TcxHyperLinkEdit : public TcxCustomHyperLinkEdit {
  KORVAN_CLASS(TcxHyperLinkEdit, TcxCustomHyperLinkEdit)

 public:
  explicit TcxHyperLinkEdit(TComponent* owner)
      : TcxCustomHyperLinkEdit(owner, false, TcxHyperLinkEditProperties::StaticClass()) {}
  TcxHyperLinkEditProperties* Properties() const {
    return static_cast<TcxHyperLinkEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxHyperLinkEditProperties* value) { Properties()->Assign(value); }
};

class TcxFilterHyperLinkEditHelper : public TcxFilterTextEditHelper {
  KORVAN_CLASS(TcxFilterHyperLinkEditHelper, TcxFilterTextEditHelper)

 public:
  TClass ValueEditClass() const override;
};

// The unit start: the properties registry entry and the filter helper.
void InitializeCxHyperLinkEdit();
