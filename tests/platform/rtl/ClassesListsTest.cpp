#include <gtest/gtest.h>

#include <vector>

#include "rtl/Classes.h"
#include "rtl/SysUtils.h"

namespace {

std::vector<String> Lines(const TStrings& s) { return s.ToVector(); }

// ---------------------------------------------------------------------------------------------
// TList / TObjectList

TEST(List, IndexErrorsNameTheIndex) {
  TList list;
  int a = 1, b = 2;
  list.Add(&a);
  list.Add(&b);
  struct Case {
    const char* what;
    std::function<void()> call;
    const char* message;
  };
  const Case cases[] = {
      {"read", [&] { list.Items(5); }, "List index out of bounds (5)"},
      {"delete", [&] { list.Delete(-1); }, "List index out of bounds (-1)"},
      {"insert past end", [&] { list.Insert(3, &a); }, "List index out of bounds (3)"},
      {"exchange", [&] { list.Exchange(0, 2); }, "List index out of bounds (2)"},
      {"move", [&] { list.Move(0, 2); }, "List index out of bounds (2)"},
      {"count", [&] { list.SetCount(-1); }, "List count out of bounds (-1)"},
      {"capacity", [&] { list.SetCapacity(1); }, "List capacity out of bounds (1)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_THROW(empty.Last(), EListError);
}

TEST(List, EditingOperations) {
  int v[5] = {0, 1, 2, 3, 4};
  TList list;
  for (int& x : v) list.Add(&x);
  list.Move(0, 3);  // 1 2 3 0 4
  list.Exchange(0, 4);  // 4 2 3 0 1
  EXPECT_EQ(list.Extract(&v[3]), &v[3]);  // 4 2 0 1
  EXPECT_EQ(list.Extract(&v[3]), nullptr);
  EXPECT_EQ(list.Remove(&v[2]), 1);  // 4 0 1
  list.Insert(1, nullptr);
  list.Add(nullptr);
  list.Pack();
  std::vector<int> got;
  for (Integer i = 0; i < list.Count(); ++i) got.push_back(*static_cast<int*>(list[i]));
  EXPECT_EQ(got, (std::vector<int>{4, 0, 1}));
  EXPECT_EQ(*static_cast<int*>(list.First()), 4);
  EXPECT_EQ(*static_cast<int*>(list.Last()), 1);
}

TEST(List, SortIsStable) {
  struct Rec {
    int key;
    char tag;
  };
  Rec recs[] = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}, {0, 'e'}, {2, 'f'}};
  TList list;
  for (Rec& r : recs) list.Add(&r);
  list.Sort([](Pointer x, Pointer y) { return static_cast<Rec*>(x)->key - static_cast<Rec*>(y)->key; });
  String order;
  for (Integer i = 0; i < list.Count(); ++i) order += static_cast<Rec*>(list[i])->tag;
  EXPECT_EQ(order, "ebdacf");
}

struct TTracked : TObject {
  explicit TTracked(int* alive) : alive_(alive) { ++*alive_; }
  ~TTracked() override { --*alive_; }
  int* alive_;
};

TEST(ObjectList, FreesWhatItOwnsButNotWhatIsExtracted) {
  int alive = 0;
  TTracked* kept;
  {
    TObjectList list;
    for (int i = 0; i < 4; ++i) list.Add(new TTracked(&alive));
    kept = static_cast<TTracked*>(list.Extract(list[1]));
    list.Delete(0);
    EXPECT_EQ(alive, 3);
    list.SetOwnsObjects(false);
    TObject* notOwned = list[0];
    list.Remove(notOwned);
    list.SetOwnsObjects(true);
    EXPECT_EQ(alive, 3);
    delete notOwned;
  }
  EXPECT_EQ(alive, 1);  // the destructor freed the last one
  delete kept;
  EXPECT_EQ(alive, 0);
}

// ---------------------------------------------------------------------------------------------
// TStringList

TEST(StringList, SortedDuplicates) {
  struct Case {
    TDuplicates dup;
    std::vector<String> expected;
    bool raises;
  };
  const Case cases[] = {
      {dupIgnore, {"apple", "Banana", "cherry"}, false},
      {dupAccept, {"apple", "Banana", "banana", "cherry"}, false},
      {dupError, {"apple", "Banana", "cherry"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.dup));
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.dup);
    list.Add("cherry");
    list.Add("banana");
    list.Add("apple");
    // Case-insensitive: "Banana" equals "banana".
    Integer idx = -2;
    if (c.raises) {
      try {
        list.Add("Banana");
        ADD_FAILURE() << "accepted a duplicate";
      } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
      }
      list.Delete(1);
      list.Add("Banana");
    } else {
      idx = list.Add("Banana");
      if (c.dup == dupIgnore) {
        EXPECT_EQ(idx, 1);
        list.Delete(1);
        list.Add("Banana");
      }
    }
    EXPECT_EQ(Lines(list), c.expected);
  }
}

