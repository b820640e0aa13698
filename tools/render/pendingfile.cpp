#include "tools/render/pendingfile.h"

#include "tools/render/rendererror.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace Calvir {
namespace Render {

namespace {

const char* const kTemporarySuffix = ".XXXXXX"; // filled in by mkstemp
constexpr mode_t kNewFileMode = 0666;           // before the user's umask

std::string reason ()
{
	return std::strerror (errno);
}

mode_t currentUmask ()
{
	const mode_t mask = ::umask (0);
	::umask (mask);
	return mask;
}

} // namespace

PendingFile::PendingFile (const std::string& destination) : target (destination)
{
	struct stat info {};
	if (::stat (target.c_str (), &info) == 0 && S_ISDIR (info.st_mode))
		throw RenderError ("cannot write \"" + target + "\": it is a folder");

	auto slash = target.rfind ('/');
	const std::string folder = slash == std::string::npos ? std::string () : target.substr (0, slash + 1);
	const std::string name = slash == std::string::npos ? target : target.substr (slash + 1);
	temporary = folder + "." + name + kTemporarySuffix;

	std::vector<char> path (temporary.begin (), temporary.end ());
	path.push_back ('\0');
	fd = ::mkstemp (path.data ());
	if (fd < 0)
		throw RenderError ("cannot write \"" + target + "\": " + reason ());
	temporary = path.data ();
}

PendingFile::~PendingFile ()
{
	discard ();
}

void PendingFile::discard ()
{
	if (fd >= 0)
	{
		::close (fd);
		fd = -1;
	}
	if (!temporary.empty ())
	{
		::unlink (temporary.c_str ());
		temporary.clear ();
	}
}

void PendingFile::write (const std::vector<char>& bytes)
{
	size_t done = 0;
	while (done < bytes.size ())
	{
		const ssize_t written = ::write (fd, bytes.data () + done, bytes.size () - done);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0)
			throw RenderError ("cannot write \"" + target + "\": " + reason ());
		done += static_cast<size_t> (written);
	}
}

void PendingFile::finish ()
{
	if (fd < 0)
		return;
	if (::fchmod (fd, kNewFileMode & ~currentUmask ()) != 0 || ::fsync (fd) != 0)
		throw RenderError ("cannot write \"" + target + "\": " + reason ());
	const int closing = fd;
	fd = -1;
	if (::close (closing) != 0)
		throw RenderError ("cannot write \"" + target + "\": " + reason ());
}

void PendingFile::commit ()
{
	finish ();
	if (::rename (temporary.c_str (), target.c_str ()) != 0)
		throw RenderError ("cannot write \"" + target + "\": " + reason ());
	temporary.clear ();
}

} // namespace Render
} // namespace Calvir
