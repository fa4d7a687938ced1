// Runs a command line as a user would and keeps what it printed.
#ifndef SFX_TESTS_HOST_TOOL_RUN_H
#define SFX_TESTS_HOST_TOOL_RUN_H

#include <stdio.h>
#include <sys/wait.h>

#include <string>

struct ToolRun {
  int code;
  std::string out;  // stdout and stderr together
};

inline ToolRun Sh(const std::string& command) {
  ToolRun run{-1, {}};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) != 0) run.out.append(buffer, got);
  int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

#endif  // SFX_TESTS_HOST_TOOL_RUN_H
