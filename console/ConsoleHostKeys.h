#pragma once
// The console's side of the SFTP route's host-key check: known_hosts lives
// in the settings folder beside Brantel.cfg; a changed key is asked about in
// a message box that the console's thread shows while it waits for the
// route (the route hands the question over and waits for the answer); the
// answers belong to the command that runs.
#include "HostKeyTrust.h"
#include "WindowThreadCalls.h"

#include <string>

class ConsoleHostKeys : public HostKeyTrust {
public:
    // `closing` is the console's flag: once it is set nothing more is shown,
    // and a changed key is not trusted.
    ConsoleHostKeys(std::string settingsFolder, HostKeyAnswers& answers, WindowThreadCalls& calls,
                    const bool& closing);

    std::string KnownHostsFile() override;
    bool TrustChangedKey(const HostKeyChange& change) override;
    HostKeyAnswers& Answers() override { return m_answers; }

private:
    std::string m_settingsFolder;
    HostKeyAnswers& m_answers;
    WindowThreadCalls& m_calls;
    const bool& m_closing;
};

// The question's text, in code page 936.
std::string HostKeyQuestionText(const HostKeyChange& change);
