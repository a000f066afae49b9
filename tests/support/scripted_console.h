// A console for driving arkova-cli in tests: answers come from a script, output is captured.
#pragma once

#include <deque>
#include <string>

#include "cli/console.h"

namespace Arkova::Testing {

class ScriptedConsole : public Cli::Console {
public:
    void Out(std::wstring_view text) override { out.append(text); }
    void Err(std::wstring_view text) override { err.append(text); }
    bool InputIsTerminal() const override { return inputIsTerminal; }
    bool ErrorIsTerminal() const override { return errorIsTerminal; }
    bool ReadLine(std::wstring& line) override {
        if (answers.empty()) return false;
        line = answers.front();
        answers.pop_front();
        ++questionsAnswered;
        return true;
    }

    bool ReadSecret(std::wstring& line) override {
        ++secretsAsked;
        return ReadLine(line);
    }

    void CatchInterrupts(bool on) override { catchingInterrupts = on; }
    bool Interrupted() const override { return interrupted; }

    std::wstring out;
    std::wstring err;
    std::deque<std::wstring> answers;
    bool inputIsTerminal = false;
    bool errorIsTerminal = false;
    int questionsAnswered = 0;
    int secretsAsked = 0;
    bool catchingInterrupts = false;
    bool interrupted = false;
};

}  // namespace Arkova::Testing
