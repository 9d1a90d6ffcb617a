#include "apps/CProcScanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

// A process folder as the kernel shows it: `links` are its descriptors' targets.
void MakeProcess(const fs::path& proc, int pid, const std::string& cgroup, const std::string& comm,
                 const std::vector<std::string>& links, const std::string& started = "4242") {
    const fs::path folder = proc / std::to_string(pid);
    fs::create_directories(folder / "fd");
    for (std::size_t i = 0; i < links.size(); ++i) {
        fs::create_symlink(links[i], folder / "fd" / std::to_string(i));
    }
    Write(folder / "cgroup", cgroup);
    Write(folder / "comm", comm + "\n");
    Write(folder / "cmdline", std::string("/usr/bin/") + comm + '\0' + "--flag" + '\0');
    // A command name with a space and a bracket must not shift the fields.
    Write(folder / "stat", std::to_string(pid) + " (" + comm + " x) y) S 1 2 3 4 5 6 7 8 9 10 " +
                               "11 12 13 14 15 16 17 18 " + started + " 99 100\n");
}

TEST(ProcScanner, ProcessesHoldingSocketsAreNamedOnce) {
    TempDir proc;
    MakeProcess(proc.Path(), 10, "0::/app.slice/app-gnome-firefox-1.scope\n", "firefox",
                {"socket:[111]", "/dev/null", "socket:[112]"});
    MakeProcess(proc.Path(), 20, "0::/user.slice/session-2.scope\n", "curl", {"socket:[211]"});
    MakeProcess(proc.Path(), 30, "0::/\n", "bash", {"/dev/pts/0", "pipe:[5]"});
    fs::create_directories(proc.Path() / "self");  // not a process number

    CProcScanner scanner(proc.Str());
    std::vector<ProcessInfo> found;
    scanner.Processes(found);
    std::map<int, ProcessInfo> byPid;
    for (const ProcessInfo& process : found) {
        byPid[process.pid] = process;
    }
    ASSERT_EQ(byPid.size(), 2U) << "only processes holding sockets";
    EXPECT_EQ(byPid[10].app, "firefox");
    std::sort(byPid[10].socketInodes.begin(), byPid[10].socketInodes.end());
    EXPECT_EQ(byPid[10].socketInodes, (std::vector<std::uint64_t>{111, 112}));
    EXPECT_EQ(byPid[10].commandLine, "/usr/bin/firefox --flag");
    EXPECT_EQ(byPid[20].app, "curl");  // no application unit: its name

    // The same process is not read again; one with a new start time under the same pid is.
    Write(proc.Path() / "10" / "cmdline", "changed");
    Write(proc.Path() / "20" / "cmdline", "changed");
    fs::remove_all(proc.Path() / "20");
    MakeProcess(proc.Path(), 20, "0::/\n", "wget", {"socket:[311]"}, "5000");
    found.clear();
    scanner.Processes(found);
    ASSERT_EQ(found.size(), 2U);
    for (const ProcessInfo& process : found) {
        EXPECT_EQ(process.commandLine,
                  process.pid == 10 ? "/usr/bin/firefox --flag" : "/usr/bin/wget --flag");
    }
}

}  // namespace
