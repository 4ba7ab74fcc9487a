#pragma once
// An intrusive reference-counting handle. T provides add_ref(), release_ref()
// (true when the last reference went) and a static dispose(T*) that gives the
// object back (to the heap or to a pool). Dereferencing an empty handle is a
// broken invariant: it prints a diagnosis and terminates.

#include <utility>

[[noreturn]] void smart_pointer_assert();

template <class T>
class Smart_pointer {
 public:
  Smart_pointer() = default;
  explicit Smart_pointer(T* object) : object_(object) {
    if (object_) object_->add_ref();
  }
  Smart_pointer(const Smart_pointer& other) : Smart_pointer(other.object_) {}
  Smart_pointer(Smart_pointer&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Smart_pointer& operator=(const Smart_pointer& other) {
    if (other.object_) other.object_->add_ref();
    release();
    object_ = other.object_;
    return *this;
  }
  Smart_pointer& operator=(Smart_pointer&& other) noexcept {
    if (this != &other) {
      release();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ~Smart_pointer() { release(); }

  void release() {
    T* object = std::exchange(object_, nullptr);
    if (object && object->release_ref()) T::dispose(object);
  }

  T* get() const { return object_; }
  const T& operator*() const {
    if (!object_) smart_pointer_assert();
    return *object_;
  }
  T* operator->() const {
    if (!object_) smart_pointer_assert();
    return object_;
  }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};
