// Menus: menu items in a tree, the popup menu with its own menu window that tracks the mouse
// and the keyboard in a modal loop, and shortcuts.
#pragma once

#include <vector>

#include "vcl/Controls.h"

class TMenu;
KORVAN_EXCEPTION(EMenuError, Exception);
class TCustomImageList;

class TMenuItem : public TComponent {
  KORVAN_CLASS(TMenuItem, TComponent)

 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  String Caption() const { return caption_; }
  void SetCaption(const String& v) { caption_ = v; }
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  bool Default() const { return default_; }
  void SetDefault(bool v) { default_ = v; }
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v) { radioItem_ = v; }
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool v) { autoCheck_ = v; }
  Byte GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(Byte v) { groupIndex_ = v; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v) { shortCut_ = v; }
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer v) { imageIndex_ = v; }
  String Hint() const { return hint_; }
  void SetHint(const String& v) { hint_ = v; }
  bool IsLine() const { return caption_ == "-"; }

  Integer Count() const { return Integer(items_.size()); }
  TMenuItem* Items(Integer i) const;
  TMenuItem* operator[](Integer i) const { return Items(i); }
  void Add(TMenuItem* item);
  void Insert(Integer index, TMenuItem* item);
  void Delete(Integer index);
  void Remove(TMenuItem* item);
  void Clear();
  Integer IndexOf(TMenuItem* item) const;
  TMenuItem* Find(const String& caption) const;
  TMenuItem* Parent() const { return parent_; }
  Integer MenuIndex() const { return parent_ ? parent_->IndexOf(const_cast<TMenuItem*>(this)) : -1; }
  TMenu* GetParentMenu() const;

  virtual void Click();
  TNotifyEvent OnClick;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

 private:
  friend class TMenu;
  String caption_;
  bool checked_ = false, enabled_ = true, visible_ = true, default_ = false, radioItem_ = false, autoCheck_ = false;
  Byte groupIndex_ = 0;
  TShortCut shortCut_ = 0;
  Integer imageIndex_ = -1;
  String hint_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;
  std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
  KORVAN_CLASS(TMenu, TComponent)

 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  // Runs the enabled, visible item with this shortcut; true when one was found.
  bool IsShortCut(Word key, TShiftState shift);
  TMenuItem* FindItemByShortCut(TShortCut sc) const;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

 protected:
  void Notification(TComponent* c, TOperation op) override;
  TMenuItem* items_;
  TCustomImageList* images_ = nullptr;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
  KORVAN_CLASS(TPopupMenu, TMenu)

 public:
  explicit TPopupMenu(TComponent* owner);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment v) { alignment_ = v; }
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* v) { popupComponent_ = v; }
  // Shows the menu at a screen point and tracks it until an item is chosen or the menu is
  // dismissed; the chosen item's Click runs after the menu has closed.
  virtual void Popup(Integer x, Integer y);
  // Closes a menu that is being tracked (from a handler or a timer).
  void CloseMenu();
  bool IsOpen() const { return tracking_; }
  // The menu windows while the menu is open, the first being the top level (for tests).
  const std::vector<TCustomControl*>& MenuWindows() const { return windows_; }

  TNotifyEvent OnPopup;
  TNotifyEvent OnClose;

 private:
  friend class TMenuWindow;
  bool tracking_ = false;
  bool closeRequested_ = false;
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  TComponent* popupComponent_ = nullptr;
  std::vector<TCustomControl*> windows_;
};

// "&File" -> "File"; "&&" -> "&".
String StripHotkey(const String& caption);
// The hotkey character of a caption (lower case), or 0.
char32_t GetHotkey(const String& caption);
bool IsAccel(char32_t ch, const String& caption);

void InitializeMenus();
