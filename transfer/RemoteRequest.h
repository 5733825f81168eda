#pragma once
// One remote operation, as the commands describe it to the dispatcher and the
// dispatcher hands it to a route. The texts are borrowed for the call.

enum RemoteRoute { kRouteFtp = 0, kRouteSftp = 1 };
enum RemoteOperation { kOperationDownload = 0, kOperationUpload = 1, kOperationEnsureDirectory = 2 };
enum SshAuthMethod { kAuthPassword = 1, kAuthKeyboardInteractive = 2, kAuthPublicKey = 4 };

struct RemoteRequest {
    int route;                  // RemoteRoute; any other value runs nothing
    const char* targetAddress;  // dotted IPv4 text
    const char* userName;       // SFTP only; FTP logs in with empty texts
    const char* password;       // SFTP only; also the private key's passphrase
    const char* remoteDir;      // no trailing "/"
    const char* fileName;       // same name locally and on the target
    const char* localDir;       // empty: the working directory
    int authPreference;         // SshAuthMethod, or no preference
    int operation;              // RemoteOperation
};

// What came of one remote operation, as the commands see it.
struct RemoteOutcome {
    // 1 success; 0 failure; -1 the target is not known to answer, or no SSH
    // connection could be set up. Any positive value counts as success.
    int result = 0;
    // Nothing was tried because the target is not known to answer, and the
    // engineer has been told so ("网络似乎不通!").
    bool refusedUnreachable = false;

    bool Succeeded() const { return result > 0; }
};
