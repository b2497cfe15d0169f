// Runs the quarn command as a user does, in a directory of its own, and reads what it wrote.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

struct QuarnResult {
  int code = -1;
  std::string out, err;
};

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs `exe args` (a shell word list) in `dir`; standard output and error go to files there.
inline QuarnResult RunQuarn(const std::filesystem::path& dir, const std::string& args, const std::string& exe) {
  const std::string cmd = "cd '" + dir.string() + "' && '" + exe + "' " + args + " >stdout.txt 2>stderr.txt";
  const int status = std::system(cmd.c_str());
  QuarnResult r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = Slurp(dir / "stdout.txt");
  r.err = Slurp(dir / "stderr.txt");
  return r;
}

}  // namespace testing_support
