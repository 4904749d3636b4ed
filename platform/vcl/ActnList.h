// Actions: a command object (TBasicAction, TCustomAction with caption, checked, enabled, hint
// and visible state) that controls link to through action links. A change of the action
// reaches every linked client whose property still matches the action's (the link's IsXLinked
// tests); executing a control with a linked action runs the action.
#pragma once

#include <vector>

#include "vcl/Controls.h"

class TBasicActionLink;

class TBasicAction : public TComponent {
  KORVAN_CLASS(TBasicAction, TComponent)

 public:
  using CreateArgType = TComponent*;
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
  ~TBasicAction() override;

  // Runs OnExecute; True when it ran (the action was handled).
  virtual bool Execute();
  // Runs OnUpdate; True when it ran.
  virtual bool Update();
  // Whether the action can act on a target (a control asked through ExecuteAction).
  virtual bool HandlesTarget(TObject* target) { return false; }
  virtual void ExecuteTarget(TObject* target) {}
  virtual void UpdateTarget(TObject* target) {}
  // The client that runs the action (set by a link while executing).
  TComponent* ActionComponent() const { return actionComponent_; }
  void SetActionComponent(TComponent* v) { actionComponent_ = v; }
  void RegisterChanges(TBasicActionLink* link);
  void UnRegisterChanges(TBasicActionLink* link);
  Integer ClientCount() const { return Integer(clients_.size()); }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  // Called when the action changes (OnChange of the links runs for each client too).
  TNotifyEvent OnChange;

 protected:
  void Change();
  std::vector<TBasicActionLink*> clients_;

 private:
  TComponent* actionComponent_ = nullptr;
};

// A client's link to an action: it keeps the client registered with the action and carries
// the action's changes to the client.
class TBasicActionLink : public TObject {
  KORVAN_CLASS(TBasicActionLink, TObject)

 public:
  explicit TBasicActionLink(TObject* client) { AssignClient(client); }
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return action_; }
  virtual void SetAction(TBasicAction* v);
  // Runs the action on behalf of a component.
  virtual bool Execute(TComponent* component = nullptr);
  virtual bool Update();
  virtual void Change() {
    if (OnChange) OnChange(this);
  }
  TNotifyEvent OnChange;

 protected:
  virtual void AssignClient(TObject* client) {}
  friend class TBasicAction;
  TBasicAction* action_ = nullptr;
};

// An action with the state that controls mirror. Execute runs only while enabled; AutoCheck
// toggles Checked first. Without an OnExecute handler the action is offered to the focused
// control and its parents, then to the active form (ExecuteAction).
class TCustomAction : public TBasicAction {
  KORVAN_CLASS(TCustomAction, TBasicAction)

 public:
  explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}
  bool Execute() override;
  bool Update() override;

  String Caption() const { return caption_; }
  void SetCaption(const String& v);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  String Hint() const { return hint_; }
  void SetHint(const String& v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool v) { autoCheck_ = v; }

 private:
  template <class V, class L, class S>
  void SetLinked(V& field, const V& v, L isLinked, S apply);
  String caption_;
  bool checked_ = false;
  bool enabled_ = true;
  String hint_;
  bool visible_ = true;
  bool autoCheck_ = false;
};

class TAction : public TCustomAction {
  KORVAN_CLASS(TAction, TCustomAction)

 public:
  using TCustomAction::TCustomAction;
};

// A link that carries the state of a TCustomAction: each IsXLinked tells whether the client's
// property follows the action (it still equals the action's value), each SetX applies a new
// value to a client that follows.
class TActionLink : public TBasicActionLink {
  KORVAN_CLASS(TActionLink, TBasicActionLink)

 public:
  using TBasicActionLink::TBasicActionLink;
  virtual bool IsCaptionLinked() { return dynamic_cast<TCustomAction*>(action_) != nullptr; }
  virtual bool IsCheckedLinked() { return dynamic_cast<TCustomAction*>(action_) != nullptr; }
  virtual bool IsEnabledLinked() { return dynamic_cast<TCustomAction*>(action_) != nullptr; }
  virtual bool IsHintLinked() { return dynamic_cast<TCustomAction*>(action_) != nullptr; }
  virtual bool IsVisibleLinked() { return dynamic_cast<TCustomAction*>(action_) != nullptr; }
  virtual void SetCaption(const String& v) {}
  virtual void SetChecked(bool v) {}
  virtual void SetEnabled(bool v) {}
  virtual void SetHint(const String& v) {}
  virtual void SetVisible(bool v) {}
};

class TControlActionLink : public TActionLink {
  KORVAN_CLASS(TControlActionLink, TActionLink)

 public:
  explicit TControlActionLink(TObject* client) : TActionLink(client) { AssignClient(client); }
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  void SetCaption(const String& v) override;
  void SetEnabled(bool v) override;
  void SetHint(const String& v) override;
  void SetVisible(bool v) override;

 protected:
  void AssignClient(TObject* client) override { client_ = dynamic_cast<TControl*>(client); }
  TControl* client_ = nullptr;
};

class TWinControlActionLink : public TControlActionLink {
  KORVAN_CLASS(TWinControlActionLink, TControlActionLink)

 public:
  using TControlActionLink::TControlActionLink;
};

// Offers an action to the focused control and its parents, then to the active form; True
// when one of them handled it (ExecuteAction, or UpdateAction when `execute` is false).
bool DispatchActionToFocus(TBasicAction* action, bool execute);

void InitializeActnList();
