#include "vcl/Menus.h"

#include <algorithm>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Consts.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"

// ---- hotkeys -------------------------------------------------------------------------------

String StripHotkey(const String& caption) {
  String r;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        r += '&';
        ++i;
      }
      continue;
    }
    r += caption[i];
  }
  return r;
}

char32_t GetHotkey(const String& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    size_t pos = i + 1;
    char32_t c = DecodeUtf8(caption, pos);
    if (c < 128) c = char32_t(std::tolower(int(c)));
    return c;
  }
  return 0;
}

bool IsAccel(char32_t ch, const String& caption) {
  char32_t h = GetHotkey(caption);
  if (ch < 128) ch = char32_t(std::tolower(int(ch)));
  return h != 0 && h == ch;
}

// ---- menu items ----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TMenuItem) {
  p.Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck);
  p.Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  p.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
  p.Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
  p.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  p.Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  p.Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  p.Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  p.Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
  p.Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
  p.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  p.Event("OnClick", &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  while (!items_.empty()) {
    TMenuItem* i = items_.back();
    items_.pop_back();
    i->parent_ = nullptr;
    i->Free();
  }
  if (parent_) parent_->Remove(this);
}

TMenuItem* TMenuItem::Items(Integer i) const {
  if (i < 0 || i >= Count()) throw EMenuError(vcl_consts::SMenuIndexError);
  return items_[size_t(i)];
}

void TMenuItem::Insert(Integer index, TMenuItem* item) {
  if (item->parent_) throw EMenuError(vcl_consts::SMenuReinserted);
  if (index < 0 || index > Count()) index = Count();
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Delete(Integer index) {
  TMenuItem* i = Items(index);
  items_.erase(items_.begin() + index);
  i->parent_ = nullptr;
}

void TMenuItem::Remove(TMenuItem* item) {
  Integer i = IndexOf(item);
  if (i < 0) throw EMenuError(vcl_consts::SMenuNotFound);
  Delete(i);
}

void TMenuItem::Clear() {
  while (!items_.empty()) {
    TMenuItem* i = items_.back();
    items_.pop_back();
    i->parent_ = nullptr;
    i->Free();
  }
}

Integer TMenuItem::IndexOf(TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : Integer(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const String& caption) const {
  String want = StripHotkey(caption);
  for (TMenuItem* i : items_)
    if (SameText(StripHotkey(i->caption_), want)) return i;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (v && radioItem_ && parent_) {
    for (TMenuItem* s : parent_->items_)
      if (s != this && s->radioItem_ && s->groupIndex_ == groupIndex_) s->checked_ = false;
  }
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_) SetChecked(!checked_);
  if (OnClick) OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* value) {
  if (parent_) parent_->Remove(this);
  if (auto* m = dynamic_cast<TMenu*>(value)) m->Items()->Add(this);
  else if (auto* i = dynamic_cast<TMenuItem*>(value)) i->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TMenuItem* i : items_)
    if (i->Owner() == root) proc(i);
}

// ---- menus ---------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TMenu) {
  p.Object("Images", &TMenu::Images, &TMenu::SetImages, TCustomImageList::StaticClass());
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() { items_->Free(); }

void TMenu::SetImages(TCustomImageList* v) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = v;
  if (v) v->FreeNotification(this);
}

void TMenu::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == images_) images_ = nullptr;
}

void TMenu::GetChildren(const TGetChildProc& proc, TComponent* root) { items_->GetChildren(proc, root); }

TMenuItem* TMenu::FindItemByShortCut(TShortCut sc) const {
  std::vector<TMenuItem*> stack{items_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    for (Integer k = 0; k < i->Count(); ++k) {
      TMenuItem* c = i->Items(k);
      if (c->ShortCut() == sc && sc != 0) return c;
      stack.push_back(c);
    }
  }
  return nullptr;
}

bool TMenu::IsShortCut(Word key, TShiftState shift) {
  TShortCut sc = ::ShortCut(key, shift);
  TMenuItem* i = FindItemByShortCut(sc);
  if (!i) return false;
  for (TMenuItem* p = i; p; p = p->Parent())
    if (!p->Enabled() || !p->Visible()) return false;
  i->Click();
  return true;
}

