// Layout sections: each dock control writes one section of keys (named by its index in the
// controller's list) followed by its children's sections, and reads them back, creating the
// controls a form lacks. Loading a whole form checks every section it will read before the
// first control changes.
#include <algorithm>
#include <unordered_set>

#include "docking/dxDockConsts.h"
#include "docking/dxDockControlBrackets.h"
#include "docking/dxDockPanel.h"
#include "rtl/IniFiles.h"
#include "rtl/SysUtils.h"

using namespace dock_consts;
using namespace dock_brackets;

namespace {
const char* const kAllowDockKeys[] = {"Left", "Top", "Right", "Bottom", "Client"};
const TdxDockingType kAllowDockTypes[] = {dtLeft, dtTop, dtRight, dtBottom, dtClient};

void WriteTypes(TCustomIniFile* s, const String& section, const String& prefix, TdxDockingTypes types) {
  for (int i = 0; i < 5; ++i) s->WriteBool(section, prefix + kAllowDockKeys[i], types.Contains(kAllowDockTypes[i]));
}

TdxDockingTypes ReadTypes(TCustomIniFile* s, const String& section, const String& prefix, TdxDockingTypes current) {
  TdxDockingTypes t;
  for (int i = 0; i < 5; ++i)
    if (s->ReadBool(section, prefix + kAllowDockKeys[i], current.Contains(kAllowDockTypes[i]))) t.Include(kAllowDockTypes[i]);
  return t;
}

String SectionName(TdxCustomDockControl* c) { return IntToStr(DockingController()->DockControlIndex(c)); }

// A site the docking operations create: layout sites, containers and float sites.
bool IsCreatedSite(TdxCustomDockControl* c) {
  return dynamic_cast<TdxLayoutDockSite*>(c) || dynamic_cast<TdxContainerDockSite*>(c) ||
         dynamic_cast<TdxFloatDockSite*>(c);
}

[[noreturn]] void LayoutError(TCustomIniFile* store, const String& section, const String& fault) {
  String where = store->FileName().empty() ? String("the dock layout") : "\"" + store->FileName() + "\"";
  if (!section.empty()) where += ", section [" + section + "]";
  throw Exception("Cannot load " + where + ": " + fault);
}
}  // namespace

// ---- writing -------------------------------------------------------------------------------

void TdxDockingController::SaveControlLayout(TCustomIniFile* store, TdxCustomDockControl* control) {
  String s = IntToStr(DockControlIndex(control));
  store->WriteString(s, "ClassName", control->ClassName());
  store->WriteString(s, "Name", control->Name());
  store->WriteString(s, "ParentForm", control->ParentForm() ? control->ParentForm()->Name() : String());
  control->WriteLayoutSection(store, s);
}

void TdxCustomDockControl::WriteLayoutSection(TCustomIniFile* s, const String& section) {
  s->WriteInteger(section, "ChildCount", ChildCount());
  for (Integer i = 0; i < ChildCount(); ++i) s->WriteString(section, "Children" + IntToStr(i), SectionName(Children(i)));
  s->WriteInteger(section, "DockType", Integer(dockType_));
  WriteTypes(s, section, "AllowDock", allowDock_);
  WriteTypes(s, section, "AllowDockClients", allowDockClients_);
  s->WriteBool(section, "AllowFloating", allowFloating_);
  s->WriteBool(section, "CaptionButtonClose", captionButtons_.Contains(cbClose));
  s->WriteBool(section, "CaptionButtonHide", captionButtons_.Contains(cbHide));
  s->WriteBool(section, "CaptionButtonMaximize", captionButtons_.Contains(cbMaximize));
  s->WriteBool(section, "Dockable", dockable_);
  s->WriteInteger(section, "Width", Width());
  s->WriteInteger(section, "Height", Height());
  s->WriteInteger(section, "OriginalWidth", originalWidth_);
  s->WriteInteger(section, "OriginalHeight", originalHeight_);
  s->WriteBool(section, "Visible", Visible());
  s->WriteBool(section, "AutoHide", autoHide_);
  s->WriteBool(section, "StoredAutoHide", storedAutoHide_);
  if (autoHide_) s->WriteInteger(section, "AutoHidePosition", Integer(autoHidePosition_));
  // A container's keys follow the core's; the children's sections come after their parent's.
  if (auto* c = dynamic_cast<TdxContainerDockSite*>(this)) s->WriteInteger(section, "ActiveChildIndex", c->ActiveChildIndex());
  if (auto* t = dynamic_cast<TdxTabContainerDockSite*>(this)) {
    s->WriteBool(section, "ShowCaption", t->ShowCaption());
    s->WriteInteger(section, "TabsPosition", Integer(t->TabsPosition()));
    s->WriteBool(section, "TabsScroll", t->TabsScroll());
  }
  if (auto* f = dynamic_cast<TdxFloatDockSite*>(this)) {
    s->WriteInteger(section, "FloatLeft", f->FloatLeft());
    s->WriteInteger(section, "FloatTop", f->FloatTop());
  }
  for (TdxCustomDockControl* c : children_) Controller()->SaveControlLayout(s, c);
}

