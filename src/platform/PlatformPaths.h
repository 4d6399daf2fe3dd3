#pragma once

#include <filesystem>
#include <string>

// Where the plug-in keeps its files on each operating system; the only place that knows.
namespace platform {

// Folder of the diagnostic log. Empty when the system gives no usable location.
std::filesystem::path logDirectory();

// Local time as "YYYY-MM-DD HH:MM:SS", for log headers.
std::string localTimeString();

} // namespace platform
