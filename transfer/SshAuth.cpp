#include "SshAuth.h"

#include "SftpDiagnostics.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
// The key pair is read from these files relative to the working directory;
// "~" is a folder there, not the user's home.
constexpr const char* kPublicKeyFile = "~/.ssh/id_rsa.pub";
constexpr const char* kPrivateKeyFile = "~/.ssh/id_rsa";

unsigned Length(const char* text) { return static_cast<unsigned>(std::strlen(text)); }
}  // namespace

int MethodMask(const char* methodList)
{
    int mask = 0;
    if (std::strstr(methodList, "password"))
        mask |= kMethodPassword;
    if (std::strstr(methodList, "keyboard-interactive"))
        mask |= kMethodKeyboardInteractive;
    if (std::strstr(methodList, "publickey"))
        mask |= kMethodPublicKey;
    return mask;
}

int PreferredMethods(int mask, int preference)
{
    const bool oneMethod = preference == kMethodPassword || preference == kMethodKeyboardInteractive ||
                           preference == kMethodPublicKey;
    return oneMethod && (mask & preference) ? preference : mask;
}

bool Authenticate(LIBSSH2_SESSION* session, const char* user, const char* password, int preference,
                  SftpDiagnostics& diagnostics)
{
    const char* list = ::libssh2_userauth_list(session, user, Length(user));
    if (!list)
        return true;  // the server took "none", or could not say
    diagnostics.Output("Authentication methods: %s\n", list);
    const int mask = PreferredMethods(MethodMask(list), preference);

    if (mask & kMethodPassword) {
        if (::libssh2_userauth_password_ex(session, user, Length(user), password, Length(password), nullptr)) {
            diagnostics.Error("Authentication by password failed.\n");
            return false;
        }
        return true;
    }
    if (mask & kMethodKeyboardInteractive) {
        const bool ok = ::libssh2_userauth_keyboard_interactive_ex(session, user, Length(user),
                                                                    KbdInteractiveResponder) == 0;
        diagnostics.Output(ok ? "\tAuthentication by keyboard-interactive succeeded.\n"
                              : "\tAuthentication by keyboard-interactive failed!\n");
        return ok;
    }
    if (mask & kMethodPublicKey) {
        const bool ok = ::libssh2_userauth_publickey_fromfile_ex(session, user, Length(user), kPublicKeyFile,
                                                                  kPrivateKeyFile, password) == 0;
        diagnostics.Output(ok ? "\tAuthentication by public key succeeded.\n"
                              : "\tAuthentication by public key failed!\n");
        return ok;
    }
    diagnostics.Output("No supported authentication methods found!\n");
    return false;
}

void KbdInteractiveResponder(const char* name, int nameLength, const char* instruction, int instructionLength,
                             int promptCount, const LIBSSH2_USERAUTH_KBDINT_PROMPT* prompts,
                             LIBSSH2_USERAUTH_KBDINT_RESPONSE* responses, void** abstract)
{
    SftpDiagnostics& diagnostics = *static_cast<SftpDiagnostics*>(*abstract);
    diagnostics.Output("Performing keyboard-interactive authentication.\n");
    diagnostics.Output("Authentication name: '%.*s'\n", nameLength, name ? name : "");
    diagnostics.Output("Authentication instruction: '%.*s'\n", instructionLength, instruction ? instruction : "");
    diagnostics.Output("Number of prompts: %d\n\n", promptCount);
    for (int i = 0; i < promptCount; ++i) {
        diagnostics.Output("Prompt %d from server: '%.*s'\n", i, static_cast<int>(prompts[i].length),
                           reinterpret_cast<const char*>(prompts[i].text));
        diagnostics.Output("Please type response: ");
        std::fflush(stdout);
        char line[1024] = "";
        if (!std::fgets(line, sizeof line, stdin))
            line[0] = '\0';
        size_t length = std::strlen(line);
        while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n'))
            line[--length] = '\0';
        // libssh2 releases the response with its own free.
        responses[i].text = static_cast<char*>(std::malloc(length + 1));
        if (responses[i].text) {
            std::memcpy(responses[i].text, line, length + 1);
            responses[i].length = static_cast<unsigned>(length);
        } else {
            responses[i].length = 0;
        }
        const std::string number = std::to_string(i);
        diagnostics.OutputRecordedAs("Response " + number + " from user is '" + line + "'\n\n",
                                     "Response " + number + " from user is '***'\n");
        // The typed answer may be a password: nothing of it stays behind.
        ::SecureZeroMemory(line, sizeof line);
    }
    diagnostics.Output("Done. Sending keyboard-interactive responses to server now.\n");
}
