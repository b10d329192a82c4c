// Writing a file so that it is either wholly the new contents or untouched.
#pragma once

#include <string>

// Writes contents to a temporary file in path's folder, flushes and fsyncs it,
// renames it over path and fsyncs the folder. On any failure the temporary is
// removed, an existing file at path is left as it was, and error holds
// "PATH: cannot save: REASON" (e.g. "permission denied", "no space left on device").
// A directory at path is refused. A symbolic link at path is saved through:
// the file it points to is replaced. The new file takes the old one's
// permissions, or 0666 less the umask. Should only the final folder sync
// fail, the file is replaced but false is returned with
// "PATH: saved, but the folder could not be synced: REASON".
// The temporary is ".NAME.tmp-PID-N" beside the target (NAME the target's
// name, PID this process, N from 0 to 99). A write killed before it could
// clean up (by a signal, or the file-size limit's SIGXFSZ) leaves one behind:
// each write first removes, in its folder, every regular file of that
// pattern, for any NAME, whose PID is no longer a running process (kill(PID,
// 0) fails with ESRCH). Temporaries of running writers, this one included,
// and any other file are never touched.
bool writeFileAtomically(const std::string& path, const std::string& contents, std::string& error);
