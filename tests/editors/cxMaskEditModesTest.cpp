// The mask modes, driven through a scripted edit: a small model of the platform's edit control
// (text, anchor and caret, its own processing of Left, Right, Home, End, Delete, Backspace and
// typed characters with the Shift anchor) that routes keys through the mode as the mask edit
// does, and reports every selection change it did not make through a guarded setter back to the
// mode. Scripts of keys give the expected text with the selection shown as [..] or the caret
// as |, and the number of beeps.
#include "editors/cxMaskEditModes.h"

#include <random>
#include <sstream>

#include "tests/editors/EditorsTestSupport.h"
#include "user/WinUser.h"

using editors_test::TLocaleFixture;

namespace {

class TScriptedEdit : public IcxMaskModeEdit, public IcxMaskModeProperties {
 public:
  // Properties.
  bool beepOnError = true, caseInsensitive = true, ignoreMaskBlank = false;
  TEditCharCase charCase = ecNormal;
  bool BeepOnError() const override { return beepOnError; }
  bool CaseInsensitive() const override { return caseInsensitive; }
  TEditCharCase CharCase() const override { return charCase; }
  bool IgnoreMaskBlank() const override { return ignoreMaskBlank; }

  std::unique_ptr<TcxMaskEditCustomMode> mode;
  std::u32string text;
  Integer anchor = 0, caret = 0;
  bool shiftDown = false;
  bool shiftFlag = false;
  Integer beeps = 0;
  char32_t refusedChar = 0;  // ValidateMaskChar clears this character

  void Start(TcxEditMaskKind kind, const String& mask, const String& display = String()) {
    mode = CreateMaskEditMode(kind, this, nullptr);
    mode->SetModeMask(mask);
    Display(display.empty() ? mode->EmptyEditValueText() : display);
  }

  // The edit's display of a value: formatted by the mode, then the mode's text synchronised.
  void Display(const String& value) {
    text = ToMaskChars(mode->FormatText(value, true));
    anchor = caret = 0;
    mode->SetModeText(Text());
  }

  // IcxMaskModeEdit.
  bool InnerEditAvailable() const override { return true; }
  bool HandleAllocated() const override { return true; }
  IcxMaskModeProperties* ModeProperties() const override { return const_cast<TScriptedEdit*>(this); }
  String Text() const override { return FromMaskChars(text); }
  Integer SelStart() const override { return std::min(anchor, caret); }
  Integer SelLength() const override { return std::abs(anchor - caret); }
  Integer CaretPos() const override { return caret; }
  void SetSelStart(Integer value) override {
    SetSelStartGuarded(value);
    Changed();
  }
  void SetSelLength(Integer value) override {
    SetSelLengthGuarded(value);
    Changed();
  }
  void SetSelStartGuarded(Integer value) override { anchor = caret = Clamp(value); }
  void SetSelLengthGuarded(Integer value) override {
    anchor = SelStart();
    caret = Clamp(anchor + value);
  }
  bool ShiftFlag() const override { return shiftFlag; }
  void SetShiftFlag(bool value) override { shiftFlag = value; }
  void SendKeyDown(Word key) override { NativeKey(key); }
  void SendChar(char32_t c) override { NativeChar(c); }
  // The inner edit's text written as it stands.
  void SetValidatedDisplayValue(const String& value) override {
    text = ToMaskChars(value);
    anchor = caret = 0;
  }
  void SetInternalEditValue(const String& value) override { Display(value); }
  bool ValidateMaskChar(char32_t& c, Integer) override {
    if (c == refusedChar) c = 0;
    return true;
  }
  bool ModifiedAfterEnter() const override { return true; }
  String PreparedDisplayValue() const override { return Text(); }
  void Beep() override { ++beeps; }

