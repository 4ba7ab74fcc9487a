#pragma once
// The name of a protocol layer: none (kind 0) or a text (kind 1).

#include <string>

class Protocol_name {
 public:
  virtual ~Protocol_name() = default;
  virtual int kind() const = 0;
  virtual const char* name() const = 0;
  virtual bool compare(const Protocol_name& other) const = 0;
};

class Protocol_name_null : public Protocol_name {
 public:
  int kind() const override { return 0; }
  const char* name() const override { return "(no name)"; }
  bool compare(const Protocol_name& other) const override { return other.kind() == 0; }
};

class Protocol_name_str : public Protocol_name {
 public:
  explicit Protocol_name_str(const char* text) : text_(text ? text : "(no name)") {}
  int kind() const override { return 1; }
  const char* name() const override { return text_.c_str(); }
  bool compare(const Protocol_name& other) const override {
    return other.kind() == 1 && text_ == other.name();
  }

 private:
  std::string text_;
};
