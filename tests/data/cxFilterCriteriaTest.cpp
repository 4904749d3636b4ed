#include <gtest/gtest.h>

#include <random>

#include "FilterFixture.h"
#include "tests/support/TestSupport.h"

using namespace filter_fixture;

namespace {

class CriteriaTest : public FilterTest {};

TEST_F(CriteriaTest, GroupsCombineTheirChildren) {
  // A: Amount = 1, B: Name = 'x'; records (a, b) give the truth values of A and B.
  struct Case {
    TcxFilterBoolOperatorKind op;
    bool ff, ft, tf, tt;
  } cases[] = {
      {fboAnd, false, false, false, true},
      {fboOr, false, true, true, true},
      {fboNotAnd, true, true, true, false},
      {fboNotOr, true, false, false, false},
  };
  for (const auto& c : cases) {
    TTestCriteria crit(Fields());
    crit.Root()->ChangeBoolOperator(c.op);
    crit.AddItem(nullptr, &amount, foEqual, 1, "1");
    crit.AddItem(nullptr, &name, foEqual, "x", "x");
    EXPECT_EQ(crit.Matches({0, "y", Null()}), c.ff) << int(c.op);
    EXPECT_EQ(crit.Matches({0, "x", Null()}), c.ft) << int(c.op);
    EXPECT_EQ(crit.Matches({1, "y", Null()}), c.tf) << int(c.op);
    EXPECT_EQ(crit.Matches({1, "x", Null()}), c.tt) << int(c.op);
  }
  for (auto op : {fboAnd, fboOr, fboNotAnd, fboNotOr}) {
    TTestCriteria empty(Fields());
    empty.Root()->ChangeBoolOperator(op);
    EXPECT_TRUE(empty.Matches({0, "y", Null()})) << int(op);
    // An empty subgroup adds nothing, as it adds nothing to the filter text.
    empty.Root()->AddItemList(op)->AddItemList(fboNotOr);
    EXPECT_TRUE(empty.Matches({0, "y", Null()})) << int(op);
    empty.AddItem(nullptr, &amount, foEqual, 1, "1");
    bool a = op == fboAnd || op == fboOr;
    EXPECT_EQ(empty.Matches({1, "y", Null()}), a) << int(op);
    EXPECT_EQ(empty.Matches({0, "y", Null()}), !a) << int(op);
  }
}

TEST_F(CriteriaTest, OptionsGovernNullsCaseAndComparisonErrors) {
  struct Case {
    const char* name;
    TcxFilterCriteriaOptions options;
    int kind;
    Variant value;
    Variant record;
    bool expected;
  } cases[] = {
      {"ignore null: equals", {fcoIgnoreNull}, foEqual, 5, Null(), false},
      {"ignore null: not equals", {fcoIgnoreNull}, foNotEqual, 5, Null(), false},
      {"no ignore null: not equals", {}, foNotEqual, 5, Null(), true},
      {"ignore null: is blank unaffected", {fcoIgnoreNull}, foIsNull, Null(), Null(), true},
      {"soft null: empty text is blank", {fcoSoftNull}, foIsNull, Null(), "", true},
      {"hard null: empty text is not blank", {}, foIsNull, Null(), "", false},
      {"soft null with ignore null", {fcoSoftNull, fcoIgnoreNull}, foNotEqual, "a", "", false},
      {"case insensitive equals", {fcoCaseInsensitive}, foEqual, "abc", "ABC", true},
      {"case sensitive equals", {}, foEqual, "abc", "ABC", false},
      {"case insensitive like", {fcoCaseInsensitive}, foLike, "%b%", "ABC", true},
      {"case insensitive non-ASCII", {fcoCaseInsensitive}, foEqual, "\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", true},
      {"currency against double", {}, foEqual, Currency(1.5), 1.5, true},
      {"soft compare", {fcoSoftCompare}, foInList, VarArrayOf({1, 2}), "abc", false},
  };
  for (const auto& c : cases) {
    TTestCriteria crit(Fields());
    crit.SetOptions(c.options);
    crit.AddItem(nullptr, &name, TcxFilterOperatorKind(c.kind), c.value, "");
    EXPECT_EQ(crit.Matches({Null(), c.record, Null()}), c.expected) << c.name;
  }
  TTestCriteria hard(Fields());
  hard.AddItem(nullptr, &name, foInList, VarArrayOf({1, 2}), "");
  EXPECT_THROW(hard.Matches({Null(), "abc", Null()}), EVariantError);
}

TEST_F(CriteriaTest, FilterAndDisplayTexts) {
  TTestCriteria crit(Fields());
  crit.Root()->ChangeBoolOperator(fboOr);
  crit.AddItem(nullptr, &amount, foEqual, 1, "1");
  crit.AddItem(nullptr, &name, foLike, "x%", "x%");
  EXPECT_EQ(crit.FilterTextValue(), "(Amount = 1) OR (Name LIKE 'x%')");
  EXPECT_EQ(crit.FilterCaptionText(), "(Sum = 1) or (Customer LIKE x%)");

  TcxFilterCriteriaItemList* g = crit.Root()->AddItemList(fboNotAnd);
  g->AddItem(&amount, foGreater, 2, "2");
  g->AddItem(&name, foEqual, "y", "y");
  crit.Root()->AddItemList(fboNotOr);  // empty: adds nothing
  EXPECT_EQ(crit.FilterTextValue(),
            "(Amount = 1) OR (Name LIKE 'x%') OR (NOT ((Amount > 2) AND (Name = 'y')))");
  EXPECT_EQ(crit.FilterCaptionText(),
            "(Sum = 1) or (Customer LIKE x%) or (not ((Sum > 2) and (Customer = y)))");

  TTestCriteria empty(Fields());
  empty.Root()->ChangeBoolOperator(fboNotAnd);
  EXPECT_EQ(empty.FilterTextValue(), "");
  TcxFilterCriteriaItemList* nested = empty.Root()->AddItemList(fboAnd);
  nested->AddItemList(fboNotOr);
  EXPECT_EQ(empty.FilterTextValue(), "");
  nested->AddItem(&amount, foEqual, 3, "3");
  EXPECT_EQ(empty.FilterTextValue(), "NOT (((Amount = 3)))");
}

TEST_F(CriteriaTest, TreeQueriesAndDefaults) {
  TTestCriteria crit(Fields());
  EXPECT_TRUE(crit.IsEmpty());
  EXPECT_FALSE(crit.HasData());
  crit.Root()->ChangeBoolOperator(fboOr);
  EXPECT_TRUE(crit.HasData());
  TcxFilterCriteriaItemList* g = crit.Root()->AddItemList(fboAnd);
  TcxFilterCriteriaItem* inner = g->AddItem(&name, foEqual, "a", "a");
  crit.AddItem(nullptr, &name, foEqual, "b", "b");
  EXPECT_EQ(crit.ItemByItemLink(&name), inner);
  EXPECT_EQ(crit.ItemByItemLink(&when), nullptr);
  EXPECT_EQ(crit.Root()->ItemOrNil(5), nullptr);
  EXPECT_EQ(crit.Root()->ItemOrNil(0), g);
  EXPECT_EQ(inner->GetCriteria(), &crit);

  EXPECT_THROW(crit.AddItem(nullptr, &name, TcxFilterOperatorKind(40), 1, ""), EcxFilterError);
  EXPECT_EQ(crit.Root()->ItemCount(), 2);
  EXPECT_EQ(crit.LockCount(), 0);

  crit.SetOptions({fcoSoftNull});
  crit.SetPercentWildcard('*');
  crit.SetTranslateIn(true);
  crit.RestoreDefaults();
  EXPECT_TRUE(crit.Options().Empty());
  EXPECT_EQ(crit.PercentWildcard(), '%');
  EXPECT_FALSE(crit.TranslateIn());
  EXPECT_EQ(crit.Root()->ItemCount(), 2);

  crit.RemoveAllItems();
  EXPECT_TRUE(crit.IsEmpty());
  EXPECT_EQ(crit.Root()->BoolOperatorKind(), fboAnd);
}

TEST_F(CriteriaTest, ChangeNotification) {
  TTestCriteria crit(Fields());
  struct Step {
    const char* name;
    std::function<void()> action;
    int changes;
  } steps[] = {
      {"add", [&] { crit.AddItem(nullptr, &amount, foEqual, 1, "1"); }, 1},
      {"same options", [&] { crit.SetOptions({}); }, 0},
      {"options", [&] { crit.SetOptions({fcoCaseInsensitive}); }, 1},
      {"locked batch",
       [&] {
         crit.LockChanges();
         crit.AddItem(nullptr, &amount, foEqual, 2, "2");
         crit.Root()->AddItemList(fboOr);
         crit.SetPercentWildcard('*');
         crit.UnlockChanges();
       },
       1},
      {"silent unlock",
       [&] {
         crit.LockChanges();
         crit.AddItem(nullptr, &amount, foEqual, 3, "3");
         crit.UnlockChangesSilently();
       },
       0},
      {"remove all", [&] { crit.RemoveAllItems(); }, 1},
      {"remove missing link", [&] { crit.RemoveItemsByItemLink(&when); }, 0},
      {"delete a node",
       [&] {
         TcxFilterCriteriaItem* item = crit.AddItem(nullptr, &amount, foEqual, 1, "1");
         delete item;
       },
       2},
  };
  for (auto& s : steps) {
    crit.changes = 0;
    s.action();
    EXPECT_EQ(crit.changes, s.changes) << s.name;
  }
  TMemoryStream m;
  crit.AddItem(nullptr, &amount, foEqual, 1, "1");
  crit.WriteData(m);
  m.SetPosition(0);
  crit.changes = 0;
  crit.ReadData(m);
  EXPECT_EQ(crit.changes, 1);
}

TEST_F(CriteriaTest, RemovingAColumnsConditionsTidiesTheTree) {
  struct Case {
    const char* name;
    std::function<void(TTestCriteria&)> build;
    const char* before;
    const char* after;
  } cases[] = {
      {"negated group keeps its negation",
       [&](TTestCriteria& c) {
         c.AddItem(nullptr, &amount, foEqual, 1, "1");
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboNotAnd);
         g->AddItem(&amount, foEqual, 2, "2");
         g->AddItem(&name, foEqual, "x", "x");
       },
       "(Amount = 1) AND (NOT ((Amount = 2) AND (Name = 'x')))", "(NOT ((Name = 'x')))"},
      {"group of one is replaced by its child at the end",
       [&](TTestCriteria& c) {
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboOr);
         g->AddItem(&amount, foEqual, 2, "2");
         g->AddItem(&name, foEqual, "x", "x");
         c.AddItem(nullptr, &name, foEqual, "y", "y");
       },
       "((Amount = 2) OR (Name = 'x')) AND (Name = 'y')", "(Name = 'y') AND (Name = 'x')"},
      {"emptied groups go up to the root",
       [&](TTestCriteria& c) {
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboOr);
         g->AddItemList(fboAnd)->AddItem(&amount, foEqual, 2, "2");
         c.AddItem(nullptr, &name, foEqual, "y", "y");
       },
       "(((Amount = 2))) AND (Name = 'y')", "(Name = 'y')"},
      {"every condition of the column goes",
       [&](TTestCriteria& c) {
         c.AddItem(nullptr, &amount, foEqual, 1, "1");
         c.AddItem(nullptr, &amount, foEqual, 2, "2");
       },
       "(Amount = 1) AND (Amount = 2)", ""},
  };
  for (const auto& c : cases) {
    TTestCriteria crit(Fields());
    c.build(crit);
    EXPECT_EQ(crit.FilterTextValue(), c.before) << c.name;
    crit.changes = 0;
    crit.RemoveItemsByItemLink(&amount);
    EXPECT_EQ(crit.FilterTextValue(), c.after) << c.name;
    EXPECT_EQ(crit.changes, 1) << c.name;
    EXPECT_EQ(crit.ItemByItemLink(&amount), nullptr) << c.name;
  }
  // The negation still decides the evaluation.
  TTestCriteria crit(Fields());
  TcxFilterCriteriaItemList* g = crit.Root()->AddItemList(fboNotAnd);
  g->AddItem(&amount, foEqual, 2, "2");
  g->AddItem(&name, foEqual, "x", "x");
  crit.RemoveItemsByItemLink(&amount);
  EXPECT_FALSE(crit.Matches({0, "x", Null()}));
  EXPECT_TRUE(crit.Matches({0, "y", Null()}));
}

