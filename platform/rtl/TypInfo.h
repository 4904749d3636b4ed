// Published properties: a descriptor table per class (name, type, getter, setter, default,
// stored predicate), inherited along the class chain, and the functions that read and write
// a property of an object by name. Form descriptions, stored layouts and Assign-by-name use
// them.
//
// A class publishes its properties in its .cpp with KORVAN_IMPLEMENT_CLASS_PUBLISHED instead
// of KORVAN_IMPLEMENT_CLASS:
//
//   KORVAN_IMPLEMENT_CLASS_PUBLISHED(TFoo) {
//     p.Int("Width", &TFoo::Width, &TFoo::SetWidth).Default(64);
//     p.Enum("Align", &TFoo::Align, &TFoo::SetAlign, AlignType());
//     p.Bool("Visible", &TFoo::Visible, &TFoo::SetVisible).Default(true);
//     p.Str("Caption", &TFoo::Caption, &TFoo::SetCaption);
//     p.Object("Font", &TFoo::Font, &TFoo::SetFont, TFont::StaticClass());
//     p.Event("OnClick", &TFoo::OnClick);
//   }
//
// The list of a class is its ancestors' properties followed by its own, in declaration
// order; a class that declares a property of the same name as an ancestor replaces it in
// place (a new default, a getter of its own).
#pragma once

#include <any>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

#include "rtl/System.h"

class Variant;

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray,
};
using TTypeKinds = TSet<TTypeKind, 32>;

// A type of a published property. Enumerations list their value names in order (Boolean is
// the enumeration False, True); a set refers to its element enumeration.
struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  String Name;
  std::vector<String> EnumNames;     // tkEnumeration
  const TTypeInfo* CompType = nullptr;  // tkSet: the element type
  TClass ClassType = nullptr;        // tkClass
};
using PTypeInfo = const TTypeInfo*;

// Built-in types.
PTypeInfo TypeInfoInteger();
PTypeInfo TypeInfoInt64();
PTypeInfo TypeInfoDouble();
PTypeInfo TypeInfoString();
PTypeInfo TypeInfoBoolean();
PTypeInfo TypeInfoChar();
PTypeInfo TypeInfoVariant();
PTypeInfo TypeInfoMethod(const String& name);
// TAlignment (rtl/Classes.h), published by fields, controls, editors and grid items alike.
PTypeInfo AlignmentTypeInfo();
// The type of an enumeration with these value names (one type per name; the first call
// fixes the names).
PTypeInfo EnumTypeInfo(const String& name, std::initializer_list<const char*> valueNames);
PTypeInfo EnumTypeInfo(const String& name, const std::vector<String>& valueNames);
// The type of a set over an enumeration type.
PTypeInfo SetTypeInfo(const String& name, PTypeInfo elementType);
// The type of an object property of this class.
PTypeInfo ClassTypeInfo(TClass c);

// Ordinal values of an enumeration by name and back (raise EPropertyError on a bad value).
String GetEnumName(PTypeInfo type, Int64 value);
Int64 GetEnumValue(PTypeInfo type, const String& name);  // -1 when unknown

