#ifndef NODMARK_TOOLS_EXPLAINING_APPLICATION_FORMS_H_
#define NODMARK_TOOLS_EXPLAINING_APPLICATION_FORMS_H_

#include <string>

// This machine's three identifiers in the form one application stores (nodmark --for),
// as the component's nodmark_old_for, nodmark_new_for and nodmark_complicate_for give
// them. They hold nothing of the machine the three identifiers do not: whoever has an
// identifier and the name computes its form, and no one can go the other way.
namespace nodmark::tools {

struct ApplicationForms {
  std::string application;  // as given, in UTF-8, never empty
  std::string nodmarkOldFor;
  std::string nodmarkNewFor;
  std::string nodmarkComplicateFor;
};

// The forms of the three identifiers for `application`. May throw std::bad_alloc.
ApplicationForms FormsFor(const std::string& application, const std::string& nodmarkOld,
                          const std::string& nodmarkNew, const std::string& nodmarkComplicate);

// How the forms are made and what they keep from whoever holds one, for --explain.
extern const char kApplicationFormsRecipe[];

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_EXPLAINING_APPLICATION_FORMS_H_
