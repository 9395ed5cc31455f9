#pragma once
// The line fixture with the windows' globals fresh and the operator's prompts scripted.
#include "line_fixture.h"
#include "scripted_prompts.h"

class SimFixture : public LineFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<ScriptedPrompts> prompts;
};
