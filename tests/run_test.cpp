#include <gtest/gtest.h>

#include "tests/scenario.h"

using namespace scenario;

TEST(Run, ClientRunningEditorDirectly) {
  Scenario s;
  Result r = Play(s);
  ASSERT_TRUE(r.exited);
  ASSERT_EQ(r.boxes().size(), 1u);
  EXPECT_EQ(r.boxes()[0].text, kSuccessText);
  EXPECT_EQ(r.status(), 0);
  const mailclient::Rule* rule = r.Rule();
  ASSERT_NE(rule, nullptr) << r.Keys();
  EXPECT_EQ(mailclient::Describe(*rule), "");
  EXPECT_EQ(r.Keys(), "");
}
