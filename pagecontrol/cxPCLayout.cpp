// The tab layout: normal sizes from the painter, one scrolling line with navigator buttons or
// several balanced rows, rotation, the display order of rows and the tab areas.
#include <algorithm>
#include <cmath>

#include "pagecontrol/cxPC.h"
#include "pagecontrol/cxPCConsts.h"

using namespace cxpc_consts;

namespace {

// A row of a group being balanced: visible indexes first..last.
struct TRowInterval {
  Integer First, Last;
};

}  // namespace

bool TcxCustomTabControl::IsTabsReversed() const {
  bool topToBottom = options_.Contains(pcoTopToBottomText);
  if (IsVerticalStrip()) return !rotate_ && !topToBottom;
  return rotate_ && topToBottom;
}

void TcxCustomTabControl::LayoutChanged() {
  if (ComponentState().Contains(csLoading) || IsBeingDestroyed() || layoutInProgress_ || !painter_) return;
  layoutInProgress_ = true;
  try {
    painter_->PrepareToPaint();
    Integer minWidth = painter_->GetMinTabWidth(-1);
    if (maxRotatedTabWidth_ > 0 && maxRotatedTabWidth_ < minWidth) maxRotatedTabWidth_ = minWidth;
    for (Integer i = 0; i < tabs_->Count(); ++i) tabs_->Tabs(i)->VerticalTextBitmap.reset();
    CalculateTabsLayout();
    TcxPCImageRotation rotation = irNone;
    if (!painter_->IsNativePainting() && IsVerticalText())
      rotation = options_.Contains(pcoTopToBottomText) ? irTopToBottom : irBottomToTop;
    images_->SetRotation(rotation);
    if (!ComponentState().Contains(csDestroying)) Realign();
    Invalidate();
    if (TWinControl* page = GetPageOfMainTab()) page->Invalidate();
    SetMainTabFromTabIndex();
    UpdateButtonsState();
    UpdateHotTracking();
  } catch (...) {
    layoutInProgress_ = false;
    throw;
  }
  layoutInProgress_ = false;
}

void TcxCustomTabControl::CalculateTabNormalSizes() {
  if (tabs_->Count() == 0) RaisePCError("TcxCustomTabControl", "CalculateTabNormalSizes", scxPCTabCountEqualsZero);
  tabs_->TabNormalHeight = painter_->GetTabNormalHeight();
  for (Integer i = 0; i < tabs_->Count(); ++i) {
    TcxTab* tab = tabs_->Tabs(i);
    tab->NormalWidth = tab->Visible() ? painter_->CalculateTabNormalWidth(tab) : 0;
  }
}

void TcxCustomTabControl::CalculateTabsLayout() {
  startTabArea_ = endTabArea_ = TRect();
  Integer vc = visibleTabs_.Count();
  if (firstVisibleTab_ == -1 && vc > 0) firstVisibleTab_ = 0;
  firstVisibleTab_ = std::min(firstVisibleTab_, vc - 1);
  lastVisibleTab_ = firstVisibleTab_;
  if (hotTab_ >= vc) hotTab_ = -1;
  if (mainTab_ >= vc) mainTab_ = -1;
  if (pressedTab_ >= vc) pressedTab_ = -1;
  if (trackingTab_ >= vc) trackingTab_ = -1;
  rowCount_ = 0;
  rowsAtStart_ = 0;
  tabIndex_ = std::min(tabIndex_, tabs_->Count() - 1);
  allTabsFit_ = true;
  if (vc == 0) {
    navigatorButtons_.Clear();
    painter_->CalculateTabsArea(navigatorButtons_, tabsArea_);
    return;
  }
  CalculateTabNormalSizes();
  if (multiLine_)
    CalculateMultiLine();
  else
    CalculateSingleLine();
}

static TPoint TabGaps(TcxPCCustomPainter* painter, bool rotate) {
  TPoint d = painter->GetTabsDistance();
  if (rotate) std::swap(d.X, d.Y);
  return d;
}

