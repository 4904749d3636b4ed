#include "vcl/ActnList.h"

#include <algorithm>

#include "rtl/TypInfo.h"
#include "vcl/Forms.h"

KORVAN_IMPLEMENT_CLASS(TBasicAction)
KORVAN_IMPLEMENT_CLASS(TBasicActionLink)
KORVAN_IMPLEMENT_CLASS(TCustomAction)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TAction) {
  p.Str("Caption", &TAction::Caption, &TAction::SetCaption);
  p.Bool("Checked", &TAction::Checked, &TAction::SetChecked).Default(false);
  p.Bool("Enabled", &TAction::Enabled, &TAction::SetEnabled).Default(true);
  p.Str("Hint", &TAction::Hint, &TAction::SetHint);
  p.Bool("Visible", &TAction::Visible, &TAction::SetVisible).Default(true);
  p.Bool("AutoCheck", &TAction::AutoCheck, &TAction::SetAutoCheck).Default(false);
  p.Event<TNotifyEvent>("OnExecute", static_cast<TNotifyEvent TAction::*>(&TBasicAction::OnExecute));
  p.Event<TNotifyEvent>("OnUpdate", static_cast<TNotifyEvent TAction::*>(&TBasicAction::OnUpdate));
}
KORVAN_IMPLEMENT_CLASS(TActionLink)
KORVAN_IMPLEMENT_CLASS(TControlActionLink)
KORVAN_IMPLEMENT_CLASS(TWinControlActionLink)

// ---- TBasicAction ---------------------------------------------------------------------------------

TBasicAction::~TBasicAction() {
  // The links outlive the action (their clients free them): they forget it.
  for (TBasicActionLink* link : clients_) link->action_ = nullptr;
  clients_.clear();
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) {
  if (std::find(clients_.begin(), clients_.end(), link) == clients_.end()) clients_.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), link), clients_.end());
}

void TBasicAction::Change() {
  if (OnChange) OnChange(this);
  // A client may unlink itself while told: walk a copy.
  const std::vector<TBasicActionLink*> links = clients_;
  for (TBasicActionLink* link : links)
    if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) link->Change();
}

// ---- TBasicActionLink --------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() {
  if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* v) {
  if (v == action_) return;
  if (action_) action_->UnRegisterChanges(this);
  action_ = v;
  if (action_) action_->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* component) {
  if (!action_) return false;
  TWeakRef<TBasicAction> alive(action_);
  action_->SetActionComponent(component);
  bool result = false;
  try {
    result = action_->Execute();
  } catch (...) {
    if (alive) alive->SetActionComponent(nullptr);
    throw;
  }
  if (alive) alive->SetActionComponent(nullptr);
  return result;
}

bool TBasicActionLink::Update() { return action_ && action_->Update(); }

// ---- TCustomAction --------------------------------------------------------------------------------

bool TCustomAction::Execute() {
  Update();
  if (!enabled_) return false;
  if (autoCheck_) SetChecked(!checked_);
  if (TBasicAction::Execute()) return true;
  return DispatchActionToFocus(this, true);
}

bool TCustomAction::Update() {
  if (TBasicAction::Update()) return true;
  return DispatchActionToFocus(this, false);
}

// Each linked client that follows the property takes the new value; the followers are found
// before the value changes (a follower's value equals the old one).
template <class V, class L, class S>
void TCustomAction::SetLinked(V& field, const V& v, L isLinked, S apply) {
  if (field == v) return;
  std::vector<TActionLink*> linked;
  for (TBasicActionLink* link : clients_)
    if (auto* l = dynamic_cast<TActionLink*>(link); l && (l->*isLinked)()) linked.push_back(l);
  field = v;
  for (TActionLink* l : linked)
    if (std::find(clients_.begin(), clients_.end(), l) != clients_.end()) (l->*apply)(v);
  Change();
}

