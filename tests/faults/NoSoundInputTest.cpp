// SPDX-License-Identifier: GPL-3.0-or-later
// No sound server and no capture device (CI has neither): Record says why,
// promptly, and the file the user chose is left as it was.

#include "support/WindowTest.h"
#include "components/recorder/CMP3Enc.h"
#include "fakes/FakePlayer.h"
#include "support/EnvironmentOverride.h"
#include "support/FileBytes.h"

#include <gmock/gmock.h>

using namespace std::chrono_literals;
using testing::HasSubstr;

namespace {

using NoSoundInputTest = WindowTest;

TEST_F(NoSoundInputTest, RecordSaysWhyPromptlyAndLeavesTheChosenFileAlone)
{
    // Whatever sound server the machine may have, none answers here.
    EnvironmentOverride noServer;
    noServer.Set("PULSE_SERVER", "unix:/nonexistent/pulse/native");
    Start(RealRecorder(CMP3Enc::kDefaultInput));
    const std::string kept = PathIn("kept.mp3");
    WriteFileBytes(kept, "an earlier recording");
    prompts.answers.push_back(BoxAnswer::Yes); // replace kept.mp3
    prompts.saveAnswers.push_back(PathIn("kept"));
    Click(ControlId::SaveAs);
    prompts.boxes.clear();

    // The recorder gives up on a silent input after 5 s; a refused one at once.
    const auto pressed = std::chrono::steady_clock::now();
    Click(ControlId::Record);
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 8s) << "Record hung";

    ASSERT_EQ(prompts.boxes.size(), 1u);
    const ScriptedPrompts::Box& box = prompts.boxes.front();
    EXPECT_EQ(box.icon, BoxIcon::Stop);
    EXPECT_THAT(box.text, HasSubstr("Recording to " + kept + " could not start."));
    EXPECT_THAT(box.text, HasSubstr("sound input"));
    EXPECT_THAT(box.text, testing::Not(HasSubstr("gave no reason")));
    EXPECT_TRUE(IsEnabled(ControlId::SaveAs));
    EXPECT_FALSE(dlg->IsTimerRunning(RecordTimer)) << "the panel counts a recording that does not exist";
    EXPECT_EQ(ReadFileBytes(kept), "an earlier recording");

    // A second try says the same, and the window still works.
    Click(ControlId::Record);
    EXPECT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(ReadFileBytes(kept), "an earlier recording");
}

} // namespace