// ---- menu window ---------------------------------------------------------------------------

// One level of an open popup menu.
class TMenuWindow : public TCustomControl {
 public:
  TMenuWindow(TPopupMenu* menu, TMenuItem* item) : TCustomControl(nullptr), menu_(menu), item_(item) {
    color_ = clMenu;
    brush_->SetColor(color_);
    parentFont_ = false;
    visible_ = false;
  }

  TMenuItem* Item() const { return item_; }
  Integer Selected() const { return selected_; }

  static Integer ItemHeight(TMenuItem* i, Integer textHeight) { return i->IsLine() ? 8 : std::max(textHeight + 6, 19); }

  void Measure() {
    Integer textH = MeasureText("Xg").cy;
    Integer w = 0, h = 0, scW = 0;
    for (Integer k = 0; k < item_->Count(); ++k) {
      TMenuItem* i = item_->Items(k);
      if (!i->Visible()) continue;
      h += ItemHeight(i, textH);
      w = std::max(w, MeasureText(StripHotkey(i->Caption())).cx);
      if (i->ShortCut()) scW = std::max(scW, MeasureText(ShortCutToText(i->ShortCut())).cx);
    }
    SetBounds(left_, top_, w + (scW ? scW + 16 : 0) + 24 + 20 + 4, h + 4);
  }

  TRect ItemRect(Integer index) {
    Integer textH = MeasureText("Xg").cy;
    Integer y = 2;
    for (Integer k = 0; k < item_->Count(); ++k) {
      TMenuItem* i = item_->Items(k);
      if (!i->Visible()) continue;
      Integer ih = ItemHeight(i, textH);
      if (k == index) return Rect(2, y, width_ - 2, y + ih);
      y += ih;
    }
    return {};
  }

  Integer ItemAt(TPoint client) {
    for (Integer k = 0; k < item_->Count(); ++k)
      if (item_->Items(k)->Visible() && ItemRect(k).Contains(client)) return k;
    return -1;
  }

  void Select(Integer index) {
    if (index == selected_) return;
    selected_ = index;
    Invalidate();
  }

  // The next selectable item after `from` in a direction, wrapping around.
  Integer NextSelectable(Integer from, int dir) {
    Integer n = item_->Count();
    if (n == 0) return -1;
    Integer i = from;
    for (Integer k = 0; k < n; ++k) {
      i = (i + dir + n) % n;
      if (from < 0 && k == 0) i = dir > 0 ? 0 : n - 1;
      TMenuItem* it = item_->Items(i);
      if (it->Visible() && !it->IsLine()) return i;
    }
    return -1;
  }

