#include "tools/explaining/application_forms.h"

#include "identifiers/application_identifier.h"

namespace nodmark::tools {

const char kApplicationFormsRecipe[] =
    "each the first 16 bytes of HMAC-SHA256 of the application name (UTF-8), keyed with "
    "the text of its identifier above: it changes exactly when that identifier does, and "
    "cannot be read back to the identifier or to the hardware behind it";

ApplicationForms FormsFor(const std::string& application, const std::string& nodmarkOld,
                          const std::string& nodmarkNew, const std::string& nodmarkComplicate) {
  using identifiers::ApplicationIdentifier;
  return {application, ApplicationIdentifier(nodmarkOld, application),
          ApplicationIdentifier(nodmarkNew, application),
          ApplicationIdentifier(nodmarkComplicate, application)};
}

}  // namespace nodmark::tools
