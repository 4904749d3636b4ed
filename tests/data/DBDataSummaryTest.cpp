// Summary items of the data-set controller: made by the controller's item factory, they can
// summarise a data-set field by name, show currency fields in the currency format and keep
// their field name when copied.
#include "data/cxDataUtils.h"
#include "tests/data/DBDataFixture.h"

using namespace dbdata_fixture;

namespace {

// id, qty, price (float), money (currency): three records.
struct Sales {
  TMemDataSet ds{nullptr};
  TDataSource src{nullptr};
  TTestDBController c;
  Sales() {
    ds.AddFieldDef("id", ftInteger);
    ds.AddFieldDef("qty", ftInteger);
    ds.AddFieldDef("price", ftFloat);
    ds.AddFieldDef("money", ftCurrency);
    ds.AppendRow({1, 10, 1.25, 1.25});
    ds.AppendRow({2, 20, 2.5, 2.5});
    ds.AppendRow({3, 30, 3.75, 3.75});
    src.SetDataSet(&ds);
    ds.Open();
    c.AddColumn("id");
    c.SetDataSource(&src);
  }
  TcxDataSummaryItems* Footer() { return c.Summary()->FooterSummaryItems(); }
  TcxDBDataSummaryItem* AddFooter(const String& fieldName, TObject* linked, TcxSummaryKind kind) {
    auto* item = dynamic_cast<TcxDBDataSummaryItem*>(Footer()->AddLinked(linked, spFooter, "", kind));
    if (item != nullptr) item->SetFieldName(fieldName);
    return item;
  }
};

}  // namespace

TEST(DBDataSummary, ItemsSummariseTheNamedFieldElseTheLinkedItem) {
  struct Case {
    const char* fieldName;
    bool linkedToId;
    TcxSummaryKind kind;
    Variant expected;
  };
  const Case cases[] = {
      {"qty", false, skSum, Variant(60)},    // a field no column shows
      {"", true, skSum, Variant(6)},         // no name: the linked column
      {"qty", true, skMax, Variant(30)},     // the name wins over the linked column
      {"nothing", false, skSum, Variant(0)}, // an unknown name: an unbound field without values
      {"", false, skSum, Null()},            // neither name nor link
  };
  Sales s;
  for (const Case& k : cases) s.AddFooter(k.fieldName, k.linkedToId ? s.c.ItemObject(0) : nullptr, k.kind);
  ASSERT_EQ(s.Footer()->Count(), int(std::size(cases)));
  for (int i = 0; i < s.Footer()->Count(); ++i) {
    ASSERT_NE(dynamic_cast<TcxDBDataSummaryItem*>(s.Footer()->Items(i)), nullptr) << "made by the factory";
    Variant v = s.c.Summary()->FooterSummaryValue(i);
    const Case& k = cases[i];
    if (k.expected.IsNull())
      EXPECT_TRUE(v.IsNull() || v.IsEmpty()) << i << ": " << v.AsString();
    else
      EXPECT_EQ(v.AsInteger(), k.expected.AsInteger()) << i;
  }

  // Renaming and clearing the name move the item between fields; removing it frees its field.
  auto* item = static_cast<TcxDBDataSummaryItem*>(s.Footer()->Items(2));
  item->SetFieldName("id");
  EXPECT_EQ(s.c.Summary()->FooterSummaryValue(2).AsInteger(), 3);
  item->SetFieldName("");
  EXPECT_EQ(item->DataField(), item->Field());
  EXPECT_EQ(s.c.Summary()->FooterSummaryValue(2).AsInteger(), 3) << "the linked id column";
  int fields = s.c.Fields()->Count();
  s.Footer()->Delete(0);
  EXPECT_EQ(s.c.Fields()->Count(), fields - 1);
  EXPECT_EQ(s.c.Summary()->FooterSummaryValue(0).AsInteger(), 6);
}

TEST(DBDataSummary, ANamedFieldLoadedAfterwardsIsSummarised) {
  Sales s;
  s.c.SetDataSource(nullptr);
  s.AddFooter("qty", nullptr, skSum);
  s.c.SetDataSource(&s.src);
  EXPECT_EQ(s.c.Summary()->FooterSummaryValue(0).AsInteger(), 60);
  s.ds.Close();
  s.ds.Open();
  EXPECT_EQ(s.c.Summary()->FooterSummaryValue(0).AsInteger(), 60) << "after the data set reopens";
}

TEST(DBDataSummary, ACurrencyFieldIsShownInTheCurrencyFormat) {
  Sales s;
  s.AddFooter("money", nullptr, skSum);
  s.AddFooter("price", nullptr, skSum);
  s.AddFooter("money", nullptr, skCount);
  String cf = CurrencyDisplayFormat();
  EXPECT_EQ(s.c.Summary()->FooterSummaryDisplayText(0), FormatFloat(cf + ";-" + cf, 7.5));
  EXPECT_EQ(s.c.Summary()->FooterSummaryDisplayText(1), FormatFloat("0.00;-0.00", 7.5)) << "a plain float";
  EXPECT_EQ(s.c.Summary()->FooterSummaryDisplayText(2), "3") << "a count is never money";
}

TEST(DBDataSummary, CopyingTheSummaryKeepsTheFieldNames) {
  Sales from;
  from.AddFooter("qty", nullptr, skSum);
  from.AddFooter("id", nullptr, skMax);
  Sales to;
  to.c.Summary()->Assign(from.c.Summary());
  ASSERT_EQ(to.Footer()->Count(), 2);
  EXPECT_EQ(static_cast<TcxDBDataSummaryItem*>(to.Footer()->Items(1))->FieldName(), "id");
  EXPECT_EQ(static_cast<TcxDBDataSummaryItem*>(to.Footer()->Items(0))->FieldName(), "qty");
  EXPECT_EQ(to.c.Summary()->FooterSummaryValue(0).AsInteger(), 60);
  EXPECT_EQ(to.c.Summary()->FooterSummaryValue(1).AsInteger(), 3);
}
