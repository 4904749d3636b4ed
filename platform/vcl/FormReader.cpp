#include "vcl/FormReader.h"

#include <cmath>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "rtl/Variants.h"
#include "vcl/Consts.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"

namespace {

// A filer reader positioned on one parsed value; lists are walked with a stack.
class TTextValueReader : public TReader {
 public:
  explicit TTextValueReader(const TFormValue& v) { stack_.push_back({&v, 0, true}); }

  TValueType NextValue() override {
    const TFormValue* v = Peek();
    if (!v) return vaNull;
    switch (v->Kind) {
      case TFormValueKind::Integer: return v->IntValue >= INT32_MIN && v->IntValue <= INT32_MAX ? vaInt32 : vaInt64;
      case TFormValueKind::Float: return vaExtended;
      case TFormValueKind::String: return vaString;
      case TFormValueKind::Ident:
        if (SameText(v->Text, "True")) return vaTrue;
        if (SameText(v->Text, "False")) return vaFalse;
        if (SameText(v->Text, "nil")) return vaNil;
        return vaIdent;
      case TFormValueKind::Set: return vaSet;
      case TFormValueKind::List: return vaList;
      case TFormValueKind::Binary: return vaBinary;
      case TFormValueKind::Collection: return vaCollection;
    }
    return vaNull;
  }
  Int64 ReadInt64() override { return Take(TFormValueKind::Integer).IntValue; }
  bool ReadBoolean() override {
    const TFormValue& v = Take(TFormValueKind::Ident);
    if (SameText(v.Text, "True")) return true;
    if (SameText(v.Text, "False")) return false;
    throw EReadError(vcl_consts::SInvalidPropertyValue);
  }
  double ReadFloat() override {
    const TFormValue* v = Peek();
    if (v && v->Kind == TFormValueKind::Integer) return double(Take(TFormValueKind::Integer).IntValue);
    return Take(TFormValueKind::Float).FloatValue;
  }
  String ReadString() override { return Take(TFormValueKind::String).Text; }
  String ReadIdent() override { return Take(TFormValueKind::Ident).Text; }
  void ReadListBegin() override {
    const TFormValue& v = Take(TFormValueKind::List);
    stack_.push_back({&v, 0, false});
  }
  void ReadListEnd() override {
    if (stack_.size() <= 1 || !EndOfList()) throw EReadError(vcl_consts::SInvalidPropertyValue);
    stack_.pop_back();
  }
  bool EndOfList() override {
    Frame& f = stack_.back();
    return f.Single ? f.Index > 0 : f.Index >= f.Value->Items.size();
  }
  void SkipValue() override { Next(); }
  bool Finished() const { return stack_.size() == 1 && stack_[0].Index > 0; }

 protected:
  String ReadBinary() override { return Take(TFormValueKind::Binary).Text; }

 private:
  struct Frame {
    const TFormValue* Value;
    size_t Index;
    bool Single;
  };
  const TFormValue* Peek() const {
    const Frame& f = stack_.back();
    if (f.Single) return f.Index == 0 ? f.Value : nullptr;
    return f.Index < f.Value->Items.size() ? &f.Value->Items[f.Index] : nullptr;
  }
  const TFormValue& Next() {
    const TFormValue* v = Peek();
    if (!v) throw EReadError(vcl_consts::SInvalidPropertyValue);
    ++stack_.back().Index;
    return *v;
  }
  const TFormValue& Take(TFormValueKind kind) {
    const TFormValue* v = Peek();
    if (!v || v->Kind != kind) throw EReadError(vcl_consts::SInvalidPropertyValue);
    return Next();
  }
  std::vector<Frame> stack_;
};

struct Fixup {
  TObject* Instance;
  PPropInfo Prop;
  String Target;
  Integer Line;
  String Path;
};

class TFormLoader {
 public:
  explicit TFormLoader(TComponent* root) : root_(root), names_(dynamic_cast<TPublishedNames*>(root)) {}

  void Load(const TFormObject& tree) {
    SetState(root_, true);
    root_->Loading();
    loaded_.push_back(root_);
    try {
      if (root_->Name().empty() && !tree.Name.empty()) root_->SetName(UniqueRootName(tree.Name));
      ReadObjectBody(root_, tree, root_->Name().empty() ? tree.Name : root_->Name());
      ResolveFixups();
    } catch (...) {
      for (TComponent* c : loaded_) SetState(c, false);
      throw;
    }
    for (TComponent* c : loaded_) {
      TComponentState s = c->ComponentState();
      s.Exclude(csReading);
      SetComponentStateOf(c, s);
    }
    for (TComponent* c : loaded_) c->Loaded();
  }

