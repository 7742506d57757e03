#include "shell/guids.h"

#include <initguid.h>  // defines the GUIDs the generated header declares

#include <gtest/gtest.h>

#include "shell/client_helpers.h"
#include "shell/nodmark.h"

namespace nodmark::testing {
namespace {

TEST(ShellGuids, MatchTheRegistryTextsAndTheInterfaceDescription) {
  EXPECT_EQ(shell::kClsidGerneralNodmark, GuidFromText(kClsidText));
  EXPECT_EQ(shell::kIidGerneralNodmark, GuidFromText(kIidText));
  EXPECT_EQ(shell::kLibidNodmarkLib, GuidFromText(kLibidText));

  EXPECT_EQ(shell::kClsidGerneralNodmark, CLSID_GerneralNodmark);
  EXPECT_EQ(shell::kIidGerneralNodmark, IID_IGerneralNodmark);
  EXPECT_EQ(shell::kIidGerneralNodmark, __uuidof(IGerneralNodmark));
  EXPECT_EQ(shell::kIidGerneralNodmark2, GuidFromText(kIid2Text));
  EXPECT_EQ(shell::kIidGerneralNodmark2, IID_IGerneralNodmark2);
  EXPECT_EQ(shell::kLibidNodmarkLib, LIBID_NODMARKLib);
}

}  // namespace
}  // namespace nodmark::testing
