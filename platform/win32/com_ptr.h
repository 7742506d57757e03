#ifndef NODMARK_PLATFORM_WIN32_COM_PTR_H_
#define NODMARK_PLATFORM_WIN32_COM_PTR_H_

#include <windows.h>

#include <unknwn.h>

#include "platform/scoped_owner.h"

namespace nodmark::platform {

template <typename Interface>
void ReleaseReference(Interface* object) noexcept {
  object->Release();
}

// Owns one counted reference to a COM object and releases it when it lets go.
template <typename Interface>
class ComPtr : public UniqueOwner<Interface*, &ReleaseReference<Interface>> {
  using Base = UniqueOwner<Interface*, &ReleaseReference<Interface>>;

 public:
  using Base::Base;

  // The out-parameter of QueryInterface and of creation calls.
  void** put_void() noexcept { return reinterpret_cast<void**>(this->put()); }

  // Asks the object for another interface; `result` holds it on S_OK and is empty
  // otherwise.
  template <typename Other>
  HRESULT As(REFIID iid, ComPtr<Other>& result) const noexcept {
    return this->get()->QueryInterface(iid, result.put_void());
  }
};

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_WIN32_COM_PTR_H_