bool TcxCustomTabControl::PlaceTabsInLine(Integer first, Integer last, bool stopAtEnd, Integer) {
  Integer gap = TabGaps(painter_, rotate_).X;
  bool reversed = IsTabsReversed();
  Integer pos = reversed ? tabsArea_.AlongEnd : tabsArea_.AlongStart;
  Integer placed = first;
  for (Integer i = first; i <= last; ++i) {
    TcxTab* tab = VisibleTabs(i);
    Integer len = tab->Length();
    if (reversed) {
      tab->LayoutOrigin.X = pos - len;
      pos -= len + gap;
    } else {
      tab->LayoutOrigin.X = pos;
      pos += len + gap;
    }
    placed = i;
    if (stopAtEnd && i < last && (reversed ? pos <= tabsArea_.AlongStart : pos >= tabsArea_.AlongEnd)) break;
  }
  lastVisibleTab_ = placed;
  TcxTab* lastTab = VisibleTabs(placed);
  bool inside = reversed ? lastTab->LayoutOrigin.X >= tabsArea_.AlongStart
                         : lastTab->LayoutOrigin.X + lastTab->Length() <= tabsArea_.AlongEnd;
  return placed == last && inside;
}

void TcxCustomTabControl::CalculateSingleLine() {
  Integer vc = visibleTabs_.Count();
  rowCount_ = 1;
  rowsAtStart_ = tabPosition_ == tpTop || tabPosition_ == tpLeft ? 1 : 0;
  for (Integer i = 0; i < tabs_->Count(); ++i) tabs_->Tabs(i)->Row = tabs_->Tabs(i)->VisibleRow = 0;
  Integer remembered = firstVisibleTab_;
  firstVisibleTab_ = 0;
  TcxPCNavigatorButtons buttons;
  if (options_.Contains(pcoCloseButton)) buttons += nbClose;
  navigatorButtons_ = buttons;
  painter_->CalculateTabsArea(buttons, tabsArea_);
  auto noStrip = [&] {
    rowCount_ = 0;
    rowsAtStart_ = 0;
    lastVisibleTab_ = firstVisibleTab_;
  };
  if (tabsArea_.Length() <= 0) return noStrip();
  allTabsFit_ = PlaceTabsInLine(0, vc - 1, false, 0);
  if (!allTabsFit_) {
    firstVisibleTab_ = std::clamp(remembered, 0, vc - 1);
    if (!options_.Contains(pcoNoArrows)) buttons += TcxPCNavigatorButtons{nbTopLeft, nbBottomRight};
    if (options_.Contains(pcoGoDialog)) buttons += nbGoDialog;
    navigatorButtons_ = buttons;
    painter_->CalculateTabsArea(buttons, tabsArea_);
    if (tabsArea_.Length() <= 0) return noStrip();
    allTabsFit_ = PlaceTabsInLine(firstVisibleTab_, vc - 1, true, 0);
    if (allTabsFit_) {
      // Scrolled to the end: scroll back while the remaining tabs still fit.
      while (firstVisibleTab_ > 0) {
        --firstVisibleTab_;
        if (!PlaceTabsInLine(firstVisibleTab_, vc - 1, true, 0)) {
          ++firstVisibleTab_;
          allTabsFit_ = PlaceTabsInLine(firstVisibleTab_, vc - 1, true, 0);
          break;
        }
      }
    }
  }
  hotButtons_ = hotButtons_ * navigatorButtons_;
  pressedButtons_ = pressedButtons_ * navigatorButtons_;
  CalculateRotatedTabWidth();
  PlaceRows();
  CalculateTabAreas();
}

void TcxCustomTabControl::CalculateMultiLine() {
  navigatorButtons_.Clear();
  painter_->CalculateTabsArea(navigatorButtons_, tabsArea_);
  Integer length = tabsArea_.Length();
  if (length <= 0) {
    rowCount_ = 0;
    return;
  }
  Integer gap = TabGaps(painter_, rotate_).X;
  ArrangeTabRows(length, gap);
  if (rowCount_ == 1) {
    CalculateSingleLine();
    return;
  }
  PlaceTabsInRows(length, gap);
  firstVisibleTab_ = 0;
  lastVisibleTab_ = visibleTabs_.Count() - 1;
  allTabsFit_ = true;
  CalculateRotatedTabWidth();
  AssignVisibleRows();
  PlaceRows();
  CalculateTabAreas();
}

