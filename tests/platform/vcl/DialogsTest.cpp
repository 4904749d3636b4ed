// The open and save dialogs on a real folder, driven by keys and clicks, and message dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "VclTestSupport.h"

namespace fs = std::filesystem;

namespace {

class FileDialogTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    dir_ = fs::path(testing_support::SheetPath("")) / "dialog_folder";
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
    fs::create_directories(dir_ / "Archive");
    fs::create_directories(dir_ / ".hidden");
    for (const char* f : {"b.csv", "A.CSV", "notes.txt", "sub/inner.csv", ".secret.csv"}) std::ofstream(dir_ / f) << "x";
  }
  // Runs `steps` inside the dialog, one per idle moment, and captures the list it showed.
  void Drive(std::vector<std::function<void(TFileDialogForm*)>> steps) {
    SetDialogShowHook([this, steps](TCustomForm* form) {
      auto* f = dynamic_cast<TFileDialogForm*>(form);
      ASSERT_NE(f, nullptr);
      form_ = f;
      shown_ = f->FileList()->Items()->ToVector();
      bool first = true;
      for (auto& step : steps) {
        S().Backend().OnIdle([this, f, step, first] {
          if (first) S().Snapshot(f->Handle(), "vcl_open_dialog.png");  // painted by now
          step(f);
        });
        first = false;
      }
    });
  }
  static void Key(int vk) {
    InputKey(vk, true);
    InputKey(vk, false);
  }
  static void Type(const String& s) { InputText(s); }
  fs::path dir_;
  TFileDialogForm* form_ = nullptr;
  std::vector<String> shown_;
};

TEST_F(FileDialogTest, ListsFoldersThenFilesMatchingTheFilter) {
  TOpenDialog d(nullptr);
  d.SetFilter("CSV files (*.csv)|*.csv|All files (*.*)|*.*");
  d.SetInitialDir(dir_.string());
  Drive({[](TFileDialogForm*) { Key(VK_ESCAPE); }});
  EXPECT_FALSE(d.Execute());
  EXPECT_EQ(shown_, (std::vector<String>{"Archive/", "sub/", "A.CSV", "b.csv"}));
}

TEST_F(FileDialogTest, ChoosesAFileByClickingAndOpening) {
  TOpenDialog d(nullptr);
  d.SetFilter("All files (*.*)|*.*");
  d.SetInitialDir(dir_.string());
  d.SetOptions(d.Options() + ofFileMustExist);
  Drive({
      [this](TFileDialogForm* f) {
        // Click "notes.txt" (the last entry) in the list.
        TRect r = f->FileList()->ItemRect(4);
        POINT p = S().ScreenPoint(f->FileList()->Handle(), {r.Left + 5, r.Top + 3});
        InputMouseMove(p);
        InputMouseButton(kMouseLeft, true, p);
        InputMouseButton(kMouseLeft, false, p);
      },
      [](TFileDialogForm* f) {
        POINT p{5, 5};
        ClientToScreen(f->OkButton()->Handle(), &p);
        InputMouseMove(p);
        InputMouseButton(kMouseLeft, true, p);
        InputMouseButton(kMouseLeft, false, p);
      },
  });
  ASSERT_TRUE(d.Execute());
  EXPECT_EQ(d.FileName(), (dir_ / "notes.txt").string());
  EXPECT_EQ(d.Files()->Count(), 1);
}

TEST_F(FileDialogTest, NavigatesIntoFoldersAndUp) {
  TOpenDialog d(nullptr);
  d.SetFilter("CSV files (*.csv)|*.csv");
  d.SetInitialDir(dir_.string());
  std::vector<String> inSub;
  String dirAfterUp;
  Drive({
      [](TFileDialogForm* f) {
        f->NameEdit()->SetText("sub");
        Key(VK_RETURN);  // a folder name opens the folder
      },
      [&](TFileDialogForm* f) {
        inSub = f->FileList()->Items()->ToVector();
        f->UpButton()->Click();
        dirAfterUp = f->Directory();
        Key(VK_ESCAPE);
      },
  });
  EXPECT_FALSE(d.Execute());
  EXPECT_EQ(inSub, std::vector<String>{"inner.csv"});
  EXPECT_EQ(dirAfterUp, dir_.string());
}

