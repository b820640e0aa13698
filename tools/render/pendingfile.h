// A file that appears under its name only when complete: it is written to a
// hidden temporary file in the destination's folder and renamed over the
// destination by commit(). Until then the destination is untouched, and an
// uncommitted temporary file is removed on destruction.
#pragma once

#include <string>
#include <vector>

namespace Calvir {
namespace Render {

class PendingFile
{
public:
	// Creates the temporary file; throws RenderError when the folder does
	// not exist or cannot be written, or the destination is a folder.
	explicit PendingFile (const std::string& destination);
	~PendingFile ();

	PendingFile (const PendingFile&) = delete;
	PendingFile& operator= (const PendingFile&) = delete;

	int descriptor () const { return fd; }
	const std::string& destination () const { return target; }

	// Writes all bytes at the current position; throws RenderError on failure.
	void write (const std::vector<char>& bytes);

	// Closes the temporary file and renames it to the destination, with the
	// permissions a newly created file gets. Throws RenderError on failure.
	void commit ();

private:
	std::string target;
	std::string temporary;
	int fd {-1};

	void discard ();
};

} // namespace Render
} // namespace Calvir
