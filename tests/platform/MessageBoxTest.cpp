#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/window/TwMessageBox.h"

TEST(MessageBox, SinkReceivesEveryMessageInOrderWithTheErrorCaption) {
    std::vector<std::string> seen;
    TwSetMessageSink([&seen](const std::string& caption, const std::string& text) {
        seen.push_back(caption + ": " + text);
    });
    TwShowErrorMessage("first");
    TwShowErrorMessage("File 'x' - Not Found!");
    TwSetMessageSink({});
    EXPECT_EQ(seen, (std::vector<std::string>{"Error: first", "Error: File 'x' - Not Found!"}));
}

TEST(MessageBox, WithoutADisplayTheTextGoesToStandardError) {
    // The tests run on the offscreen video driver: no box can be shown.
    testing::internal::CaptureStderr();
    TwShowErrorMessage("Error Loading Resource File.");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Error Loading Resource File.\n");
}