void TdxDockSite::WriteLayoutSection(TCustomIniFile* s, const String& section) {
  s->WriteInteger(section, "ChildCount", ChildCount());
  for (Integer i = 0; i < ChildCount(); ++i) s->WriteString(section, "Children" + IntToStr(i), SectionName(Children(i)));
  WriteTypes(s, section, "AllowDockClients", AllowDockClients());
  s->WriteInteger(section, "Width", Width());
  s->WriteInteger(section, "Height", Height());
  s->WriteInteger(section, "OriginalWidth", OriginalWidth());
  s->WriteInteger(section, "OriginalHeight", OriginalHeight());
  s->WriteBool(section, "Visible", Visible());
  s->WriteBool(section, "AutoSize", autoSize_);
  for (Integer i = 0; i < ChildCount(); ++i) Controller()->SaveControlLayout(s, Children(i));
}

void TdxDockingController::SaveLayoutToIniFile(TCustomIniFile* store, TCustomForm* form) {
  for (TdxCustomDockControl* c : std::vector<TdxCustomDockControl*>(dockControls_))
    if (c->ParentForm() == form && !c->ParentDockControl() && !c->IsDestroying()) SaveControlLayout(store, c);
}

// ---- reading -------------------------------------------------------------------------------

void TdxDockingController::LoadControlLayout(TCustomIniFile* store, TCustomForm* form, const String& section,
                                             TdxCustomDockControl* parentSite) {
  if (!form) {
    TComponent* c = FindGlobalComponent(store->ReadString(section, "ParentForm", ""));
    if (!c) return;
    form = dynamic_cast<TCustomForm*>(c);
    if (!form) throw EInvalidCast("Invalid class typecast");
  }
  String name = store->ReadString(section, "Name", "");
  TdxCustomDockControl* control = nullptr;
  if (TComponent* c = name.empty() ? nullptr : form->FindComponent(name)) {
    control = dynamic_cast<TdxCustomDockControl*>(c);
    if (!control) throw EInvalidCast("Invalid class typecast");
  } else {
    TClass cls = FindClass(store->ReadString(section, "ClassName", ""));
    if (!cls->InheritsFrom(TdxCustomDockControl::StaticClass()))
      throw EInvalidCast("Invalid class typecast");
    control = static_cast<TdxCustomDockControl*>(cls->Create(form));
    if (!name.empty()) control->SetName(name);
    // A created dock site stands on its form.
    if (dynamic_cast<TdxDockSite*>(control)) control->SetParent(form);
  }
  control->ReadLayoutSection(store, form, section, parentSite);
}

void TdxCustomDockControl::ReadLayoutSection(TCustomIniFile* s, TCustomForm* form, const String& section,
                                             TdxCustomDockControl* parentSite) {
  InLayoutUpdate(this, [&] {
    auto type = TdxDockingType(s->ReadInteger(section, "DockType", 0));
    SetAllowDock(ReadTypes(s, section, "AllowDock", allowDock_));
    SetAllowDockClients(ReadTypes(s, section, "AllowDockClients", allowDockClients_));
    SetAllowFloating(s->ReadBool(section, "AllowFloating", allowFloating_));
    TdxCaptionButtons buttons;
    if (s->ReadBool(section, "CaptionButtonClose", captionButtons_.Contains(cbClose))) buttons.Include(cbClose);
    if (s->ReadBool(section, "CaptionButtonHide", captionButtons_.Contains(cbHide))) buttons.Include(cbHide);
    if (s->ReadBool(section, "CaptionButtonMaximize", captionButtons_.Contains(cbMaximize))) buttons.Include(cbMaximize);
    SetCaptionButtons(buttons);
    SetDockable(s->ReadBool(section, "Dockable", dockable_));
    SetWidth(s->ReadInteger(section, "Width", Width()));
    SetHeight(s->ReadInteger(section, "Height", Height()));
    originalWidth_ = s->ReadInteger(section, "OriginalWidth", originalWidth_);
    originalHeight_ = s->ReadInteger(section, "OriginalHeight", originalHeight_);
    SetVisible(s->ReadBool(section, "Visible", Visible()));
    if (parentSite) {
      // A control read into a tree it already stands in elsewhere leaves its old place first,
      // so no two parents ever list it.
      if (parentDockControl_ && parentDockControl_ != parentSite) ExcludeFromDock();
      IncludeToDock(parentSite, type, -1);
    }
    Integer count = s->ReadInteger(section, "ChildCount", 0);
    for (Integer i = 0; i < count; ++i)
      Controller()->LoadControlLayout(s, form, s->ReadString(section, "Children" + IntToStr(i), ""), this);
    autoHide_ = s->ReadBool(section, "AutoHide", false);
    storedAutoHide_ = s->ReadBool(section, "StoredAutoHide", false);
    if (autoHide_) {
      if (TdxDockSite* host = AutoHideHostSite()) {
        auto position = TdxAutoHidePosition(s->ReadInteger(section, "AutoHidePosition", ahpUndefined));
        if (position == ahpUndefined) position = GetAutoHidePosition();
        host->AddAutoHideControl(this, position);
      }
    }
  });
}

