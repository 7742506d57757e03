#ifndef NODMARK_TESTS_SHELL_CLASSES_ROOT_H_
#define NODMARK_TESTS_SHELL_CLASSES_ROOT_H_

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Reading HKEY_CLASSES_ROOT back as a client of the registration finds it, and putting
// it back as a test found it.
namespace nodmark::testing {

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// The value `name` (null: the default value) of HKCR\`key`, or nothing when the key or
// the value is absent.
std::optional<RegistryValue> ReadClassesRootValue(const std::string& key, const char* name);

// The string `text` as REG_SZ stores it, terminator included.
RegistryValue StringValue(const std::string& text);

bool ClassesRootKeyExists(const std::string& key);

// The number of values HKCR\`key` holds (the default value included when set); -1
// when the key is absent.
int ClassesRootValueCount(const std::string& key);

// Creates HKCR\`key` and writes `text` as REG_SZ value `name`; false on failure.
bool WriteClassesRootString(const std::string& key, const char* name, const std::string& text);

// The six trees the component registers under HKCR.
std::vector<std::string> ComponentTrees();

// One key with its values, as captured by ClassesRootSnapshot.
struct RegistryKeyImage {
  std::string path;
  std::vector<std::pair<std::string, RegistryValue>> values;  // "" is the default value
};

// Captures the given HKCR trees (keys and values, recursively) when constructed and
// puts them back exactly when destroyed: a tree absent at capture is deleted again.
// For tests that register the component in the shared Wine prefix; they hold the
// "registration" resource lock while one of these lives.
class ClassesRootSnapshot {
 public:
  explicit ClassesRootSnapshot(std::vector<std::string> trees);
  ~ClassesRootSnapshot();
  ClassesRootSnapshot(const ClassesRootSnapshot&) = delete;
  ClassesRootSnapshot& operator=(const ClassesRootSnapshot&) = delete;

 private:
  std::vector<std::string> trees_;
  std::vector<RegistryKeyImage> keys_;  // every key of every tree, parents before children
};

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_CLASSES_ROOT_H_
