// A form with a grid showing a banded table view of unbound records, and helpers that build
// bands and columns and describe the band tree as text.
#pragma once

#include <string>
#include <vector>

#include "gridviews/cxGridBandedTableDragDrop.h"
#include "rtl/SysUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace bandedtest {

class BandedFixture : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxGridBandedTableView();
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 700, 460);
    grid_ = new TcxGrid(form_);
    grid_->SetName("Grid1");
    grid_->SetBounds(10, 10, 640, 380);
    grid_->SetParent(form_);
    view_ = static_cast<TcxGridBandedTableView*>(grid_->CreateView(TcxGridBandedTableView::StaticClass()));
    view_->SetName("Banded1");
    grid_->Levels()->Add()->SetGridView(view_);
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }

 public:
  TcxGridBand* AddBand(const String& caption, Integer parent = -1) {
    TcxGridBand* b = view_->Bands()->Add();
    b->SetCaption(caption);
    if (parent != -1) b->Position()->SetBandIndex(parent);
    return b;
  }
  TcxGridBandedColumn* AddColumn(const String& caption, Integer band = -2, Integer row = 0) {
    TcxGridBandedColumn* c = view_->CreateColumn();
    c->SetCaption(caption);
    c->SetWidth(60);
    if (band != -2) c->Position()->SetBandIndex(band);
    if (row > 0) c->Position()->SetRowIndex(row);
    return c;
  }
  // Every root band in collection order: "A(B{r0:x,y|r1:z} C{})"; rows list column captions.
  std::string Tree() {
    std::string s;
    TcxGridBands* bands = view_->Bands();
    for (Integer i = 0; i < bands->GetRootBandCount(); ++i) {
      if (i) s += " ";
      s += Describe(bands->GetRootBand(i));
    }
    return s;
  }
  std::string Describe(TcxGridBand* b) {
    std::string s = b->Caption();
    if (b->ChildBandCount() > 0) {
      s += "(";
      for (Integer i = 0; i < b->ChildBandCount(); ++i) s += (i ? " " : "") + Describe(b->ChildBands(i));
      return s + ")";
    }
    s += "{";
    for (Integer r = 0; r < b->Rows()->Count(); ++r) {
      if (r) s += "|";
      for (Integer c = 0; c < b->Rows()->Items(r)->Count(); ++c)
        s += (c ? "," : "") + b->Rows()->Items(r)->Items(c)->Caption();
    }
    return s + "}";
  }
  template <class F>
  std::string Captions(Integer count, F get) {
    std::string s;
    for (Integer i = 0; i < count; ++i) s += (i ? " " : "") + std::string(get(i)->Caption());
    return s;
  }
  std::string Lists() {
    TcxGridBands* b = view_->Bands();
    return "leaf:" + Captions(b->GetLeafBandCount(), [b](Integer i) { return b->GetLeafBand(i); }) +
           " root:" + Captions(b->GetRootBandCount(), [b](Integer i) { return b->GetRootBand(i); }) +
           " visible:" + Captions(b->GetVisibleCount(), [b](Integer i) { return b->GetVisibleBand(i); }) +
           " vroot:" + Captions(b->GetVisibleRootBandCount(), [b](Integer i) { return b->GetVisibleRootBand(i); }) +
           " bottom:" + Captions(b->GetBottomBandCount(), [b](Integer i) { return b->GetBottomBand(i); });
  }
  std::string VisibleColumns() {
    return Captions(view_->GetVisibleColumnCount(), [this](Integer i) { return view_->GetVisibleColumn(i); });
  }
  void Fill(Integer records) {
    TcxCustomDataController* dc = view_->DataController();
    dc->BeginUpdate();
    dc->SetRecordCount(records);
    for (Integer r = 0; r < records; ++r)
      for (Integer i = 0; i < view_->GetColumnCount(); ++i)
        dc->SetValue(r, i, Variant(view_->GetColumn(i)->Caption() + IntToStr(r)));
    dc->EndUpdate();
  }
  void Show() {
    form_->Show();
    Pump();
  }
  void Relayout() {
    view_->QueueLayoutChange();
    Pump();
  }
  TcxGridBandedTableViewInfo* Info() { return view_->GetViewInfo(); }
  TcxGridBandsViewInfo* BandsInfo() { return Info()->GetBandsViewInfo(); }
  TcxGridBandViewInfo* BandInfo(TcxGridBand* b) { return BandsInfo()->GetItem(b->GetVisibleIndex()); }
  TcxGridBandedColumnHeaderViewInfo* Header(TcxGridBandedColumn* c) {
    return Info()->GetHeaderViewInfo()->ColumnHeader(c->VisibleIndex());
  }
  TForm* form_ = nullptr;
  TcxGrid* grid_ = nullptr;
  TcxGridBandedTableView* view_ = nullptr;
};

}  // namespace bandedtest