void TcxCustomTabControl::ArrangeTabRows(Integer length, Integer gap) {
  Integer vc = visibleTabs_.Count();
  rowCount_ = 1;
  Integer used = 0;
  Integer groupStart = 0;
  auto spansRows = [&](Integer first, Integer last) {
    return last > first && VisibleTabs(first)->Row != VisibleTabs(last)->Row;
  };
  for (Integer i = 0; i < vc; ++i) {
    TcxTab* tab = VisibleTabs(i);
    Integer w = tab->Length();
    if (w < length) {
      if (used + w > length) {
        ++rowCount_;
        used = w + gap;
      } else {
        used += w + gap;
      }
      tab->Row = rowCount_ - 1;
      continue;
    }
    // An oversized tab takes a row of its own.
    if (used > 0) {
      ++rowCount_;
      used = 0;
    }
    if (spansRows(groupStart, i - 1)) BalanceTabRows(groupStart, i - 1, length, gap);
    if (!rotate_ && painter_->GetMinTabWidth(i) < length) tab->NormalWidth = length;
    tab->Row = rowCount_ - 1;
    if (i < vc - 1) ++rowCount_;
    groupStart = i + 1;
  }
  if (vc - groupStart >= 2 && spansRows(groupStart, vc - 1)) BalanceTabRows(groupStart, vc - 1, length, gap);
}

void TcxCustomTabControl::BalanceTabRows(Integer firstVisible, Integer lastVisible, Integer length, Integer gap) {
  if (rotate_ && raggedRight_) return;
  std::vector<TRowInterval> rows;
  for (Integer i = firstVisible; i <= lastVisible; ++i) {
    if (rows.empty() || VisibleTabs(i)->Row != VisibleTabs(i - 1)->Row)
      rows.push_back({i, i});
    else
      rows.back().Last = i;
  }
  std::vector<Integer> lengths;
  for (Integer i = firstVisible; i <= lastVisible; ++i) lengths.push_back(VisibleTabs(i)->Length());
  auto rowLength = [&](const TRowInterval& r) {
    Integer sum = 0;
    for (Integer i = r.First; i <= r.Last; ++i) sum += lengths[size_t(i - firstVisible)];
    return sum + gap * (r.Last - r.First);
  };
  // The cost grows as 2 to the power of the free length, in extended precision: a wide
  // strip overflows a double long before it overflows this.
  auto rowCost = [&](const TRowInterval& r) { return std::ldexp(1.0L, length - rowLength(r)); };
  auto total = [&](const std::vector<TRowInterval>& rs) {
    long double sum = 0;
    for (const TRowInterval& r : rs) sum += rowCost(r);
    return sum;
  };
  // A trial move on row i: -1 takes the last tab of the row before, +1 the first tab of the
  // row after; accepted when row i's cost falls and its length stays within the strip.
  auto trial = [&](std::vector<TRowInterval>& rs, size_t i, Integer direction) {
    std::vector<TRowInterval> copy = rs;
    if (direction < 0) {
      if (i < 1 || copy[i - 1].First == copy[i - 1].Last) return false;
      --copy[i - 1].Last;
      --copy[i].First;
    } else {
      if (i + 1 >= copy.size() || copy[i + 1].First == copy[i + 1].Last) return false;
      ++copy[i].Last;
      ++copy[i + 1].First;
    }
    if (rowLength(copy[i]) > length || !(rowCost(copy[i]) < rowCost(rs[i]))) return false;
    rs = std::move(copy);
    return true;
  };
  auto fillFromEnd = [&] {
    long double before = total(rows);
    std::vector<TRowInterval> copy = rows;
    for (size_t r = copy.size(); r-- > 0;) {
      for (;;) {
        std::vector<TRowInterval> next = copy;
        if (!trial(next, r, -1) || total(next) > total(copy)) break;
        copy = std::move(next);
      }
      if (total(copy) < before) {
        rows = copy;
        return true;
      }
    }
    return false;
  };
  auto shift = [&](Integer direction) {
    long double current = total(rows);
    for (size_t r = 0; r < rows.size(); ++r) {
      std::vector<TRowInterval> copy = rows;
      if (trial(copy, r, direction) && total(copy) < current) {
        rows = std::move(copy);
        return true;
      }
    }
    return false;
  };
  // Every success lowers the total, so the passes end; the bound guards against rounding.
  for (Integer guard = 0; guard < 100000; ++guard)
    if (!fillFromEnd() && !shift(+1) && !shift(-1)) break;
  Integer firstRow = VisibleTabs(firstVisible)->Row;
  for (size_t r = 0; r < rows.size(); ++r)
    for (Integer i = rows[r].First; i <= rows[r].Last; ++i) VisibleTabs(i)->Row = firstRow + Integer(r);
}

