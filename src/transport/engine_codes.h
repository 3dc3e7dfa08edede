#pragma once

#include <string>

namespace transport {

// The engine's negative result codes. They are stored as text in the outbox row
// (ERR_TEXT) and shown in the Center's status fields, so a number never changes meaning;
// new codes get new numbers. seeErrorText gives the sentence for each.
inline constexpr int kNotAttached = -1;         // A call before seeAttach, or after a failed one.
inline constexpr int kBadChannel = -2;          // Only channel 0 exists.
inline constexpr int kNotConnected = -3;        // A mailbox or send call with no open connection.
inline constexpr int kAlreadyConnected = -4;    // A connect while another connection is open.
inline constexpr int kEngineInitFailed = -5;    // libcurl could not be initialised.
inline constexpr int kBadArgument = -6;         // An empty host, a malformed address.
inline constexpr int kHostNotFound = -10;
inline constexpr int kConnectFailed = -11;      // Refused or unreachable port.
inline constexpr int kTimedOut = -12;           // Connect, silence or whole-transfer time-out.
inline constexpr int kTlsFailed = -13;          // Handshake failed or TLS not offered.
inline constexpr int kCertificateRejected = -14;
inline constexpr int kLoginRefused = -15;
inline constexpr int kConnectionDropped = -16;  // The server hung up half-way.
inline constexpr int kProtocolError = -17;      // A reply the client cannot read.
inline constexpr int kRecipientRefused = -20;
inline constexpr int kSenderRefused = -21;
inline constexpr int kMessageRefused = -22;     // Refused at the end of the message data.
inline constexpr int kBodyFileMissing = -30;
inline constexpr int kImageMissing = -31;
inline constexpr int kAttachmentMissing = -32;
inline constexpr int kMessageBuildFailed = -33;
inline constexpr int kNoSuchMessage = -40;      // A message number outside 1..count.
inline constexpr int kMailboxCommandFailed = -41;
inline constexpr int kTransferFailed = -99;     // Any other transfer failure.

// Codes of the mail operations built on the engine.
inline constexpr int kEngineNotLoaded = -12345678;
inline constexpr int kNoSendResult = -999;

// One clear sentence for a code; an unknown code gets "Unknown e-mail engine error N".
std::string engine_error_text(int code);

}  // namespace transport
