#pragma once

#include <filesystem>
#include <string>

// Where the plug-in keeps its files on each operating system; the only place that knows.
namespace platform {

// Folder of the diagnostic log. Empty when the system gives no usable location.
std::filesystem::path logDirectory();

// The per-user configuration base: %APPDATA% (or "C:\" when unset) on Windows,
// $XDG_CONFIG_HOME (default ~/.config) on Linux, ~/Library/Application Support on macOS.
// Returned as UTF-8 text; empty when the system gives no usable location.
std::string userConfigDirectory();

// The OFX bundle folder ("<name>.ofx.bundle") holding the library this code was loaded from,
// as UTF-8 text; empty when the code does not live in a bundle (tests, static links).
std::string loadedBundleDirectory();

// Where hosts look for plug-ins system-wide when nothing better is known.
std::string standardPluginDirectory();

// Opens a local file in the system's web browser without waiting for it and without a shell
// (the path is passed as one argument). $HALDEN_BROWSER, when set, names the program to use.
// False when no browser could be started.
bool openInBrowser(const std::string& path);

// Local time as "YYYY-MM-DD HH:MM:SS", for log headers.
std::string localTimeString();
// Local time as "YYYY-MM-DDTHH:MM:SS", for file metadata.
std::string localTimeStamp();

} // namespace platform