void TcxCustomTabControl::PlaceTabsInRows(Integer length, Integer gap) {
  Integer vc = visibleTabs_.Count();
  Integer first = 0;
  while (first < vc) {
    Integer last = first;
    while (last + 1 < vc && VisibleTabs(last + 1)->Row == VisibleTabs(first)->Row) ++last;
    if (!rotate_ && !raggedRight_) {
      Integer rowLength = gap * (last - first), widths = 0;
      for (Integer i = first; i <= last; ++i) {
        rowLength += VisibleTabs(i)->Length();
        widths += VisibleTabs(i)->NormalWidth;
      }
      Integer free = length - rowLength;
      if (free > 0 && widths > 0) {
        Integer added = 0;
        for (Integer i = first; i < last; ++i) {
          TcxTab* tab = VisibleTabs(i);
          Integer add = Integer(Int64(tab->NormalWidth) * free / widths);
          tab->NormalWidth += add;
          added += add;
        }
        VisibleTabs(last)->NormalWidth += free - added;
      }
    }
    Integer keepLast = lastVisibleTab_;
    PlaceTabsInLine(first, last, true, 0);
    lastVisibleTab_ = keepLast;
    first = last + 1;
  }
}

void TcxCustomTabControl::CalculateRotatedTabWidth() {
  rowThickness_ = tabs_->TabNormalHeight;
  rotatedTextWidth_ = 0;
  if (!rotate_) return;
  Integer first = 0, last = visibleTabs_.Count() - 1;
  if (!options_.Contains(pcoFixedTabWidthWhenRotated) && !(multiLine_ && rowCount_ > 1)) {
    first = std::max(firstVisibleTab_, 0);
    last = lastVisibleTab_;
  }
  Integer widest = -1;
  for (Integer i = first; i <= last && i >= 0; ++i)
    if (widest < 0 || VisibleTabs(i)->NormalWidth > VisibleTabs(widest)->NormalWidth) widest = i;
  if (widest < 0) {
    rowThickness_ = 0;
    return;
  }
  rowThickness_ = VisibleTabs(widest)->NormalWidth;
  rotatedTextWidth_ = painter_->CaptionTextWidth(VisibleTabs(widest)->Caption());
  if (maxRotatedTabWidth_ >= 1 && maxRotatedTabWidth_ >= painter_->GetMinTabWidth(-1))
    rowThickness_ = std::min(rowThickness_, maxRotatedTabWidth_);
}

void TcxCustomTabControl::AssignVisibleRows() {
  bool topToBottom = options_.Contains(pcoTopToBottomText);
  bool reverse = IsVerticalStrip() ? (!rotate_ && topToBottom) != (tabPosition_ == tpRight)
                                   : (rotate_ && !topToBottom) != (tabPosition_ == tpBottom);
  Integer vc = visibleTabs_.Count();
  for (Integer i = 0; i < vc; ++i) {
    TcxTab* tab = VisibleTabs(i);
    tab->VisibleRow = reverse ? rowCount_ - tab->Row - 1 : tab->Row;
  }
  Integer main = visibleTabs_.IndexOf(tabIndex_);
  rowsAtStart_ = rowCount_;
  if (main >= 0) {
    Integer mainRow = VisibleTabs(main)->VisibleRow;
    if (scrollOpposite_) {
      rowsAtStart_ = mainRow + 1;
    } else if (painter_->PainterClass()->IsTabAttachedToPage()) {
      for (Integer i = 0; i < vc; ++i) {
        TcxTab* tab = VisibleTabs(i);
        tab->VisibleRow = (tab->VisibleRow + rowCount_ - mainRow - 1) % rowCount_;
      }
    }
  }
  if (tabPosition_ == tpBottom || tabPosition_ == tpRight) {
    for (Integer i = 0; i < vc; ++i) {
      TcxTab* tab = VisibleTabs(i);
      tab->VisibleRow = rowCount_ - tab->VisibleRow - 1;
    }
    rowsAtStart_ = rowCount_ - rowsAtStart_;
  }
}

