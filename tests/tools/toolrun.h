// Runs the calvir-render program as a user would and collects what it
// printed and its exit status.
#pragma once

#include <string>
#include <vector>

namespace CalvirToolTest {

struct ToolRun
{
	int exitCode {-1};
	std::string out;
	std::string err;
};

// Runs the built calvir-render with the arguments, in the given folder.
ToolRun runRenderTool (const std::vector<std::string>& args, const std::string& folder);

} // namespace CalvirToolTest
