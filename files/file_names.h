// Small rules about file names that saving, opening and exporting share.
#pragma once

#include <ctime>
#include <string>

// True when name ends with ending.
bool hasEnding(const std::string& name, const std::string& ending);

// True when something (a file, a folder, ...) is at path.
bool fileExists(const std::string& path);

// The folder part of path, with its trailing '/'; "" when path has none.
std::string folderOf(const std::string& path);

// The name after the last '/'; the whole path when there is none.
std::string baseName(const std::string& path);

// folder + "vialoom-YYYYMMDD-HHMMSS" + ending for local time when; when that
// file exists, the first free "-2", "-3", ... before the ending, so nothing is
// overwritten. An empty folder means the current one.
std::string timestampedPath(const std::string& folder, std::time_t when, const std::string& ending);