TEST_F(CriteriaTest, StreamBytesOfVersionsTwoAndThree) {
  struct Case {
    int version;
    const char* bytes;
  } cases[] = {
      {2, "FF FF FF FF 01 02 00 00 00 00 00 01 00 00 00 35 0A 00 00 00 02 05 01 02 01 00 00 00 00 07 00 00 00 00 0B 00 "
          "00 00 06 01 78"},
      {3, "FE FF FF FF 01 02 00 00 00 00 00 01 00 00 00 35 0A 00 00 00 06 00 00 00 41 6D 6F 75 6E 74 02 05 01 02 01 "
          "00 00 00 00 07 00 00 00 00 0B 00 00 00 04 00 00 00 4E 61 6D 65 06 01 78"},
  };
  for (const auto& c : cases) {
    TTestCriteria crit(Fields(), c.version);
    crit.Root()->ChangeBoolOperator(fboOr);
    crit.AddItem(nullptr, &amount, foEqual, 5, "5");
    crit.Root()->AddItemList(fboNotAnd)->AddItem(&name, foNotLike, "x", "");
    TMemoryStream m;
    crit.StoreToStream(m);
    EXPECT_EQ(crit.SavedVersion(), c.version);
    EXPECT_EQ(testing_support::HexBytes(m.Memory(), size_t(m.Size())), c.bytes) << c.version;

    TTestCriteria back(Fields(), c.version);
    m.SetPosition(0);
    back.ReadData(m);
    EXPECT_EQ(back.LoadedVersion(), c.version);
    EXPECT_EQ(back.FilterTextValue(), crit.FilterTextValue());
    EXPECT_TRUE(back.SameItemsAs(&crit));
  }
  // A cap below the format version writes the older version; never version 1.
  TTestCriteria v3(Fields(), 3);
  TMemoryStream m;
  v3.WriteData(m, 2);
  EXPECT_EQ(v3.SavedVersion(), 2);
  v3.WriteData(m, 1);
  EXPECT_EQ(v3.SavedVersion(), 2);
}