 private:
  static void SetComponentStateOf(TComponent* c, const TComponentState& s);

  // A second root of the same name under one owner becomes Name_1, Name_2 ...
  String UniqueRootName(const String& name) const {
    TComponent* owner = root_->Owner();
    if (!owner || !owner->FindComponent(name)) return name;
    for (Integer i = 1;; ++i) {
      String n = name + "_" + IntToStr(i);
      if (!owner->FindComponent(n)) return n;
    }
  }
  static void SetState(TComponent* c, bool loading) {
    TComponentState s = c->ComponentState();
    if (loading) {
      s.Include(csLoading);
      s.Include(csReading);
    } else {
      s.Exclude(csLoading);
      s.Exclude(csReading);
    }
    SetComponentStateOf(c, s);
  }

  [[noreturn]] static void Fail(const String& path, Integer line, const String& what) {
    throw EReadError(Format(vcl_consts::SReadError, {path, line, what}));
  }

  void ReadObjectBody(TComponent* c, const TFormObject& obj, const String& path) {
    for (const TFormProperty& p : obj.Properties) ReadProperty(c, p, path);
    for (const TFormObject& child : obj.Children) ReadChild(child, c);
  }

  void ReadChild(const TFormObject& obj, TComponent* parent) {
    String path = obj.Name.empty() ? obj.ClassName : obj.Name;
    TComponent* c = nullptr;
    if (obj.Keyword == "inherited") {
      c = root_->FindComponent(obj.Name);
      if (!c) Fail(path, obj.Line, "Ancestor for '" + obj.Name + "' not found");
    } else {
      TClass cls = GetClass(obj.ClassName);
      if (!cls) Fail(path, obj.Line, Format(vcl_consts::SClassNotFound, {obj.ClassName}));
      if (!cls->InheritsFrom(TComponent::StaticClass())) Fail(path, obj.Line, "Invalid class typecast");
      try {
        c = static_cast<TComponent*>(cls->Create(root_));
      } catch (const Exception& e) {
        Fail(path, obj.Line, e.Message());
      }
    }
    SetState(c, true);
    c->Loading();
    loaded_.push_back(c);
    try {
      if (!obj.Name.empty() && c->Name() != obj.Name) c->SetName(obj.Name);
      if (names_ && !obj.Name.empty()) names_->SetField(obj.Name, c);
      c->SetParentComponent(parent);
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& e) {
      Fail(path, obj.Line, e.Message());
    }
    ReadObjectBody(c, obj, path);
    try {
      c->ReadState(parent);
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& e) {
      Fail(path, obj.Line, e.Message());
    }
  }

  void ReadProperty(TObject* instance, const TFormProperty& p, const String& objPath) {
    String path = objPath + "." + p.Name;
    try {
      TObject* target = instance;
      std::vector<String> parts = SplitString(p.Name, '.');
      for (size_t i = 0; i + 1 < parts.size(); ++i) {
        PPropInfo pi = GetPropInfo(target, parts[i]);
        if (!pi || pi->PropType->Kind != tkClass) throw EReadError(Format(vcl_consts::SUnknownProperty, {parts[i]}));
        target = GetObjectProp(target, pi);
        if (!target) throw EReadError(vcl_consts::SInvalidPropertyValue);
      }
      SetValue(target, parts.back(), p.Value, path);
    } catch (const EReadError& e) {
      if (StartsWithReadError(e.Message())) throw;
      Fail(path, p.Line ? p.Line : p.Value.Line, e.Message());
    } catch (const Exception& e) {
      Fail(path, p.Line ? p.Line : p.Value.Line, e.Message());
    }
  }

  static bool StartsWithReadError(const String& m) { return m.rfind("Error reading ", 0) == 0; }

