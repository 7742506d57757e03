#ifndef NODMARK_SHELL_TYPE_INFO_DESCRIPTION_H_
#define NODMARK_SHELL_TYPE_INFO_DESCRIPTION_H_

#include <windows.h>

#include <oaidl.h>

// Owners of the descriptions a type information hands out, each given back to that
// type information when its scope ends. Empty when the call that asks for it fails.
// Neither copyable nor movable: each lives in one scope, on one thread.
namespace nodmark::shell {

// The type attributes of `owner` (GetTypeAttr / ReleaseTypeAttr).
class HeldTypeAttr {
 public:
  explicit HeldTypeAttr(ITypeInfo* owner) noexcept : owner_(owner) {
    if (FAILED(owner_->GetTypeAttr(&attributes_))) attributes_ = nullptr;
  }
  ~HeldTypeAttr() {
    if (attributes_ != nullptr) owner_->ReleaseTypeAttr(attributes_);
  }
  HeldTypeAttr(const HeldTypeAttr&) = delete;
  HeldTypeAttr& operator=(const HeldTypeAttr&) = delete;

  const TYPEATTR* operator->() const noexcept { return attributes_; }
  explicit operator bool() const noexcept { return attributes_ != nullptr; }

 private:
  ITypeInfo* owner_;
  TYPEATTR* attributes_ = nullptr;
};

// The description of function `index` of `owner` (GetFuncDesc / ReleaseFuncDesc).
class HeldFuncDesc {
 public:
  HeldFuncDesc(ITypeInfo* owner, UINT index) noexcept : owner_(owner) {
    if (FAILED(owner_->GetFuncDesc(index, &description_))) description_ = nullptr;
  }
  ~HeldFuncDesc() {
    if (description_ != nullptr) owner_->ReleaseFuncDesc(description_);
  }
  HeldFuncDesc(const HeldFuncDesc&) = delete;
  HeldFuncDesc& operator=(const HeldFuncDesc&) = delete;

  const FUNCDESC* operator->() const noexcept { return description_; }
  explicit operator bool() const noexcept { return description_ != nullptr; }

 private:
  ITypeInfo* owner_;
  FUNCDESC* description_ = nullptr;
};

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_TYPE_INFO_DESCRIPTION_H_