TEST_F(CriteriaTest, ReadsVersionOneStreams) {
  TMemoryStream m;
  m.WriteInt32(2);  // version 1: the root's child count
  m.WriteByte(0);
  m.WriteByte(foGreater);
  m.WriteLString("3");
  m.WriteInt32(10);
  m.WriteByte(2);
  m.WriteByte(3);
  m.WriteByte(1);  // a group
  m.WriteByte(fboOr);
  m.WriteInt32(1);
  m.WriteByte(0);
  m.WriteByte(foEqual);
  m.WriteLString("a");
  m.WriteInt32(11);
  m.WriteByte(6);
  m.WriteByte(1);
  m.WriteByte('a');
  m.SetPosition(0);
  TTestCriteria crit(Fields(), 3);
  crit.Root()->ChangeBoolOperator(fboNotOr);
  crit.ReadData(m);
  EXPECT_EQ(crit.LoadedVersion(), 1);
  EXPECT_EQ(crit.Root()->BoolOperatorKind(), fboAnd);
  EXPECT_EQ(crit.FilterTextValue(), "(Amount > 3) AND ((Name = 'a'))");
}

TEST_F(CriteriaTest, VersionThreeResolvesConditionsByName) {
  TTestField renamed{0, 99, "Amount", "Sum"};   // same name, other ID
  TTestField unnamed{1, 11, "", "Customer"};     // no name: found by ID
  TTestField named{2, 12, "Other", "Date"};      // has a name of its own: not taken by ID
  TTestCriteria writer(Fields(), 3);
  writer.AddItem(nullptr, &amount, foEqual, 1, "1");
  writer.AddItem(nullptr, &name, foEqual, "x", "x");
  writer.AddItem(nullptr, &when, foIsNull, Null(), "");
  writer.Root()->AddItemList(fboOr)->AddItem(&when, foEqual, 2, "2");
  TMemoryStream m;
  writer.StoreToStream(m);

  TTestCriteria reader({&renamed, &unnamed, &named}, 3);
  m.SetPosition(0);
  reader.ReadData(m);
  ASSERT_EQ(reader.Root()->ItemCount(), 3);  // the day conditions were dropped, their group kept
  EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(reader.Root()->Items(0))->ItemLink(), &renamed);
  EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(reader.Root()->Items(1))->ItemLink(), &unnamed);
  EXPECT_TRUE(reader.Root()->Items(2)->IsItemList());
  EXPECT_EQ(static_cast<TcxFilterCriteriaItemList*>(reader.Root()->Items(2))->ItemCount(), 0);

  // A version-2 stream of a base criteria reads into a version-3 criteria by ID.
  TTestCriteria v2(Fields(), 2);
  v2.AddItem(nullptr, &amount, foLess, 4, "4");
  TMemoryStream m2;
  v2.StoreToStream(m2);
  TTestCriteria v3({&renamed, &unnamed, &named}, 3);
  m2.SetPosition(0);
  v3.ReadData(m2);
  EXPECT_EQ(v3.Root()->ItemCount(), 0);  // ID 10 is unknown there
  TTestCriteria v3b(Fields(), 3);
  m2.SetPosition(0);
  v3b.ReadData(m2);
  EXPECT_EQ(v3b.FilterTextValue(), "(Amount < 4)");
}