  // The mask edit's routing of a key-down and of a character.
  void KeyDown(Word key, bool shift = false) {
    shiftDown = shift;
    shiftFlag = shift;
    bool through = true;
    switch (key) {
      case VK_LEFT: through = mode->MoveLeft(); break;
      case VK_RIGHT: through = mode->MoveRight(); break;
      case VK_HOME: through = mode->GoToHome(); break;
      case VK_END: through = mode->GoToEnd(); break;
      case VK_DELETE:
        if (!shift) {
          through = mode->DeleteForward();
        } else if (SelLength() == 0) {
          through = mode->DeleteBackward();
        } else {
          // The inner edit's Shift+Delete is a cut, which the edit hands to its mode.
          Cut();
          through = false;
        }
        break;
    }
    if (through) NativeKey(key);
    shiftDown = false;
  }
  void KeyPress(char32_t c) {
    bool through = c == 8 ? mode->DeleteBackward() : mode->PressChar(c);
    if (through) NativeChar(c);
  }
  // A click: the mode hears of the press, then of the caret the edit put there.
  void Click(Integer position) {
    mode->NoteMouseAction();
    anchor = caret = Clamp(position);
    Changed();
  }
  void Drag(Integer from, Integer to) {
    Click(from);
    caret = Clamp(to);
    Changed();
  }
  // A cut with a selection: the mode deletes forward, and a key it lets through deletes the
  // selection natively. Without a selection there is nothing to cut (a Backspace let through
  // there would delete the character before the caret).
  void Cut() {
    if (SelLength() > 0 && mode->DeleteForward()) SendChar(8);
  }
  void Paste(const String& clip) {
    Integer length = CharCount(clip);
    mode->SetPendingPasteLength(length);
    mode->PreparePaste();
    Integer start = SelStart();
    std::u32string chars = ToMaskChars(clip);
    text.replace(size_t(start), size_t(SelLength()), chars);
    anchor = caret = start;
    text = ToMaskChars(mode->FormatText(Text(), true));
    mode->SetModeText(Text());
    anchor = caret = Clamp(start + length);
    Changed();
    mode->FinishPaste();
    mode->SetPendingPasteLength(0);
  }

  // Tokens separated by blanks: one character is typed; BS, DEL, LEFT, RIGHT, HOME, END (S-
  // for Shift), SP (a blank), @n (click), @n-m (drag), cut, paste:text.
  void Run(const String& script) {
    std::istringstream in(script);
    std::string token;
    while (in >> token) {
      bool shift = token.rfind("S-", 0) == 0 && token.size() > 2;
      String key = shift ? token.substr(2) : token;
      if (key == "BS") KeyPress(8);
      else if (key == "SP") KeyPress(' ');
      else if (key == "DEL") KeyDown(VK_DELETE, shift);
      else if (key == "LEFT") KeyDown(VK_LEFT, shift);
      else if (key == "RIGHT") KeyDown(VK_RIGHT, shift);
      else if (key == "HOME") KeyDown(VK_HOME, shift);
      else if (key == "END") KeyDown(VK_END, shift);
      else if (key == "cut") Cut();
      else if (key.rfind("paste:", 0) == 0) Paste(key.substr(6));
      else if (key[0] == '@' && key.size() > 1) {
        size_t dash = key.find('-');
        if (dash == String::npos) Click(std::stoi(key.substr(1)));
        else Drag(std::stoi(key.substr(1, dash - 1)), std::stoi(key.substr(dash + 1)));
      } else {
        size_t offset = 0;
        KeyPress(DecodeUtf8(token, offset));
      }
    }
  }

  // The text with the selection in brackets, or the caret as a bar.
  String Show() const {
    std::u32string shown = text;
    if (SelLength() == 0) {
      shown.insert(size_t(caret), 1, U'|');
    } else {
      shown.insert(size_t(SelStart() + SelLength()), 1, U']');
      shown.insert(size_t(SelStart()), 1, U'[');
    }
    return FromMaskChars(shown);
  }

