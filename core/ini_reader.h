#pragma once
// Declarative reading of one subsection: a component lists the keys it wants,
// required or optional, and where each value goes; parse() converts them and
// reports missing, invalid and repeated keys with fixed messages.

#include <climits>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "core/ini_file.h"

namespace IniFile {

// One entry of a symbol table; a table ends with an entry whose name is null.
template <class T>
struct Symbol {
  const char* name;
  T value;
};

namespace Private {

class KeyValue {
 public:
  virtual ~KeyValue() = default;
  virtual const char* name() const = 0;
  // Converts and stores the value; on failure the target is left unchanged.
  virtual bool do_parse(const std::string& text) = 0;

  bool found = false;
};

bool parse_bool(const std::string& text, bool& out);
// strtoll in base 0; the whole text must be consumed and fit [min, max].
bool parse_integer(const std::string& text, long long min, long long max, long long& out);

template <class T>
class TKeyValue : public KeyValue {
 public:
  TKeyValue(T* target, const char* name, const Symbol<T>* symbols)
      : target_(target), name_(name), symbols_(symbols) {}
  const char* name() const override { return name_; }

  bool do_parse(const std::string& text) override {
    if constexpr (std::is_same_v<T, bool>) {
      return parse_bool(text, *target_);  // symbol tables are not consulted for bool
    } else if constexpr (std::is_same_v<T, std::string>) {
      *target_ = text;
      return true;
    } else {
      static_assert(std::is_integral_v<T> || std::is_enum_v<T>, "unsupported configuration target");
      for (const Symbol<T>* s = symbols_; s && s->name; ++s) {
        if (text == s->name) {
          *target_ = s->value;
          return true;
        }
      }
      using Number = typename Underlying<T>::type;
      long long value;
      if (!parse_integer(text, limit_min<Number>(), limit_max<Number>(), value)) return false;
      *target_ = T(Number(value));
      return true;
    }
  }

 private:
  template <class U, bool = std::is_enum_v<U>>
  struct Underlying {
    using type = U;
  };
  template <class U>
  struct Underlying<U, true> {
    using type = std::underlying_type_t<U>;
  };
  template <class N>
  static long long limit_min() {
    return (long long)std::numeric_limits<N>::min();
  }
  template <class N>
  static long long limit_max() {
    // Unsigned 64-bit values beyond LLONG_MAX are not representable in strtoll.
    if constexpr (std::numeric_limits<N>::max() > (unsigned long long)LLONG_MAX) return LLONG_MAX;
    else return (long long)std::numeric_limits<N>::max();
  }

  T* target_;
  const char* name_;
  const Symbol<T>* symbols_;
};

}  // namespace Private

class Reader {
 public:
  class Field {
   public:
    Field() = default;
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    // Declares a key; the returned flag tells after parse() whether the key
    // was given once with a valid value. The name must outlive the reader.
    template <class T>
    bool& add(T* target, const char* name, const Symbol<T>* symbols = nullptr) {
      keys_.push_back(std::make_unique<Private::TKeyValue<T>>(target, name, symbols));
      return keys_.back()->found;
    }

   private:
    friend class Reader;
    std::vector<std::unique_ptr<Private::KeyValue>> keys_;
  };

  // name starts every diagnostic line (e.g. "traces: ").
  Reader(std::string name, std::ostream& out) : name_(std::move(name)), out_(out) {}

  // Required keys first: the first problem is reported and false returned.
  // Then optional keys: problems are reported and the key ignored.
  bool parse(SubSection& subsection);

  Field required;
  Field optional;

 private:
  bool check(Private::KeyValue& key, SubSection& subsection, bool is_required);

  std::string name_;
  std::ostream& out_;
};

}  // namespace IniFile
