// The user keys engineers have and the SSH servers controllers run, against
// real sshd targets (tests/peers/with_sshd_target.sh): each logs in and
// uploads a file that must arrive whole.
#include "FakeHostKeys.h"
#include "RecordedLines.h"
#include "SftpTransfer.h"
#include "TestDirs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {
namespace fs = std::filesystem;

struct IgnoredProgress : ProgressSink {
    void SetRange(int, int) override {}
    void SetPos(int) override {}
};

// A Linux path that the wrapper exports, on Wine's drive Z:.
fs::path FromEnvironment(const std::string& variable)
{
    const char* path = std::getenv(variable.c_str());
    return fs::path("Z:" + std::string(path ? path : "/nonexistent"));
}

// The route reads the key pair from "~/.ssh" under the working directory;
// each key pair has a folder of its own to work in.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const fs::path& folder)
    {
        char previous[MAX_PATH] = "";
        ::GetCurrentDirectoryA(MAX_PATH, previous);
        m_previous = previous;
        m_entered = ::SetCurrentDirectoryA(folder.string().c_str()) != 0;
    }
    ~WorkingDirectory() { ::SetCurrentDirectoryA(m_previous.c_str()); }
    bool Entered() const { return m_entered; }

private:
    std::string m_previous;
    bool m_entered;
};

TEST(SshCompatibility, EveryKeyAndServerLogsInAndTheUploadArrivesIntact)
{
    struct Case {
        const char* what;
        const char* keyPair;       // folder under BRANTEL_SSH_KEYS
        const char* address;
        const char* rootVariable;  // where that target's root is
    };
    const Case cases[] = {
        {"RSA key in OpenSSH's format", "rsa", "127.0.0.2", "BRANTEL_SSH_ROOT"},
        {"ed25519 key", "ed25519", "127.0.0.2", "BRANTEL_SSH_ROOT"},
        {"ECDSA key", "ecdsa", "127.0.0.2", "BRANTEL_SSH_ROOT"},
        {"RSA key in PEM", "rsa-pem", "127.0.0.2", "BRANTEL_SSH_ROOT"},
        {"only an ed25519 host key", "ed25519", "127.0.0.31", "BRANTEL_SSH_ROOT_ED25519_HOST"},
        {"only curve25519-sha256", "rsa", "127.0.0.32", "BRANTEL_SSH_ROOT_CURVE25519"},
        {"only aes256-gcm", "rsa", "127.0.0.33", "BRANTEL_SSH_ROOT_AES256_GCM"},
        {"only chacha20-poly1305", "rsa", "127.0.0.34", "BRANTEL_SSH_ROOT_CHACHA20"},
        {"ssh-rsa host key, group14-sha1, aes128-ctr", "rsa", "127.0.0.35", "BRANTEL_SSH_ROOT_OLD_STYLE"},
    };
    // Large enough for many packets of the cipher, not a multiple of a chunk.
    std::string data(300001, '\0');
    std::mt19937 random(12);
    for (char& byte : data)
        byte = static_cast<char>(random());
    ScratchDir local;
    std::ofstream(local.file("payload.bin"), std::ios::binary) << data;

    for (const Case& c : cases) {
        const fs::path remote = FromEnvironment(c.rootVariable) / "mnt/mmc/payload.bin";
        fs::remove(remote);
        WorkingDirectory keys(FromEnvironment("BRANTEL_SSH_KEYS") / c.keyPair);
        ASSERT_TRUE(keys.Entered()) << c.what;
        IgnoredProgress progress;
        RecordedLines record;
        ScratchDir settings;
        FakeHostKeys hostKeys(settings.path());
        const RemoteRequest request{kRouteSftp, c.address, "root", "", "/mnt/mmc", "payload.bin",
                                    local.path().c_str(), kAuthPublicKey, kOperationUpload};
        EXPECT_EQ(SftpTransfer(request, progress, record, hostKeys), 1) << c.what;
        std::ifstream in(remote, std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == data) << c.what;
    }
}
}  // namespace