void TdxContainerDockSite::ReadLayoutSection(TCustomIniFile* s, TCustomForm* form, const String& section,
                                             TdxCustomDockControl* parentSite) {
  BeginAdjustBounds();
  try {
    TdxCustomDockSite::ReadLayoutSection(s, form, section, parentSite);
    Integer index = s->ReadInteger(section, "ActiveChildIndex", -1);
    SetActiveChildIndex(index);
    if (!HandleAllocated()) {
      storedActiveChildIndex_ = index;
      pendingActivation_ = true;
    }
  } catch (...) {
    EndAdjustBounds();
    throw;
  }
  EndAdjustBounds();
}

void TdxSideContainerDockSite::ReadLayoutSection(TCustomIniFile* s, TCustomForm* form, const String& section,
                                                 TdxCustomDockControl* parentSite) {
  BeginAdjustBounds();
  try {
    TdxContainerDockSite::ReadLayoutSection(s, form, section, parentSite);
  } catch (...) {
    EndAdjustBounds();
    throw;
  }
  EndAdjustBounds();
}

void TdxTabContainerDockSite::ReadLayoutSection(TCustomIniFile* s, TCustomForm* form, const String& section,
                                                TdxCustomDockControl* parentSite) {
  TdxContainerDockSite::ReadLayoutSection(s, form, section, parentSite);
  SetShowCaption(s->ReadBool(section, "ShowCaption", ShowCaption()));
  SetTabsPosition(TdxTabContainerTabsPosition(s->ReadInteger(section, "TabsPosition", 0)));
  SetTabsScroll(s->ReadBool(section, "TabsScroll", true));
}

void TdxFloatDockSite::ReadLayoutSection(TCustomIniFile* s, TCustomForm* form, const String& section,
                                         TdxCustomDockControl* parentSite) {
  TdxCustomDockSite::ReadLayoutSection(s, form, section, parentSite);
  SetFloatLeft(s->ReadInteger(section, "FloatLeft", FloatLeft()));
  SetFloatTop(s->ReadInteger(section, "FloatTop", FloatTop()));
  SetOriginalWidth(s->ReadInteger(section, "Width", Width()));
  SetOriginalHeight(s->ReadInteger(section, "Height", Height()));
  CreateFloatForm();
  UpdateCaption();
  ShowFloatForm();
  SetFloatFormSize(OriginalWidth(), OriginalHeight());
  if (ChildCount() != 1) DoDestroy();
}

void TdxDockSite::ReadLayoutSection(TCustomIniFile* s, TCustomForm* form, const String& section,
                                    TdxCustomDockControl* parentSite) {
  InLayoutUpdate(this, [&] {
    SetAllowDockClients(ReadTypes(s, section, "AllowDockClients", AllowDockClients()));
    SetVisible(s->ReadBool(section, "Visible", Visible()));
    Integer count = s->ReadInteger(section, "ChildCount", 0);
    for (Integer i = 0; i < count; ++i)
      Controller()->LoadControlLayout(s, form, s->ReadString(section, "Children" + IntToStr(i), ""), this);
    SetWidth(s->ReadInteger(section, "Width", Width()));
    SetHeight(s->ReadInteger(section, "Height", Height()));
    SetOriginalWidth(s->ReadInteger(section, "OriginalWidth", OriginalWidth()));
    SetOriginalHeight(s->ReadInteger(section, "OriginalHeight", OriginalHeight()));
    autoSize_ = s->ReadBool(section, "AutoSize", autoSize_);
    AdjustAutoSizeBounds();
  });
}

// ---- a whole form --------------------------------------------------------------------------

