#include "tools/toolrun.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace CalvirToolTest {

namespace {

std::string slurp (const std::string& path)
{
	std::ifstream file (path, std::ios::binary);
	return std::string ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char> ());
}

} // namespace

ToolRun runRenderTool (const std::vector<std::string>& args, const std::string& folder)
{
	const std::string outPath = folder + "/.tool-stdout";
	const std::string errPath = folder + "/.tool-stderr";

	std::vector<std::string> words;
	words.push_back (CALVIR_RENDER_EXE);
	words.insert (words.end (), args.begin (), args.end ());
	std::vector<char*> argv;
	for (auto& word : words)
		argv.push_back (word.data ());
	argv.push_back (nullptr);

	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init (&actions);
	posix_spawn_file_actions_addopen (&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
	posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, outPath.c_str (),
	                                  O_WRONLY | O_CREAT | O_TRUNC, 0600);
	posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, errPath.c_str (),
	                                  O_WRONLY | O_CREAT | O_TRUNC, 0600);
	posix_spawn_file_actions_addchdir_np (&actions, folder.c_str ());

	ToolRun run;
	pid_t child = 0;
	if (posix_spawn (&child, argv[0], &actions, nullptr, argv.data (), environ) == 0)
	{
		int status = 0;
		if (waitpid (child, &status, 0) == child && WIFEXITED (status))
			run.exitCode = WEXITSTATUS (status);
	}
	posix_spawn_file_actions_destroy (&actions);
	run.out = slurp (outPath);
	run.err = slurp (errPath);
	unlink (outPath.c_str ());
	unlink (errPath.c_str ());
	return run;
}

} // namespace CalvirToolTest
