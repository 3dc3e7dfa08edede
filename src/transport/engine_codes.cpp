#include "transport/engine_codes.h"

#include <array>
#include <utility>

namespace transport {

namespace {

constexpr std::array<std::pair<int, const char*>, 27> kTexts{{
    {kNotAttached, "The e-mail engine is not attached"},
    {kBadChannel, "Only channel 0 exists in the e-mail engine"},
    {kNotConnected, "No connection is open"},
    {kAlreadyConnected, "A connection is already open"},
    {kEngineInitFailed, "The e-mail engine could not initialise its network library"},
    {kBadArgument, "Empty or malformed host name or address"},
    {kHostNotFound, "Server name not found"},
    {kConnectFailed, "Cannot connect to the server (port closed or unreachable)"},
    {kTimedOut, "The server did not answer in time"},
    {kTlsFailed, "TLS handshake with the server failed"},
    {kCertificateRejected, "The server's TLS certificate is not trusted"},
    {kLoginRefused, "The server refused the user name or password"},
    {kConnectionDropped, "The server closed the connection half-way"},
    {kProtocolError, "The server gave an answer the engine cannot read"},
    {kRecipientRefused, "The SMTP server refused a recipient"},
    {kSenderRefused, "The SMTP server refused the sender address"},
    {kMessageRefused, "The SMTP server refused the message"},
    {kBodyFileMissing, "The message body file cannot be read"},
    {kImageMissing, "An embedded image file cannot be read"},
    {kAttachmentMissing, "An attachment file cannot be read"},
    {kMessageBuildFailed, "The message could not be built"},
    {kNoSuchMessage, "No message with that number in the mailbox"},
    {kMailboxCommandFailed, "The mailbox refused the command"},
    {kTransferFailed, "The transfer failed"},
    {kEngineNotLoaded, "The e-mail engine could not be loaded"},
    {kNoSendResult, "The send gave no result"},
    {0, "No error"},
}};

}  // namespace

std::string engine_error_text(int code) {
  for (const auto& [known, text] : kTexts) {
    if (known == code) return text;
  }
  return "Unknown e-mail engine error " + std::to_string(code);
}

}  // namespace transport
