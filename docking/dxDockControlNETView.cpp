// The NET view's metrics and manager defaults.
#include "docking/dxDockControlNETView.h"

#include <algorithm>

KORVAN_IMPLEMENT_CLASS(TdxDockControlNETPainter)

void TdxDockControlNETPainter::InitManagerFont(TdxDockingManager* manager) {
  TdxDockControlPainter::InitManagerFont(manager);
  manager->Font()->SetName("Tahoma");
}

Integer TdxDockControlNETPainter::GetTabsHeight() {
  return std::max(FontSize() + 16, 4 * GetTabVertOffset() + GetImageHeight() + 4);
}

Integer TdxDockControlNETPainter::GetHideBarHeight() {
  return std::max(FontSize() + 16, 2 * GetHideBarVertInterval() + GetImageHeight() + 4);
}

Integer TdxDockControlNETPainter::GetHideBarWidth() {
  return std::max(FontSize() + 16, 2 * GetHideBarVertInterval() + GetImageWidth() + 4);
}
