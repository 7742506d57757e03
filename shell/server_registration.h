#ifndef NODMARK_SHELL_SERVER_REGISTRATION_H_
#define NODMARK_SHELL_SERVER_REGISTRATION_H_

#include <windows.h>

#include "shell/registration_system.h"

// Entering the component into HKEY_CLASSES_ROOT and removing it again, through a
// RegistrationSystem. Neither takes a lock or touches the module's lock count; two
// concurrent runs interleave their writes.
namespace nodmark::shell {

// Writes the rows of the registration table in order. S_OK when every row was
// written; S_FALSE when a key could not be created: the walk stops there and the
// rows before it stay written. SELFREG_E_CLASS when a value could not be written:
// the walk still goes on to the other rows (as far as the keys can be created), but
// the class is not usable, so the result is a failure whatever else happened.
// Before anything is written, the GUID texts and the module path are gathered; when
// one of them cannot be had, nothing is written and the result is that failure
// (keys named from an unset text, or a truncated path that names no file, would
// register a component that cannot be found). E_OUTOFMEMORY when memory runs out.
HRESULT RegisterServerKeys(RegistrationSystem& system) noexcept;

// Deletes the six trees registration writes: the class key, the ProgID, the
// versioned ProgID, the type-library key and the keys of the two interfaces.
// While the module of the other architecture is registered (its class key exists in
// the other registry view), the ProgIDs and the type-library key, which both views
// share, stay, only this module's platform entry under the type library goes, and
// the type library's help directory is pointed at the folder of the module that stays
// (the path its class key holds; left as it is when that cannot be read). A
// GUID whose text cannot be had has its tree skipped. Absent trees are no failure, so
// the result is S_OK, or E_OUTOFMEMORY when memory runs out before the walk is done.
HRESULT UnregisterServerKeys(RegistrationSystem& system) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_SERVER_REGISTRATION_H_
