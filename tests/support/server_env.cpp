// The fixture environment reader of server_env.h.

#include "tests/support/server_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

std::map<std::string, std::string> ReadServerEnv(const std::string& file) {
  std::map<std::string, std::string> values;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    auto eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

std::map<std::string, std::string> LoadServerEnv(const std::string& name) {
  const std::string state = std::string(VX_BINARY_DIR) + "/" + name;
  const std::string env = state + "/server.env";
  if (!std::ifstream(env).good()) {
    const std::string cmd = std::string(VX_SOURCE_DIR) + "/tests/fixtures/" + name + "/start.sh " + state;
    if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "cannot start the " << name << " fixture";
  }
  return ReadServerEnv(env);
}
