// The mask languages: a mask of any kind (standard, regular expression, extended regular
// expression) set on a focused mask edit of the headless session, then random keys, typed
// characters, clicks, pastes and focus changes. Never a crash or hang; a regular-expression
// mask that compiled keeps the text within what the expression accepts character by character.
// Input: a flags byte, the mask up to a newline, then the keys.
#include <cstddef>
#include <cstdint>

#include "FuzzSession.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxRegExpr.h"
#include "rtl/SysUtils.h"
#include "vcl/Clipbrd.h"

namespace {

struct TKey {
  int Vk;
  bool Shift, Ctrl;
};

const TKey kKeys[] = {{VK_LEFT, false, false},  {VK_RIGHT, false, false}, {VK_HOME, false, false},
                      {VK_END, false, false},   {VK_DELETE, false, false}, {VK_BACK, false, false},
                      {VK_LEFT, true, false},   {VK_RIGHT, true, false},  {VK_HOME, true, false},
                      {VK_END, true, false},    {VK_DELETE, true, false}, {'C', false, true},
                      {'V', false, true},       {'X', false, true},       {'Z', false, true},
                      {'A', false, true},       {VK_RETURN, false, false}, {VK_ESCAPE, false, false},
                      {VK_INSERT, true, false}, {VK_INSERT, false, true},  {VK_LEFT, false, true},
                      {VK_RIGHT, false, true},  {VK_UP, false, false},    {VK_DOWN, false, false}};
const char* const kTexts[] = {"é", "漢", "\xff", "\xc3", "-", "/", ":", ".", "(", ")", "_", "\t"};

struct TSession {
  TForm* Form;
  TcxMaskEdit* Edit;
  TcxMaskEdit* Other;
};

TSession& Session() {
  static TSession s = [] {
    StartFuzzSession();
    InitializeCxMaskEdit();
    TSession r;
    r.Form = new TForm(Application);
    r.Form->SetBounds(100, 100, 300, 200);
    r.Edit = new TcxMaskEdit(r.Form);
    r.Edit->SetBounds(10, 10, 150, 21);
    r.Edit->SetParent(r.Form);
    r.Other = new TcxMaskEdit(r.Form);
    r.Other->SetBounds(10, 50, 150, 21);
    r.Other->SetParent(r.Form);
    r.Form->Show();
    FuzzPump();
    return r;
  }();
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TSession& s = Session();
  TFuzzInput in(data, size);
  const uint8_t flags = in.Byte();
  const String mask = in.Text('\n');
  // A NUL in a mask stands for a character no key can type: masks come from texts without one.
  if (mask.size() > 256 || mask.find('\0') != String::npos) return 0;
  TcxMaskEditProperties* p = s.Edit->Properties();
  s.Edit->SetFocus();
  FuzzPump();
  s.Edit->ClearValue();
  p->SetEditMask("");
  const TcxEditMaskKind kind = TcxEditMaskKind(flags % 3);
  p->SetMaskKind(kind);
  p->SetCaseInsensitive(flags & 4);
  p->SetIgnoreMaskBlank(flags & 8);
  p->SetAlwaysShowBlanksAndLiterals(flags & 16);
  p->SetCharCase((flags & 32) ? ecUpperCase : (flags & 64) ? ecLowerCase : ecNormal);
  p->SetBeepOnError(false);
  try {
    p->SetEditMask(mask);
  } catch (const EcxMaskEditError&) {
    return 0;
  }
  // The expression the edit works with, to check its text against.
  TcxRegExpr expr;
  // Checked without a forced case: a range ("[a-c]") never matches case-insensitively, so an
  // upper-case edit over a lower-case range shows what its mask does not accept, by design.
  bool checked = kind != emkStandard && !IsBlankMask(mask) && p->CharCase() == ecNormal;
  if (checked) {
    TStringStream source(mask);
    expr.SetCaseInsensitive(p->CaseInsensitive());
    try {
      expr.Compile(&source);
    } catch (const Exception&) {
      checked = false;
    }
    // A literal control character (\f, \t, a raw one) is a character the edit never takes:
    // such masks are left unchecked.
    for (Integer i = 0; checked && i < expr.Lexems().Count(); ++i) {
      const TcxLexem& l = expr.Lexems().Item(i);
      if (l.Kind == cxlkLiteral && l.Text.size() == 1 && (uint8_t(l.Text[0]) < 0x20 || l.Text[0] == 0x7f))
        checked = false;
    }
  }
  if (flags & 128) {
    try {
      s.Edit->SetEditValue(Variant(in.Short(12)));
    } catch (const Exception&) {
    }
  }
  FuzzPump();
  for (int steps = 0; !in.Empty() && steps < 200; ++steps) {
    const uint8_t b = in.Byte();
    if (b >= 0x20 && b < 0x7f) {
      FuzzTypeChar(String(1, char(b)));
    } else if (b < 0x20) {
      const TKey& k = kKeys[b % (sizeof(kKeys) / sizeof(kKeys[0]))];
      FuzzKey(k.Vk, k.Shift, k.Ctrl);
    } else if (b < 0xa0) {
      FuzzTypeChar(kTexts[b % (sizeof(kTexts) / sizeof(kTexts[0]))]);
    } else if (b < 0xb0) {
      // A click in the text (also a double click), or away to the other edit and back.
      if (b & 8) {
        s.Other->SetFocus();
        FuzzPump();
        s.Edit->SetFocus();
        FuzzPump();
      } else {
        FuzzClick(s.Edit->ActiveInnerControl()->Handle(), POINT{Integer(in.Byte() % 140), 8}, b & 1);
      }
    } else if (b < 0xc0) {
      Clipboard()->SetAsText(in.Short(16));
      FuzzKey('V', false, true);
    } else {
      s.Edit->SelectRange(in.Byte() % 24, in.Byte() % 24);
      FuzzPump();
    }
    if (std::getenv("FUZZ_TRACE"))
      std::fprintf(stderr, "key %02x: \"%s\" sel %d+%d\n", b, s.Edit->Text().c_str(), int(s.Edit->SelStart()),
                   int(s.Edit->SelLength()));
    if (checked && s.Edit->Focused()) {
      expr.Restart();
      const String text = s.Edit->Text();
      // Every character accepted (a case-insensitive match may answer another case).
      if (CharCount(expr.AcceptText(text)) != CharCount(text)) {
        std::fprintf(stderr, "fuzz: the text \"%s\" left the mask \"%s\"\n", text.c_str(), mask.c_str());
        std::abort();
      }
    }
  }
  s.Other->SetFocus();
  FuzzEndInput();
  return 0;
}