  void ShowAt(TPoint p) {
    Measure();
    TRect area = Screen->WorkAreaRect();
    if (p.X + width_ > area.Right) p.X = std::max(area.Left, area.Right - width_);
    if (p.Y + height_ > area.Bottom) p.Y = std::max(area.Top, area.Bottom - height_);
    SetBounds(p.X, p.Y, width_, height_);
    HWND h = Handle();
    SetWindowPos(h, HWND_TOPMOST, p.X, p.Y, width_, height_, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    visible_ = true;
    UpdateWindow(h);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP | WS_BORDER;
    p.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    p.WndParent = nullptr;
    p.WinClassName = "TMenuWindow";
  }

  void Paint() override {
    TCanvas* c = Canvas();
    c->Font()->Assign(Screen->MenuFont());
    TRect all = ClientRect();
    c->Brush()->SetColor(clMenu);
    c->FillRect(all);
    for (Integer k = 0; k < item_->Count(); ++k) {
      TMenuItem* i = item_->Items(k);
      if (!i->Visible()) continue;
      TRect r = ItemRect(k);
      if (i->IsLine()) {
        TRect line(r.Left + 1, r.Top + 3, r.Right - 1, r.Top + 5);
        DrawEdge(c->Handle(), &line, EDGE_ETCHED, BF_TOP);
        continue;
      }
      bool sel = k == selected_;
      c->Brush()->SetColor(sel ? clHighlight : clMenu);
      c->FillRect(r);
      c->Brush()->SetStyle(bsClear);
      c->Font()->SetColor(!i->Enabled() ? clGrayText : sel ? clHighlightText : clMenuText);
      if (i->Default()) c->Font()->SetStyle({fsBold});
      else c->Font()->SetStyle({});
      TColor ink = c->Font()->Color();
      if (i->Checked()) {
        // A check mark or a bullet in the item's text colour.
        Integer cx = r.Left + 10, cy = r.Top + r.Height() / 2;
        c->Pen()->SetColor(ink);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(ink);
        if (i->RadioItem()) {
          c->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
        } else {
          for (Integer d = 0; d < 2; ++d) c->Polyline({{cx - 4, cy - 1 + d}, {cx - 2, cy + 1 + d}, {cx + 3, cy - 4 + d}});
        }
        c->Brush()->SetStyle(bsClear);
      } else if (i->ImageIndex() >= 0 && menu_->Images()) {
        menu_->Images()->Draw(c, r.Left + 2, r.Top + (r.Height() - menu_->Images()->Height()) / 2, i->ImageIndex(), i->Enabled());
      }
      TRect tr(r.Left + 22, r.Top, r.Right - 20, r.Bottom);
      String text = i->Caption();
      c->TextRect(tr, text, {tfLeft, tfVerticalCenter, tfSingleLine});
      if (i->ShortCut()) {
        String sc = ShortCutToText(i->ShortCut());
        c->TextRect(tr, sc, {tfRight, tfVerticalCenter, tfSingleLine});
      }
      if (i->Count() > 0) {
        // The submenu arrow, in the item's text colour.
        Integer ax = r.Right - 10, ay = r.Top + r.Height() / 2;
        c->Pen()->SetColor(ink);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(ink);
        c->Polygon({{ax - 2, ay - 4}, {ax + 2, ay}, {ax - 2, ay + 4}});
      }
      c->Brush()->SetStyle(bsSolid);
    }
  }

  void WMNCHitTest(TMessage& m) override { m.Result = HTCLIENT; }

 private:
  TSize MeasureText(const String& s) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Screen->MenuFont()->Handle());
    SIZE sz;
    GetTextExtentPoint32(dc, s.data(), int(s.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return sz;
  }

  TPopupMenu* menu_;
  TMenuItem* item_;
  Integer selected_ = -1;
};

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TPopupMenu) {
  p.Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  p.Event("OnPopup", &TPopupMenu::OnPopup);
  p.Event("OnClose", &TPopupMenu::OnClose);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::CloseMenu() { closeRequested_ = true; }

void TPopupMenu::Popup(Integer x, Integer y) {
  if (tracking_) return;
  if (OnPopup) OnPopup(this);
  bool anyVisible = false;
  for (Integer k = 0; k < items_->Count(); ++k) anyVisible |= items_->Items(k)->Visible();
  if (!anyVisible) return;

  TWeakRef<TPopupMenu> self(this);
  tracking_ = true;
  closeRequested_ = false;
  TMenuItem* chosen = nullptr;
  std::vector<TMenuWindow*> levels;
  auto closeFrom = [&](size_t level) {
    while (levels.size() > level) {
      TMenuWindow* w = levels.back();
      levels.pop_back();
      windows_.pop_back();
      w->Free();
    }
  };
  auto openLevel = [&](TMenuItem* item, TPoint at) {
    auto* w = new TMenuWindow(this, item);
    levels.push_back(w);
    windows_.push_back(w);
    w->ShowAt(at);
    SetCapture(levels.front()->Handle());
  };
  auto openSub = [&](size_t level, Integer index) {
    TMenuWindow* w = levels[level];
    TMenuItem* it = w->Item()->Items(index);
    closeFrom(level + 1);
    if (it->Count() == 0 || !it->Enabled()) return;
    TRect r = w->ItemRect(index);
    TPoint p = w->ClientToScreen({r.Right, r.Top - 2});
    openLevel(it, p);
  };
  auto choose = [&](TMenuItem* it) {
    if (it->Enabled() && !it->IsLine() && it->Count() == 0) {
      chosen = it;
      closeRequested_ = true;
    }
  };

  if (Application) {
    Application->ModalStarted();
    Application->SetMenuTracking(true);
  }
  try {
    openLevel(items_, {x, y});
    while (self && !closeRequested_ && !levels.empty()) {
      MSG msg;
      if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        bool done = Application ? Application->DoIdle() : true;
        if (done && !closeRequested_ && self) WaitMessage();
        continue;
      }
      if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));
        break;
      }
      bool isMouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
      if (isMouse) {
        // Which level is under the mouse?
        int level = -1;
        for (int l = int(levels.size()) - 1; l >= 0; --l)
          if (levels[size_t(l)]->BoundsRect().Contains(msg.pt)) {
            level = l;
            break;
          }
        if (level < 0) {
          if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN || msg.message == WM_MBUTTONDOWN)
            closeRequested_ = true;
          continue;
        }
        TMenuWindow* w = levels[size_t(level)];
        Integer idx = w->ItemAt(w->ScreenToClient(msg.pt));
        if (msg.message == WM_MOUSEMOVE) {
          if (idx >= 0 && idx != w->Selected()) {
            w->Select(idx);
            openSub(size_t(level), idx);
          }
        } else if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP) {
          if (idx >= 0) choose(w->Item()->Items(idx));
        } else if (msg.message == WM_LBUTTONDOWN && idx >= 0) {
          w->Select(idx);
          openSub(size_t(level), idx);
        }
        continue;
      }
      if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        TMenuWindow* w = levels.back();
        switch (msg.wParam) {
          case VK_DOWN: w->Select(w->NextSelectable(w->Selected(), 1)); break;
          case VK_UP: w->Select(w->NextSelectable(w->Selected(), -1)); break;
          case VK_RIGHT:
            if (w->Selected() >= 0 && w->Item()->Items(w->Selected())->Count() > 0) {
              openSub(levels.size() - 1, w->Selected());
              levels.back()->Select(levels.back()->NextSelectable(-1, 1));
            }
            break;
          case VK_LEFT:
            if (levels.size() > 1) closeFrom(levels.size() - 1);
            break;
          case VK_ESCAPE:
            if (levels.size() > 1) closeFrom(levels.size() - 1);
            else closeRequested_ = true;
            break;
          case VK_RETURN:
            if (w->Selected() >= 0) {
              TMenuItem* it = w->Item()->Items(w->Selected());
              if (it->Count() > 0) {
                openSub(levels.size() - 1, w->Selected());
                levels.back()->Select(levels.back()->NextSelectable(-1, 1));
              } else {
                choose(it);
              }
            }
            break;
          case VK_MENU:
          case VK_F10:
            closeRequested_ = true;
            break;
          default: {
            TranslateMessage(&msg);
            break;
          }
        }
        continue;
      }
      if (msg.message == WM_CHAR) {
        TMenuWindow* w = levels.back();
        for (Integer k = 0; k < w->Item()->Count(); ++k) {
          TMenuItem* it = w->Item()->Items(k);
          if (it->Visible() && it->Enabled() && IsAccel(char32_t(msg.wParam), it->Caption())) {
            w->Select(k);
            if (it->Count() > 0) openSub(levels.size() - 1, k);
            else choose(it);
            break;
          }
        }
        continue;
      }
      if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) continue;
      DispatchMessage(&msg);
    }
  } catch (...) {
    if (self) {
      closeFrom(0);
      tracking_ = false;
    }
    ReleaseCapture();
    if (Application) {
      Application->SetMenuTracking(false);
      Application->ModalFinished();
    }
    throw;
  }
  ReleaseCapture();
  if (Application) {
    Application->SetMenuTracking(false);
    Application->ModalFinished();
  }
  if (!self) return;
  closeFrom(0);
  tracking_ = false;
  if (OnClose) OnClose(this);
  if (chosen) chosen->Click();
}

void InitializeMenus() {
  InitUnit("Menus", [] {
    InitializeControls();
    for (TClass c : {TMenuItem::StaticClass(), TMenu::StaticClass(), TPopupMenu::StaticClass()}) RegisterClass(c);
  });
}