TEST_F(CriteriaTest, CorruptStreamsRaiseAndKeepWhatWasRead) {
  TTestCriteria good(Fields(), 2);
  good.AddItem(nullptr, &amount, foEqual, 1, "1");
  good.AddItem(nullptr, &name, foEqual, "x", "x");
  TMemoryStream full;
  good.StoreToStream(full);
  const Byte* bytes = static_cast<const Byte*>(full.Memory());
  auto Prefix = [&](Int64 n) {
    auto* m = new TMemoryStream;
    m->WriteBuffer(bytes, n);
    m->SetPosition(0);
    return m;
  };
  auto Custom = [](std::initializer_list<int> b) {
    auto* m = new TMemoryStream;
    for (int x : b) m->WriteByte(Byte(x));
    m->SetPosition(0);
    return m;
  };
  struct Case {
    const char* name;
    TMemoryStream* stream;
    int conditionsLeft;
  } cases[] = {
      {"truncated in the second condition", Prefix(full.Size() - 2), 1},
      {"truncated header", Prefix(3), 0},
      {"unknown operator kind", Custom({0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0, 0, 40, 0, 0, 0, 0, 10, 0, 0, 0, 0}), 0},
      {"unknown group operator", Custom({0xFF, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0, 0}), 0},
      {"huge root count", Custom({0xFF, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0}), 0},
      {"negative version-1 count", Custom({0xF0, 0xFF, 0xFF, 0xFF, 0}), 0},
      {"bad value tag", Custom({0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 7}), 0},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TMemoryStream> owned(c.stream);
    TTestCriteria crit(Fields(), 2);
    crit.AddItem(nullptr, &when, foEqual, 9, "9");
    EXPECT_THROW(crit.ReadData(*c.stream), EReadError) << c.name;
    EXPECT_EQ(crit.LockCount(), 0) << c.name;
    EXPECT_EQ(crit.Root()->ItemCount(), c.conditionsLeft) << c.name;
  }
  // Groups nested without end.
  TMemoryStream deep;
  deep.WriteInt32(-1);
  deep.WriteByte(0);
  deep.WriteInt32(1);
  for (int i = 0; i < 5000; ++i) {
    deep.WriteByte(1);
    deep.WriteByte(0);
    deep.WriteInt32(1);
  }
  deep.SetPosition(0);
  TTestCriteria crit(Fields(), 2);
  EXPECT_THROW(crit.ReadData(deep), EReadError);
  EXPECT_EQ(crit.LockCount(), 0);
}

