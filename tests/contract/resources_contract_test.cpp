// Resource lookup that every backend shares.
#include <gtest/gtest.h>

#include "tests/contract/contract_environment.h"

namespace {

TEST(ResourcesContract, UnknownNamesAreNotFound) {
  auto env = MakeContractEnvironment();
  platform::ResourceView view;
  EXPECT_FALSE(env->Machine().Res.Find("NOSUCHTYPE", "NOSUCHNAME", view));
  EXPECT_FALSE(env->Machine().Res.Find("exe", "tvl_no_such_payload", view));
}

}  // namespace
