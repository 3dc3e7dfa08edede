#include "transport/see_engine.h"

#include <gtest/gtest.h>

#include <string>

#include "transport/engine_codes.h"

namespace transport {
namespace {

TEST(SeeExtractText, GivesTheLineHoldingTheKeyword) {
  struct Case {
    const char* keyword;
    int size;
    const char* line;  // nullptr: absent.
    const char* what;
  };
  const std::string text =
      "From: \"Ana\" <ana@x.com>\nSubject: Re: ok\n\nmonitor ana@x.com<BR>\r\nNUMREF 123<BR>\nSTATUS 1";
  const Case cases[] = {
      {"FROM:", 5000, "From: \"Ana\" <ana@x.com>", "case is ignored; the line end is not part of the line"},
      {"MONITOR", 5000, "monitor ana@x.com<BR>", "a CRLF line end is dropped too"},
      {"STATUS", 5000, "STATUS 1", "the last line needs no line end"},
      {"numref", 8, "NUMREF ", "the buffer size cuts the line, keeping room for the terminator"},
      {"CHECKSUM", 5000, nullptr, "absent keyword"},
      {"", 5000, nullptr, "empty keyword finds nothing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string buffer = "stale";
    const int length = SeeEngine::seeExtractText(text, c.keyword, buffer, c.size);
    if (c.line) {
      EXPECT_EQ(buffer, c.line);
      EXPECT_EQ(length, static_cast<int>(buffer.size()));
    } else {
      EXPECT_LE(length, 0);
      EXPECT_EQ(buffer, "");
    }
  }
}

TEST(SeeEngine, RefusesCallsBeforeAttachAndOnOtherChannels) {
  SeeEngine engine;
  EXPECT_EQ(engine.seeSmtpConnect(0, "127.0.0.1", "<a@b.cc>", ""), kNotAttached);
  EXPECT_EQ(engine.seeAttach(2, 0), kBadChannel);
  ASSERT_GE(engine.seeAttach(1, 0), 0);
  EXPECT_EQ(engine.seeGetEmailCount(1), kBadChannel);
  EXPECT_EQ(engine.seeGetEmailCount(0), kNotConnected);
  EXPECT_EQ(engine.seeSendHTML(0, "<a@b.cc>", "", "", "s", "b", "", "", ""), kNotConnected);
  EXPECT_EQ(engine.seeStringParam(0, kExtraHeaderLine, "no colon here"), kBadArgument);
  EXPECT_GE(engine.seeClose(0), 0);  // Nothing open is not a failure.
}

TEST(SeeEngine, ErrorTextExplainsEveryCodeAndFitsTheBuffer) {
  SeeEngine engine;
  for (const int code : {kNotAttached, kConnectFailed, kTimedOut, kLoginRefused, kRecipientRefused, kBodyFileMissing,
                         kEngineNotLoaded, kNoSendResult}) {
    std::string buffer;
    const int length = engine.seeErrorText(0, code, buffer, 200);
    EXPECT_GT(length, 10) << code;
    EXPECT_EQ(buffer.find("Unknown"), std::string::npos) << code;
  }
  std::string small;
  EXPECT_EQ(engine.seeErrorText(0, kConnectFailed, small, 11), 10);
  std::string unknown;
  engine.seeErrorText(0, -4242, unknown, 200);
  EXPECT_EQ(unknown, "Unknown e-mail engine error -4242");
}

}  // namespace
}  // namespace transport
