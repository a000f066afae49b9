// The console that the command-line front end talks to: the real one, or a scripted one in tests.
#pragma once

#include <string>
#include <string_view>

namespace Arkova::Cli {

class Console {
public:
    virtual ~Console() = default;
    virtual void Out(std::wstring_view text) = 0;
    virtual void Err(std::wstring_view text) = 0;
    // Whether a person can answer questions on standard input.
    virtual bool InputIsTerminal() const = 0;
    // Whether a progress line on standard error is seen by a person.
    virtual bool ErrorIsTerminal() const = 0;
    // One line of input without its line end; false at the end of input.
    virtual bool ReadLine(std::wstring& line) = 0;
    // A line typed without echo (a password).
    virtual bool ReadSecret(std::wstring& line) = 0;
    // While on, Ctrl+C asks the running job to stop instead of ending the process.
    virtual void CatchInterrupts(bool on) = 0;
    virtual bool Interrupted() const = 0;
};

// Standard output collected and handed on in pieces of 64 Ki characters: a listing or report of thousands of entries
// would otherwise cost a console call (and a flush) per line. What is left goes out on Flush or destruction.
class BatchedOutput {
public:
    explicit BatchedOutput(Console& console) : console_(console) {}
    ~BatchedOutput() { Flush(); }
    BatchedOutput(const BatchedOutput&) = delete;
    BatchedOutput& operator=(const BatchedOutput&) = delete;

    void Add(std::wstring_view text) {
        text_ += text;
        if (text_.size() >= kPiece) Flush();
    }
    void Flush() {
        if (!text_.empty()) console_.Out(text_);
        text_.clear();
    }

private:
    static constexpr std::size_t kPiece = 64 * 1024;
    Console& console_;
    std::wstring text_;
};

// The process's own standard streams.
class SystemConsole : public Console {
public:
    void Out(std::wstring_view text) override;
    void Err(std::wstring_view text) override;
    bool InputIsTerminal() const override;
    bool ErrorIsTerminal() const override;
    bool ReadLine(std::wstring& line) override;
    bool ReadSecret(std::wstring& line) override;
    void CatchInterrupts(bool on) override;
    bool Interrupted() const override;
};

}  // namespace Arkova::Cli
