#include "shell/com_error.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace nodmark::shell {
namespace {

template <typename Thrower>
HRESULT ResultOf(Thrower thrower) {
  try {
    thrower();
  } catch (...) {
    return ResultFromCaughtException();
  }
  return S_OK;
}

TEST(ComError, CaughtExceptionsTurnIntoResults) {
  EXPECT_EQ(ResultOf([] { throw std::bad_alloc(); }), E_OUTOFMEMORY);
  EXPECT_EQ(ResultOf([] { throw std::bad_array_new_length(); }), E_OUTOFMEMORY)
      << "a kind of bad_alloc";
  EXPECT_EQ(ResultOf([] { throw std::length_error("too long"); }), E_UNEXPECTED);
  EXPECT_EQ(ResultOf([] { throw 42; }), E_UNEXPECTED);
}

TEST(ComError, LastErrorBecomesItsHresultAndNoErrorBecomesFail) {
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(ResultFromLastError(), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(ResultFromLastError(), E_FAIL);
}

}  // namespace
}  // namespace nodmark::shell
