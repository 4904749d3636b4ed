// Styles: named appearance values (bitmap, colour, font, text colour, each possibly
// unassigned) kept on a style repository, styles objects that map numbered roles of a
// control to styles with fallback to a style sheet, and the resolution of view parameters
// (explicit style, then the role's style or the sheet's, then the role's default).
#pragma once

#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "foundation/cxControls.h"
#include "foundation/cxGraphics.h"

// Scoped: the container style has values of the same names (svColor, svFont, svTextColor).
enum class TcxStyleValue { svBitmap, svColor, svFont, svTextColor };
using TcxStyleValues = TSet<TcxStyleValue, 8>;

class TcxCustomStyle;
class TcxCustomStyles;
class TcxCustomStyleSheet;
class TcxStyleRepository;

class IcxStyleListener {
 public:
  virtual ~IcxStyleListener() = default;
  virtual void StyleModified(TcxCustomStyle* sender) = 0;
  virtual void StyleDetached(TcxCustomStyle* sender) = 0;
};

class TcxCustomStyle : public TComponent {
  KORVAN_CLASS(TcxCustomStyle, TComponent)

 public:
  explicit TcxCustomStyle(TComponent* owner);
  ~TcxCustomStyle() override;

  virtual void NotifyModified();
  virtual void Subscribe(IcxStyleListener* listener);
  virtual void Unsubscribe(IcxStyleListener* listener);
  virtual void ResetValues() {}
  Integer ListenerCount() const { return Integer(listeners_.size()); }

  TcxStyleRepository* Repository() const { return repository_; }
  void MoveToRepository(TcxStyleRepository* repository);

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

 private:
  std::vector<IcxStyleListener*> listeners_;
  TcxStyleRepository* repository_ = nullptr;
};

class TcxStyle : public TcxCustomStyle {
  KORVAN_CLASS(TcxStyle, TcxCustomStyle)

 public:
  explicit TcxStyle(TComponent* owner);
  ~TcxStyle() override;

  TcxStyleValues AssignedValues() const { return assignedValues_; }
  void SetAssignedValues(const TcxStyleValues& v);
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(TBitmap* v) { bitmap_->Assign(v); }
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TFont* Font() const { return font_.get(); }
  // Any font assigns the value, also one equal to the current font.
  void SetFont(TFont* v);
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor v);

  void Assign(TPersistent* source) override;
  void ResetValues() override;

  bool IsBitmapStored() const { return assignedValues_.Contains(TcxStyleValue::svBitmap); }
  bool IsColorStored() const { return assignedValues_.Contains(TcxStyleValue::svColor); }
  bool IsFontStored() const { return assignedValues_.Contains(TcxStyleValue::svFont); }
  bool IsTextColorStored() const { return assignedValues_.Contains(TcxStyleValue::svTextColor); }

 private:
  void BitmapChanged(TObject*);
  void FontChanged(TObject*);
  TcxStyleValues assignedValues_;
  std::unique_ptr<TBitmap> bitmap_;
  TColor color_ = clDefault;
  std::unique_ptr<TFont> font_;
  TColor textColor_ = clDefault;
  bool fontChangeSeen_ = false;
};

// nil: false; else whether the value is assigned in the style.
bool HasAssignedValue(TcxCustomStyle* style, TcxStyleValue value);

class TcxCustomStylesItem : public TObject {
 public:
  Integer RoleIndex = 0;
  TcxCustomStyle* Style = nullptr;
};

class TcxCustomStyles : public TcxInterfacedPersistent, public IcxStyleListener {
  KORVAN_CLASS(TcxCustomStyles, TcxInterfacedPersistent)

 public:
  using CreateArgType = TPersistent*;
  explicit TcxCustomStyles(TPersistent* owner);
  ~TcxCustomStyles() override;

  void Assign(TPersistent* source) override { AssignFromSource(source); }
  virtual void AssignFromSource(TPersistent* source);
  virtual void IndexChanged(Integer index) {}
  virtual void ReportIndexChange(Integer index);

  TcxCustomStyleSheet* StyleSheet() const { return styleSheet_; }
  void SetStyleSheet(TcxCustomStyleSheet* sheet);
  TcxCustomStyleSheet* HostSheet() const { return hostSheet_; }
  TcxCustomStyle* StyleAt(Integer index);
  void SetStyleAt(Integer index, TcxCustomStyle* style);
  void ClearStyles();
  void DeleteAt(Integer position);
  Integer ItemCount() const { return Integer(entries_.size()); }
  TcxCustomStylesItem* ItemAt(Integer position) const { return entries_.at(size_t(position)).get(); }
  bool FindIndex(Integer index, Integer& position) const;

  // IcxStyleListener
  void StyleModified(TcxCustomStyle* sender) override;
  void StyleDetached(TcxCustomStyle* sender) override;

