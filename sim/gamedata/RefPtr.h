// Intrusive reference pointer: holds one reference to its pointee for as long
// as it points at it. Works for any pointee with AddRef() and Release(), which
// covers both game-data objects and interaction agents.
#pragma once

#include <utility>

template <class T>
class tRefPtr {
 public:
  tRefPtr() = default;
  tRefPtr(T* pointer) : mPointer(pointer) {  // implicit, as list elements are built from raw pointers
    if (mPointer) mPointer->AddRef();
  }
  tRefPtr(const tRefPtr& other) : tRefPtr(other.mPointer) {}
  tRefPtr(tRefPtr&& other) noexcept : mPointer(std::exchange(other.mPointer, nullptr)) {}
  ~tRefPtr() {
    if (mPointer) mPointer->Release();
  }

  tRefPtr& operator=(const tRefPtr& other) {
    Reset(other.mPointer);
    return *this;
  }
  tRefPtr& operator=(tRefPtr&& other) noexcept {
    if (this != &other) {
      T* old = std::exchange(mPointer, std::exchange(other.mPointer, nullptr));
      if (old) old->Release();
    }
    return *this;
  }
  tRefPtr& operator=(T* pointer) {
    Reset(pointer);
    return *this;
  }

  // Adds the new reference before dropping the old one, so re-pointing at the
  // same object never lets it die in between.
  void Reset(T* pointer = nullptr) {
    if (pointer) pointer->AddRef();
    T* old = std::exchange(mPointer, pointer);
    if (old) old->Release();
  }

  T* Get() const { return mPointer; }
  T* operator->() const { return mPointer; }
  T& operator*() const { return *mPointer; }
  explicit operator bool() const { return mPointer != nullptr; }
  bool operator==(const tRefPtr& other) const { return mPointer == other.mPointer; }
  bool operator==(const T* pointer) const { return mPointer == pointer; }

 private:
  T* mPointer = nullptr;
};
