// The status bar with its panels.
#pragma once

#include "vcl/StdCtrls.h"

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
  KORVAN_CLASS(TStatusPanel, TCollectionItem)

 public:
  explicit TStatusPanel(TCollection* collection);
  String Text() const { return text_; }
  void SetText(const String& v) { text_ = v; Changed(false); }
  Integer Width() const { return width_; }
  void SetWidth(Integer v) { width_ = v; Changed(true); }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; Changed(false); }
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel v) { bevel_ = v; Changed(false); }
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle v) { style_ = v; Changed(false); }
  void Assign(TPersistent* source) override;
  String DisplayName() const override { return text_.empty() ? TCollectionItem::DisplayName() : text_; }

 private:
  String text_;
  Integer width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
  TStatusPanelStyle style_ = psText;
};

class TStatusBar;

class TStatusPanels : public TCollection {
  KORVAN_CLASS(TStatusPanels, TCollection)

 public:
  explicit TStatusPanels(TStatusBar* bar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(Integer i) const { return static_cast<TStatusPanel*>(TCollection::Items(i)); }

 protected:
  TPersistent* GetOwner() const override;
  void Update(TCollectionItem* item) override;

 private:
  TStatusBar* bar_;
};

using TDrawPanelEvent = std::function<void(TStatusBar* bar, TStatusPanel* panel, const TRect& rect)>;

class TStatusBar : public TCustomControl {
  KORVAN_CLASS(TStatusBar, TCustomControl)

 public:
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;
  TStatusPanels* Panels() const { return panels_.get(); }
  void SetPanels(TStatusPanels* v) { panels_->Assign(v); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v) { simplePanel_ = v; Invalidate(); }
  String SimpleText() const { return simpleText_; }
  void SetSimpleText(const String& v) { simpleText_ = v; Invalidate(); }
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v) { sizeGrip_ = v; Invalidate(); }
  // The rectangle of a panel in client coordinates (the last one takes the rest).
  TRect PanelRect(Integer index);
  TDrawPanelEvent OnDrawPanel;

 protected:
  void Paint() override;
  TColor DefaultColor() const override { return clBtnFace; }
  std::unique_ptr<TStatusPanels> panels_;
  bool simplePanel_ = false;
  String simpleText_;
  bool sizeGrip_ = true;
};

void InitializeComCtrls();