 private:
  Integer Clamp(Integer value) const { return std::max(0, std::min(value, Integer(text.size()))); }
  void Changed() { mode->NoteMouseAction(); }
  void Collapse(Integer position) { anchor = caret = Clamp(position); }
  void DeleteSelection() {
    text.erase(size_t(SelStart()), size_t(SelLength()));
    Collapse(SelStart());
  }
  void NativeKey(Word key) {
    Integer length = Integer(text.size());
    switch (key) {
      case VK_LEFT:
        if (shiftDown) caret = Clamp(caret - 1);
        else Collapse(SelLength() ? SelStart() : caret - 1);
        break;
      case VK_RIGHT:
        if (shiftDown) caret = Clamp(caret + 1);
        else Collapse(SelLength() ? SelStart() + SelLength() : caret + 1);
        break;
      case VK_HOME:
        if (shiftDown) caret = 0;
        else Collapse(0);
        break;
      case VK_END:
        if (shiftDown) caret = length;
        else Collapse(length);
        break;
      case VK_DELETE:
        // Shift+Delete cuts the selection, or without one deletes backwards.
        if (SelLength() == 0 && shiftDown && caret > 0) anchor = caret - 1;
        else if (SelLength() == 0 && !shiftDown && caret < length) caret = caret + 1;
        DeleteSelection();
        break;
      default: return;
    }
    Changed();
  }
  void NativeChar(char32_t c) {
    if (c == 8) {
      if (SelLength() == 0 && caret > 0) anchor = caret - 1;
      DeleteSelection();
    } else {
      DeleteSelection();
      text.insert(size_t(caret), 1, c);
      Collapse(caret + 1);
    }
    Changed();
  }
};

struct Script {
  const char* start;  // the display text before the script ("" for the empty value)
  const char* keys;
  const char* shown;
  Integer beeps;
};

void RunScripts(TcxEditMaskKind kind, const String& mask, std::initializer_list<Script> scripts) {
  for (const auto& s : scripts) {
    TScriptedEdit edit;
    edit.Start(kind, mask, s.start);
    edit.Run(s.keys);
    EXPECT_EQ(edit.Show(), s.shown) << mask << ": " << s.start << " / " << s.keys;
    EXPECT_EQ(edit.beeps, s.beeps) << mask << ": " << s.start << " / " << s.keys;
  }
}

class MaskModesTest : public TLocaleFixture {};

TEST_F(MaskModesTest, StandardModeScripts) {
  RunScripts(emkStandard, "00/00",
             {
                 {"", "@0", "[_]_/__", 0},
                 {"", "@0 1", "1[_]/__", 0},
                 {"", "@0 1 2", "12/[_]_", 0},
                 {"", "@0 1 2 3 4", "12/34|", 0},
                 {"", "@0 a", "[_]_/__", 0},
                 {"", "@0 1 a x 2", "12/[_]_", 0},
                 {"1234", "@1-4 DEL", "1[_]/_4", 0},
                 {"1234", "@3 BS", "1[_]/34", 0},
                 {"1234", "@4 LEFT", "12/[3]4", 0},
                 {"1234", "@4 LEFT LEFT", "1[2]/34", 0},
                 {"1234", "@1 RIGHT", "12/[3]4", 0},
                 {"1234", "@4 HOME", "[1]2/34", 0},
                 {"1234", "@0 END", "12/34|", 0},
                 {"1234", "@1-4 LEFT", "1[2]/34", 0},
                 {"1234", "@0-3 RIGHT", "1[2]/34", 0},
                 {"1234", "@1-5 RIGHT", "12/34|", 0},
                 {"1234", "@2 9", "12/9[4]", 0},
                 {"1234", "@1-4 9", "19/[_]4", 0},
                 {"", "@0 paste:1234", "12/3[4]", 0},
                 {"", "@0 paste:12", "12/[_]_", 0},
                 {"1234", "@2 S-RIGHT", "12[/3]4", 0},
                 {"1234", "@2 S-END", "12[/34]", 0},
             });
  RunScripts(emkStandard, "(999)",
             {
                 {"", "@0 HOME", "([_]__)", 0},
                 {"", "@0 1 2 3", "(123)|", 0},
                 {"123", "@4 BS", "(12[_])", 0},
             });
  RunScripts(emkStandard, ">LL",
             {
                 {"", "@0 a b", "AB|", 0},
             });
}

TEST_F(MaskModesTest, StandardModeBeepsOnlyWhenTheEditClearsACharacter) {
  TScriptedEdit edit;
  edit.Start(emkStandard, "00");
  edit.refusedChar = '9';
  edit.Run("@0 9 a 1");
  EXPECT_EQ(edit.Show(), "1[_]");
  EXPECT_EQ(edit.beeps, 1);
  edit.beepOnError = false;
  edit.Run("9");
  EXPECT_EQ(edit.beeps, 1);
}

TEST_F(MaskModesTest, StandardModeValuesAndValidation) {
  TScriptedEdit edit;
  edit.Start(emkStandard, "00/00;0;_");
  auto* mode = edit.mode.get();
  EXPECT_EQ(mode->EmptyEditValueText(), "    ");
  EXPECT_EQ(mode->FormatText("1234", false), "12/34");
  EXPECT_EQ(mode->EditValueOfText("12/34", true), "1234");
  EXPECT_TRUE(mode->IsTextValid("12/34"));
  EXPECT_FALSE(mode->IsTextValid("__/__"));
  EXPECT_FALSE(mode->IsTextValid("1_/__"));
  edit.ignoreMaskBlank = true;
  EXPECT_TRUE(mode->IsTextValid("__/__"));
  EXPECT_FALSE(mode->IsTextValid("1_/__"));
  edit.Run("@0");
  EXPECT_TRUE(mode->CaretAtFirst());
  edit.Run("END");
  EXPECT_TRUE(mode->CaretAtLast());

  // A mode without an edit formats for its properties and asks for the empty value later.
  TScriptedEdit properties;
  TcxMaskEditStandardMode bare(nullptr, &properties);
  bare.SetModeMask(">LL");
  EXPECT_EQ(bare.EditValueOfText("ab", true), "AB");
  properties.charCase = ecLowerCase;
  EXPECT_EQ(bare.EditValueOfText("ab", true), "ab");
  EXPECT_EQ(bare.Mask(), ">LL");
  EXPECT_EQ(bare.EditValueOfText("ab", true), "ab");
}

TEST_F(MaskModesTest, RegExprModeScripts) {
  RunScripts(emkRegExpr, "\\d+",
             {
                 {"", "1 2 a", "12|", 1},
                 {"1234", "@2 5", "125|34", 0},
                 {"1234", "@2 5 DEL", "125|4", 0},
                 {"1234", "@2 5 DEL BS", "12|4", 0},
                 {"1234", "@1-3 9", "19|4", 0},
                 {"1234", "@3-1 9", "19|4", 0},
                 {"1234", "@2 LEFT LEFT 7", "7|1234", 0},
                 {"1234", "@0 END 5", "12345|", 0},
                 {"1234", "@4 HOME 0", "0|1234", 0},
                 {"1234", "@1-3 BS", "1|4", 0},
                 {"1234", "@1 paste:99", "199|234", 0},
                 {"1234", "@4 S-LEFT S-LEFT BS", "12|", 0},
             });
  RunScripts(emkRegExpr, "ab\\d",
             {
                 {"", "a b 1", "ab1|", 0},
                 {"", "A B", "ab|", 0},
                 {"ab1", "@1 DEL", "a|", 0},
                 {"ab1", "@1 9", "a|b1", 1},
                 {"ab1", "@1 BS", "|", 0},
                 {"ab1", "@0-2 x", "[ab]1", 1},
             });
}

TEST_F(MaskModesTest, RegExprModeValidation) {
  TScriptedEdit edit;
  edit.Start(emkRegExpr, "\\d+");
  auto* mode = edit.mode.get();
  EXPECT_TRUE(mode->IsTextValid(""));
  EXPECT_TRUE(mode->IsTextValid("12"));
  EXPECT_FALSE(mode->IsTextValid("12a"));
  edit.Start(emkRegExpr, "\\d\\d");
  EXPECT_FALSE(edit.mode->IsTextValid("1"));
  edit.ignoreMaskBlank = true;
  EXPECT_TRUE(edit.mode->IsTextValid("1"));
  EXPECT_EQ(edit.mode->FormatText("1a2b3", true), "12");
  EXPECT_EQ(edit.mode->EditValueOfText("1a", true), "1a");
}

// Formatting another text through the mode moves its expression: the next key rebuilds the
// head from the edit's text instead of trusting the moved state.
TEST_F(MaskModesTest, RegExprModeRebuildsAfterFormatting) {
  TScriptedEdit edit;
  edit.Start(emkRegExpr, "1a|2b");
  edit.Run("1");
  EXPECT_EQ(edit.mode->FormatText("2", true), "2");
  edit.Run("a");
  EXPECT_EQ(edit.Show(), "1a|");
  EXPECT_EQ(edit.beeps, 0);
}

TEST_F(MaskModesTest, ExtendedModeScripts) {
  RunScripts(emkRegExprEx, "\\d\\d/\\d\\d",
             {
                 {"", "1", "1|", 0},
                 {"", "1 2", "12/|", 0},
                 {"", "1 2 BS", "1|", 0},
                 {"", "1 2 3 4", "12/34|", 0},
                 {"", "1 2 3 4 LEFT", "12/3|4", 0},
                 {"", "1 2 3 4 LEFT LEFT", "12/|34", 0},
                 {"", "1 2 3 4 LEFT LEFT LEFT", "1|2/34", 0},
                 {"", "1 2 3 4 LEFT LEFT LEFT RIGHT", "12/|34", 0},
                 {"", "1 x", "1|", 1},
                 {"12/34", "@5 BS", "12/3|", 0},
                 {"12/34", "@5 BS BS", "12/|", 0},
                 {"12/34", "@5 BS BS BS", "1|", 0},
                 {"12/34", "@1 5", "15/|", 0},
                 {"12/34", "@5 HOME END 5", "12/34|", 1},
                 {"1234", "", "|12/", 0},
                 {"12/34", "@0-5 9", "9|", 0},
                 {"12/34", "@1-4 9", "19/|4", 0},
                 {"12/34", "@3-5 BS", "12/|", 0},
                 {"12/34", "@3-5 7 8", "12/78|", 0},
                 {"12/34", "@2 9", "19/|", 0},
                 {"12/34", "@1 DEL", "1|", 0},
                 {"12/34", "@4 DEL", "12/3|", 0},
                 {"12/34", "@5 S-LEFT S-LEFT", "12/[34]", 0},
                 {"12/34", "@5 S-LEFT S-LEFT S-LEFT", "1[2/34]", 0},
                 {"12/34", "@0 paste:9", "9|1/34", 0},
                 {"52/2", "@2-0 RIGHT DEL", "52|", 0},
             });
  RunScripts(emkRegExprEx, "'('\\d\\d\\d')'",
             {
                 {"", "", "|(", 0},
                 {"", "END 1 2", "(12|", 0},
                 {"", "END 1 2 3", "(123)|", 0},
                 {"", "END BS", "(|", 1},
                 {"", "END 1 2 3 BS", "(12|", 0},
                 {"", "@1 DEL", "(|", 0},
                 {"(123)", "@0-5 4", "(4|", 0},
                 {"(123)", "@0-5 BS", "(|", 0},
                 {"(123)", "@5 LEFT", "(12|3)", 0},
                 {"(123)", "@0 DEL", "|(123)", 1},
             });
}

TEST_F(MaskModesTest, ExtendedModeEmptyTextAndValidation) {
  TScriptedEdit edit;
  edit.Start(emkRegExprEx, "'('\\d\\d\\d')'");
  auto* mode = edit.mode.get();
  EXPECT_EQ(mode->EmptyEditValueText(), "(");
  EXPECT_TRUE(mode->IsTextValid("("));
  EXPECT_TRUE(mode->IsTextValid("(123)"));
  EXPECT_FALSE(mode->IsTextValid("(12"));
  EXPECT_FALSE(mode->IsTextValid(""));
  EXPECT_EQ(mode->FormatText("12", true), "(");
  EXPECT_EQ(mode->FormatText("(12", true), "(12");
  EXPECT_EQ(mode->FormatText("(123", true), "(123)");

  // Without an edit, the empty value waits for the edit that applies it.
  TScriptedEdit properties;
  TcxMaskEditRegExprExMode bare(nullptr, &properties);
  bare.SetModeMask("\\d\\d");
  EXPECT_EQ(bare.EmptyEditValueText(), "");
  EXPECT_TRUE(bare.IsTextValid(""));
}

TEST_F(MaskModesTest, MaskThatDoesNotCompileListsEveryError) {
  for (TcxEditMaskKind kind : {emkRegExpr, emkRegExprEx}) {
    TScriptedEdit edit;
    edit.Start(kind, "\\d+");
    try {
      edit.mode->SetModeMask("*a|+b");
      FAIL();
    } catch (const EcxMaskEditError& e) {
      EXPECT_EQ(e.Message(),
                "Regular expression errors:\r\nLine1, Char1: Illegal quantifier '*'\r\n"
                "Line1, Char4: Illegal quantifier '+'");
    }
    auto* mode = static_cast<TcxMaskEditRegExprMode*>(edit.mode.get());
    EXPECT_EQ(mode->Mask(), "*a|+b");
    EXPECT_FALSE(mode->RegExpr()->IsCompiled());
    EXPECT_FALSE(mode->IsTextValid("1"));
  }
}

// The format controller's date masks, typed into.
TEST_F(MaskModesTest, DateMasksOfTheFormatController) {
  FormatSettings.ShortDateFormat = "d/M/yyyy";
  Apply();
  auto* fc = GlobalFormatController();
  RunScripts(emkStandard, fc->DateStandardMask(),
             {
                 {"", "@0 3 1 1 2 2 0 2 4", "31/12/2024|", 0},
             });
  RunScripts(emkRegExpr, fc->DateMaskRegExpr(),
             {
                 {"", "3 1 / 1 2 / 2 0 2 4", "31/12/2024|", 0},
                 {"", "3 1 x", "31|", 1},
                 {"", "t o d a y + 3", "today+3|", 0},
             });
  RunScripts(emkRegExprEx, fc->DateMaskRegExpr(),
             {
                 {"", "3 1", "31/|", 0},
                 {"", "3 1 1 2 2 0 2 4", "31/12/2024|", 0},
                 {"", "3 1 BS", "3|", 0},
             });
  TScriptedEdit edit;
  edit.Start(emkRegExprEx, fc->DateMaskRegExpr());
  EXPECT_TRUE(edit.mode->IsTextValid("31/12/2024"));
  EXPECT_FALSE(edit.mode->IsTextValid("31/12/20"));
}

// Random keys, clicks, drags and pastes: a regular-expression mode never lets the text leave
// what its expression accepts character by character, and a standard mode keeps one character
// per position.
TEST_F(MaskModesTest, RandomScriptsKeepTheTextWithinTheMask) {
  struct Mask {
    TcxEditMaskKind kind;
    const char* mask;
  } masks[] = {{emkRegExpr, "\\d\\d/\\d\\d"},          {emkRegExprEx, "\\d\\d/\\d\\d"},
               {emkRegExprEx, "'('\\d\\d\\d')'"},      {emkRegExpr, "[a-c]+(-\\d)?"},
               {emkRegExprEx, "[a-c]+(-\\d)?x"},       {emkRegExprEx, "(\\d\\d?:)?\\d\\d'.'\\d"},
               {emkStandard, "!99/99/0000;1;_"},        {emkStandard, "(999) LL-aa;0"}};
  const char* keys[] = {"1", "2", "a", "b", "-", "/", ":", "x", "(", "BS", "DEL", "S-DEL", "LEFT",
                        "RIGHT", "S-LEFT", "S-RIGHT", "HOME", "END", "S-HOME", "cut"};
  std::mt19937 random(38);
  for (const auto& m : masks) {
    for (int round = 0; round < 300; ++round) {
      TScriptedEdit edit;
      edit.beepOnError = false;
      edit.Start(m.kind, m.mask);
      TcxStandardMask standard;
      standard.SetMask(m.mask);
      TcxRegExpr expr;
      if (m.kind != emkStandard) {
        TStringStream source(m.mask);
        expr.Compile(&source);
      }
      String script;
      for (int step = 0; step < 40; ++step) {
        Integer length = Integer(edit.text.size());
        int pick = int(random() % 24);
        String token;
        if (pick < 20) {
          token = keys[pick];
        } else if (pick < 22) {
          token = "@" + IntToStr(Integer(random() % (length + 1)));
        } else if (pick == 22) {
          token = "@" + IntToStr(Integer(random() % (length + 1))) + "-" + IntToStr(Integer(random() % (length + 1)));
        } else {
          token = "paste:" + String(1, char('0' + random() % 10)) + "a";
        }
        script += token + " ";
        edit.Run(token);
        if (m.kind == emkStandard) {
          ASSERT_EQ(Integer(edit.text.size()), standard.Count()) << m.mask << ": " << script;
          continue;
        }
        expr.Restart();
        String text = edit.Text();
        ASSERT_EQ(expr.AcceptText(text), text) << m.mask << ": " << script;
      }
    }
  }
}

}  // namespace