void TcxCustomTabControl::PlaceRows() {
  Integer t = rowThickness_, g = TabGaps(painter_, rotate_).Y;
  for (Integer i = 0; i < visibleTabs_.Count(); ++i) {
    TcxTab* tab = VisibleTabs(i);
    Integer r = tab->VisibleRow;
    if (r < rowsAtStart_) {
      tab->LayoutOrigin.Y = tabsArea_.AcrossStart + r * (t + g);
    } else {
      Integer k = rowCount_ - r;
      tab->LayoutOrigin.Y = tabsArea_.AcrossEnd - k * t - (k - 1) * g;
    }
  }
}

void TcxCustomTabControl::CalculateTabAreas() {
  Integer t = rowThickness_, g = TabGaps(painter_, rotate_).Y;
  const TcxPCTabsArea& a = tabsArea_;
  Integer startEnd = a.AcrossNear, endBegin = a.AcrossFar;
  bool hasStart = rowsAtStart_ > 0, hasEnd = rowCount_ - rowsAtStart_ > 0;
  if (hasStart)
    startEnd = std::min(a.AcrossStart + rowsAtStart_ * (t + g) - g + a.StartAreaOverlap, a.AcrossFar);
  if (hasEnd) {
    Integer m = rowCount_ - rowsAtStart_;
    endBegin = std::max(a.AcrossEnd - m * t - (m - 1) * g - a.EndAreaOverlap, a.AcrossNear);
  }
  if (hasStart && hasEnd) {
    if (tabPosition_ == tpTop || tabPosition_ == tpLeft)
      endBegin = std::max(endBegin, startEnd + a.Separation);
    else
      startEnd = std::min(startEnd, endBegin - a.Separation);
  }
  startTabArea_ = hasStart ? painter_->StripRect(a.AlongNear, a.AcrossNear, a.AlongFar, startEnd) : TRect();
  endTabArea_ = hasEnd ? painter_->StripRect(a.AlongNear, endBegin, a.AlongFar, a.AcrossFar) : TRect();
}

// ---- scrolling -----------------------------------------------------------------------------

bool TcxCustomTabControl::IsArrowEnabled(TcxPCNavigatorButton b) const {
  Integer vc = visibleTabs_.Count();
  // In the reversed orientation the bottom arrow leads back to the start.
  bool towardsEnd = (b == nbBottomRight) != IsTabsReversed();
  if (towardsEnd)
    return !(lastVisibleTab_ == vc - 1 && (allTabsFit_ || firstVisibleTab_ == lastVisibleTab_));
  return firstVisibleTab_ > 0;
}

void TcxCustomTabControl::ScrollOneStep(bool towardsEnd) {
  TcxPCNavigatorButton b = towardsEnd != IsTabsReversed() ? nbBottomRight : nbTopLeft;
  if (!IsArrowEnabled(b)) return;
  firstVisibleTab_ += towardsEnd ? 1 : -1;
  LayoutChanged();
}

void TcxCustomTabControl::ScrollTabs(Integer count) {
  if (multiLine_ && rowCount_ > 1) return;
  for (Integer i = 0; i < std::abs(count); ++i) {
    Integer before = firstVisibleTab_;
    ScrollOneStep(count > 0);
    if (before == firstVisibleTab_) break;
  }
}

void TcxCustomTabControl::MakeTabVisible(Integer visibleIndex) {
  if (visibleIndex < 0 || visibleIndex >= visibleTabs_.Count() || !painter_) return;
  if (multiLine_ && rowCount_ > 1) return;
  if (visibleIndex < firstVisibleTab_) {
    firstVisibleTab_ = visibleIndex;
    LayoutChanged();
    return;
  }
  if (visibleIndex > lastVisibleTab_ || (visibleIndex == lastVisibleTab_ && !allTabsFit_)) {
    TcxPCTabsArea area;
    painter_->CalculateTabsArea(navigatorButtons_, area);
    Integer length = area.Length();
    if (length <= 0) {
      firstVisibleTab_ = visibleIndex;
    } else {
      Integer gap = TabGaps(painter_, rotate_).X;
      Integer first = visibleIndex, used = VisibleTabs(visibleIndex)->Length();
      while (first > 0 && used + gap + VisibleTabs(first - 1)->Length() <= length) {
        used += gap + VisibleTabs(first - 1)->Length();
        --first;
      }
      firstVisibleTab_ = first;
    }
    LayoutChanged();
  }
}
