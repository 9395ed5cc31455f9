// The value prompt: the text it shows, how it reads the answer and when it asks again.
#include "app/module1.h"
#include "catalog/catalog.h"
#include "scripted_prompts.h"
#include "ui/dialogs/command_value.h"

#include <gtest/gtest.h>

using namespace Module1;

namespace {

const PromptWords MainWords{{"Valori ammessi: da ", "Allowed values: from ", "Allowed values: von "},
                            {" a ", " to ", " bis "}};

// Slots of the catalog: the motor current, the ramp, a relative move, a read, a blank.
constexpr int CurrentSlot = 2, RampSlot = 7, PositionSlot = 14, ReadSlot = 26, BlankSlot = 4;

class CommandValueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGlobals();
        InitComandi();
    }
    std::optional<CommandValue> ask(int slot) {
        return AskCommandValue(nullptr, slot, "Set current", MainWords);
    }
    ScriptedPrompts prompts;
};

TEST_F(CommandValueTest, PromptShowsSignedBoundsAndHintInEachLanguage) {
    const struct {
        int lingua, slot;
        const char* prompt;
    } cases[] = {
        {2, CurrentSlot, "Allowed values: from  0 to  12000\r\n\r\n[mA]"},
        {1, RampSlot, "Valori ammessi: da  0 a  255\r\n\r\n[centesimi di secondo]"},
        {3, RampSlot, "Allowed values: von  0 bis  255\r\n\r\n[cs]"},
        {2, PositionSlot, "Allowed values: from -2000000000 to  2000000000\r\n\r\n[1/128 of step]"},
    };
    for (const auto& c : cases) {
        Lingua = static_cast<int16_t>(c.lingua);
        prompts.inputsAsked.clear();
        prompts.inputs = {"5"};
        ASSERT_TRUE(ask(c.slot));
        ASSERT_EQ(prompts.inputsAsked.size(), 1u);
        EXPECT_EQ(prompts.inputsAsked[0].text.toStdString(), c.prompt) << "language " << c.lingua;
        EXPECT_EQ(prompts.inputsAsked[0].title, "Set current");
    }
}

TEST_F(CommandValueTest, OutOfRangeBeepsAndAsksAgainCancelGivesNothing) {
    prompts.inputs = {"20001", "-1", "12001", " 3 000 mA"}; // the number the answer starts with
    auto v = ask(CurrentSlot);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->parametro1, 3000);
    EXPECT_EQ(prompts.beeps, 3);
    ASSERT_EQ(prompts.inputsAsked.size(), 4u);
    EXPECT_EQ(prompts.inputsAsked[3].text, prompts.inputsAsked[0].text);

    prompts.inputs = {"99999"}; // cancel after a refused value: still nothing
    EXPECT_FALSE(ask(CurrentSlot));
    prompts.inputsAsked.clear();
    for (int slot : {BlankSlot, -1, CatalogSlots})
        EXPECT_FALSE(ask(slot)) << slot;
    v = ask(ReadSlot); // a command without data asks nothing
    ASSERT_TRUE(v);
    EXPECT_EQ(v->parametro1, 0);
    EXPECT_TRUE(prompts.inputsAsked.empty());
}

} // namespace
