#include "platform/messages.h"
#include "platform/threads.h"
#include "platform/user_interface.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override { previous = pelko::setUserInterface(ui); }
    void TearDown() override { pelko::setUserInterface(previous); }
    std::shared_ptr<pelko::ScriptedUserInterface> ui = std::make_shared<pelko::ScriptedUserInterface>();
    std::shared_ptr<pelko::UserInterface> previous;
};

TEST_F(MessagesTest, TextDetailAndCaption)
{
    pelko::showMessage(7, "/tmp/tmp.sav");
    pelko::showMessage(21, {}, pelko::kMessageOkWarning);
    pelko::showMessage(9);  // not in the table: the unknown-error text
    auto messages = ui->messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].text, "Error opening file\n/tmp/tmp.sav");
    EXPECT_EQ(messages[0].caption, "Pelko Error");
    EXPECT_EQ(messages[0].kind, pelko::MessageKind::Warning);
    EXPECT_EQ(messages[1].caption, "Pelko Warning");
    EXPECT_EQ(messages[2].text, "An unknown error occurred");
    EXPECT_EQ(pelko::messageText(10), nullptr);
    EXPECT_STREQ(pelko::messageText(19), "An error occured while loading a waveform.");
}

TEST_F(MessagesTest, QuestionsReturnTheAnswer)
{
    ui->queueAnswer(true);
    ui->queueAnswer(false);
    EXPECT_TRUE(pelko::showMessage(17, {}, pelko::kMessageYesNo));
    EXPECT_FALSE(pelko::showMessage(15, {}, pelko::kMessageYesNo));
    EXPECT_EQ(ui->messages()[0].kind, pelko::MessageKind::Question);
}

TEST_F(MessagesTest, AudioThreadMessagesWaitForTheUserInterfaceThread)
{
    std::thread audio([] {
        pelko::AudioThreadScope scope;
        EXPECT_FALSE(pelko::showMessage(17, {}, pelko::kMessageYesNo));  // never shown there: No
        pelko::showMessage(19, "Single Cycle\\Sine");
        pelko::showDeferredMessages();  // does nothing on the audio thread
    });
    audio.join();
    EXPECT_TRUE(ui->messages().empty());
    EXPECT_EQ(pelko::deferredMessageCount(), 2);
    pelko::showDeferredMessages();
    auto messages = ui->messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "An error occured while loading a waveform.\nSingle Cycle\\Sine");
    // The question is shown as information only: its answer was already given.
    EXPECT_EQ(messages[0].kind, pelko::MessageKind::Warning);
    EXPECT_EQ(pelko::deferredMessageCount(), 0);
}

TEST(HeadlessUserInterface, AnswersNoAndCancels)
{
    pelko::HeadlessUserInterface headless;
    EXPECT_FALSE(headless.messageBox("q?", "Pelko Error", pelko::MessageKind::Question));
    EXPECT_FALSE(headless.fileDialog({}).has_value());
}

}  // namespace
