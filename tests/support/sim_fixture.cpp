#include "sim_fixture.h"

#include "app/module1.h"

void SimFixture::SetUp() {
    Module1::ResetGlobals();
    LineFixture::SetUp();
    prompts = std::make_unique<ScriptedPrompts>();
}

void SimFixture::TearDown() {
    prompts.reset();
    LineFixture::TearDown();
}