 protected:
  friend class TcxCustomStyleSheet;
  bool inTeardown_ = false;

 private:
  bool IsSheetUsable(TcxCustomStyleSheet* sheet) const;
  void CollectSheetIndexes(TcxCustomStyleSheet* sheet, std::vector<Integer>& indexes) const;
  std::vector<std::unique_ptr<TcxCustomStylesItem>> entries_;
  TcxCustomStyleSheet* styleSheet_ = nullptr;
  TcxCustomStyleSheet* hostSheet_ = nullptr;
};

class TcxStyles : public TcxCustomStyles, public IcxFontListener {
  KORVAN_CLASS(TcxStyles, TcxCustomStyles)

 public:
  explicit TcxStyles(TPersistent* owner) : TcxCustomStyles(owner) {}

  virtual void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params);
  virtual bool IsFontDefault(Integer index) { return !HasAssignedValue(StyleAt(index), TcxStyleValue::svFont); }
  void ResolveViewParams(Integer index, TObject* data, TcxStyle* style, TcxStyleParams& params);
  TcxStyle* GetIndexedStyle(Integer index) { return dynamic_cast<TcxStyle*>(StyleAt(index)); }
  void SetIndexedStyle(Integer index, TcxStyle* style) { SetStyleAt(index, style); }
  TBitmap* GetStyleBitmap(Integer index);
  Integer MaxDefaultIndex() const { return maxDefaultIndex_; }
  bool WantsBitmap() const { return wantsBitmap_; }
  void SetWantsBitmap(bool v) { wantsBitmap_ = v; }

  // IcxFontListener: the owning control's font changed.
  void FontChanged(TObject* sender, TFont* font) override { HandleDefaultFontChange(sender, font); }
  void HandleDefaultFontChange(TObject* sender, TFont* font);

 private:
  Integer maxDefaultIndex_ = 0;
  bool wantsBitmap_ = false;
};

class TcxCustomStyleSheet : public TcxComponent {
  KORVAN_CLASS(TcxCustomStyleSheet, TcxComponent)

 public:
  explicit TcxCustomStyleSheet(TComponent* owner);
  ~TcxCustomStyleSheet() override;

  virtual TClass StylesClass() { return TcxCustomStyles::StaticClass(); }
  // Made on first use from StylesClass (a descendant's answer is not known in the
  // constructor).
  TcxCustomStyles* OwnedStyles();
  void AssignStyles(TcxCustomStyles* v) { OwnedStyles()->Assign(v); }
  String Caption() const;
  void SetCaption(const String& v);
  bool IsCaptionStored() const { return !captionText_.empty(); }
  bool BuiltIn() const { return builtIn_; }
  void SetBuiltIn(bool v) { builtIn_ = v; }
  TcxStyleRepository* Repository() const { return repository_; }
  void MoveToRepository(TcxStyleRepository* repository);
  void Assign(TPersistent* source) override;
  void BroadcastIndexChange(Integer index);
  Integer UserCount() const { return Integer(users_.size()); }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

 protected:
  friend class TcxCustomStyles;
  void DefineProperties(TFiler* filer) override;
  void ListLinkedComponents(std::vector<TComponent*>& list) override;
  std::vector<TcxCustomStyles*> users_;

 private:
  bool builtIn_ = false;
  String captionText_;
  TcxCustomStyles* ownedStyles_ = nullptr;
  TcxStyleRepository* repository_ = nullptr;
};

class TcxStyleRepository : public TComponent {
  KORVAN_CLASS(TcxStyleRepository, TComponent)

 public:
  explicit TcxStyleRepository(TComponent* owner);
  ~TcxStyleRepository() override;

  virtual TcxCustomStyle* NewStyle(TClass styleClass) { return NewStyleOwnedBy(styleClass, this); }
  virtual TcxCustomStyle* NewStyleOwnedBy(TClass styleClass, TComponent* owner);
  virtual TcxCustomStyleSheet* NewStyleSheet(TClass sheetClass) { return NewStyleSheetOwnedBy(sheetClass, this); }
  virtual TcxCustomStyleSheet* NewStyleSheetOwnedBy(TClass sheetClass, TComponent* owner);

  Integer StyleCount() const { return Integer(styles_.size()); }
  TcxCustomStyle* Styles(Integer i) const { return styles_.at(size_t(i)); }
  Integer StyleSheetCount() const { return Integer(sheets_.size()); }
  TcxCustomStyleSheet* StyleSheets(Integer i) const { return sheets_.at(size_t(i)); }

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

 private:
  friend class TcxCustomStyle;
  friend class TcxCustomStyleSheet;
  std::vector<TcxCustomStyle*> styles_;
  std::vector<TcxCustomStyleSheet*> sheets_;
};

// Registers the style classes for form descriptions.
void InitializeCxStyles();
