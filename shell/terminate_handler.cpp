// The C++ runtime's default terminate handler writes the type of the active exception
// to standard error, demangling its name first; linking it pulls the runtime's whole
// demangler (about 46 KB) into the DLL. The component shows no user interface and
// writes nothing to a host's console, and every exported function and COM method
// catches what it can throw, so terminate is reached only through a broken noexcept
// promise. This definition stands in for the runtime's at link time (the runtime's
// own is then never linked): it ends the process as the default does, silently.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
