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

	// Completes the temporary file: gives it the permissions a newly created
	// file gets, syncs and closes it. Throws RenderError on failure.
	void finish ();

	// Finishes the temporary file if not yet done and renames it to the
	// destination. Throws RenderError on failure.
	void commit ();

private:
	std::string target;
	std::string temporary;
	int fd {-1};

	void discard ();
};

} // namespace Render
} // namespace Calvir