TEST_F(CriteriaTest, NestedGroupCountsMustFitBesideTheNodesStillOwed) {
  // A root of 100 groups whose first group announces 100 nodes of its own: with at least six
  // bytes a node, the second count cannot fit beside the first in what is left.
  TMemoryStream m;
  m.WriteInt32(-1);
  m.WriteByte(0);
  m.WriteInt32(100);
  m.WriteByte(1);
  m.WriteByte(0);
  m.WriteInt32(100);
  for (int i = 0; i < 700; ++i) m.WriteByte(0);
  m.SetPosition(0);
  TTestCriteria crit(Fields(), 2);
  EXPECT_THROW(crit.ReadData(m), EReadError);
  EXPECT_EQ(m.Position(), 15);
}

TEST_F(CriteriaTest, StreamedArrayValuesNeverBreakTheFilterText) {
  // An array value where the operator takes one value: the stream is refused or its text
  // shown, but the texts never raise afterwards.
  const Variant values[] = {VarArrayOf({1, 2}), VarArrayOf({1, VarArrayOf({2, 3})}), VarArrayOf({})};
  for (int kind = 0; kind < cxFilterOperatorKindCount; ++kind) {
    for (const Variant& value : values) {
      TTestCriteria src(Fields(), 3);
      src.AddItem(nullptr, &amount, TcxFilterOperatorKind(kind), value, "shown");
      TMemoryStream m;
      src.StoreToStream(m);
      m.SetPosition(0);
      TTestCriteria back(Fields(), 3);
      try {
        back.ReadData(m);
      } catch (const EReadError&) {
        continue;
      }
      String text, caption;
      EXPECT_NO_THROW(back.FilterText(text)) << kind;
      EXPECT_NO_THROW(back.FilterCaption(caption)) << kind;
    }
  }
}