  void SetValue(TObject* target, const String& name, const TFormValue& v, const String& path) {
    PPropInfo pi = GetPropInfo(target, name);
    if (!pi && (SameText(name, "Left") || SameText(name, "Top")) && v.Kind == TFormValueKind::Integer &&
        dynamic_cast<TComponent*>(target) && !dynamic_cast<TControl*>(target)) {
      return;  // where the designer placed a non-visual component: nothing at run time
    }
    if (!pi) {
      ReadDefined(target, name, v);
      return;
    }
    const TTypeInfo* t = pi->PropType;
    auto invalid = [] { throw EReadError(vcl_consts::SInvalidPropertyValue); };
    switch (t->Kind) {
      case tkInteger:
      case tkInt64:
      case tkChar:
      case tkWChar: {
        if (v.Kind == TFormValueKind::Integer) {
          SetOrdProp(target, pi, v.IntValue);
        } else if (v.Kind == TFormValueKind::Ident) {
          TColor color;
          Integer charset;
          if (IdentToColor(v.Text, color)) SetOrdProp(target, pi, color);
          else if (IdentToCharset(v.Text, charset)) SetOrdProp(target, pi, charset);
          else if (auto cur = IdentToCursor(v.Text); cur.first) SetOrdProp(target, pi, cur.second);
          else invalid();
        } else if (v.Kind == TFormValueKind::String && (t->Kind == tkChar || t->Kind == tkWChar) && !v.Text.empty()) {
          SetOrdProp(target, pi, Int64(static_cast<unsigned char>(v.Text[0])));
        } else {
          invalid();
        }
        break;
      }
      case tkEnumeration: {
        if (v.Kind != TFormValueKind::Ident) invalid();
        Int64 e = GetEnumValue(t, v.Text);
        if (e < 0) invalid();
        SetOrdProp(target, pi, e);
        break;
      }
      case tkSet: {
        if (v.Kind != TFormValueKind::Set) invalid();
        Int64 mask = 0;
        for (const String& item : v.SetItems) {
          Int64 e = GetEnumValue(t->CompType, item);
          if (e < 0 || e >= 64) invalid();
          mask |= Int64(1) << e;
        }
        SetOrdProp(target, pi, mask);
        break;
      }
      case tkFloat:
        if (v.Kind == TFormValueKind::Float) SetFloatProp(target, pi, v.FloatValue);
        else if (v.Kind == TFormValueKind::Integer) SetFloatProp(target, pi, double(v.IntValue));
        else invalid();
        break;
      case tkString:
      case tkLString:
      case tkWString:
        if (v.Kind != TFormValueKind::String) invalid();
        SetStrProp(target, pi, v.Text);
        break;
      case tkVariant:
        switch (v.Kind) {
          case TFormValueKind::Integer: SetVariantProp(target, pi, Variant(v.IntValue)); break;
          case TFormValueKind::Float: SetVariantProp(target, pi, Variant(v.FloatValue)); break;
          case TFormValueKind::String: SetVariantProp(target, pi, Variant(v.Text)); break;
          case TFormValueKind::Ident:
            if (SameText(v.Text, "True") || SameText(v.Text, "False")) SetVariantProp(target, pi, Variant(SameText(v.Text, "True")));
            else invalid();
            break;
          default: invalid();
        }
        break;
      case tkMethod: {
        if (v.Kind != TFormValueKind::Ident) invalid();
        if (!names_) throw EReadError("Method '" + v.Text + "' not found");
        std::any handler = names_->MethodAddress(v.Text);
        if (!handler.has_value()) throw EReadError("Method '" + v.Text + "' not found");
        SetMethodProp(target, pi, handler);
        break;
      }
      case tkClass: {
        if (v.Kind == TFormValueKind::Ident) {
          if (SameText(v.Text, "nil")) SetObjectProp(target, pi, nullptr);
          else fixups_.push_back({target, pi, v.Text, v.Line, path});
        } else if (v.Kind == TFormValueKind::Collection) {
          auto* coll = dynamic_cast<TCollection*>(GetObjectProp(target, pi));
          if (!coll) invalid();
          coll->BeginUpdate();
          try {
            coll->Clear();
            for (size_t i = 0; i < v.CollectionItems.size(); ++i) {
              TCollectionItem* item = coll->Add();
              String itemPath = path + "[" + IntToStr(Int64(i)) + "]";
              for (const TFormProperty& ip : v.CollectionItems[i].Properties) ReadProperty(item, ip, itemPath);
            }
          } catch (...) {
            coll->EndUpdate();
            throw;
          }
          coll->EndUpdate();
        } else {
          // A list or binary value belongs to the object's own stored data.
          TObject* obj = GetObjectProp(target, pi);
          auto* persistent = dynamic_cast<TPersistent*>(obj);
          if (!persistent) invalid();
          ReadDefinedInto(persistent, v);
        }
        break;
      }
      default:
        invalid();
    }
  }

