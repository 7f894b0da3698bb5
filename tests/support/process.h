#pragma once

// Another program run by a test: started with its arguments in a given
// folder, standard input empty, standard output and standard error read
// through pipes. fork/execv on POSIX systems, CreateProcessW on Windows.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace skarn::testing {

class ChildProcess {
public:
    // Starts `argv[0]` with the arguments `argv` (UTF-8), in `cwd` unless it
    // is empty. started() tells whether it could be started.
    ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd = {}) {
        start(argv, cwd);
    }
    ~ChildProcess() { wait(std::chrono::steady_clock::now()); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return started_; }

    // Waits until the program ends, or kills it at `deadline`. Returns its
    // exit status, or nothing when it was killed or did not exit normally.
    // The output is complete once this returns.
    std::optional<int> wait(std::chrono::steady_clock::time_point deadline) {
        if (!started_) return std::nullopt;
        if (!waited_) {
            status_ = waitUntil(deadline);
            waited_ = true;
            for (std::thread& reader : readers_) reader.join();
        }
        return status_;
    }

    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

private:
#ifdef _WIN32
    static std::wstring wide(const std::string& text) {
        if (text.empty()) return {};
        const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring result(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
        return result;
    }

    // One word of a command line as CommandLineToArgvW and the C runtime
    // read it back: quoted, with the backslashes before a quote doubled.
    static void appendQuoted(std::wstring& line, const std::wstring& word) {
        line += L'"';
        std::size_t backslashes = 0;
        for (wchar_t c : word) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, L'\\');
        line += L'"';
    }

    void start(const std::vector<std::string>& argv, const std::filesystem::path& cwd) {
        std::wstring line;
        for (const std::string& word : argv) {
            if (!line.empty()) line += L' ';
            appendQuoted(line, wide(word));
        }
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE outRead, outWrite, errRead, errWrite;
        if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) return;
        if (!CreatePipe(&errRead, &errWrite, &inherit, 0)) {
            CloseHandle(outRead);
            CloseHandle(outWrite);
            return;
        }
        SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
        HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in;
        startup.hStdOutput = outWrite;
        startup.hStdError = errWrite;
        PROCESS_INFORMATION info{};
        const std::wstring folder = cwd.empty() ? std::wstring() : cwd.wstring();
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                  nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info) != 0;
        // Only the child holds the writing ends now: the pipes end with it.
        CloseHandle(outWrite);
        CloseHandle(errWrite);
        if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
        if (!started_) {
            CloseHandle(outRead);
            CloseHandle(errRead);
            return;
        }
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        readers_.emplace_back(drain, outRead, &out_);
        readers_.emplace_back(drain, errRead, &err_);
    }

    static void drain(HANDLE pipe, std::string* into) {
        char chunk[4096];
        DWORD n = 0;
        while (ReadFile(pipe, chunk, sizeof chunk, &n, nullptr) && n > 0) into->append(chunk, n);
        CloseHandle(pipe);
    }

    std::optional<int> waitUntil(std::chrono::steady_clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const DWORD wait = static_cast<DWORD>(std::max<long long>(left.count(), 0));
        std::optional<int> status;
        DWORD code = 0;
        if (WaitForSingleObject(process_, wait) == WAIT_OBJECT_0 && GetExitCodeProcess(process_, &code)) {
            status = static_cast<int>(code);
        } else {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, INFINITE);
        }
        CloseHandle(process_);
        return status;
    }

    HANDLE process_ = nullptr;
#else
    void start(const std::vector<std::string>& argv, const std::filesystem::path& cwd) {
        std::vector<std::string> words = argv;
        std::vector<char*> pointers;
        for (std::string& word : words) pointers.push_back(word.data());
        pointers.push_back(nullptr);
        int out[2], err[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        if (pipe2(err, O_CLOEXEC) != 0) {
            close(out[0]);
            close(out[1]);
            return;
        }
        const std::string folder = cwd.string();
        pid_ = fork();
        if (pid_ == 0) {
            const int in = open("/dev/null", O_RDONLY);
            if (in < 0 || dup2(in, 0) < 0 || dup2(out[1], 1) < 0 || dup2(err[1], 2) < 0 ||
                (!folder.empty() && chdir(folder.c_str()) != 0))
                _exit(127);
            execv(pointers[0], pointers.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        started_ = pid_ > 0;
        if (!started_) {
            close(out[0]);
            close(err[0]);
            return;
        }
        readers_.emplace_back(drain, out[0], &out_);
        readers_.emplace_back(drain, err[0], &err_);
    }

    static void drain(int fd, std::string* into) {
        char chunk[4096];
        for (;;) {
            const ssize_t n = read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            into->append(chunk, static_cast<std::size_t>(n));
        }
        close(fd);
    }

    std::optional<int> waitUntil(std::chrono::steady_clock::time_point deadline) {
        int status = 0;
        for (;;) {
            const pid_t done = waitpid(pid_, &status, WNOHANG);
            if (done == pid_) break;
            if (done < 0 && errno != EINTR) return std::nullopt;
            if (std::chrono::steady_clock::now() >= deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                return std::nullopt;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (!WIFEXITED(status)) return std::nullopt;
        return WEXITSTATUS(status);
    }

    pid_t pid_ = -1;
#endif

    bool started_ = false;
    bool waited_ = false;
    std::optional<int> status_;
    std::vector<std::thread> readers_;
    std::string out_;
    std::string err_;
};

}  // namespace skarn::testing