TEST_F(CriteriaTest, AssignCopiesSettingsAndItems) {
  TTestCriteria src(Fields(), 3);
  src.SetOptions({fcoCaseInsensitive, fcoIgnoreNull});
  src.SetPercentWildcard('*');
  src.SetMaxValueListCount(7);
  src.SetTranslateBetween(true);
  src.SetDateTimeFormat("yyyy");
  src.AddItem(nullptr, &amount, foBetween, Pair(1, 2), "1;2");
  TTestCriteria dst(Fields(), 3);
  dst.AddItem(nullptr, &name, foEqual, "old", "old");
  dst.changes = 0;
  src.changes = 0;
  dst.Assign(&src);
  // The events come along: the one notification goes to the source's handler.
  EXPECT_EQ(dst.changes + src.changes, 1);
  EXPECT_TRUE(dst.Options() == src.Options());
  EXPECT_EQ(dst.PercentWildcard(), '*');
  EXPECT_EQ(dst.MaxValueListCount(), 7);
  EXPECT_TRUE(dst.TranslateBetween());
  EXPECT_EQ(dst.DateTimeFormat(), "yyyy");
  EXPECT_EQ(dst.FilterTextValue(), "((Amount >= 1) AND (Amount <= 2))");
  EXPECT_TRUE(dst.SameItemsAs(&src));
  TcxFilterCriteriaItem* kept = static_cast<TcxFilterCriteriaItem*>(dst.Root()->Items(0));
  dst.AssignItems(&src);  // the same items: nothing is rebuilt
  EXPECT_EQ(dst.Root()->Items(0), kept);
  TObject other;
  EXPECT_THROW(dst.Assign(nullptr), EConvertError);
}