  static std::pair<bool, Integer> IdentToCursor(const String& s) {
    static const std::pair<const char*, Integer> names[] = {
        {"crDefault", crDefault}, {"crNone", crNone}, {"crArrow", crArrow}, {"crCross", crCross},
        {"crIBeam", crIBeam}, {"crSizeNESW", crSizeNESW}, {"crSizeNS", crSizeNS}, {"crSizeNWSE", crSizeNWSE},
        {"crSizeWE", crSizeWE}, {"crUpArrow", crUpArrow}, {"crHourGlass", crHourGlass}, {"crDrag", crDrag},
        {"crNoDrop", crNoDrop}, {"crHSplit", crHSplit}, {"crVSplit", crVSplit}, {"crMultiDrag", crMultiDrag},
        {"crSQLWait", crSQLWait}, {"crNo", crNo}, {"crAppStart", crAppStart}, {"crHelp", crHelp},
        {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll}, {"crSize", crSize}};
    for (auto& [n, v] : names)
      if (SameText(s, n)) return {true, v};
    return {false, 0};
  }

  // A property that is not published: the object's DefineProperties may handle it.
  void ReadDefined(TObject* target, const String& name, const TFormValue& v) {
    auto* persistent = dynamic_cast<TPersistent*>(target);
    if (!persistent) throw EReadError(Format(vcl_consts::SUnknownProperty, {name}));
    TTextValueReader reader(v);
    reader.SetRoot(root_);
    reader.SetPropName(name);
    CallDefineProperties(persistent, &reader);
    if (!reader.DefinedHandled()) throw EReadError(Format(vcl_consts::SUnknownProperty, {name}));
  }

  // A value given to an object property directly ("Picture = {...}"): its one defined property.
  void ReadDefinedInto(TPersistent* obj, const TFormValue& v) {
    for (const char* n : {"Data", "Strings", "Items"}) {
      TTextValueReader reader(v);
      reader.SetRoot(root_);
      reader.SetPropName(n);
      CallDefineProperties(obj, &reader);
      if (reader.DefinedHandled()) return;
    }
    throw EReadError(vcl_consts::SInvalidPropertyValue);
  }

  TComponent* FindReference(const String& name) {
    std::vector<String> parts = SplitString(name, '.');
    if (parts.size() == 1) {
      if (SameText(name, root_->Name())) return root_;
      return root_->FindComponent(name);
    }
    // "Form2.Button1": a component of another root owned by the application.
    TComponent* other = nullptr;
    if (Application) {
      for (Integer i = 0; i < Application->ComponentCount() && !other; ++i)
        if (SameText(Application->Components(i)->Name(), parts[0])) other = Application->Components(i);
    }
    if (!other && SameText(parts[0], root_->Name())) other = root_;
    return other ? other->FindComponent(parts[1]) : nullptr;
  }

  void ResolveFixups() {
    for (const Fixup& f : fixups_) {
      TComponent* c = FindReference(f.Target);
      if (!c) Fail(f.Path, f.Line, "Invalid property value: component '" + f.Target + "' not found");
      try {
        SetObjectProp(f.Instance, f.Prop, c);
      } catch (const Exception& e) {
        Fail(f.Path, f.Line, e.Message());
      }
    }
  }

  TComponent* root_;
  TPublishedNames* names_;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
};

}  // namespace

void TFormLoader::SetComponentStateOf(TComponent* c, const TComponentState& s) {
  // The loading and reading flags belong to the filer; reach the protected setter through a
  // member pointer.
  struct Access : TComponent {
    static auto Setter() { return &Access::SetComponentState; }
  };
  (c->*Access::Setter())(s);
}

void ReadComponentFromText(TComponent* root, const String& text) {
  TFormObject tree;
  try {
    tree = ParseFormText(text);
  } catch (const EParserError& e) {
    throw EReadError(e.Message());
  }
  TFormLoader(root).Load(tree);
}

TComponent* ReadComponentText(const String& text, TComponent* owner) {
  TFormObject tree;
  try {
    tree = ParseFormText(text);
  } catch (const EParserError& e) {
    throw EReadError(e.Message());
  }
  TClass cls = GetClass(tree.ClassName);
  if (!cls) throw EReadError(Format(vcl_consts::SReadError, {tree.Name, tree.Line, Format(vcl_consts::SClassNotFound, {tree.ClassName})}));
  auto* root = dynamic_cast<TComponent*>(cls->Create(owner));
  if (!root) throw EReadError("Invalid class typecast");
  try {
    TFormLoader(root).Load(tree);
  } catch (...) {
    root->Free();
    throw;
  }
  return root;
}
