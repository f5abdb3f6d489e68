// SPDX-License-Identifier: Apache-2.0
#include "QORMDScratchRepository.h"

#include <filesystem>

ScratchRepository::ScratchRepository() {
    Git({"init", "-q", "-b", "main"});
    Git({"config", "user.name", "Report Test"});
    Git({"config", "user.email", "report-test@localhost"});
    Git({"config", "commit.gpgsign", "false"});
}

HostRun ScratchRepository::Git(const std::vector<std::string>& args, int expected) const {
    const HostRun run = RunProgram("git", args, {path(), {"GIT_CONFIG_NOSYSTEM=1", "HOME=" + path()}});
    EXPECT_EQ(run.exitStatus, expected) << "git " << args[0] << ": " << run.out << run.err;
    return run;
}

std::string ScratchRepository::Commit(const std::map<std::string, std::string>& files, const std::string& message,
                                      const std::vector<std::string>& removed) const {
    for (const auto& [name, content] : files) {
        std::filesystem::create_directories(std::filesystem::path(dir_.file(name)).parent_path());
        dir_.write(name, content);
    }
    for (const std::string& name : removed) std::filesystem::remove(dir_.file(name));
    Git({"add", "-A"});
    Git({"commit", "-q", "-m", message});
    std::string id = Git({"rev-parse", "HEAD"}).out;
    id.erase(id.find_last_not_of('\n') + 1);
    return id;
}
