#pragma once
// Logging in to the target: the method is picked from what the server offers
// and the caller's preference, and exactly one method is tried.
#include <libssh2.h>

class SftpDiagnostics;

// Method bits, as the server's method list is read into them.
constexpr int kMethodPassword = 0x1;
constexpr int kMethodKeyboardInteractive = 0x2;
constexpr int kMethodPublicKey = 0x4;

// The methods named in the server's comma-separated list.
int MethodMask(const char* methodList);
// Narrows `mask` to `preference` when that is one method the server offers.
int PreferredMethods(int mask, int preference);

// Logs in as `user`. True when the session may go on to SFTP: logged in, or
// the server asked for no login at all.
bool Authenticate(LIBSSH2_SESSION* session, const char* user, const char* password, int preference,
                  SftpDiagnostics& diagnostics);

// Answers keyboard-interactive prompts with lines read from standard input.
// The session's abstract pointer is the connection's SftpDiagnostics: the
// answers reach the record only as "***".
void KbdInteractiveResponder(const char* name, int nameLength, const char* instruction, int instructionLength,
                             int promptCount, const LIBSSH2_USERAUTH_KBDINT_PROMPT* prompts,
                             LIBSSH2_USERAUTH_KBDINT_RESPONSE* responses, void** abstract);