TEST(StringList, FindAndIndexOfRespectCaseSensitivity) {
  TStringList list;
  list.AddStrings(std::vector<String>{"b", "B", "a", "c", "A"});
  list.SetSorted(true);
  // Case-insensitive sort keeps "b" before "B" and "a" before "A" (stable).
  EXPECT_EQ(Lines(list), (std::vector<String>{"a", "A", "b", "B", "c"}));
  struct Case {
    const char* s;
    bool found;
    Integer index;
  };
  const Case insensitive[] = {{"A", true, 0}, {"B", true, 2}, {"bb", false, 4}, {"0", false, 0}, {"z", false, 5}};
  for (const Case& c : insensitive) {
    Integer index = -1;
    EXPECT_EQ(list.Find(c.s, index), c.found) << c.s;
    EXPECT_EQ(index, c.index) << c.s;
  }
  EXPECT_EQ(list.IndexOf("C"), 4);
  // Case-sensitive: re-sorted by the locale's order, lower case first, and "C" is absent.
  list.SetCaseSensitive(true);
  EXPECT_EQ(Lines(list), (std::vector<String>{"a", "A", "b", "B", "c"}));
  EXPECT_EQ(list.IndexOf("C"), -1);
  EXPECT_EQ(list.IndexOf("B"), 3);
  // Operations that would break the order are refused.
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);
}

TEST(StringList, CustomSortIsStableAndSeesTheListUnchanged) {
  TStringList list;
  list.AddStrings(std::vector<String>{"b2", "a1", "b1", "a2", "c1"});
  int calls = 0;
  list.CustomSort([&](TStringList* l, Integer i, Integer j) {
    ++calls;
    EXPECT_EQ(l->Count(), 5);
    return int(l->Strings(i)[0]) - int(l->Strings(j)[0]);  // by the first letter only
  });
  EXPECT_GT(calls, 0);
  EXPECT_EQ(Lines(list), (std::vector<String>{"a1", "a2", "b2", "b1", "c1"}));
  // A sorted list keeps the order its searches rely on.
  list.SetSorted(true);
  list.CustomSort([](TStringList* l, Integer i, Integer j) { return l->Strings(j).compare(l->Strings(i)); });
  EXPECT_EQ(Lines(list), (std::vector<String>{"a1", "a2", "b1", "b2", "c1"}));
  EXPECT_EQ(list.IndexOf("b2"), 3);
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  list.SetText("Width=10\nCaption=a=b\nflag\n=empty name\n");
  EXPECT_EQ(list.Count(), 4);
  struct Case {
    Integer index;
    const char* name;
    const char* value;
  };
  const Case cases[] = {{0, "Width", "10"}, {1, "Caption", "a=b"}, {2, "", ""}, {3, "", "empty name"}};
  for (const Case& c : cases) {
    EXPECT_EQ(list.Names(c.index), c.name) << c.index;
    EXPECT_EQ(list.ValueFromIndex(c.index), c.value) << c.index;
  }
  EXPECT_EQ(list.Values("caption"), "a=b");
  EXPECT_EQ(list.IndexOfName("WIDTH"), 0);
  EXPECT_EQ(list.IndexOfName("flag"), -1);
  list.SetValues("Height", "5");
  EXPECT_EQ(list.Strings(4), "Height=5");
  list.SetValues("Width", "");  // an empty value removes the pair
  EXPECT_EQ(list.IndexOfName("Width"), -1);
  list.SetValueFromIndex(0, "c");
  EXPECT_EQ(list.Strings(0), "Caption=c");
}

