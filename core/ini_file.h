#pragma once
// The configuration tree: sections, their subsections (one per header line),
// keys and their values, every occurrence kept with its line number and in
// file order. Lookups never fail: a missing section or key is created empty.

#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace IniFile {

// Forward iterator over the children a level owns, yielding references.
template <class T>
class GenericIterator {
 public:
  using Base = typename std::vector<std::unique_ptr<T>>::const_iterator;
  using iterator_category = std::forward_iterator_tag;
  using value_type = T;
  using difference_type = std::ptrdiff_t;
  using pointer = T*;
  using reference = T&;

  GenericIterator() = default;
  explicit GenericIterator(Base it) : it_(it) {}
  T& operator*() const { return **it_; }
  T* operator->() const { return it_->get(); }
  GenericIterator& operator++() {
    ++it_;
    return *this;
  }
  GenericIterator operator++(int) {
    GenericIterator old = *this;
    ++it_;
    return old;
  }
  bool operator==(const GenericIterator& other) const { return it_ == other.it_; }

 private:
  Base it_;
};

// An ordered list of owned children reachable by name; repeats of a name
// share one child.
template <class T>
class NamedChildren {
 public:
  using iterator = GenericIterator<T>;
  T& get(const std::string& name) {
    auto found = by_name_.find(name);
    if (found != by_name_.end()) return *found->second;
    items_.push_back(std::make_unique<T>(name));
    by_name_.emplace(name, items_.back().get());
    return *items_.back();
  }
  bool contains(const std::string& name) const { return by_name_.count(name) != 0; }
  iterator begin() const { return iterator(items_.begin()); }
  iterator end() const { return iterator(items_.end()); }
  int count() const { return int(items_.size()); }
  void clear() {
    by_name_.clear();
    items_.clear();
  }

 private:
  std::vector<std::unique_ptr<T>> items_;
  std::map<std::string, T*> by_name_;
};

// One value of a key; line -1 marks a placeholder.
class SubKey {
 public:
  SubKey(std::string value, int line) : mValue(std::move(value)), mLineNo(line) {}
  const std::string& value() const { return mValue; }
  int line() const { return mLineNo; }
  void Dump(std::ostream& out) const;

 private:
  std::string mValue;
  int mLineNo;
};

class Key {
 public:
  using iterator = GenericIterator<SubKey>;
  explicit Key(std::string name) : mName(std::move(name)) {}
  const std::string& name() const { return mName; }
  int count() const { return int(mSubKeys.size()); }
  iterator begin() const { return iterator(mSubKeys.begin()); }
  iterator end() const { return iterator(mSubKeys.end()); }
  const SubKey& operator[](int index) const { return *mSubKeys.at(size_t(index)); }
  SubKey& NewSubKey(std::string value, int line);
  // Adds an empty placeholder value (line -1) when the key has none.
  void CheckEmpty();
  void Dump(std::ostream& out) const;

 private:
  std::string mName;
  std::vector<std::unique_ptr<SubKey>> mSubKeys;
};

// The keys under one header line.
class SubSection {
 public:
  using iterator = GenericIterator<Key>;
  explicit SubSection(int line) : mLineNo(line) {}
  int line() const { return mLineNo; }
  int count() const { return mKeys.count(); }
  bool contains(const std::string& name) const { return mKeys.contains(name); }
  // Creates an empty key when there is none of that name.
  Key& operator[](const std::string& name) { return mKeys.get(name); }
  iterator begin() const { return mKeys.begin(); }
  iterator end() const { return mKeys.end(); }
  void NewSubKey(const std::string& key, std::string value, int line);
  void Dump(std::ostream& out) const;

 private:
  int mLineNo;
  NamedChildren<Key> mKeys;
};

// Every header line of one name opens another subsection.
class Section {
 public:
  using iterator = GenericIterator<SubSection>;
  explicit Section(std::string name) : mName(std::move(name)) {}
  const std::string& name() const { return mName; }
  int count() const { return int(mSubSections.size()); }
  iterator begin() const { return iterator(mSubSections.begin()); }
  iterator end() const { return iterator(mSubSections.end()); }
  SubSection& operator[](int index) const { return *mSubSections.at(size_t(index)); }
  SubSection& NewSubSection(int line);
  // Adds an empty placeholder subsection (line -1) when there is none.
  void CheckEmpty();
  void Dump(std::ostream& out) const;

 private:
  std::string mName;
  std::vector<std::unique_ptr<SubSection>> mSubSections;
};

class File {
 public:
  using iterator = GenericIterator<Section>;
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Parses the file at path; false (and an empty tree) when it cannot be
  // opened as a regular file. Prints nothing.
  bool Open(const std::string& path);
  void Close();
  bool opened() const { return mOpened; }
  const std::string& name() const { return mFileName; }

  int count() const { return mSections.count(); }
  bool contains(const std::string& name) const { return mSections.contains(name); }
  // Creates an empty section when there is none of that name.
  Section& operator[](const std::string& name) { return mSections.get(name); }
  iterator begin() const { return mSections.begin(); }
  iterator end() const { return mSections.end(); }

  SubSection& NewSubSection(const std::string& section, int line);
  void Dump(std::ostream& out) const;

 private:
  friend std::istream& operator>>(std::istream& in, File& file);
  void Parse(std::istream& in);

  std::string mFileName;
  bool mOpened = false;
  NamedChildren<Section> mSections;
};

// Replaces the tree with what the stream holds (the file name becomes empty).
std::istream& operator>>(std::istream& in, File& file);

}  // namespace IniFile
