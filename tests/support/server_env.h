// What the test headers of the throwaway servers (tests/fixtures/<name>/)
// share: the connection details a fixture's start.sh wrote.
#pragma once

#include <map>
#include <string>

// The KEY=VALUE lines of a server.env file; none when it cannot be read.
std::map<std::string, std::string> ReadServerEnv(const std::string& file);

// The KEY=VALUE lines of <build>/<name>/server.env, running
// tests/fixtures/<name>/start.sh first when a test program is run by hand
// outside CTest.
std::map<std::string, std::string> LoadServerEnv(const std::string& name);
