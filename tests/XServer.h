// A private X server for the tests that need a display.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace pictor_test {

// Uses the display in DISPLAY, or starts a private Xvfb for the test program when there is none.
class XServer : public testing::Environment {
public:
    void SetUp() override
    {
        const char* display = std::getenv("DISPLAY");
        if (display && *display) return;
        int fds[2];
        if (pipe(fds) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "1024x768x24", "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes the display number it chose, with a newline, once it is ready.
        char number[16] = {0};
        ssize_t got = m_pid > 0 ? read(fds[0], number, sizeof(number) - 1) : -1;
        // The server may write its number again later (it dies if nobody can read it), so the pipe stays
        // open while it runs.
        m_numberPipe = fds[0];
        if (got > 0) {
            // Built by appending: g++ 12 at -O3 warns (-Wrestrict) on a literal + temporary string.
            std::string display = ":";
            display += std::to_string(std::strtol(number, nullptr, 10));
            setenv("DISPLAY", display.c_str(), 1);
        }
    }

    void TearDown() override { Stop(); }

    bool Started() const { return m_pid > 0; }

    // Stops the server started here (a test can take the display away this way).
    void Stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_numberPipe >= 0) close(m_numberPipe);
        m_pid = -1;
        m_numberPipe = -1;
    }

private:
    pid_t m_pid = -1;
    int m_numberPipe = -1;
};

}  // namespace pictor_test
