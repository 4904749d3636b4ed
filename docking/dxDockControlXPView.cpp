// The XP view's metrics, which follow the tab visual style when it is available.
#include "docking/dxDockControlXPView.h"

#include <algorithm>

#include "foundation/dxThemeManager.h"

KORVAN_IMPLEMENT_CLASS(TdxDockControlXPPainter)

bool TdxDockControlXPPainter::TabStyleAvailable() { return OpenThemeCached(tcTab) != 0; }

bool TdxDockControlXPPainter::CanVerticalCaption() {
  return TabStyleAvailable() ? false : TdxDockControlPainter::CanVerticalCaption();
}

Integer TdxDockControlXPPainter::GetCaptionButtonSize() {
  return TabStyleAvailable() ? 14 : TdxDockControlPainter::GetCaptionButtonSize();
}

Integer TdxDockControlXPPainter::GetCaptionHeight() {
  return TabStyleAvailable() ? std::max(FontSize() + 14, GetImageHeight() + 4) : TdxDockControlPainter::GetCaptionHeight();
}
