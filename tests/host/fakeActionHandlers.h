// Test doubles of the action handlers: each one records its name when it runs.
#pragma once

#include <string>
#include <vector>

extern std::vector<std::string> FakeActionLog;
