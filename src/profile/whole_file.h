// Profile files are never left half-written: a new file is written whole and flushed to
// the disk under a temporary name beside its target (the target's name with ".new"
// added) and then renamed over it.
#pragma once

#include <cstdio>
#include <functional>

namespace qv {

// Where writing a whole file stopped.
enum class WholeFileError {
    None,
    Create,   // the temporary file could not be created
    Write,    // a write or the close failed (full disk); the temporary file is gone
    Backup,   // the current file could not be moved to the backup; nothing changed
    Install,  // the new file could not be renamed into place; the old one is back
};

// Writes path through fill. With a backup, the current file becomes the backup just
// before the new one takes its place.
WholeFileError write_whole_file(const char* path, const char* backup, const std::function<void(FILE*)>& fill);

// Makes renames in path's folder last through a power cut; the files are whole either way.
void sync_folder_of(const char* path);

}  // namespace qv