TEST_F(CriteriaTest, ValueList) {
  TTestCriteria crit(Fields());
  TcxFilterValueList list(&crit);
  auto kinds = [&] {
    String r;
    for (int i = 0; i < list.ValueCount(); ++i) {
      const TcxFilterValueItem* it = list.ValueItemAt(i);
      r += it->Kind == fviValue ? VarToStr(it->Value) : "k" + IntToStr(int(it->Kind));
      r += " ";
    }
    return r;
  };
  list.AddValue(fviValue, 3, "3");
  list.AddValue(fviValue, 1, "1");
  list.AddValue(fviValue, 2, "2");
  list.AddValue(fviValue, 2, "2");
  EXPECT_EQ(kinds(), "1 2 3 ");
  list.AddValue(fviAll, Null(), "(All)");
  list.AddValue(fviBlanks, Null(), "(Blanks)");
  EXPECT_EQ(kinds(), "k0 k2 1 2 3 ");
  list.AddValue(fviMRU, 3, "3");
  EXPECT_EQ(kinds(), "k6 k7 k0 k2 1 2 3 ");
  list.AddValue(fviMRU, 9, "9");
  EXPECT_EQ(kinds(), "k6 k6 k7 k0 k2 1 2 3 ");
  EXPECT_EQ(list.RecentSeparatorIndex(), 2);
  EXPECT_EQ(list.FirstValueIndex(), 5);
  list.AddValue(fviValue, 9, "9");  // already a recent value
  EXPECT_EQ(list.ValueCount(), 8);
  list.AddValue(fviValue, 0, "0", true);
  EXPECT_EQ(kinds(), "k6 k6 k7 k0 k2 1 2 3 0 ");
  EXPECT_EQ(list.IndexOfKindValue(fviMRU, 9), 1);
  EXPECT_EQ(list.IndexOfKindValue(fviMRU, Null()), 0);
  EXPECT_EQ(list.IndexOfKind(fviCustom), -1);
  list.DeleteValue(8);
  EXPECT_THROW(list.DeleteValue(8), EListError);

  // Conditions map to entries.
  list.AddValue(fviNonBlanks, Null(), "(NonBlanks)");
  list.AddValue(fviCustom, Null(), "(Custom...)");
  TcxFilterCriteriaItem* blank = crit.AddItem(nullptr, &amount, foEqual, Null(), "");
  TcxFilterCriteriaItem* nonBlank = crit.AddItem(nullptr, &amount, foNotEqual, Null(), "");
  TcxFilterCriteriaItem* two = crit.AddItem(nullptr, &amount, foEqual, 2, "2");
  TcxFilterCriteriaItem* missing = crit.AddItem(nullptr, &amount, foEqual, 42, "42");
  TcxFilterCriteriaItem* greater = crit.AddItem(nullptr, &amount, foGreater, 2, "2");
  EXPECT_EQ(list.IndexOfCondition(nullptr), list.IndexOfKind(fviAll));
  EXPECT_EQ(list.IndexOfCondition(blank), list.IndexOfKind(fviBlanks));
  EXPECT_EQ(list.IndexOfCondition(nonBlank), list.IndexOfKind(fviNonBlanks));
  EXPECT_EQ(list.IndexOfCondition(two), list.IndexOfKindValue(fviValue, 2));
  EXPECT_EQ(list.IndexOfCondition(missing), list.IndexOfKind(fviCustom));
  EXPECT_EQ(list.IndexOfCondition(greater), list.IndexOfKind(fviCustom));

  // A full list takes no more values.
  TTestCriteria small(Fields());
  small.SetMaxValueListCount(2);
  TcxFilterValueList limited(&small);
  limited.AddValue(fviAll, Null(), "(All)");
  limited.AddValue(fviCustom, Null(), "(Custom...)");
  limited.AddValue(fviValue, 1, "1");
  EXPECT_EQ(limited.ValueCount(), 2);

  // By display text, case-insensitively.
  TTestCriteria ci(Fields());
  ci.SetOptions({fcoCaseInsensitive});
  std::unique_ptr<TcxFilterValueList> texts(ci.GetValueListClass()(&ci));
  texts->SetSortByDisplayText(true);
  texts->AddValue(fviValue, 1, "abc");
  texts->AddValue(fviValue, 2, "ABC");
  texts->AddValue(fviValue, 3, "Abd");
  EXPECT_EQ(texts->ValueCount(), 2);
  int index = -1;
  EXPECT_TRUE(texts->FindValue(Null(), "aBc", index));
  EXPECT_EQ(index, 0);
}

}  // namespace