TEST_F(FileDialogTest, TypedNameGetsTheDefaultExtensionAndMustExistWhenAsked) {
  struct Case {
    const char* Typed;
    bool MustExist;
    bool Accepted;
    const char* Result;
  };
  const Case cases[] = {
      {"b", true, true, "b.csv"},             // the default extension is added
      {"notes.txt", true, true, "notes.txt"},  // an extension of its own stays
      {"missing", true, false, ""},           // open: the file must exist
      {"missing", false, true, "missing.csv"},
  };
  for (const Case& c : cases) {
    TOpenDialog d(nullptr);
    d.SetFilter("All files (*.*)|*.*");
    d.SetDefaultExt("csv");
    d.SetInitialDir(dir_.string());
    if (c.MustExist) d.SetOptions(d.Options() + ofFileMustExist);
    std::vector<String> warnings;
    SetMessageDlgHook([&](const String& msg, TMsgDlgType, TMsgDlgButtons) {
      warnings.push_back(msg);
      return Integer(mrOk);
    });
    std::vector<std::function<void(TFileDialogForm*)>> steps = {[&](TFileDialogForm* f) {
      f->NameEdit()->SetFocus();
      f->NameEdit()->SelectAll();
      Type(c.Typed);
      Key(VK_RETURN);
    }};
    if (!c.Accepted) steps.push_back([](TFileDialogForm*) { Key(VK_ESCAPE); });  // still open after a refusal
    Drive(steps);
    bool ok = d.Execute();
    EXPECT_EQ(ok, c.Accepted) << c.Typed;
    if (ok) {
      EXPECT_EQ(d.FileName(), (dir_ / c.Result).string());
    }
    EXPECT_EQ(warnings.size(), c.Accepted ? 0u : 1u) << c.Typed;
    EXPECT_EQ(S().Backend().PendingIdleActions(), 0u);
  }
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAFile) {
  for (TModalResult answer : {mrNo, mrYes}) {
    TSaveDialog d(nullptr);
    d.SetInitialDir(dir_.string());
    d.SetOptions(d.Options() + ofOverwritePrompt);
    std::vector<String> asked;
    SetMessageDlgHook([&](const String& msg, TMsgDlgType, TMsgDlgButtons buttons) {
      asked.push_back(msg);
      EXPECT_EQ(buttons, mbYesNo);
      return Integer(answer);
    });
    std::vector<std::function<void(TFileDialogForm*)>> steps = {[](TFileDialogForm* f) {
      f->NameEdit()->SetText("b.csv");
      f->OkButton()->Click();
    }};
    if (answer == mrNo) steps.push_back([](TFileDialogForm*) { Key(VK_ESCAPE); });
    Drive(steps);
    bool ok = d.Execute();
    EXPECT_EQ(asked, std::vector<String>{"b.csv already exists.\nDo you want to replace it?"});
    EXPECT_EQ(ok, answer == mrYes);
    EXPECT_EQ(S().Backend().PendingIdleActions(), 0u);
  }
}

TEST(MatchesMaskTest, WildcardsAreCaseInsensitive) {
  struct Case {
    const char* Name;
    const char* Masks;
    bool Match;
  };
  const Case cases[] = {
      {"a.csv", "*.csv", true},      {"A.CSV", "*.csv", true},     {"a.csv.bak", "*.csv", false},
      {"README", "*.*", true},       {"data1.txt", "data?.txt", true}, {"data10.txt", "data?.txt", false},
      {"x.txt", "*.csv; *.txt", true}, {"x", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesMask(c.Name, c.Masks), c.Match) << c.Name << " " << c.Masks;
}

}  // namespace
