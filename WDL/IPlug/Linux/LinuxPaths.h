#pragma once
// Where things are on Linux: the module and its bundle (found from this module's own path),
// and the XDG user folders. Pure functions of the environment and the file system; any thread.

#include <string>

namespace LinuxPaths
{
// The path of the shared object holding this code (empty when unknown).
std::string ModulePath();
// Bundle.vst3/Contents/Resources for a module at Bundle.vst3/Contents/<arch>/X.so; empty when
// the module sits in no bundle.
std::string BundleResources(const std::string& modulePath);
// The folder holding the bundle (or the module, outside a bundle), with a trailing "/".
std::string PluginFolder(const std::string& modulePath);
// $HOME, else the password database's home; empty when neither exists.
std::string Home();
// XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs ("$HOME/..." or absolute), else ~/Desktop.
std::string Desktop();
// User: $XDG_CONFIG_HOME (absolute) or ~/.config; system: the first absolute entry of
// $XDG_CONFIG_DIRS or /etc/xdg.
std::string ConfigHome();
std::string SystemConfig();
// A leading "~" or "~/" becomes the home folder.
std::string ExpandTilde(const std::string& path);
}  // namespace LinuxPaths
