#ifndef NODMARK_PLATFORM_WIN32_SCOPED_BSTR_H_
#define NODMARK_PLATFORM_WIN32_SCOPED_BSTR_H_

#include <windows.h>

#include <oleauto.h>

#include "platform/scoped_owner.h"

namespace nodmark::platform {

// Owns one automation string (BSTR) and frees it with SysFreeString.
using ScopedBstr = UniqueOwner<BSTR, &SysFreeString>;

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_WIN32_SCOPED_BSTR_H_
