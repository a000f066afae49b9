// Guards against arkova-cli extracting less than its peers from archives nobody here made: for every archive of
// libarchive's own test suite that 7z or bsdtar extracts, arkova-cli writes at least the same files with the same
// contents, and names every entry it could not write. The differences that stay are listed, with their reasons, in
// known_differences.cpp. The archives come from the setup script's cache.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "known_differences.h"
#include "platform/text.h"

namespace Arkova::Conformance {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCorpusName = "libarchive-corpus-3.6.2-1+deb12u5";

fs::path CorpusFolder() {
    const char* cache = std::getenv("ARKOVA_CACHE");
    const char* home = std::getenv("HOME");
    fs::path root = cache != nullptr ? fs::path(cache) : fs::path(home != nullptr ? home : "") / ".cache/arkova";
    return root / kCorpusName;
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a command without a terminal (no peer may stop to ask for a password) and for at most 15 seconds (bsdtar loops
// on some of the fuzzed archives); its exit status, -1 for a signal, 124 when it was stopped.
int RunCommand(const std::string& command) {
    int status =
        std::system(("setsid -w timeout -k 5 15 sh -c " + Quote(command) + " </dev/null >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Of a file's size and its first 64 MiB: some archives hold sparse files of gigabytes.
std::uint64_t ContentHash(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    std::uint64_t hash = 14695981039346656037ull ^ fs::file_size(path, error);
    char buffer[65536];
    for (int pieces = 0; pieces < 1024 && (in.read(buffer, sizeof(buffer)) || in.gcount() > 0); ++pieces) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
        }
    }
    return hash;
}

// Names are compared composed (NFC), as the program decodes them.
std::string Composed(const std::string& name) {
    return Platform::WideToUtf8(Platform::NormalizeNfc(Platform::Utf8ToWide(name)));
}

// The regular files below a folder, by composed relative path. Links and special files are left out: the program
// writes no symbolic links, device nodes or FIFOs.
using Tree = std::map<std::string, std::uint64_t>;
Tree ReadTree(const fs::path& root) {
    Tree tree;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!fs::is_regular_file(it->symlink_status())) continue;
        tree[Composed(fs::relative(it->path(), root).generic_string())] = ContentHash(it->path());
    }
    return tree;
}

// The passphrases libarchive's tests give each archive: those of every test source that names it.
std::map<std::string, std::vector<std::string>> Passphrases(const fs::path& corpus,
                                                            const std::set<std::string>& names) {
    std::map<std::string, std::vector<std::string>> found;
    const std::regex passphrase(R"(archive_read_add_passphrase\s*\(\s*\w+\s*,\s*"([^"]*)\")");
    const std::regex quoted(R"re("([^"\n]+)")re");
    for (const auto& entry : fs::directory_iterator(corpus / "tests")) {
        std::string source = ReadAll(entry.path());
        std::vector<std::string> words;
        for (std::sregex_iterator it(source.begin(), source.end(), passphrase), end; it != end; ++it) {
            words.push_back((*it)[1]);
        }
        if (words.empty()) continue;
        for (std::sregex_iterator it(source.begin(), source.end(), quoted), end; it != end; ++it) {
            if (names.count((*it)[1]) == 0) continue;
            auto& list = found[(*it)[1]];
            for (const std::string& word : words) {
                if (std::find(list.begin(), list.end(), word) == list.end()) list.push_back(word);
            }
        }
    }
    return found;
}

struct Peer {
    bool ran = false;
    bool succeeded = false;
    Tree tree;
};

Peer RunSevenZip(const fs::path& archive, const std::string& password, const fs::path& out) {
    Peer peer;
    std::string pass = "-p" + Quote(password.empty() ? "-" : password);
    int status = RunCommand("7z x -y -bd -bso0 -bse0 -bsp0 " + pass + " -o" + Quote(out.string()) + " " +
                            Quote(archive.string()));
    peer.ran = true;
    peer.succeeded = status == 0;
    peer.tree = ReadTree(out);
    // 7-Zip opens a tarball one level at a time; its second step is what a user of it gets in the end.
    if (peer.succeeded && peer.tree.size() == 1) {
        fs::path inner = out / peer.tree.begin()->first;
        fs::path second = out.string() + "-tar";
        if (RunCommand("7z x -y -bd -bso0 -bse0 -bsp0 -ttar -o" + Quote(second.string()) + " " + Quote(inner.string()) +
                       " >/dev/null 2>&1") == 0) {
            peer.tree = ReadTree(second);
        }
    }
    return peer;
}

Peer RunBsdtar(const fs::path& archive, const std::string& password, const fs::path& out) {
    Peer peer;
    fs::create_directories(out);
    std::string pass = password.empty() ? "" : " --passphrase " + Quote(password);
    int status = RunCommand("bsdtar -x -f " + Quote(archive.string()) + " -C " + Quote(out.string()) + pass +
                            " >/dev/null 2>&1");
    peer.ran = true;
    peer.succeeded = status == 0;
    peer.tree = ReadTree(out);
    return peer;
}

// What arkova-cli may be held to: the files of each peer that succeeded (7z and bsdtar read some formats
// differently: an RPM as its payload or as the files inside it); when neither succeeded, the files both wrote alike.
std::vector<Tree> Expectations(const Peer& sevenZip, const Peer& bsdtar) {
    std::vector<Tree> expectations;
    for (const Peer* peer : {&sevenZip, &bsdtar}) {
        if (peer->succeeded && !peer->tree.empty()) expectations.push_back(peer->tree);
    }
    if (!expectations.empty() || sevenZip.succeeded || bsdtar.succeeded) return expectations;
    Tree agreed;
    for (const auto& [name, hash] : sevenZip.tree) {
        auto there = bsdtar.tree.find(name);
        if (there != bsdtar.tree.end() && there->second == hash) agreed[name] = hash;
    }
    if (!agreed.empty()) expectations.push_back(agreed);
    return expectations;
}

// The entries arkova-cli reported as failed ("arkova-cli: PATH: why"), in the composed "/" form.
bool Reported(const std::string& errors, const std::string& name) {
    std::istringstream lines(errors);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("arkova-cli: ", 0) != 0) continue;
        std::string rest = line.substr(12);
        for (char& c : rest) {
            if (c == '\\') c = '/';
        }
        rest = Composed(rest);
        std::string path = name;
        // Folder names as the archive stores them may carry a leading "./" or "/".
        for (const std::string& prefix : {std::string(), std::string("./"), std::string("/")}) {
            if (rest.rfind(prefix + path + ": ", 0) == 0) return true;
        }
    }
    return false;
}

struct Verdict {
    std::vector<std::string> wrong;     // written with other contents, or not at all, and not reported
    std::vector<std::string> reported;  // not written, and named as failed
    bool crashed = false;
};

Verdict Compare(const Tree& expected, const fs::path& arkovaOut, const std::string& errors) {
    Verdict verdict;
    Tree ours = ReadTree(arkovaOut);
    for (const auto& [name, hash] : expected) {
        auto there = ours.find(name);
        if (there != ours.end() && there->second == hash) continue;
        (Reported(errors, name) ? verdict.reported : verdict.wrong).push_back(name);
    }
    return verdict;
}

struct Outcome {
    std::string name;
    bool compared = false;  // a peer extracted something to hold arkova-cli to
    int status = 0;
    std::size_t expectedCount = 0;
    Verdict verdict;
    std::string errors;
    double seconds = 0;
};

std::string PasswordFor(const fs::path& archive, const std::vector<std::string>* candidates) {
    if (candidates == nullptr) return {};
    for (const std::string& candidate : *candidates) {
        if (RunCommand("7z t -bd -bso0 -bse0 -bsp0 -p" + Quote(candidate) + " " + Quote(archive.string())) == 0) {
            return candidate;
        }
    }
    return candidates->front();
}

Outcome CompareOne(const fs::path& archive, const std::vector<std::string>* passphrases, const fs::path& base) {
    auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    outcome.name = archive.filename();
    std::string password = PasswordFor(archive, passphrases);
    std::vector<Tree> expectations =
        Expectations(RunSevenZip(archive, password, base / "7z"), RunBsdtar(archive, password, base / "bsdtar"));
    const fs::path ours = base / "arkova";
    const fs::path errorFile = base / "arkova.err";
    std::string pass = password.empty() ? "" : " -p " + Quote(password);
    outcome.status = RunCommand(std::string(ARKOVA_CLI) + " x " + Quote(archive.string()) + " -o " +
                                Quote(ours.string()) + " -y -q" + pass + " 2>" + Quote(errorFile.string()));
    outcome.errors = ReadAll(errorFile);
    // Held to the peer it matches best.
    for (std::size_t i = 0; i < expectations.size(); ++i) {
        Verdict candidate = Compare(expectations[i], ours, outcome.errors);
        if (i == 0 || candidate.wrong.size() < outcome.verdict.wrong.size()) {
            outcome.verdict = std::move(candidate);
            outcome.expectedCount = expectations[i].size();
        }
    }
    outcome.compared = !expectations.empty();
    // A signal, a run stopped for taking too long, or (in the sanitizer builds) a sanitizer's report.
    outcome.verdict.crashed = outcome.status < 0 || outcome.status > 2 ||
                              outcome.errors.find("Sanitizer") != std::string::npos ||
                              outcome.errors.find("runtime error:") != std::string::npos;
    fs::remove_all(base);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

TEST(LibarchiveCorpusTest, ExtractsWhatThePeersExtract) {
    const fs::path corpus = CorpusFolder();
    ASSERT_TRUE(fs::is_directory(corpus / "archives"))
        << "libarchive's test archives are not in " << corpus << ": run scripts/setup.sh";
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(corpus / "archives")) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    ASSERT_GT(names.size(), 200u) << "the corpus in " << corpus << " is incomplete: run scripts/setup.sh --force";
    const auto passphrases = Passphrases(corpus, std::set<std::string>(names.begin(), names.end()));

    const fs::path work = fs::temp_directory_path() / ("arkova-conformance-" + std::to_string(::getpid()));
    fs::remove_all(work);
    // Two archives at a time: most of the time goes to starting the three programs.
    std::vector<Outcome> outcomes(names.size());
    std::atomic<std::size_t> next{0};
    auto work_through = [&] {
        for (std::size_t i = next++; i < names.size(); i = next++) {
            auto listed = passphrases.find(names[i]);
            outcomes[i] = CompareOne(corpus / "archives" / names[i],
                                     listed != passphrases.end() ? &listed->second : nullptr, work / names[i]);
        }
    };
    std::thread helper(work_through);
    work_through();
    helper.join();
    fs::remove_all(work);

    int compared = 0;
    int known = 0;
    for (const Outcome& outcome : outcomes) {
        const std::string& name = outcome.name;
        EXPECT_FALSE(outcome.verdict.crashed) << name << ": arkova-cli ended with status " << outcome.status << "\n"
                                              << outcome.errors;
        if (outcome.seconds > 10) std::cout << "note: " << name << " took " << outcome.seconds << " s\n";
        if (KnownDifferenceFor(name) != nullptr) {
            ++known;
            if (outcome.verdict.wrong.empty() && outcome.verdict.reported.empty()) {
                std::cout << "note: " << name << " is listed as a known difference but now extracts like its peers\n";
            }
            continue;
        }
        if (!outcome.compared) continue;
        ++compared;
        std::string list;
        for (const std::string& file : outcome.verdict.wrong) list += "\n  " + file;
        EXPECT_TRUE(outcome.verdict.wrong.empty())
            << name << ": " << outcome.verdict.wrong.size() << " file(s) of " << outcome.expectedCount
            << " that a peer extracted were not written alike and not reported:" << list << "\narkova-cli said:\n"
            << outcome.errors;
    }
    std::cout << compared << " archive(s) compared, " << known << " listed as known differences\n";
}

}  // namespace
}  // namespace Arkova::Conformance