void TdxDockingController::LoadLayoutFromIniFile(TCustomIniFile* store, TCustomForm* form) {
  // The whole store is checked first: a damaged layout changes nothing.
  if (auto* mem = dynamic_cast<TMemIniFile*>(store); mem && !mem->MalformedLines().empty())
    LayoutError(store, "", "line " + IntToStr(mem->MalformedLines().front()) + " is neither a section nor a key");
  TStringList sections;
  store->ReadSections(&sections);
  std::vector<String> own;
  std::unordered_set<String> referenced;
  for (Integer i = 0; i < sections.Count(); ++i) {
    String s = sections[i];
    if (!SameText(store->ReadString(s, "ParentForm", ""), form->Name())) continue;
    own.push_back(s);
    Integer n = store->ReadInteger(s, "ChildCount", 0);
    for (Integer k = 0; k < n; ++k) referenced.insert(store->ReadString(s, "Children" + IntToStr(k), ""));
  }
  std::vector<String> roots;
  for (const String& s : own)
    if (!referenced.count(s)) roots.push_back(s);
  std::unordered_set<String> reached;
  std::function<void(const String&, const String&)> check = [&](const String& s, const String& from) {
    if (!store->SectionExists(s)) LayoutError(store, from, "the section [" + s + "] it names is missing");
    if (!reached.insert(s).second) LayoutError(store, s, "the section is reached twice");
    String name = store->ReadString(s, "Name", "");
    TComponent* existing = name.empty() ? nullptr : form->FindComponent(name);
    if (existing && !dynamic_cast<TdxCustomDockControl*>(existing))
      LayoutError(store, s, "\"" + name + "\" is no dock control");
    if (!existing) {
      String cls = store->ReadString(s, "ClassName", "");
      TClass c = GetClass(cls);
      if (!c || !c->InheritsFrom(TdxCustomDockControl::StaticClass()))
        LayoutError(store, s, "\"" + cls + "\" is no registered dock control class");
    }
    Integer type = store->ReadInteger(s, "DockType", 0);
    if (type < dtNone || type > dtBottom) LayoutError(store, s, "the dock type " + IntToStr(type) + " is out of range");
    Integer position = store->ReadInteger(s, "AutoHidePosition", ahpUndefined);
    if (position < ahpLeft || position > ahpUndefined)
      LayoutError(store, s, "the auto-hide position " + IntToStr(position) + " is out of range");
    Integer n = store->ReadInteger(s, "ChildCount", 0);
    if (n < 0) LayoutError(store, s, "the child count " + IntToStr(n) + " is negative");
    for (Integer k = 0; k < n; ++k) {
      String key = "Children" + IntToStr(k);
      if (!store->ValueExists(s, key)) LayoutError(store, s, "the key " + key + " is missing");
      check(store->ReadString(s, key, ""), s);
    }
  };
  for (const String& r : roots) check(r, "");
  if (roots.empty() && !own.empty()) LayoutError(store, own.front(), "the section is reached twice");

  // Take the form's tree apart: the created sites go, the rest waits unlinked.
  std::vector<TdxCustomDockControl*> controls;
  for (TdxCustomDockControl* c : dockControls_)
    if (c->ParentForm() == form && !c->IsDestroying()) controls.push_back(c);
  BeginUpdateNC();
  try {
    for (TdxCustomDockControl* c : controls) c->BeginUpdateLayout();
    for (TdxCustomDockControl* c : controls) {
      if (!c->autoHide_) continue;
      if (TdxDockSite* host = c->AutoHideHostSite()) host->RemoveAutoHideControl(c);
      c->autoHide_ = false;
    }
    for (TdxCustomDockControl* c : controls) {
      c->parentDockControl_ = nullptr;
      c->children_.clear();
      c->FreeZones();
      if (!dynamic_cast<TdxDockSite*>(c)) {
        c->dockType_ = dtNone;
        c->SetParent(nullptr);
        c->SetAlign(alNone);
      }
    }
    for (TdxCustomDockControl* c : controls) c->layoutLock_--;
    if (activeDockControl_ && activeDockControl_->ParentForm() == form) activeDockControl_ = nullptr;
    for (TdxCustomDockControl* c : controls)
      if (IsCreatedSite(c)) c->Free();
    for (const String& r : roots) LoadControlLayout(store, form, r, nullptr);
    for (TdxCustomDockControl* c : std::vector<TdxCustomDockControl*>(dockControls_))
      if (c->ParentForm() == form && !c->ParentDockControl() && !c->IsDestroying()) c->UpdateLayout();
  } catch (...) {
    EndUpdateNC();
    throw;
  }
  EndUpdateNC();
}

void TdxDockingController::SaveLayoutToIniFile(const String& fileName, TCustomForm* form) {
  TMemIniFile store(fileName);
  store.Clear();
  SaveLayoutToIniFile(&store, form);
  store.UpdateFile();
}

void TdxDockingController::LoadLayoutFromIniFile(const String& fileName, TCustomForm* form) {
  { TFileStream probe(fileName, fmOpenRead); }  // the platform's open error for a missing file
  TMemIniFile store(fileName);
  LoadLayoutFromIniFile(&store, form);
}
