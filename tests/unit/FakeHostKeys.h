#pragma once
// The host-key side of the SFTP route's caller, for tests: known_hosts in a
// folder of the test's, and a question that is answered as told and kept.
#include "HostKeyTrust.h"

#include <string>
#include <vector>

class FakeHostKeys : public HostKeyTrust {
public:
    explicit FakeHostKeys(std::string folder) : folder(std::move(folder)) {}
    std::string KnownHostsFile() override { return folder + "\\known_hosts"; }
    bool TrustChangedKey(const HostKeyChange& change) override
    {
        questions.push_back(change);
        return answer;
    }
    HostKeyAnswers& Answers() override { return answers; }

    std::string folder;
    bool answer = false;
    std::vector<HostKeyChange> questions;
    HostKeyAnswers answers;
};