void TCustomAction::SetCaption(const String& v) {
  SetLinked(caption_, v, &TActionLink::IsCaptionLinked, &TActionLink::SetCaption);
}
void TCustomAction::SetChecked(bool v) {
  SetLinked(checked_, v, &TActionLink::IsCheckedLinked, &TActionLink::SetChecked);
}
void TCustomAction::SetEnabled(bool v) {
  SetLinked(enabled_, v, &TActionLink::IsEnabledLinked, &TActionLink::SetEnabled);
}
void TCustomAction::SetHint(const String& v) {
  SetLinked(hint_, v, &TActionLink::IsHintLinked, &TActionLink::SetHint);
}
void TCustomAction::SetVisible(bool v) {
  SetLinked(visible_, v, &TActionLink::IsVisibleLinked, &TActionLink::SetVisible);
}

// ---- TControlActionLink -----------------------------------------------------------------------

namespace {
TCustomAction* CustomActionOf(TBasicAction* a) { return dynamic_cast<TCustomAction*>(a); }
}

bool TControlActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && client_ && client_->Caption() == CustomActionOf(action_)->Caption();
}
bool TControlActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && client_ && client_->Enabled() == CustomActionOf(action_)->Enabled();
}
bool TControlActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && client_ && client_->Hint() == CustomActionOf(action_)->Hint();
}
bool TControlActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && client_ && client_->Visible() == CustomActionOf(action_)->Visible();
}
void TControlActionLink::SetCaption(const String& v) {
  if (IsCaptionLinked()) client_->SetCaption(v);
}
void TControlActionLink::SetEnabled(bool v) {
  if (IsEnabledLinked()) client_->SetEnabled(v);
}
void TControlActionLink::SetHint(const String& v) {
  if (IsHintLinked()) client_->SetHint(v);
}
void TControlActionLink::SetVisible(bool v) {
  if (IsVisibleLinked()) client_->SetVisible(v);
}

// ---- the control's side -----------------------------------------------------------------------------

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* v) {
  if (v == nullptr) {
    if (!actionLink_) return;
    TBasicAction* old = actionLink_->Action();
    TControlActionLink* link = actionLink_;
    actionLink_ = nullptr;
    link->Free();
    if (old && !ComponentState().Contains(csDestroying)) old->RemoveFreeNotification(this);
    return;
  }
  if (v == Action()) return;
  if (actionLink_) {
    if (TBasicAction* old = actionLink_->Action()) old->RemoveFreeNotification(this);
  } else {
    actionLink_ = CreateActionLink();
  }
  actionLink_->SetAction(v);
  actionLink_->OnChange = [this](TObject* sender) {
    if (actionLink_ && sender == actionLink_ && actionLink_->Action())
      ActionChange(actionLink_->Action(), false);
  };
  ActionChange(v, ComponentState().Contains(csLoading));
  v->FreeNotification(this);
}

TControlActionLink* TControl::CreateActionLink() { return new TControlActionLink(this); }

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(sender);
  if (!a) return;
  if (!checkDefaults || Caption().empty() || Caption() == Name()) SetCaption(a->Caption());
  if (!checkDefaults || Enabled()) SetEnabled(a->Enabled());
  if (!checkDefaults || Hint().empty()) SetHint(a->Hint());
  if (!checkDefaults || Visible()) SetVisible(a->Visible());
}

bool TControl::ExecuteAction(TBasicAction* action) {
  if (!action || !action->HandlesTarget(this)) return false;
  action->ExecuteTarget(this);
  return true;
}

bool TControl::UpdateAction(TBasicAction* action) {
  if (!action || !action->HandlesTarget(this)) return false;
  action->UpdateTarget(this);
  return true;
}

void TControl::InitiateAction() {
  if (actionLink_) actionLink_->Update();
}

bool DispatchActionToFocus(TBasicAction* action, bool execute) {
  if (!Screen || !action) return false;
  auto offer = [&](TControl* c) { return execute ? c->ExecuteAction(action) : c->UpdateAction(action); };
  for (TControl* c = Screen->ActiveControl(); c; c = c->Parent())
    if (offer(c)) return true;
  if (TCustomForm* f = Screen->ActiveCustomForm()) return offer(f);
  return false;
}

void InitializeActnList() {
  InitUnit("ActnList", [] {
    InitializeControls();
    RegisterClass(TAction::StaticClass());
  });
}
