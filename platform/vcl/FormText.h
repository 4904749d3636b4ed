// The text form format as a tree: parsing a form description into objects, properties and
// values with their line numbers, and printing such a tree back as text. The reader
// (vcl/FormReader.h) turns a tree into components; the writer (vcl/FormWriter.h) makes a
// tree from components.
#pragma once

#include <vector>

#include "rtl/System.h"

KORVAN_EXCEPTION(EParserError, Exception);

enum class TFormValueKind {
  Integer,     // 12, -3, $FF
  Float,       // 1.5, 2E3
  String,      // 'text'#13#10'more', joined with +
  Ident,       // True, clBtnFace, alClient, Button1Click, Panel1, Form1.Panel1
  Set,         // [fsBold, fsItalic]
  List,        // ( values )
  Binary,      // { hex bytes }
  Collection,  // < item ... end >
};

struct TFormProperty;

struct TFormCollectionItem {
  Integer Line = 0;
  std::vector<TFormProperty> Properties;
};

struct TFormValue {
  TFormValueKind Kind = TFormValueKind::Integer;
  Integer Line = 0;
  Int64 IntValue = 0;
  double FloatValue = 0;
  String Text;                       // String: the text (UTF-8); Ident: the identifier; Binary: the bytes
  std::vector<String> SetItems;      // Set
  std::vector<TFormValue> Items;     // List
  std::vector<TFormCollectionItem> CollectionItems;  // Collection

  // Defined below, once TFormProperty is complete (a value holds collection items of properties).
  static TFormValue Int(Int64 v);
  static TFormValue Flt(double v);
  static TFormValue Str(const String& s);
  static TFormValue Id(const String& s);
  static TFormValue Bin(const String& bytes);
};

struct TFormProperty {
  String Name;  // may be dotted: Font.Name, Items.Strings
  Integer Line = 0;
  TFormValue Value;
};

inline TFormValue TFormValue::Int(Int64 v) { TFormValue r; r.Kind = TFormValueKind::Integer; r.IntValue = v; return r; }
inline TFormValue TFormValue::Flt(double v) { TFormValue r; r.Kind = TFormValueKind::Float; r.FloatValue = v; return r; }
inline TFormValue TFormValue::Str(const String& s) { TFormValue r; r.Kind = TFormValueKind::String; r.Text = s; return r; }
inline TFormValue TFormValue::Id(const String& s) { TFormValue r; r.Kind = TFormValueKind::Ident; r.Text = s; return r; }
inline TFormValue TFormValue::Bin(const String& bytes) { TFormValue r; r.Kind = TFormValueKind::Binary; r.Text = bytes; return r; }

struct TFormObject {
  String Keyword = "object";  // object, inherited or inline
  String Name;                // may be empty
  String ClassName;
  Integer Line = 0;
  std::vector<TFormProperty> Properties;
  std::vector<TFormObject> Children;

  const TFormProperty* FindProperty(const String& name) const;
};

// Parses one form description. Raises EParserError "<what> on line N" for malformed text,
// including a truncated file.
TFormObject ParseFormText(const String& text);
// Prints a tree in the text form format (two spaces of indentation per level).
String FormObjectToText(const TFormObject& root);
// Quotes a UTF-8 string the way the format stores it: printable ASCII inside quotes, every
// other character as #code (its UTF-16 code units).
String QuoteFormString(const String& s);
