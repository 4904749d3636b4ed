#include "grid/cxNavigator.h"

#include <algorithm>

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
