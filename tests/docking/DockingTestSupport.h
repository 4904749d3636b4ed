// A form with a dock site and four panels, a tree printer and an event log for the docking
// tests.
#pragma once

#include <gtest/gtest.h>

#include "docking/dxDockControl.h"
#include "docking/dxDockPanel.h"
#include "rtl/SysUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace docktest {

// The dock tree below `c`: "Site(L(P1:left,P2:top):client,P3:right)"; layout sites print as
// "L", tab containers as "T", horizontal and vertical side containers as "H" and "V", other
// controls by name; each child carries its dock type.
inline String TypeName(TdxDockingType t) {
  static const char* names[] = {"none", "client", "left", "top", "right", "bottom"};
  return names[t];
}

inline String NameOf(TdxCustomDockControl* c) {
  if (dynamic_cast<TdxLayoutDockSite*>(c)) return "L";
  if (dynamic_cast<TdxTabContainerDockSite*>(c)) return "T";
  if (dynamic_cast<TdxHorizContainerDockSite*>(c)) return "H";
  if (dynamic_cast<TdxVertContainerDockSite*>(c)) return "V";
  return c->Name();
}

inline String Tree(TdxCustomDockControl* c) {
  String s = NameOf(c);
  if (c->ChildCount() == 0) return s;
  s += "(";
  for (Integer i = 0; i < c->ChildCount(); ++i) {
    TdxCustomDockControl* k = c->Children(i);
    if (i) s += ",";
    s += Tree(k) + ":" + TypeName(k->DockType());
  }
  return s + ")";
}

// Every child's window parent is its parent dock control (an auto-hidden one's is its sliding
// window) and its alignment follows its dock type; returns the first violation, "" when none.
inline String CheckInvariants(TdxCustomDockControl* c) {
  for (Integer i = 0; i < c->ChildCount(); ++i) {
    TdxCustomDockControl* k = c->Children(i);
    if (k->ParentDockControl() != c) return k->Name() + ": parent link";
    if (k->AutoHide()) {
      if (!dynamic_cast<TdxDockSiteAutoHideContainer*>(k->Parent())) return k->Name() + ": window parent";
    } else {
      if (k->Parent() != c) return k->Name() + ": window parent";
      if (k->Align() != dxDockingTypeAlign(k->DockType())) return k->Name() + ": alignment";
    }
    if (k->DockIndex() != i) return k->Name() + ": index";
    String inner = CheckInvariants(k);
    if (!inner.empty()) return inner;
  }
  return "";
}

// One docking step: panel index (0-based) or -1 for the control at `mover`, the target
// ("Site", "P<n>", or "@<digits>": child indexes walked from the site), the dock type; dtNone
// undocks.
struct DockStep {
  int panel;
  const char* target;
  TdxDockingType type;
  const char* mover = "";
};

// Tells when a watched component is freed.
class TFreeWatcher : public TComponent {
 public:
  TFreeWatcher() : TComponent(nullptr) {}
  void Watch(TComponent* c) { c->FreeNotification(this); }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) freed.push_back(c);
  }
  bool Freed(TComponent* c) const { return std::find(freed.begin(), freed.end(), c) != freed.end(); }
  std::vector<TComponent*> freed;
};

class DockingFixture : public testing_support::THeadlessFixture {
 protected:
  // A point of a dock control's own window coordinates (its frame included) as a point of
  // its client area, for injected input.
  static POINT ClientPoint(TdxCustomDockControl* c, TPoint window) {
    TPoint origin = c->ScreenToWindow(c->ClientToScreen(TPoint(0, 0)));
    return TPoint(window.X - origin.X, window.Y - origin.Y);
  }
  static TPoint Center(const TRect& r) { return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    form = NewForm("Form1");
    site = new TdxDockSite(form);
    site->SetName("Site");
    site->SetBounds(0, 0, 400, 300);
    site->SetParent(form);
    for (int i = 0; i < 4; ++i) {
      p[i] = new TdxDockPanel(form);
      p[i]->SetName("P" + IntToStr(i + 1));
    }
  }
  void TearDown() override {
    for (TCustomForm* f : forms_) f->Free();
    forms_.clear();
    watcher.freed.clear();
    Pump();
    // Float forms go with the controls' form.
    for (Integer i = 0; i < Application->ComponentCount(); ++i)
      EXPECT_FALSE(dynamic_cast<TdxFloatForm*>(Application->Components(i))) << "a float form outlived its form";
    FinalizeDockingController();
    THeadlessFixture::TearDown();
  }
  TForm* NewForm(const String& name) {
    auto* f = new TForm(Application);
    f->SetName(name);
    f->SetBounds(10, 10, 500, 400);
    forms_.push_back(f);
    return f;
  }
  void FreeForm(TCustomForm* f) {
    forms_.erase(std::find(forms_.begin(), forms_.end(), f));
    f->Free();
  }
  TdxCustomDockControl* Resolve(const String& target) {
    if (target == "Site") return site;
    if (target[0] == 'P') return p[StrToInt(target.substr(1)) - 1];
    TdxCustomDockControl* c = site;
    for (char ch : target.substr(1)) c = c->Children(ch - '0');
    return c;
  }
  void Run(const std::vector<DockStep>& steps) {
    for (const DockStep& s : steps) {
      TdxCustomDockControl* c = s.panel >= 0 ? p[s.panel] : Resolve(s.mover);
      if (s.type == dtNone)
        c->UnDock();
      else
        c->DockTo(Resolve(s.target), s.type, -1);
    }
  }
  // Logs the docking events of a control as "Name.Event(args)".
  void Record(TdxCustomDockControl* c) {
    c->OnDock = [this](TdxCustomDockControl* s, TdxCustomDockControl* site, TdxDockingType t, Integer i) {
      log.push_back(s->Name() + ".Dock(" + NameOf(site) + "," + TypeName(t) + "," + IntToStr(i) + ")");
    };
    c->OnUnDock = [this](TdxCustomDockControl* s, TdxCustomDockControl*) { log.push_back(s->Name() + ".UnDock"); };
    c->OnCreateLayoutSite = [this](TdxCustomDockControl* s, TdxCustomDockControl*) {
      log.push_back(s->Name() + ".CreateLayoutSite");
    };
    c->OnCloseQuery = [this](TdxCustomDockControl* s, bool& can) {
      log.push_back(s->Name() + ".CloseQuery");
      can = allowClose;
    };
    c->OnClose = [this](TdxCustomDockControl* s) { log.push_back(s->Name() + ".Close"); };
  }

  TForm* form = nullptr;
  TdxDockSite* site = nullptr;
  TdxDockPanel* p[4] = {};
  std::vector<String> log;
  bool allowClose = true;
  TFreeWatcher watcher;

 private:
  std::vector<TCustomForm*> forms_;
};

}  // namespace docktest
