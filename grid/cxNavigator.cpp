#include "grid/cxNavigator.h"

#include <algorithm>

#include "foundation/cxClasses.h"
#include "rtl/TypInfo.h"
#include "vcl/ImgList.h"

KORVAN_IMPLEMENT_CLASS(TcxNavigatorControlNotifier)

void TcxNavigatorControlNotifier::AddNavigator(IcxNavigatorOwner* navigator) {
  if (navigator && std::find(list_.begin(), list_.end(), navigator) == list_.end()) list_.push_back(navigator);
}

void TcxNavigatorControlNotifier::RemoveNavigator(IcxNavigatorOwner* navigator) {
  list_.erase(std::remove(list_.begin(), list_.end(), navigator), list_.end());
}

void TcxNavigatorControlNotifier::RefreshNavigatorButtons() {
  // A navigator may detach itself while refreshing: walk a copy and skip the ones gone.
  std::vector<IcxNavigatorOwner*> copy = list_;
  for (IcxNavigatorOwner* n : copy)
    if (std::find(list_.begin(), list_.end(), n) != list_.end()) n->RefreshNavigator();
}

// ---- the buttons --------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxNavigatorButton) {
  using B = TcxNavigatorButton;
  p.Bool("Enabled", &B::Enabled, &B::SetEnabled).Default(true);
  p.Str("Hint", &B::Hint, &B::SetHint);
  p.Int("ImageIndex", &B::ImageIndex, &B::SetImageIndex).Default(-1);
  p.Bool("Visible", &B::Visible, &B::SetVisible).Stored(&B::IsVisibleStored);
}
KORVAN_IMPLEMENT_CLASS(TcxCustomNavigatorButtons)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxNavigatorControlButtons) {
  using B = TcxNavigatorControlButtons;
#define KORVAN_PUBLISH_BUTTON(Name) \
  p.Object(#Name, &B::Name, &B::Set##Name, TcxNavigatorButton::StaticClass());
  KORVAN_PUBLISH_BUTTON(First)
  KORVAN_PUBLISH_BUTTON(PriorPage)
  KORVAN_PUBLISH_BUTTON(Prior)
  KORVAN_PUBLISH_BUTTON(Next)
  KORVAN_PUBLISH_BUTTON(NextPage)
  KORVAN_PUBLISH_BUTTON(Last)
  KORVAN_PUBLISH_BUTTON(Insert)
  KORVAN_PUBLISH_BUTTON(Delete)
  KORVAN_PUBLISH_BUTTON(Edit)
  KORVAN_PUBLISH_BUTTON(Post)
  KORVAN_PUBLISH_BUTTON(Cancel)
  KORVAN_PUBLISH_BUTTON(Refresh)
  KORVAN_PUBLISH_BUTTON(SaveBookmark)
  KORVAN_PUBLISH_BUTTON(GotoBookmark)
  KORVAN_PUBLISH_BUTTON(Filter)
#undef KORVAN_PUBLISH_BUTTON
  p.Bool("ConfirmDelete", &B::ConfirmDelete, &B::SetConfirmDelete).Default(true);
  p.Object("Images", &B::Images, &B::SetImages, TCustomImageList::StaticClass());
}

namespace {

const TcxResourceStringRec kNavigatorHints[NavigatorButtonCount] = {
    {"cxNavigatorHint_First", "First record"},     {"cxNavigatorHint_PriorPage", "Prior page"},
    {"cxNavigatorHint_Prior", "Prior record"},     {"cxNavigatorHint_Next", "Next record"},
    {"cxNavigatorHint_NextPage", "Next page"},     {"cxNavigatorHint_Last", "Last record"},
    {"cxNavigatorHint_Insert", "Insert record"},   {"cxNavigatorHint_Delete", "Delete record"},
    {"cxNavigatorHint_Edit", "Edit record"},       {"cxNavigatorHint_Post", "Post edit"},
    {"cxNavigatorHint_Cancel", "Cancel edit"},     {"cxNavigatorHint_Refresh", "Refresh data"},
    {"cxNavigatorHint_SaveBookmark", "Save Bookmark"}, {"cxNavigatorHint_GotoBookmark", "Goto Bookmark"},
    {"cxNavigatorHint_Filter", "Filter data"},
};

}  // namespace

void TcxNavigatorButton::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxNavigatorButton*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  SetEnabled(s->enabled_);
  SetHint(s->hint_);
  SetImageIndex(s->imageIndex_);
  SetVisible(s->visible_);
  visibleAssigned_ = s->visibleAssigned_;
  SetOnClick(s->onClick_);
}

TPersistent* TcxNavigatorButton::GetOwner() const { return buttons_; }

void TcxNavigatorButton::Changed(bool refresh, Integer kind) {
  if (refresh) buttons_->RefreshNavigator();
  buttons_->NavigatorChanged(kind);
}

void TcxNavigatorButton::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  if (visible_) Changed(true, 2);
}

void TcxNavigatorButton::SetHint(const String& v) {
  if (hint_ == v) return;
  hint_ = v;
  Changed(false, 0);
}

