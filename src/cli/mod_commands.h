// quorvane-cli mod export, mod apply, mod conflicts and restore.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quorvane::cli {

// True when command is "mod" or "restore".
bool IsModCommand(const std::string& command);

// Runs a mod command or restore; args[0] is the command. usage(problem)
// prints a usage error and gives its exit status. Returns the exit status.
int RunModCommand(const std::vector<std::string>& args, const std::function<int(const std::string&)>& usage);

}  // namespace quorvane::cli
