#include <cmath>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "rtl/Variants.h"
#include "vcl/Controls.h"
#include "vcl/FormReader.h"
#include "vcl/Graphics.h"

namespace {

// Collects the values a persistent object writes for its defined properties.
class TTextValueWriter : public TWriter {
 public:
  std::vector<TFormProperty> Properties;

  void WriteInteger(Int64 v) override { Put(TFormValue::Int(v)); }
  void WriteBoolean(bool v) override { Put(TFormValue::Id(v ? "True" : "False")); }
  void WriteFloat(double v) override { Put(TFormValue::Flt(v)); }
  void WriteString(const String& v) override { Put(TFormValue::Str(v)); }
  void WriteIdent(const String& v) override { Put(TFormValue::Id(v)); }
  void WriteListBegin() override {
    TFormValue l;
    l.Kind = TFormValueKind::List;
    stack_.push_back(l);
  }
  void WriteListEnd() override {
    TFormValue l = stack_.back();
    stack_.pop_back();
    Put(l);
  }

 protected:
  void BeginDefined(const String& name) override {
    name_ = name;
    stack_.clear();
  }
  void EndDefined() override {}
  void WriteBinary(const String& bytes) override { Put(TFormValue::Bin(bytes)); }

 private:
  void Put(const TFormValue& v) {
    if (!stack_.empty()) {
      stack_.back().Items.push_back(v);
      return;
    }
    TFormProperty p;
    p.Name = name_;
    p.Value = v;
    Properties.push_back(p);
  }
  String name_;
  std::vector<TFormValue> stack_;
};

// Colours, character sets and cursors are stored by name when they have one.
TFormValue IntegerValue(const String& prop, Int64 v) {
  String ident;
  auto endsWith = [&](const char* suffix) {
    String s = suffix;
    return prop.size() >= s.size() && prop.compare(prop.size() - s.size(), s.size(), s) == 0;
  };
  if (endsWith("Color") && ColorToIdent(TColor(v), ident)) return TFormValue::Id(ident);
  if (prop == "Charset" && CharsetToIdent(Integer(v), ident)) return TFormValue::Id(ident);
  if (endsWith("Cursor")) {
    static const std::pair<Integer, const char*> cursors[] = {
        {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
        {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
        {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
        {crNoDrop, "crNoDrop"}, {crHSplit, "crHSplit"}, {crVSplit, "crVSplit"}, {crMultiDrag, "crMultiDrag"},
        {crSQLWait, "crSQLWait"}, {crNo, "crNo"}, {crAppStart, "crAppStart"}, {crHelp, "crHelp"},
        {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"}};
    for (auto& [c, n] : cursors)
      if (c == v) return TFormValue::Id(n);
  }
  return TFormValue::Int(v);
}

class TFormSaver {
 public:
  explicit TFormSaver(TComponent* root) : root_(root) {}

  TFormObject Object(TComponent* c) {
    TFormObject o;
    o.Name = c->Name();
    o.ClassName = c->ClassName();
    WriteProperties(c, "", o.Properties);
    std::vector<TComponent*> children;
    if (c == root_) {
      for (Integer i = 0; i < root_->ComponentCount(); ++i) {
        TComponent* k = root_->Components(i);
        if (!k->HasParent() || k->GetParentComponent() == nullptr) children.push_back(k);
      }
    }
    c->GetChildren([&](TComponent* k) {
      if (std::find(children.begin(), children.end(), k) == children.end()) children.push_back(k);
    }, root_);
    for (TComponent* k : children) o.Children.push_back(Object(k));
    return o;
  }

 private:
  String RefName(TComponent* c) {
    if (c == root_) return c->Name();
    if (c->Owner() == root_) return c->Name();
    if (c->Owner() && !c->Owner()->Name().empty()) return c->Owner()->Name() + "." + c->Name();
    return c->Name();
  }

  void WriteProperties(TObject* obj, const String& prefix, std::vector<TFormProperty>& out) {
    for (PPropInfo pi : GetPropList(obj)) {
      if (pi->PropType->Kind == tkMethod) continue;  // handlers are code, not layout
      if (pi->Stored && !pi->Stored(obj)) continue;
      String name = prefix + pi->Name;
      TFormProperty p;
      p.Name = name;
      switch (pi->PropType->Kind) {
        case tkInteger:
        case tkInt64:
        case tkChar:
        case tkWChar:
          if (!IsStoredProp(obj, pi)) continue;
          p.Value = IntegerValue(pi->Name, GetOrdProp(obj, pi));
          break;
        case tkEnumeration:
          if (!IsStoredProp(obj, pi)) continue;
          p.Value = TFormValue::Id(GetEnumName(pi->PropType, GetOrdProp(obj, pi)));
          break;
        case tkSet: {
          if (!IsStoredProp(obj, pi)) continue;
          p.Value.Kind = TFormValueKind::Set;
          Int64 mask = GetOrdProp(obj, pi);
          for (int i = 0; i < 64; ++i)
            if (mask & (Int64(1) << i)) p.Value.SetItems.push_back(GetEnumName(pi->PropType->CompType, i));
          break;
        }
        case tkFloat: {
          double d = GetFloatProp(obj, pi);
          if (d == 0 && !pi->Stored) continue;
          p.Value = TFormValue::Flt(d);
          break;
        }
        case tkString:
        case tkLString:
        case tkWString: {
          String s = GetStrProp(obj, pi);
          if (s.empty() && !pi->Stored) continue;
          p.Value = TFormValue::Str(s);
          break;
        }
        case tkClass: {
          if (!pi->GetObj) continue;
          TObject* v = GetObjectProp(obj, pi);
          if (!v) continue;
          if (auto* comp = dynamic_cast<TComponent*>(v)) {
            if (comp->Name().empty()) continue;
            p.Value = TFormValue::Id(RefName(comp));
            break;
          }
          if (auto* coll = dynamic_cast<TCollection*>(v)) {
            p.Value.Kind = TFormValueKind::Collection;
            for (Integer i = 0; i < coll->Count(); ++i) {
              TFormCollectionItem item;
              WriteProperties(coll->Items(i), "", item.Properties);
              p.Value.CollectionItems.push_back(std::move(item));
            }
            if (coll->Count() == 0) continue;
            break;
          }
          // A persistent sub-object: its own properties under "Name.".
          WriteProperties(v, name + ".", out);
          continue;
        }
        default:
          continue;
      }
      out.push_back(std::move(p));
    }
    if (auto* persistent = dynamic_cast<TPersistent*>(obj)) {
      TTextValueWriter w;
      w.SetRoot(root_);
      CallDefineProperties(persistent, &w);
      for (TFormProperty& p : w.Properties) {
        p.Name = prefix + p.Name;
        out.push_back(std::move(p));
      }
    }
  }

  TComponent* root_;
};

}  // namespace

TFormObject WriteComponentToTree(TComponent* root) { return TFormSaver(root).Object(root); }

String WriteComponentToText(TComponent* root) { return FormObjectToText(WriteComponentToTree(root)); }