namespace {

// Damaged copies of a valid stream read either completely or with an exception of the
// library, never with a crash or a runaway allocation.
TEST_F(CriteriaTest, DamagedStreamsNeverCrash) {
  TTestCriteria good(Fields(), 3);
  good.Root()->ChangeBoolOperator(fboNotOr);
  good.AddItem(nullptr, &amount, foBetween, Pair(1, 2.5), "1;2.5");
  TcxFilterCriteriaItemList* g = good.Root()->AddItemList(fboOr);
  g->AddItem(&name, foInList, VarArrayOf({"a", VarArrayOf({1, Null()})}), "a");
  g->AddItem(&when, foToday, Null(), "");
  TMemoryStream m;
  good.StoreToStream(m);
  const Byte* src = static_cast<const Byte*>(m.Memory());
  std::mt19937 rng(11);
  int completed = 0, raised = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<Byte> bytes(src, src + m.Size());
    int flips = 1 + int(rng() % 4);
    for (int f = 0; f < flips; ++f) bytes[rng() % bytes.size()] = Byte(rng());
    if (rng() % 4 == 0) bytes.resize(rng() % bytes.size());
    TMemoryStream damaged;
    if (!bytes.empty()) damaged.WriteBuffer(bytes.data(), Int64(bytes.size()));
    damaged.SetPosition(0);
    TTestCriteria crit(Fields(), 3);
    try {
      crit.ReadData(damaged);
      ++completed;
      crit.FilterTextValue();
      crit.FilterCaptionText();
    } catch (const Exception&) {
      ++raised;
    }
    EXPECT_EQ(crit.LockCount(), 0);
  }
  EXPECT_GT(raised, 0);
  EXPECT_GT(completed, 0);
}

}  // namespace

namespace {

TEST_F(CriteriaTest, PublishedProperties) {
  TTestCriteria crit(Fields());
  std::vector<String> names;
  for (PPropInfo p : GetPropList(&crit)) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<String>{"MaxValueListCount", "Options", "PercentWildcard", "UnderscoreWildcard",
                                        "OnChanged"}));
  SetOrdProp(&crit, "Options", 0x05);
  EXPECT_TRUE(crit.Options() == (TcxFilterCriteriaOptions{fcoCaseInsensitive, fcoSoftNull}));
  EXPECT_EQ(GetOrdProp(&crit, "PercentWildcard"), '%');
  SetOrdProp(&crit, "UnderscoreWildcard", '?');
  EXPECT_EQ(crit.UnderscoreWildcard(), '?');
  EXPECT_EQ(GetPropInfo(&crit, "PercentWildcard")->Default, '%');

  TFilterWrapper wrapper(nullptr);
  wrapper.SetFilter(&crit);
  EXPECT_EQ(GetObjectProp(&wrapper, "Filter"), &crit);
}

}  // namespace