void TcxNavigatorButton::SetImageIndex(Integer v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  if (visible_) Changed(true, 2);
}

void TcxNavigatorButton::SetVisible(bool v) {
  visibleAssigned_ = true;
  if (visible_ == v) return;
  visible_ = v;
  Changed(true, 1);
}

void TcxNavigatorButton::SetOnClick(const TNotifyEvent& v) {
  onClick_ = v;
  Changed(false, 0);
}

TcxCustomNavigatorButtons::TcxCustomNavigatorButtons(IcxNavigatorOwner* owner) : owner_(owner) {
  imageChangeLink_ = new TChangeLink();
  imageChangeLink_->OnChange = [this](TObject*) { RefreshNavigator(); };
  imagesNotificator_ = new TcxFreeNotificator();
  imagesNotificator_->OnComponentFreed = [this](TComponent* c) {
    if (c == images_) {
      images_ = nullptr;
      RefreshNavigator();
    }
  };
  CreateButtons();
}

TcxCustomNavigatorButtons::~TcxCustomNavigatorButtons() {
  DestroyButtons();
  if (images_) images_->UnRegisterChanges(imageChangeLink_);
  delete imagesNotificator_;
  delete imageChangeLink_;
}

TPersistent* TcxCustomNavigatorButtons::GetOwner() const {
  return owner_ ? owner_->GetNavigatorOwner() : nullptr;
}

void TcxCustomNavigatorButtons::CreateButtons() {
  for (Integer i = 0; i < NavigatorButtonCount; ++i) buttons_.push_back(new TcxNavigatorButton(this, i));
}

void TcxCustomNavigatorButtons::DestroyButtons() {
  for (TcxNavigatorButton* b : buttons_) delete b;
  buttons_.clear();
}

void TcxCustomNavigatorButtons::AssignFrom(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomNavigatorButtons*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  for (Integer i = 0; i < std::min(ButtonCount(), s->ButtonCount()); ++i) Buttons(i)->Assign(s->Buttons(i));
  SetConfirmDelete(s->confirmDelete_);
  SetImages(s->images_);
  OnButtonClick = s->OnButtonClick;
}

bool TcxCustomNavigatorButtons::IsButtonEnabled(Integer) {
  TWinControl* control = owner_ ? owner_->GetNavigatorControl() : nullptr;
  return control && control->Enabled();
}

void TcxCustomNavigatorButtons::GetButtonHint(Integer index, String& text) {
  if (index >= 0 && index < NavigatorButtonCount) text = LoadReplaceableResString(kNavigatorHints[index]);
}

void TcxCustomNavigatorButtons::SetConfirmDelete(bool v) {
  if (confirmDelete_ == v) return;
  confirmDelete_ = v;
  NavigatorChanged(0);
}

void TcxCustomNavigatorButtons::SetImages(TCustomImageList* v) {
  if (images_ == v) return;
  if (images_) {
    images_->UnRegisterChanges(imageChangeLink_);
    imagesNotificator_->UnwatchComponent(images_);
  }
  images_ = v;
  if (images_) {
    images_->RegisterChanges(imageChangeLink_);
    imagesNotificator_->WatchComponent(images_);
  }
  RefreshNavigator();
}

void TcxCustomNavigatorButtons::RefreshNavigator() {
  if (owner_) owner_->RefreshNavigator();
}

void TcxCustomNavigatorButtons::NavigatorChanged(Integer kind) {
  if (owner_) owner_->NavigatorChanged(kind);
}

void TcxNavigatorControlButtons::PerformButtonAction(Integer index) {
  IcxNavigator* navigator = Navigator();
  if (!navigator) return;
  navigator->DoAction(index);
  if (NavigatorOwner()) NavigatorOwner()->NavigatorStateChanged();
}

bool TcxNavigatorControlButtons::IsButtonEnabled(Integer index) {
  IcxNavigator* n = Navigator();
  if (!n || !TcxCustomNavigatorButtons::IsButtonEnabled(index)) return false;
  if (index == NBDI_FILTER) return true;
  if (!n->IsActive()) return false;
  switch (index) {
    case NBDI_FIRST:
    case NBDI_PRIORPAGE:
    case NBDI_PRIOR: return !n->IsBof();
    case NBDI_NEXT:
    case NBDI_NEXTPAGE:
    case NBDI_LAST: return !n->IsEof();
    case NBDI_INSERT: return n->CanInsert();
    case NBDI_DELETE: return n->CanDelete();
    case NBDI_EDIT: return n->CanEdit() && !n->IsEditing();
    case NBDI_POST:
    case NBDI_CANCEL: return n->IsEditing();
    case NBDI_GOTOBOOKMARK: return n->IsBookmarkAvailable();
    default: return true;
  }
}

void TcxNavigatorControlButtons::ReleaseBookmark() {
  if (IcxNavigator* n = Navigator(); n && n->IsBookmarkAvailable()) n->ClearBookmark();
}