// One published property. Ordinal properties (integers, characters, enumerations, Booleans,
// sets as bit masks) go through GetOrd/SetOrd.
struct TPropInfo {
  String Name;
  PTypeInfo PropType = nullptr;
  Integer NameIndex = 0;  // position in the class's list
  bool HasDefault = false;
  Int64 Default = 0;  // ordinal default (the platform stores no default for other kinds)
  std::function<Int64(const TObject*)> GetOrd;
  std::function<void(TObject*, Int64)> SetOrd;
  std::function<double(const TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<String(const TObject*)> GetStr;
  std::function<void(TObject*, const String&)> SetStr;
  std::function<TObject*(const TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;
  std::function<Variant(const TObject*)> GetVar;
  std::function<void(TObject*, const Variant&)> SetVar;
  // tkMethod: the handler as a std::any holding the event's std::function type.
  std::function<std::any(const TObject*)> GetMethod;
  std::function<void(TObject*, const std::any&)> SetMethod;
  std::function<bool(const TObject*)> Stored;  // empty: always stored

  bool IsReadOnly() const;
};
using PPropInfo = const TPropInfo*;
using TPropList = std::vector<PPropInfo>;

// ---------------------------------------------------------------------------------------------
// Declaring properties.

class TPropertyTableBuilder {
 public:
  explicit TPropertyTableBuilder(std::vector<TPropInfo>& props) : props_(props) {}
  // Adds `info` (or replaces the inherited property of the same name) and returns it for
  // further settings.
  TPropInfo& Add(TPropInfo info);

 private:
  std::vector<TPropInfo>& props_;
};

namespace rtl_detail {
template <class C, class A>
A SetterArgOf(void (C::*)(A));
template <class M>
using SetterArg = std::decay_t<decltype(SetterArgOf(std::declval<M>()))>;
template <class S>
constexpr bool HasSetter = !std::is_null_pointer_v<S>;
}  // namespace rtl_detail

// The typed front of TPropertyTableBuilder for class T. Getters are const member functions,
// setters member functions taking the value (or nullptr for a read-only property).
template <class T>
class TPublisher {
 public:
  explicit TPublisher(TPropertyTableBuilder& b) : b_(b) {}

  // A further setting of the property just added.
  class Prop {
   public:
    explicit Prop(TPropInfo& info) : info_(info) {}
    Prop& Default(Int64 value) {
      info_.HasDefault = true;
      info_.Default = value;
      return *this;
    }
    Prop& NoDefault() {
      info_.HasDefault = false;
      return *this;
    }
    // Stored only while the predicate holds.
    Prop& Stored(bool (T::*pred)() const) {
      info_.Stored = [pred](const TObject* o) { return (static_cast<const T*>(o)->*pred)(); };
      return *this;
    }
    Prop& Stored(bool value) {
      info_.Stored = [value](const TObject*) { return value; };
      return *this;
    }

   private:
    TPropInfo& info_;
  };

  template <class G, class S>
  Prop Ordinal(const char* name, PTypeInfo type, G get, S set) {
    TPropInfo info;
    info.Name = name;
    info.PropType = type;
    info.GetOrd = [get](const TObject* o) { return Int64(std::invoke(get, static_cast<const T*>(o))); };
    if constexpr (rtl_detail::HasSetter<S>) {
      using A = rtl_detail::SetterArg<S>;
      info.SetOrd = [set](TObject* o, Int64 v) { std::invoke(set, static_cast<T*>(o), static_cast<A>(v)); };
    }
    return Prop(b_.Add(std::move(info)));
  }
  template <class G, class S>
  Prop Int(const char* name, G get, S set) {
    return Ordinal(name, TypeInfoInteger(), get, set);
  }
  template <class G, class S>
  Prop Int64Prop(const char* name, G get, S set) {
    return Ordinal(name, TypeInfoInt64(), get, set);
  }
  template <class G, class S>
  Prop Char(const char* name, G get, S set) {
    return Ordinal(name, TypeInfoChar(), get, set);
  }
  template <class G, class S>
  Prop Bool(const char* name, G get, S set) {
    return Ordinal(name, TypeInfoBoolean(), get, set);
  }
  template <class G, class S>
  Prop Enum(const char* name, G get, S set, PTypeInfo type) {
    return Ordinal(name, type, get, set);
  }
  // A TSet property; the ordinal value is the set's bit mask.
  template <class G, class S>
  Prop Set(const char* name, G get, S set, PTypeInfo type) {
    TPropInfo info;
    info.Name = name;
    info.PropType = type;
    info.GetOrd = [get](const TObject* o) {
      return Int64(std::invoke(get, static_cast<const T*>(o)).ToMask());
    };
    if constexpr (rtl_detail::HasSetter<S>) {
      using A = rtl_detail::SetterArg<S>;
      info.SetOrd = [set](TObject* o, Int64 v) { std::invoke(set, static_cast<T*>(o), A::FromMask(uint64_t(v))); };
    }
    return Prop(b_.Add(std::move(info)));
  }
  template <class G, class S>
  Prop Float(const char* name, G get, S set) {
    TPropInfo info;
    info.Name = name;
    info.PropType = TypeInfoDouble();
    info.GetFloat = [get](const TObject* o) { return double(std::invoke(get, static_cast<const T*>(o))); };
    if constexpr (rtl_detail::HasSetter<S>) {
      using A = rtl_detail::SetterArg<S>;
      info.SetFloat = [set](TObject* o, double v) { std::invoke(set, static_cast<T*>(o), static_cast<A>(v)); };
    }
    return Prop(b_.Add(std::move(info)));
  }
  template <class G, class S>
  Prop Str(const char* name, G get, S set) {
    TPropInfo info;
    info.Name = name;
    info.PropType = TypeInfoString();
    info.GetStr = [get](const TObject* o) { return String(std::invoke(get, static_cast<const T*>(o))); };
    if constexpr (rtl_detail::HasSetter<S>) {
      info.SetStr = [set](TObject* o, const String& v) { std::invoke(set, static_cast<T*>(o), v); };
    }
    return Prop(b_.Add(std::move(info)));
  }
  // An object property. Setting an object that is not of `cls` (or nullptr) raises
  // EPropertyError. A read-only object property (set = nullptr) is still stored: its
  // published properties are read into the existing object.
  template <class G, class S>
  Prop Object(const char* name, G get, S set, TClass cls) {
    TPropInfo info;
    info.Name = name;
    info.PropType = ClassTypeInfo(cls);
    info.GetObj = [get](const TObject* o) -> TObject* { return std::invoke(get, static_cast<const T*>(o)); };
    if constexpr (rtl_detail::HasSetter<S>) {
      using A = rtl_detail::SetterArg<S>;
      info.SetObj = [set](TObject* o, TObject* v) {
        std::invoke(set, static_cast<T*>(o), dynamic_cast<A>(v));
      };
    }
    return Prop(b_.Add(std::move(info)));
  }
  // A Variant property (the class's .cpp includes rtl/Variants.h).
  template <class G, class S>
  Prop Var(const char* name, G get, S set) {
    TPropInfo info;
    info.Name = name;
    info.PropType = TypeInfoVariant();
    info.GetVar = [get](const TObject* o) { return std::invoke(get, static_cast<const T*>(o)); };
    if constexpr (rtl_detail::HasSetter<S>) {
      info.SetVar = [set](TObject* o, const Variant& v) { std::invoke(set, static_cast<T*>(o), v); };
    }
    return Prop(b_.Add(std::move(info)));
  }
  // An event: a public std::function member. Form loaders assign handlers found by method
  // name through SetMethodProp with a std::any holding the same std::function type.
  template <class F>
  Prop Event(const char* name, F T::*member, const char* typeName = "TNotifyEvent") {
    TPropInfo info;
    info.Name = name;
    info.PropType = TypeInfoMethod(typeName);
    info.GetMethod = [member](const TObject* o) {
      const F& f = static_cast<const T*>(o)->*member;
      return f ? std::any(f) : std::any();  // empty when no handler is assigned
    };
    info.SetMethod = [member, n = String(name)](TObject* o, const std::any& v) {
      if (!v.has_value()) {
        static_cast<T*>(o)->*member = F();
        return;
      }
      const F* f = std::any_cast<F>(&v);
      if (f == nullptr) ThrowBadHandler(n);
      static_cast<T*>(o)->*member = *f;
    };
    return Prop(b_.Add(std::move(info)));
  }

 private:
  [[noreturn]] static void ThrowBadHandler(const String& name) {
    throw EPropertyError("Invalid property value: the handler does not match event '" + name + "'");
  }
  TPropertyTableBuilder& b_;
};

// Implements StaticClass for a class with published properties; the braces that follow the
// macro are the body of the declaring function, with `p` the TPublisher<TThis>.
#define KORVAN_IMPLEMENT_CLASS_PUBLISHED(TThis)                                                  \
  static void KorvanPublish_##TThis(TPublisher<TThis>& p);                                       \
  TClass TThis::StaticClass() {                                                                 \
    static const TClassInfo info(#TThis, TThis::Inherited::StaticClass(),                       \
                                 rtl_detail::FactoryOf<TThis>(), [](TPropertyTableBuilder& b) { \
                                   TPublisher<TThis> p(b);                                       \
                                   KorvanPublish_##TThis(p);                                     \
                                 });                                                            \
    return &info;                                                                               \
  }                                                                                             \
  static void KorvanPublish_##TThis([[maybe_unused]] TPublisher<TThis>& p)

// ---------------------------------------------------------------------------------------------
// Reading and writing properties by name. Unknown names raise EPropertyError
// "Unknown property: 'Foo'"; a property of another kind raises EPropertyError
// "Invalid property type: 'Foo'"; writing a read-only property raises EPropertyError
// "Property 'Foo' is read-only".

// All published properties of the class, ancestors' first, in declaration order.
TPropList GetPropList(TClass c);
TPropList GetPropList(const TObject* obj);
// Only the properties whose kind is in `kinds`.
TPropList GetPropList(TClass c, const TTypeKinds& kinds);
// nullptr when the class has no such property (names compare without regard to case).
PPropInfo GetPropInfo(TClass c, const String& name);
PPropInfo GetPropInfo(const TObject* obj, const String& name);
bool IsPublishedProp(const TObject* obj, const String& name);
bool IsPublishedProp(TClass c, const String& name);
TTypeKind PropType(const TObject* obj, const String& name);
// The stored predicate of the property (true when it has none).
bool IsStoredProp(const TObject* obj, PPropInfo prop);
bool IsStoredProp(const TObject* obj, const String& name);
// Whether the value is the default a writer leaves out: an ordinal equal to its declared
// default, a float of 0, an empty string, an empty variant, no handler. Object properties
// are never default (their own properties decide).
bool IsDefaultPropValue(const TObject* obj, PPropInfo prop);

Int64 GetOrdProp(const TObject* obj, PPropInfo prop);
Int64 GetOrdProp(const TObject* obj, const String& name);
void SetOrdProp(TObject* obj, PPropInfo prop, Int64 value);
void SetOrdProp(TObject* obj, const String& name, Int64 value);
String GetStrProp(const TObject* obj, PPropInfo prop);
String GetStrProp(const TObject* obj, const String& name);
void SetStrProp(TObject* obj, PPropInfo prop, const String& value);
void SetStrProp(TObject* obj, const String& name, const String& value);
double GetFloatProp(const TObject* obj, PPropInfo prop);
double GetFloatProp(const TObject* obj, const String& name);
void SetFloatProp(TObject* obj, PPropInfo prop, double value);
void SetFloatProp(TObject* obj, const String& name, double value);
// Enumerations by value name; a name that is not a value of the type raises EPropertyError.
String GetEnumProp(const TObject* obj, PPropInfo prop);
String GetEnumProp(const TObject* obj, const String& name);
void SetEnumProp(TObject* obj, PPropInfo prop, const String& value);
void SetEnumProp(TObject* obj, const String& name, const String& value);
// Sets as text: "[a,b]" with brackets (or without them when !brackets); reading accepts
// optional brackets and spaces around the names.
String GetSetProp(const TObject* obj, PPropInfo prop, bool brackets = true);
String GetSetProp(const TObject* obj, const String& name, bool brackets = true);
void SetSetProp(TObject* obj, PPropInfo prop, const String& value);
void SetSetProp(TObject* obj, const String& name, const String& value);
String SetToString(PPropInfo prop, Int64 value, bool brackets = true);
Int64 StringToSet(PPropInfo prop, const String& value);
TObject* GetObjectProp(const TObject* obj, PPropInfo prop);
TObject* GetObjectProp(const TObject* obj, const String& name);
void SetObjectProp(TObject* obj, PPropInfo prop, TObject* value);
void SetObjectProp(TObject* obj, const String& name, TObject* value);
std::any GetMethodProp(const TObject* obj, PPropInfo prop);
std::any GetMethodProp(const TObject* obj, const String& name);
void SetMethodProp(TObject* obj, PPropInfo prop, const std::any& handler);
void SetMethodProp(TObject* obj, const String& name, const std::any& handler);
// Through a Variant (callers include rtl/Variants.h): integers as integers, Booleans as
// Boolean, enumerations as their names when `preferStrings` (else integers), sets as "a,b"
// text when `preferStrings` (else the bit mask), floats as double, strings as strings.
// Setting accepts names and set texts for enumerations and sets. Object and event
// properties raise EPropertyError "Invalid property type: 'Foo'".
Variant GetPropValue(const TObject* obj, const String& name, bool preferStrings = true);
void SetPropValue(TObject* obj, const String& name, const Variant& value);
Variant GetVariantProp(const TObject* obj, PPropInfo prop);
void SetVariantProp(TObject* obj, PPropInfo prop, const Variant& value);