TEST(StringList, TextSplitsAtEveryLineBreak) {
  struct Case {
    const char* text;
    std::vector<String> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"\n\n", {"", ""}},
      {"a\n\r\nb", {"a", "", "b"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(Lines(list), c.lines) << c.text;
  }
  TStringList list;
  list.AddStrings(std::vector<String>{"x", "", "y"});
  EXPECT_EQ(list.Text(), "x\n\ny\n");
}

TEST(StringList, CommaTextRoundTripsAndParsesThePlatformsWay) {
  struct Case {
    std::vector<String> lines;
    const char* text;
  };
  // Writing: quote fields with blanks, delimiters or quotes; a single empty string is "".
  const Case written[] = {
      {{"a", "b c", "d,e", "say \"hi\""}, "a,\"b c\",\"d,e\",\"say \"\"hi\"\"\""},
      {{""}, "\"\""},
      {{"a", "", "b"}, "a,,b"},
      {{}, ""},
      {{"Überprüfung", "日本"}, "Überprüfung,日本"},
  };
  for (const Case& c : written) {
    TStringList list;
    list.AddStrings(c.lines);
    EXPECT_EQ(list.CommaText(), c.text);
    TStringList back;
    back.SetCommaText(c.text);
    EXPECT_EQ(Lines(back), c.lines) << c.text;
  }
  // Reading: blanks outside quotes split too; a trailing delimiter adds an empty string;
  // an unterminated quote takes the rest.
  const Case read[] = {
      {{"a", "b"}, "a b"},
      {{"a", "b"}, "  a ,  b  "},
      {{"a", ""}, "a,"},
      {{"", "a"}, ",a"},
      {{"x,y", "z"}, "\"x,y\",z"},
      {{"open end"}, "\"open end"},
      {{"q", "r"}, "\"q\"r"},
  };
  for (const Case& c : read) {
    TStringList list;
    list.SetCommaText(c.text);
    EXPECT_EQ(Lines(list), c.lines) << c.text;
  }
}

TEST(StringList, DelimitedTextWithOtherCharacters) {
  TStringList list;
  list.SetDelimiter(';');
  list.SetQuoteChar('\'');
  list.SetDelimitedText("a;'b;c';'it''s'");
  EXPECT_EQ(Lines(list), (std::vector<String>{"a", "b;c", "it's"}));
  EXPECT_EQ(list.DelimitedText(), "a;'b;c';'it''s'");
  // CommaText leaves the list's own characters in place.
  EXPECT_EQ(list.CommaText(), "a,b;c,it's");
  EXPECT_EQ(list.Delimiter(), ';');
  EXPECT_EQ(list.QuoteChar(), '\'');
}

TEST(StringList, ChangeEventsAndUpdateBrackets) {
  TStringList list;
  std::vector<String> log;
  list.OnChanging = [&](TObject*) { log.push_back("changing"); };
  list.OnChange = [&](TObject*) { log.push_back("change"); };
  list.Add("a");
  EXPECT_EQ(log, (std::vector<String>{"changing", "change"}));
  log.clear();
  list.BeginUpdate();
  list.Add("b");
  list.BeginUpdate();
  list.Delete(0);
  list.EndUpdate();
  list.SetCommaText("x,y,z");
  list.EndUpdate();
  EXPECT_EQ(log, (std::vector<String>{"changing", "change"}));
  log.clear();
  list.Clear();
  list.Clear();  // already empty: no events
  EXPECT_EQ(log, (std::vector<String>{"changing", "change"}));
}

TEST(StringList, ObjectsAssignAndOwnership) {
  int alive = 0;
  TStringList src;
  src.AddObject("one", new TTracked(&alive));
  src.AddObject("two", new TTracked(&alive));
  TStringList copy;
  copy.Assign(&src);
  EXPECT_EQ(copy.Objects(1), src.Objects(1));
  EXPECT_TRUE(copy.Equals(&src));
  copy.Move(0, 1);
  EXPECT_EQ(Lines(copy), (std::vector<String>{"two", "one"}));
  EXPECT_EQ(copy.Objects(1), src.Objects(0));
  EXPECT_EQ(copy.IndexOfObject(src.Objects(1)), 0);
  // An owning list frees its objects on delete and on destruction, but not on a move.
  src.SetOwnsObjects(true);
  src.Move(1, 0);
  EXPECT_EQ(alive, 2);
  src.Delete(0);
  EXPECT_EQ(alive, 1);
  // Adding a list to itself doubles it once.
  TStringList self;
  self.AddStrings(std::vector<String>{"p", "q"});
  self.AddStrings(&self);
  EXPECT_EQ(Lines(self), (std::vector<String>{"p", "q", "p", "q"}));
  copy.Clear();
}

}  // namespace
