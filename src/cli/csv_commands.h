// quorvane-cli export-csv and import-csv.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quorvane::cli {

// True when command is one of the CSV commands.
bool IsCsvCommand(const std::string& command);

// Runs a CSV command; args[0] is the command. usage(problem) prints a usage
// error and gives its exit status. Returns the exit status.
int RunCsvCommand(const std::vector<std::string>& args, const std::function<int(const std::string&)>& usage);

}  // namespace quorvane::cli
